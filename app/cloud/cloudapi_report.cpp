#include "cloudapi.h"

#include "heartbeat.h"
#include "httpclient.h"
#include "httplogmask.h"
#include "soapenvelope.h"
#include "updatetime.h"

#include "dbdakoku.h"
#include "dbsetting.h"
#include "debugline.h"
#include "mydebug.h"
#include "zsystem.h"

#include <QDateTime>
#include <QXmlStreamReader>

namespace {

QString setting(const QString& name, const QString& value)
{
    return soap::group(QStringLiteral("VantroSetting"),
                       soap::element(QStringLiteral("name"), name) + soap::element(QStringLiteral("value"), value));
}

// The stamp statistics, or nothing when one of the three queries fails.
QString stampStatistics()
{
    struct Part {
        const char* prefix;
        const char* where;
        int count;
        QDateTime oldest, newest;
    };
    Part parts[] = {
        {"", "", 0, {}, {}},
        {"unsent_", "WHERE send = 0 OR send IS NULL", 0, {}, {}},
        {"sent_", "WHERE send > 0", 0, {}, {}},
    };
    for (Part& p : parts) {
        if (!DBDakoku::getDakokuCountMaxMin(&p.count, &p.oldest, &p.newest, QString::fromLatin1(p.where)))
            return QString();
    }
    QString out = setting(QStringLiteral("stamp_count"), QString::number(parts[0].count))
                  + setting(QStringLiteral("unsent_stamp_count"), QString::number(parts[1].count))
                  + setting(QStringLiteral("sent_stamp_count"), QString::number(parts[2].count));
    for (const Part& p : parts) {
        if (p.count <= 0)
            continue;
        out += setting(QStringLiteral("%1oldest_stamp_date").arg(QLatin1String(p.prefix)), p.oldest.toString(QStringLiteral("yyyyMMdd")));
        out += setting(QStringLiteral("%1newest_stamp_date").arg(QLatin1String(p.prefix)), p.newest.toString(QStringLiteral("yyyyMMdd")));
    }
    return out;
}

}  // namespace

int CloudAPI::getVantroDataUpdateTime()
{
    emit apiInfo(mode(), QStringLiteral("データ更新日時 受信中"));
    connectClient(&CloudAPI::resGetVantroDataUpdateTime);
    return getTokenSeed();
}

void CloudAPI::resGetVantroDataUpdateTime(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode;
    if (resGetTokenSeed(ret, obj) != 0) {
        stopReceivedForGetTokenFailed(ret, obj);
        return;
    }
    postOperation(QStringLiteral("GetVantroDataUpdateTime"),
                  soap::element(QStringLiteral("client_unique_key"), m_clientUniqueKey)
                      + soap::element(QStringLiteral("token"), m_token),
                  &CloudAPI::resGetVantroDataUpdateTime2);
}

void CloudAPI::resGetVantroDataUpdateTime2(int ret, HttpClient* obj)
{
    if (ret != 0) {
        emit apiInfo(mode(), QStringLiteral("データ更新日時 受信失敗"));
        cascadeOrFinish(ret, obj, QString());
        return;
    }
    m_resultCode = QStringLiteral("-9999");
    int kind = -1, count = -1;
    qint64 time = -1;
    readAnswer(obj, [&](QXmlStreamReader& r) {
        const auto name = r.name();
        if (name == QLatin1String("result")) {
            m_resultCode = r.readElementText();
            if (m_resultCode.toInt() < 0)
                return false;
        } else if (name == QLatin1String("data_kind")) {
            bool ok = false;
            kind = r.readElementText().toInt(&ok);
            if (!ok)
                kind = -1;
        } else if (name == QLatin1String("update_time")) {
            time = updatetime::fromSoapText(r.readElementText());
        } else if (name == QLatin1String("count")) {
            bool ok = false;
            count = r.readElementText().toInt(&ok);
            if (!ok)
                count = -1;
        }
        if (kind != -1 && count != -1 && time != -1) {
            // Kinds without a record are ignored.
            if (kind >= 0 && kind < UpdateKinds) {
                int storedCount = 0;
                qint64 storedTime = 0;
                if (!DBSetting::getDataUpdate(kind, &storedCount, &storedTime))
                    storedTime = 0;
                if (storedTime < time) {
                    UpdateState& state = m_updateStates[kind];
                    state.updateTime = time;
                    state.value = count;
                    state.dataKind = kind;
                    state.pending = true;
                }
            }
            kind = count = -1;
            time = -1;
        }
        return true;
    });
    emit apiInfo(mode(), QStringLiteral("データ更新日時 受信完了"));
    cascadeOrFinish(0, obj, QString());
}

int CloudAPI::putVantroInfo()
{
    emit apiInfo(mode(), QStringLiteral("Vantro状態 送信中"));
    connectClient(&CloudAPI::resPutVantroInfo);
    return getTokenSeed();
}

void CloudAPI::resPutVantroInfo(int ret, HttpClient* obj)
{
    if (resGetTokenSeed(ret, obj) != 0) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode;
        cascadeOrFinish(tokenFailureCode(ret), obj, QStringLiteral("PutInfoEnd"));
        return;
    }
    QString names[DBSetting::ParamListCapacity];
    int values[DBSetting::ParamListCapacity] = {};
    QString settings;
    if (DBSetting::getParamAllForCloud(names, values) == 0) {
        for (int i = 0; i < DBSetting::ParamListCapacity && !names[i].isEmpty(); ++i)
            settings += setting(names[i], QString::number(values[i]));
    }
    settings += stampStatistics();
    postOperation(QStringLiteral("PutVantroInfo"),
                  soap::element(QStringLiteral("client_unique_key"), m_clientUniqueKey)
                      + soap::element(QStringLiteral("token"), m_token)
                      + soap::element(QStringLiteral("version"), ZSystem::applicationVersion())
                      + soap::group(QStringLiteral("settings"), settings),
                  &CloudAPI::resPutVantroInfo2);
}

void CloudAPI::resPutVantroInfo2(int ret, HttpClient* obj)
{
    if (ret != 0) {
        emit apiInfo(mode(), QStringLiteral("Vantro状態 送信失敗"));
        cascadeOrFinish(ret, obj, QStringLiteral("PutInfoEnd"));
        return;
    }
    readResult(obj);
    emit apiInfo(mode(), QStringLiteral("Vantro状態 送信完了"));
    cascadeOrFinish(0, obj, QStringLiteral("PutInfoEnd"));
}
