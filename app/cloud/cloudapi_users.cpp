#include "cloudapi.h"

#include "commandquote.h"
#include "heartbeat.h"
#include "httpclient.h"
#include "soapenvelope.h"
#include "usermasterbatches.h"

#include "dbmaster.h"
#include "debugline.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"

#include <QXmlStreamReader>

int CloudAPI::getVantroUser()
{
    emit apiInfo(mode(), QStringLiteral("氏名マスタ 受信中"));
    connectClient(&CloudAPI::resGetVantroUser);
    return getTokenSeed();
}

void CloudAPI::resGetVantroUser(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode;
    if (resGetTokenSeed(ret, obj) != 0) {
        stopReceivedForGetTokenFailed(ret, obj);
        return;
    }
    postOperation(QStringLiteral("GetVantroUser"),
                  soap::element(QStringLiteral("client_unique_key"), m_clientUniqueKey)
                      + soap::element(QStringLiteral("token"), m_token),
                  &CloudAPI::resGetVantroUser2);
}

bool CloudAPI::fillUserMaster(HttpClient* obj)
{
    const QString registered = vnq::clock().now().toString(QStringLiteral("yyyyMMddhhmmss"));
    UserMasterBatches batches(
        [this](int total) { emit apiInfo(mode(), QStringLiteral("氏名マスタ 登録中(%1件)").arg(total)); });
    QString name, idm;
    bool idmSeen = false, malformed = false;
    int id = -1, group = -9999;
    m_resultCode = QStringLiteral("-9999");
    const bool complete = readAnswer(obj, [&](QXmlStreamReader& r) {
        const auto element = r.name();
        if (element == QLatin1String("result")) {
            m_resultCode = r.readElementText();
            if (m_resultCode.toInt() < 0)
                return false;
        } else if (element == QLatin1String("id_code")) {
            // An id that is no int would become user 0: the whole answer is refused, as a
            // malformed user of the JSON service is.
            bool ok = false;
            id = r.readElementText().toInt(&ok);
            if (!ok) {
                MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ユーザー不正";
                malformed = true;
                return false;
            }
        } else if (element == QLatin1String("name")) {
            name = r.readElementText();
        } else if (element == QLatin1String("group_code")) {
            bool ok = false;
            group = r.readElementText().toInt(&ok);
            if (!ok)
                group = -9999;
        } else if (element == QLatin1String("idm")) {
            idm = r.readElementText();
            idmSeen = true;
        }
        if (!name.isEmpty() && id >= 0 && group >= -1 && idmSeen) {
            if (idm.isEmpty() || idm == QLatin1String("0")) {
                DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "IDm未登録ユーザ: " << id << name;
                idm = QStringLiteral("CLEAR");
            }
            batches.add({QString::number(id), name, QString::number(group), idm, registered});
            name.clear();
            idm.clear();
            idmSeen = false;
            id = -1;
            group = -9999;
        }
        return true;
    });
    const bool stored = batches.finish();
    return complete && !malformed && m_resultCode == QLatin1String("0") && stored;
}

// The master is replaced only by a copy that holds the whole answer; otherwise master.db stays
// as it is and the kind is not recorded, so the next full update asks again.
void CloudAPI::resGetVantroUser2(int ret, HttpClient* obj)
{
    if (ret != 0) {
        DBMaster::removeMasterReloadCopy();
        emit apiInfo(mode(), QStringLiteral("氏名マスタ 受信失敗"));
        cascadeOrFinish(ret, obj, QString());
        return;
    }
    const bool copied = DBMaster::makeMasterReloadCopy();
    const bool replaced = copied && fillUserMaster(obj) && DBMaster::replaceMasterByReloadCopy();
    UpdateState& state = m_updateStates[1];
    state.pending = false;
    if (replaced) {
        m_resultCode.clear();
        emit apiInfo(mode(), QStringLiteral("氏名マスタ 受信完了"));
    } else {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "氏名マスタ 更新なし" << m_resultCode << copied;
        DBMaster::removeMasterReloadCopy();
        state.updateTime = 0;
        emit apiInfo(mode(), QStringLiteral("氏名マスタ 受信失敗"));
    }
    cascadeOrFinish(0, obj, QString());
}
