#include "form4netsetproxyauth.h"

#include "dbproxy.h"
#include "dbsetting.h"
#include "form4netset.h"
#include "mydebug.h"
#include "mylabel.h"
#include "screenparts.h"

namespace {

const int MainView = 0;
const FullKeyboard::Pages KeyboardPages{1, 2, 4};
const int MaxLength = 32;
const QString AuthSetting = QStringLiteral("プロキシ認証");
const QString IdTitle = QStringLiteral("ID");
const QString PasswordTitle = QStringLiteral("パスワード");

QString shownValue(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("未入力") : shortenedValue(text);
}

}  // namespace

Form4NetSetProxyAuth::Form4NetSetProxyAuth(QObject* parent, QString itemId)
    : Form4Settei0ShosaiBase2(parent)
    , keys(this, KeyboardPages, [this] { trySave(); }, [this] { tryCancel(); })
{
    connect(label, &MyLabel::clicked, this, &Form4NetSetProxyAuth::clickMyLabel);
    this->itemId = itemId;
    title = getTitle(itemId);
    bgImagePath = QStringLiteral("../Parts/10プロキシ設定/プロキシ認証画面.png");
    pageId = DetailScreen;
    parentPageId = 15;
    loadData();
    updateScreenNew();
}

Form4NetSetProxyAuth::~Form4NetSetProxyAuth()
{
    disconnect(MyLabel::getInstance(), nullptr, this, nullptr);
}

QString Form4NetSetProxyAuth::getTitle(QString id)
{
    return Form4NetSet::GetTitle(id);
}

void Form4NetSetProxyAuth::loadData()
{
    loadDataManual(title, &keyType);
    loadDataAuth();
}

void Form4NetSetProxyAuth::loadDataAuth()
{
    DBSetting::getSetting(AuthSetting, &onOff);
    DBProxy::getAuth(title, &userId, &password);
}

void Form4NetSetProxyAuth::setBackground()
{
    setBgImage();
    setBgBackButton();
    if (keys.isShown()) {
        keys.setBgShownPage();
    } else {
        setBgButton();
        setBgData();
    }
    keys.setBgKeypadTitle(keyboardTitle);
}

void Form4NetSetProxyAuth::setBgButton()
{
    const KeypadShape buttons[] = {
        {QStringLiteral("Exit"), QString(), 368, 225, 82, 34},
        {QStringLiteral("EnableSec"), QString(), 135, 65, 100, 28},
        {QStringLiteral("DisableSec"), QString(), 240, 65, 100, 28},
        {QStringLiteral("Mode_ID_INP"), QString(), 385, 103, 63, 32},
        {QStringLiteral("Mode_PW_INP"), QString(), 385, 141, 63, 32},
    };
    for (const KeypadShape& button : buttons)
        keys.setBgKeypad(0, 0, button);
}

void Form4NetSetProxyAuth::setBgData()
{
    setValueText(label, &item, 132, 106, shownValue(userId));
    setValueText(label, &item, 132, 144, shownValue(password));
}

void Form4NetSetProxyAuth::setForeground()
{
    if (keys.isShown())
        keys.setFgValue(0, 0, keys.buffer());
    else
        setFgProxy();
}

void Form4NetSetProxyAuth::setFgProxy()
{
    const bool on = onOff != 0;
    setImage(label, &item, on ? 135 : 240, 65,
             QStringLiteral("../Parts/10プロキシ設定/%1.png").arg(on ? QStringLiteral("する") : QStringLiteral("しない")));
}

void Form4NetSetProxyAuth::updateScreenId()
{
    keyboardTitle = IdTitle;
    keys.open(userId, MaxLength, false);
}

void Form4NetSetProxyAuth::updateScreenPassword()
{
    keyboardTitle = PasswordTitle;
    keys.open(password, MaxLength, true);
}

void Form4NetSetProxyAuth::tryCancel()
{
    keys.setPage(MainView);
    keyboardTitle.clear();
    updateScreenNew();
}

bool Form4NetSetProxyAuth::storeId(const QString& id)
{
    QString storedId;
    QString storedPassword;
    return DBProxy::setId(title, id) && DBProxy::getAuth(title, &storedId, &storedPassword) && storedId == id;
}

bool Form4NetSetProxyAuth::storePassword(const QString& password)
{
    QString storedId;
    QString storedPassword;
    return DBProxy::setPass(title, password) && DBProxy::getAuth(title, &storedId, &storedPassword)
        && storedPassword == password;
}

void Form4NetSetProxyAuth::trySave()
{
    const bool saved = keyboardTitle == IdTitle ? storeId(keys.buffer()) : storePassword(keys.buffer());
    finishSave(keyboardTitle, saved);
}

void Form4NetSetProxyAuth::trySave(int chosenOnOff)
{
    const bool saved = saveDataValue(AuthSetting, chosenOnOff);
    if (saved)
        onOff = chosenOnOff;
    finishSave(AuthSetting, saved);
}

void Form4NetSetProxyAuth::finishSave(const QString& name, bool saved)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << name << (saved ? "true" : "false");
    loadDataAuth();
    keys.setPage(MainView);
    keyboardTitle.clear();
    // The view below an error window shows what storage holds.
    showStoreResult(saved);
}

void Form4NetSetProxyAuth::clickMyLabel(MyLabel* obj, QString id)
{
    if (!obj)
        return;
    if (active) {
        if (id == QStringLiteral("Back"))
            return keys.isShown() ? tryCancel() : moveToBack();
        if (id == QStringLiteral("Cancel") || id == QStringLiteral("Exit"))
            return moveToBack();
    }
    if (clickWindowButton(id) || !active)
        return;

    if (id == QStringLiteral("DisableSec") || id == QStringLiteral("EnableSec")) {
        trySave(id == QStringLiteral("EnableSec") ? 1 : 0);
    } else if (id == QStringLiteral("Mode_ID_INP")) {
        updateScreenId();
    } else if (id == QStringLiteral("Mode_PW_INP")) {
        updateScreenPassword();
    } else if (!keys.clickPadKey(id) && id.startsWith(QStringLiteral("Full"))) {
        keys.clickKey(id);
    }
}
