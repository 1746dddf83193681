#include "form2cardtouroku.h"

#include "cloudlink.h"
#include "dbmaster.h"
#include "debugline.h"
#include "form3popup.h"
#include "iccardmodule.h"
#include "keypad.h"
#include "mydebug.h"
#include "mylabel.h"
#include "resultpage.h"
#include "platform/clock.h"
#include "screenparts.h"
#include "soundmodule.h"
#include "zsystem.h"

namespace {
const QString noCard = QStringLiteral("CLEAR");
constexpr int unknownNumberMs = 2000;
}  // namespace

Form2CardTouroku::Form2CardTouroku(QObject* parent)
    : QObject(parent)
    , label(MyLabel::getInstance())
    , cardModule(ICCardModule::getInstance())
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ctor.";
    connect(label, &MyLabel::clicked, this, &Form2CardTouroku::clickMyLabel);
    connect(cardModule, &ICCardModule::cardTouchRaw, this, &Form2CardTouroku::onCardTouchRaw);

    cloud = CloudLink::current();
    if (cloud && ZSystem::mode() == ZSystem::Cloud) {
        connect(cloud, QOverload<QString>::of(&CloudLink::finishedPutUserIDm), this,
                QOverload<QString>::of(&Form2CardTouroku::onFinishPutUserIDm));
    } else if (cloud && ZSystem::mode() == ZSystem::Merid) {
        connect(cloud, QOverload<int>::of(&CloudLink::finishedPutUserIDm), this,
                QOverload<int>::of(&Form2CardTouroku::onFinishPutUserIDm));
    }

    cardWaiting = false;
    keypad = new Keypad(this, 0, 0, QStringLiteral("ID"), QList<int>{-1}, true, QStringLiteral("非接触カードの登録"));
    keypad->activate();
    active = true;
    showKeypad();
}

Form2CardTouroku::~Form2CardTouroku()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "dest.";
    // An answer that comes after the page is gone reaches nothing.
    if (cloud)
        disconnect(cloud, nullptr, this, nullptr);
}

void Form2CardTouroku::showKeypad()
{
    keypad->activate();
    label->setClear();
    keypad->setOriginalValue(-1);
    keypad->setBackground();
    setBgMasterCount();
    label->setCopy();
    label->setFlash();
    label->setPast();
    keypad->setForeground();
    label->setFlash();
}

void Form2CardTouroku::setBgMasterCount()
{
    int count = 0;
    if (!DBMaster::getUserCount(&count))
        count = 0;
    setText(label, &item, FontStyle{15, 240, 14, 0, QStringLiteral("個人マスタ %1件").arg(count), 23, 113, 68, 255});
}

void Form2CardTouroku::updateScreenFade()
{
    label->setNew();
    label->setClear();
    showKeypad();
    keypad->deactivate();
    label->setFlash();
}

void Form2CardTouroku::beginWindow()
{
    active = false;
    updateScreenFade();
}

void Form2CardTouroku::showUserCheck(QString name)
{
    beginWindow();
    Form3Popup::showCardYesNo(name, QStringLiteral("登録しますか"), QString(), QString());
}

void Form2CardTouroku::showCardAction(QString name)
{
    beginWindow();
    Form3Popup::showCardAction(name, QStringLiteral("は登録済みです"), QString(), QString());
}

void Form2CardTouroku::showCardTouch(QString name)
{
    beginWindow();
    Form3Popup::showCardTouch(QStringLiteral("登録"), name, QStringLiteral("カードをタッチしてください"), QString(),
                              QString());
    cardWaiting = true;
}

void Form2CardTouroku::showCardChange(QString name)
{
    beginWindow();
    Form3Popup::showCardTouch(QStringLiteral("変更"), name, QStringLiteral("カードをタッチしてください"), QString(),
                              QString());
    cardWaiting = true;
}

void Form2CardTouroku::showCardDelete()
{
    beginWindow();
    Form3Popup::showCardDeleteYesNo(QString(), QStringLiteral("削除しますか"), QString(), QString());
}

void Form2CardTouroku::showCardCaution(QString owner)
{
    beginWindow();
    Form3Popup::showCardInfo(owner, QStringLiteral("として登録されています"), QString(), QString());
}

void Form2CardTouroku::showCardSaveSuccess(QString name)
{
    beginWindow();
    Form3Popup::showCardSuccess(QStringLiteral("確認"), name, QStringLiteral("登録完了しました"), QString(), QString());
}

void Form2CardTouroku::showCardSaveFailed(QString name)
{
    beginWindow();
    Form3Popup::showCardSuccess(QStringLiteral("確認"), name, QStringLiteral("登録に失敗しました"), QString(), QString());
}

void Form2CardTouroku::showCardDeleteSuccess(QString name)
{
    beginWindow();
    Form3Popup::showCardSuccess(QStringLiteral("確認"), name, QStringLiteral("削除しました"), QString(), QString());
}

void Form2CardTouroku::showCardDeleteFailed(QString name)
{
    beginWindow();
    Form3Popup::showCardSuccess(QStringLiteral("確認"), name, QStringLiteral("削除に失敗しました"), QString(), QString());
}

void Form2CardTouroku::clickMyLabel(MyLabel* obj, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Active: " << (active ? "true" : "false")
              << " id: " << id;
    if (!obj)
        return;
    if (active) {
        if (id == QLatin1String("Cancel") || id == QLatin1String("Back")) {
            moveToBack();
            return;
        }
        if (id == QLatin1String("_BG_Enter")) {
            tryShowPopup(keypad->getValues().value(0, -1));
            return;
        }
    }
    if (id == QLatin1String("Pop_C_Yes")) {
        showCardChange(userName);
    } else if (id == QLatin1String("Pop_C_Del")) {
        showCardDelete();
    } else if (id == QLatin1String("Pop_Yes")) {
        if (cardID != noCard && !cardID.isEmpty()) {
            active = true;
            commitRegistration();
        } else {
            showCardTouch(userName);
        }
    } else if (id == QLatin1String("Pop_Del")) {
        active = true;
        commitDeletion();
    } else if (id == QLatin1String("Pop_No") || id == QLatin1String("Pop_Err") || id == QLatin1String("Pop_Info")) {
        active = true;
        cardWaiting = false;
        label->setNew();
        showKeypad();
    }
}

void Form2CardTouroku::tryShowPopup(int number)
{
    userID = number;
    const bool found = DBMaster::getUserByUserID(number, &userName, nullptr, nullptr, &cardID);
    if (!found) {
        keypad->text = QStringLiteral("-2");
        keypad->errorString = QStringLiteral("ID番号不明");
        keypad->updateScreen();
        SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/ERROR.wav"), SoundModule::touchVolume);
        vnq::clock().sleepMs(unknownNumberMs);
        keypad->text = keypad->initialText;
        keypad->editing = false;
        keypad->updateScreen();
        return;
    }
    SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav"), SoundModule::touchVolume);
    if (cardID != noCard && !cardID.isEmpty())
        showCardAction(userName);
    else
        showUserCheck(userName);
}

void Form2CardTouroku::onCardTouchRaw(QString id, QString type, QString len)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:"
              << QStringLiteral("ID: %1 Type: %2 Len: %3").arg(id, type, len);
    if (label->busy) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "描画中なので回避";
        return;
    }
    if (!cardWaiting)
        return;
    cardWaiting = false;
    cardID = id;
    cardType = type;
    cardLen = len;
    ICCardModule::playOKSound();

    int ownerID = 0;
    QString owner;
    int auth = 0;
    QString password;
    if (!DBMaster::getUserByCardID(id, &ownerID, &owner, &auth, &password)) {
        active = true;
        commitRegistration();
        return;
    }
    if (owner.isEmpty()) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:"
                    << "このカードは手動削除できないので、マスタ情報を受信してください。";
        owner = QStringLiteral("不明");
    }
    showCardCaution(owner);
}

void Form2CardTouroku::moveToBack()
{
    backToClock(this);
}
