#include "form2cardtouroku.h"

#include "cloudlink.h"
#include "dbmaster.h"
#include "form3popup.h"
#include "mydebug.h"
#include "platform/clock.h"
#include "zsystem.h"

// The commit of a settled registration or deletion: the local card table, and in the cloud
// editions the service first.

namespace {

const QString noCard = QStringLiteral("CLEAR");
// The length a "CLEAR" row carries.
constexpr int noCardLength = 5;

bool cloudEdition()
{
    return ZSystem::mode() == ZSystem::Cloud || ZSystem::mode() == ZSystem::Merid;
}

struct ErrorLines {
    const char* code;
    const char* lines[3];
};

// The error window's lines by the service's result code (compared as text).
const ErrorLines errorTable[] = {
    {"-10", {"通信に失敗しました。", "機器登録されていません。", ""}},
    {"-11", {"通信に失敗しました。", "機器が利用可能な状態", "ではありません。"}},
    {"-20", {"通信に失敗しました。", "トークンが不正です。", ""}},
    {"-60", {"登録済みのカードです。", "", ""}},
    {"-61", {"サーバーの登録時刻が現時刻より", "新しいカードです。", "時計設定を見直してください。"}},
};
const char* const otherError[3] = {"通信に失敗しました。", "設定および接続を確認して", "ください。"};

}  // namespace

void Form2CardTouroku::commitRegistration()
{
    if (cloudEdition())
        trySaveCloud();
    else
        trySave();
}

void Form2CardTouroku::commitDeletion()
{
    if (cloudEdition())
        tryDeleteCloud();
    else
        tryDelete();
}

void Form2CardTouroku::trySave()
{
    storeCard(cardID, cardType, cardLen.toInt(), false);
}

void Form2CardTouroku::tryDelete()
{
    storeCard(noCard, QString(), noCardLength, true);
}

// One transaction: a failed insert leaves the user's old row in place.
void Form2CardTouroku::storeCard(const QString& card, const QString& type, int length, bool deletion)
{
    const bool stored = DBMaster::replaceCardOfUser(userID, card, type, length);
    if (stored) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << (deletion ? "削除しました。" : "保存しました。");
    } else {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:"
                  << (deletion ? "削除に失敗しました。" : "保存に失敗しました。");
    }
    if (deletion && stored)
        showCardDeleteSuccess(userName);
    else if (deletion)
        showCardDeleteFailed(userName);
    else if (stored)
        showCardSaveSuccess(userName);
    else
        showCardSaveFailed(userName);
    clearEditFields();
}

void Form2CardTouroku::trySaveCloud()
{
    if (!cloudEdition())
        return;
    if (!cloud) {
        // Nobody would ever answer: fail as an exchange that came to nothing.
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウド接続なし";
        showCloudError(QStringLiteral("-9999"));
        return;
    }
    const QString now = vnq::clock().now().toString(QStringLiteral("yyyyMMddhhmmss"));
    cloud->putUserIDm(userID, cardID, now);
}

void Form2CardTouroku::tryDeleteCloud()
{
    cardID = noCard;
    trySaveCloud();
}

void Form2CardTouroku::onFinishPutUserIDm(QString resultCode)
{
    // Only a code that reads wholly as 0 is a success: an empty or garbled answer confirms
    // nothing the service did.
    bool number = false;
    const int code = resultCode.toInt(&number);
    if (!number || code != 0) {
        showCloudError(resultCode);
        return;
    }
    if (cardID == noCard)
        tryDelete();
    else
        trySave();
}

void Form2CardTouroku::onFinishPutUserIDm(int resultCode)
{
    onFinishPutUserIDm(QStringLiteral("%1").arg(resultCode));
}

void Form2CardTouroku::showCloudError(QString code)
{
    beginWindow();
    const char* const* lines = otherError;
    for (const ErrorLines& row : errorTable) {
        if (code == QLatin1String(row.code))
            lines = row.lines;
    }
    Form3Popup::showError(QString::fromUtf8(lines[0]), QString::fromUtf8(lines[1]), QString::fromUtf8(lines[2]));
}

void Form2CardTouroku::clearEditFields()
{
    userID = 0;
    userName.clear();
    cardID.clear();
    cardType.clear();
    cardLen.clear();
}
