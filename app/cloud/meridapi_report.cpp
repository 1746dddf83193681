#include "meridapi.h"

#include "heartbeat.h"
#include "httpclient.h"
#include "meridbody.h"
#include "updatetime.h"

#include "dbsetting.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "zsystem.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

const QString timeFormat = QStringLiteral("yyyyMMddhhmmss");

// A status entry: written without white space but for the blank before its brace.
QString info(const QString& key, const QString& value, const QString& updateTime)
{
    QString text = MeridBody()
                       .member(QStringLiteral("key"), key)
                       .member(QStringLiteral("value"), value)
                       .member(QStringLiteral("update_time"), updateTime)
                       .text();
    text.insert(text.size() - 1, QLatin1Char(' '));
    return text;
}

}  // namespace

void MeridAPI::getVantroDataUpdateTime()
{
    postStep(QStringLiteral("データ更新日時 受信中"), QStringLiteral("/getVantroDataUpdateTime"), tokenBody().text(),
             &MeridAPI::resGetVantroDataUpdateTime);
}

void MeridAPI::resGetVantroDataUpdateTime(int ret, HttpClient* obj)
{
    QVariantMap answer;
    QString step = QStringLiteral("データ更新日時 受信失敗");
    if (readAnswer(ret, obj, &answer)) {
        m_updateStates.clear();
        m_updateKinds.clear();
        if (m_resultCode >= 0) {
            const QVariantList times = answer.value(QStringLiteral("update_times")).toList();
            for (const QVariant& entry : times) {
                ++selftick;
                const QVariantMap item = entry.toMap();
                bool kindOk = false;
                const int kind = item.value(QStringLiteral("data_kind")).toInt(&kindOk);
                const qint64 time = updatetime::fromMeridText(item.value(QStringLiteral("update_time")).toString());
                if (!kindOk || time < 0) {
                    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "更新日時不正" << kind;
                    continue;
                }
                int count = 0;
                qint64 stored = 0;
                if (!DBSetting::getDataUpdate(kind, &count, &stored) || stored >= time)
                    continue;
                UpdateState state;
                state.updateTime = time;
                // The answer carries no count; the stored one stays.
                state.value = count;
                state.dataKind = kind;
                state.pending = true;
                m_updateStates << state;
                m_updateKinds << kind;
                step = QStringLiteral("データ更新日時 受信成功");
            }
        }
    }
    endStep(ret, obj, QStringLiteral("データ更新日時 受信成功"), QStringLiteral("データ更新日時 受信失敗"), step);
}

void MeridAPI::putVantroInfo()
{
    emit apiInfo(mode(), QStringLiteral("Vantro状態 送信中"));
    const QDateTime programTime
        = QFileInfo(vnq::boardPath(QStringLiteral("/VnQo/app/App/VantroQo"))).lastModified();
    QString infos = info(QStringLiteral("version"), ZSystem::applicationVersion(), programTime.toString(timeFormat));
    QString items[DBSetting::ParamListCapacity];
    int values[DBSetting::ParamListCapacity] = {};
    qint64 times[DBSetting::ParamListCapacity] = {};
    if (DBSetting::getParamAllForMerid(items, values, times) == 0) {
        for (int i = 0; i < DBSetting::ParamListCapacity && !items[i].isEmpty(); ++i) {
            ++selftick;
            infos += QLatin1Char(',')
                     + info(items[i], QString::number(values[i]),
                            QDateTime::fromSecsSinceEpoch(times[i]).toString(timeFormat));
        }
    }
    post(QStringLiteral("/putVantroInfo"),
         tokenBody()
             .raw(QStringLiteral("infos"), QLatin1Char('[') + infos + QLatin1Char(']'))
             .text(),
         &MeridAPI::resPutVantroInfo);
}

void MeridAPI::resPutVantroInfo(int ret, HttpClient* obj)
{
    readAnswer(ret, obj);
    endStep(ret, obj, QStringLiteral("Vantro状態 送信完了"),
            QStringLiteral("Vantro状態 送信失敗"), QStringLiteral("Vantro状態 送信完了"));
}
