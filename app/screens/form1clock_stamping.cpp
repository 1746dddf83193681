#include "form1clock.h"

#include "dbdakoku.h"
#include "dbsetting.h"
#include "debugline.h"
#include "iccardmodule.h"
#include "mydebug.h"
#include "mytimer.h"
#include "platform/clock.h"
#include "soundmodule.h"
#include "zsystem.h"

// A card touch on the clock: the checks that decide whether it stamps, the store of its
// stamps and the answer (name alert, sound, door pulse).

namespace {

enum StampCode {
    Shukkin = 1,
    Taikin = 102,
    Higawaritai = 114,
    Kaijou = 821,
};

const QString errorSound = QStringLiteral("/VnQo/app/Sound/%1/ERROR.wav");
constexpr int messageWaitMs = 1500;
constexpr int prohibitedCard = 3;
constexpr int fullStoreLevel = 6;

bool doorLockMode(int operationMode)
{
    return operationMode == 3 || operationMode == 4;
}

}  // namespace

void Form1Clock::onCardTouch(bool ret, QString cardID, int cardAuth, int userID, QString userName)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << (allowCardTouch ? "true" : "false")
              << (ret ? "true" : "false") << cardID << cardAuth << userID << userName;
    setClockModoriTimer();

    if (formActive != 2 && !allowCardTouch)
        return;
    if (MyTimer::getInstance()->setBacklight(true))
        return;
    if (!userFlashMounted) {
        ICCardModule::playNGSound();
        return;
    }
    if (cardAuth == prohibitedCard) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "禁止カード";
        ICCardModule::playNGSound();
        resetPanel();
        return;
    }
    if (!ret || userID == 0) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "不正ユーザ";
        ICCardModule::playNGSound();
        showCardMessage(QStringLiteral("氏名の登録がありません"));
        holdSelectionAfterRefusal();
        return;
    }
    if (dakokuCapacityLevel == fullStoreLevel) {
        SoundModule::playTouchNG();
        return;
    }
    if (selectedKubunList.isEmpty()) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "パネルが選択されていません";
        SoundModule::play(errorSound, SoundModule::cardVolume);
        showCardMessage(QStringLiteral("区分が選択されていません"));
        resetPanel();
        holdSelectionAfterRefusal();
        return;
    }
    if (userID == lastUserID) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "同一人物のカードタッチ" << userID;
        return;
    }

    if (currentPage) {
        dropScreen(currentPage.data());
        currentPage = nullptr;
    }
    MyTimer::getInstance()->stopTouchYusen();
    lastUserID = userID;
    trySaveDakoku(userID, userName);
}

void Form1Clock::showCardMessage(const QString& text)
{
    infoMessage = text;
    updateScreen();
    vnq::clock().sleepMs(messageWaitMs);
    infoMessage.clear();
}

void Form1Clock::holdSelectionAfterRefusal()
{
    MyTimer::getInstance()->setTouchYusen(-1);
    lastUserID = -1;
    updateScreen();
}

QList<int> Form1Clock::stampKinds() const
{
    QList<int> kinds = selectedKubunList;
    if (doorLockMode(operationMode) && !kinds.contains(Kaijou))
        kinds << Kaijou;
    return kinds;
}

void Form1Clock::trySaveDakoku(int userID, QString userName)
{
    const QDateTime now = vnq::clock().now();
    if (!saveDakoku(userID, userName, stampKinds(), now)) {
        SoundModule::play(errorSound, SoundModule::cardVolume);
        MyTimer::getInstance()->setTouchYusen(-1);
        lastUserID = -1;
        return;
    }
    showPopAlert(Form3PopAlart::NameAlert, userName, QString(), QString());
    answerStamp();
    if (doorLockMode(operationMode))
        pulseDoorLock();
    loadDakokuCapacityLevel();
}

bool Form1Clock::saveDakoku(int userID, QString, const QList<int>& kubunCodes, QDateTime now)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "dakokuCapacityLevel:" << dakokuCapacityLevel;
    if (dakokuCapacityLevel == fullStoreLevel) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻保存MAX！！";
        return false;
    }
    QList<float> kinds;
    for (int code : kubunCodes)
        kinds << float(code);
    // The double-stamp cancel and every kind of the touch commit together: a failure keeps
    // the user's earlier stamp and stores no part of this touch.
    if (!DBDakoku::setDakokuWithCancel(userID, kinds, now)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻保存失敗！！";
        return false;
    }
    for (int code : kubunCodes)
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻保存 userID:" << userID
                  << "kubunCode:" << code << "now:" << now.toString(Qt::ISODate);
    return true;
}

void Form1Clock::answerStamp()
{
    if (selectedKubunList.contains(Shukkin)) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "出勤音鳴動";
        ICCardModule::playShukkinSound();
    } else if (selectedKubunList.contains(Taikin) || selectedKubunList.contains(Higawaritai)) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "退勤音鳴動";
        ICCardModule::playTaikinSound();
    } else {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "カード読取OK音鳴動";
        ICCardModule::playOKSound();
    }
}

void Form1Clock::pulseDoorLock()
{
    int seconds = 0;
    int min = 0;
    int max = 0;
    if (!DBSetting::getSetting(QStringLiteral("接点出力秒数"), &seconds, &min, &max))
        return;
    // A value taken over from the service is not range-checked; a door held open for hours
    // is worse than a short pulse.
    seconds = qBound(min, seconds, max);
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "電気錠 GPIO 出力" << seconds;
    ZSystem::getInstance()->gpio(ZSystem::GPIO138, 0, seconds);
}
