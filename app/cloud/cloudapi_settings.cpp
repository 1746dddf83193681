#include "cloudapi.h"

#include "httpclient.h"
#include "settingstore.h"
#include "soapenvelope.h"

#include "dbsetting.h"
#include "debugline.h"
#include "mydebug.h"

#include <QXmlStreamReader>

namespace {

QString requestChildren(const QString& clientKey, const QString& token)
{
    return soap::element(QStringLiteral("client_unique_key"), clientKey) + soap::element(QStringLiteral("token"), token);
}

}  // namespace

// The settings of an answer are written, all together, only once it was read to its end and
// its result is not negative; the kind is recorded only when they were and the result is 0.
void CloudAPI::finishSettingsDownload(int kind, bool complete, const DownloadedSettings& settings, HttpClient* obj,
                                      const QString& doneText)
{
    bool numeric = false;
    const int result = m_resultCode.toInt(&numeric);
    const bool applied = complete && numeric && result >= 0 && settings.apply();
    UpdateState& state = m_updateStates[kind];
    state.pending = false;
    if (!applied || m_resultCode != QLatin1String("0")) {
        // Not recorded: the next full update asks for this kind again.
        state.updateTime = 0;
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "受信データ不完全" << kind << m_resultCode << applied;
    }
    emit apiInfo(mode(), doneText);
    cascadeOrFinish(0, obj, QString());
}

int CloudAPI::getVantroSetting()
{
    emit apiInfo(mode(), QStringLiteral("運用設定データ 受信中"));
    connectClient(&CloudAPI::resGetVantroSetting);
    return getTokenSeed();
}

void CloudAPI::resGetVantroSetting(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode;
    if (resGetTokenSeed(ret, obj) != 0) {
        stopReceivedForGetTokenFailed(ret, obj);
        return;
    }
    postOperation(QStringLiteral("GetVantroSetting"), requestChildren(m_clientUniqueKey, m_token),
                  &CloudAPI::resGetVantroSetting2);
}

void CloudAPI::resGetVantroSetting2(int ret, HttpClient* obj)
{
    if (ret != 0) {
        emit apiInfo(mode(), QStringLiteral("運用設定データ 受信失敗"));
        cascadeOrFinish(ret, obj, QString());
        return;
    }
    m_resultCode = QStringLiteral("-9999");
    QString key;
    int value = -99;
    DownloadedSettings settings;
    const bool complete = readAnswer(obj, [&](QXmlStreamReader& r) {
        const auto name = r.name();
        if (name == QLatin1String("result")) {
            m_resultCode = r.readElementText();
            if (m_resultCode.toInt() < 0)
                return false;
        } else if (name == QLatin1String("name")) {
            key = r.readElementText();
        } else if (name == QLatin1String("value")) {
            bool ok = false;
            value = r.readElementText().toInt(&ok);
            if (!ok)
                value = -99;
        }
        if (!key.isEmpty() && value != -99) {
            settings.add(key, value);
            key.clear();
            value = -99;
        }
        return true;
    });
    finishSettingsDownload(5, complete, settings, obj, QStringLiteral("運用設定データ 受信完了"));
}

int CloudAPI::getCommCycle()
{
    emit apiInfo(mode(), QStringLiteral("通信周期 受信中"));
    connectClient(&CloudAPI::resGetCommCycle);
    return getTokenSeed();
}

void CloudAPI::resGetCommCycle(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode;
    if (resGetTokenSeed(ret, obj) != 0) {
        stopReceivedForGetTokenFailed(ret, obj);
        return;
    }
    postOperation(QStringLiteral("GetCommCycle"), requestChildren(m_clientUniqueKey, m_token),
                  &CloudAPI::resGetCommCycle2);
}

void CloudAPI::resGetCommCycle2(int ret, HttpClient* obj)
{
    if (ret != 0) {
        emit apiInfo(mode(), QStringLiteral("通信周期 受信失敗"));
        cascadeOrFinish(ret, obj, QString());
        return;
    }
    static const QStringList items = {QStringLiteral("start_sec"), QStringLiteral("cycle_sec"),
                                      QStringLiteral("unserviced_start"), QStringLiteral("unserviced_end")};
    m_resultCode = QStringLiteral("-9999");
    DownloadedSettings settings;
    const bool complete = readAnswer(obj, [&](QXmlStreamReader& r) {
        const QString name = r.name().toString();
        if (name == QLatin1String("result")) {
            m_resultCode = r.readElementText();
            return m_resultCode.toInt() >= 0;
        }
        if (items.contains(name)) {
            bool ok = false;
            const int value = r.readElementText().toInt(&ok);
            if (ok && value >= 0)
                settings.add(name, value);
        }
        return true;
    });
    finishSettingsDownload(6, complete, settings, obj, QStringLiteral("通信周期 受信完了"));
}
