#include "meridapi.h"

#include "heartbeat.h"
#include "httpclient.h"
#include "httplogmask.h"
#include "jsonmember.h"
#include "loggabletext.h"
#include "qtjson.h"
#include "settingstore.h"
#include "updatetime.h"
#include "usermasterbatches.h"

#include "dbmaster.h"
#include "dbsetting.h"
#include "debugline.h"
#include "mydebug.h"

namespace {

// A user entry as a master row {id, name, group, IDm or "CLEAR", IDm update time}; false when
// a member is missing or of the wrong type, so that no entry can turn into user 0 or lose
// its card.
bool userRow(const QVariant& entry, QStringList* row)
{
    if (entry.type() != QVariant::Map)
        return false;
    const QVariantMap user = entry.toMap();
    int id = 0, group = 0;
    QString name, idm, idmTime;
    if (!jsonmember::integer(user.value(QStringLiteral("id_code")), &id) || id < 0
        || !jsonmember::text(user.value(QStringLiteral("name")), &name)
        || !jsonmember::integer(user.value(QStringLiteral("group_no")), &group)
        || !jsonmember::text(user.value(QStringLiteral("idm_no")), &idm))
        return false;
    const QVariant time = user.value(QStringLiteral("idm_update_time"));
    if (!time.isNull() && !jsonmember::text(time, &idmTime))
        return false;
    if (idm.isEmpty() || idm == QLatin1String("0")) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "IDm未登録ユーザ: " << id;
        idm = QStringLiteral("CLEAR");
    }
    if (idmTime.isEmpty()) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "更新日時未登録: " << id;
        idmTime = QStringLiteral("20000101000000");
    }
    *row = QStringList{QString::number(id), name, QString::number(group), idm, idmTime};
    return true;
}

// Takes one settings entry when it is well formed and newer than the stored setting.
void takeSetting(const QVariant& entry, DownloadedSettings* settings)
{
    const QVariantMap item = entry.toMap();
    QString key;
    int value = 0;
    const QString timeText = jsonmember::textOrEmpty(item.value(QStringLiteral("update_time")));
    const qint64 seconds = updatetime::fromMeridText(timeText);
    if (!jsonmember::text(item.value(QStringLiteral("key")), &key) || key.isEmpty()
        || !jsonmember::integer(item.value(QStringLiteral("value")), &value) || seconds < 0) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "運用設定 不正"
                  << logmask::bodyForLog(QString::fromUtf8(QtJson::serialize(entry)));
        return;
    }
    {
        DebugLine line;
        line << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "###" << QStringLiteral("\"%1\"").arg(vnq::loggableText(key));
        // The administrator password never reaches a log.
        if (logmask::isSecretSetting(key))
            line << "****";
        else
            line << value;
        line << timeText << seconds;
    }
    if (DBSetting::updatableParam(key, seconds))
        settings->add(key, value, &seconds);
}

// A communication-cycle member is taken for its setting only when the answer carries it as an
// integer within the setting's bounds.
void takeCycleMember(const QVariantMap& answer, const QString& member, const QString& item, DownloadedSettings* settings)
{
    int value = 0;
    if (jsonmember::integer(answer.value(member), &value)) {
        settings->add(item, value);
        return;
    }
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "通信周期 値なし" << member;
}

}  // namespace

void MeridAPI::settleDownload(int kind, bool applied)
{
    for (UpdateState& state : m_updateStates) {
        if (state.dataKind == kind && state.pending) {
            state.pending = false;
            if (!applied)
                state.updateTime = 0;
            return;
        }
    }
}

void MeridAPI::getVantroUser()
{
    postStep(QStringLiteral("Vantroユーザー 受信中"), QStringLiteral("/getVantroUser"), tokenBody().text(),
             &MeridAPI::resGetVantroUser);
}

bool MeridAPI::loadUserMaster(const QVariantMap& answer)
{
    const QVariant users = answer.value(QStringLiteral("users"));
    if (users.type() != QVariant::List)
        return false;
    QList<QStringList> rows;
    for (const QVariant& entry : users.toList()) {
        ++selftick;
        QStringList row;
        if (!userRow(entry, &row)) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ユーザー不正" << rows.size();
            return false;
        }
        rows << row;
    }
    if (!DBMaster::makeMasterReloadCopy())
        return false;
    UserMasterBatches batches(
        [this](int total) { emit apiInfo(mode(), QStringLiteral("Vantroユーザー 登録中(%1件)").arg(total)); });
    for (const QStringList& row : rows)
        batches.add(row);
    return batches.finish() && DBMaster::replaceMasterByReloadCopy();
}

// The master is replaced as a whole, and only by a copy that holds every user of a complete
// answer; otherwise master.db stays as it was and the kind is asked for again next time.
void MeridAPI::resGetVantroUser(int ret, HttpClient* obj)
{
    QVariantMap answer;
    const bool replaced = readAnswer(ret, obj, &answer) && m_resultCode == 0 && loadUserMaster(answer);
    if (!replaced)
        DBMaster::removeMasterReloadCopy();
    settleDownload(33, replaced);
    emit apiInfo(mode(), replaced ? QStringLiteral("Vantroユーザー 受信完了") : QStringLiteral("Vantroユーザー 受信失敗"));
    logFailedAnswer(ret, obj);
    emit receiveFinish(ret, QStringLiteral("Vantroユーザー 受信完了"));
}

void MeridAPI::getVantroSetting()
{
    postStep(QStringLiteral("運用設定データ 受信中"), QStringLiteral("/getVantroUnyou"), tokenBody().text(),
             &MeridAPI::resGetVantroSetting);
}

// The entries of an answer that was read with a result that is not negative are written all
// together; the kind is recorded only when they were and the result is 0.
void MeridAPI::resGetVantroSetting(int ret, HttpClient* obj)
{
    QVariantMap answer;
    const bool read = readAnswer(ret, obj, &answer);
    const QVariant unyous = answer.value(QStringLiteral("unyous"));
    bool applied = false;
    if (read && m_resultCode >= 0) {
        DownloadedSettings settings;
        for (const QVariant& entry : unyous.toList()) {
            ++selftick;
            takeSetting(entry, &settings);
        }
        applied = settings.apply();
    }
    settleDownload(40, applied && m_resultCode == 0 && unyous.type() == QVariant::List);
    endStep(ret, obj, QStringLiteral("運用設定データ 受信完了"),
            QStringLiteral("運用設定データ 受信失敗"), QStringLiteral("Vantro運用設定 受信完了"));
}

void MeridAPI::getCommCycle()
{
    postStep(QStringLiteral("通信周期 受信中"), QStringLiteral("/getVantroCommCycle"), tokenBody().text(),
             &MeridAPI::resGetCommCycle);
}

// Only an answer with result 0 may change the stored cycle; its members are written together.
void MeridAPI::resGetCommCycle(int ret, HttpClient* obj)
{
    QVariantMap answer;
    bool applied = readAnswer(ret, obj, &answer) && m_resultCode == 0;
    if (applied) {
        DownloadedSettings settings;
        takeCycleMember(answer, QStringLiteral("comm_mmss"), QStringLiteral("start_sec"), &settings);
        takeCycleMember(answer, QStringLiteral("comm_cycle"), QStringLiteral("cycle_sec"), &settings);
        applied = settings.apply();
    }
    settleDownload(47, applied);
    endStep(ret, obj, QStringLiteral("通信周期 受信完了"), QStringLiteral("通信周期 受信失敗"), QStringLiteral("通信周期情報 受信完了"));
}
