#include "form4netsetwifi.h"

#include "dbwifi.h"
#include "debugline.h"
#include "form4netset.h"
#include "mydebug.h"
#include "mylabel.h"
#include "mytimer.h"
#include "networkmanager.h"
#include "pagehost.h"
#include "platform/clock.h"
#include "screenparts.h"
#include "soundmodule.h"
#include "zsystem.h"

namespace {

const int MainView = 0;
const int ListView = 1;
const FullKeyboard::Pages KeyboardPages{2, 4, 8};
const int SsidMaxLength = 32;
const int KeyMaxLength = 64;
const int ListRows = 5;
// One reading a second; the connection is confirmed on the fourth good reading in a row.
const int CheckReadings = 30;
const int GoodReadingsInARow = 4;
const int ReadingPauseMs = 1000;
const QString SecurityModes[] = {QStringLiteral("OPEN"), QStringLiteral("WPA"), QStringLiteral("WPA2")};

void playButtonSound()
{
    SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav"), SoundModule::touchVolume);
}

}  // namespace

Form4NetSetWifi::Form4NetSetWifi(QObject* parent, QString itemId)
    : Form4Settei0ShosaiBase2(parent)
    , keys(this, KeyboardPages, [this] { trySave(keys.buffer()); }, [this] { tryCancel(); })
{
    connect(label, &MyLabel::clicked, this, &Form4NetSetWifi::clickMyLabel);
    this->itemId = itemId;
    title = getTitle(itemId);
    bgImagePath = QStringLiteral("../Parts/05無線LAN設定/無線LAN設定画面1.png");
    pageId = DetailScreen;
    parentPageId = ZSystem::mode() == ZSystem::Basic ? 16 : 17;
    loadData();
    antennaLevel = NetworkManager::getApSignalLevel();
    connectionConfirmed = antennaLevel > 0;
    updateScreenNew();
}

Form4NetSetWifi::~Form4NetSetWifi()
{
    disconnect(MyLabel::getInstance(), nullptr, this, nullptr);
    if (!connectionConfirmed) {
        applySettings();
        NetworkManager::setNetwork();
    }
}

QString Form4NetSetWifi::getTitle(QString id)
{
    return Form4NetSet::GetTitle(id);
}

void Form4NetSetWifi::loadData()
{
    loadDataManual(title, &keyType);
    loadDataWifi();
}

void Form4NetSetWifi::loadDataWifi()
{
    DBWifi::getWifi(title, &ssid, &key, &security);
}

void Form4NetSetWifi::applySettings()
{
    if (PageHost* pages = host("changeSettings"))
        pages->changeSettings();
    if (!storeSecurity())
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "セキュリティ保存失敗" << security;
}

bool Form4NetSetWifi::storeSsid(const QString& text)
{
    QString stored;
    return DBWifi::setWifiSsid(title, text) && DBWifi::getWifi(title, &stored, nullptr, nullptr) && stored == text;
}

bool Form4NetSetWifi::storeKey(const QString& text)
{
    QString stored;
    return DBWifi::setWifiPassword(title, text) && DBWifi::getWifi(title, nullptr, &stored, nullptr) && stored == text;
}

bool Form4NetSetWifi::storeSecurity()
{
    QString stored;
    return DBWifi::setWifiSecurity(title, security) && DBWifi::getWifi(title, nullptr, nullptr, &stored)
        && stored == security;
}

// --- Drawing ---

void Form4NetSetWifi::setBackground()
{
    setBgImage();
    setBgBackButton();
    if (keys.page() == ListView) {
        setBgKeypadSsid(0, 0);
    } else if (keys.isShown()) {
        keys.setBgShownPage();
    } else {
        setBgWifiButton();
        setBgWifiData();
    }
    keys.setBgKeypadTitle(keyboardTitle());
}

QString Form4NetSetWifi::keyboardTitle() const
{
    if (keys.page() == ListView)
        return QStringLiteral("SSIDリスト");
    if (keys.isShown())
        return storeTargetIsSsid ? QStringLiteral("SSID") : QStringLiteral("セキュリティキー");
    return QString();
}

void Form4NetSetWifi::setBgWifiButton()
{
    const KeypadShape buttons[] = {
        {QStringLiteral("Exit"), QString(), 368, 225, 82, 34},
        {QStringLiteral("Check_AP"), QString(), 318, 65, 130, 32},
        {QStringLiteral("Mode_ID_INP"), QString(), 318, 103, 63, 32},
        {QStringLiteral("Mode_ID_SRCH"), QString(), 384, 103, 63, 32},
        {QStringLiteral("Mode_PW_INP"), QString(), 318, 141, 130, 32},
        {QStringLiteral("Sec_OPEN"), QString(), 135, 181, 100, 28},
        {QStringLiteral("Sec_WPA"), QString(), 240, 181, 100, 28},
        {QStringLiteral("Sec_WPA2"), QString(), 345, 181, 100, 28},
    };
    for (const KeypadShape& button : buttons)
        keys.setBgKeypad(0, 0, button);
}

void Form4NetSetWifi::setBgWifiData()
{
    setValueText(label, &item, 132, 106, shortenedValue(ssid));
    setValueText(label, &item, 132, 144, shortenedValue(key));
}

void Form4NetSetWifi::setForeground()
{
    if (keys.page() == ListView)
        setFgSsid();
    else if (keys.isShown())
        keys.setFgValue(0, 0, keys.buffer());
    else
        setFgWifi();
}

void Form4NetSetWifi::setFgWifi()
{
    if (antennaLevel > 0 && connectionConfirmed) {
        setImage(label, &item, 135, 65, QStringLiteral("../Parts/05無線LAN設定/有効.png"));
        setImage(label, &item, 260, 65, QStringLiteral("../Parts/05無線LAN設定/アンテナ%1.png").arg(antennaLevel));
    }
    const int buttonX[] = {135, 240, 345};
    for (int i = 0; i < 3; ++i) {
        if (security == SecurityModes[i])
            setImage(label, &item, buttonX[i], 181, QStringLiteral("../Parts/05無線LAN設定/%1.png").arg(SecurityModes[i]));
    }
}

void Form4NetSetWifi::setBgKeypadSsid(int x0, int y0)
{
    setImage(label, &item, x0, y0, QStringLiteral("../Parts/06_テンキー画面/テンキー画面10.png"));
    QVector<KeypadShape> listKeys;
    for (int row = 0; row < ListRows; ++row)
        listKeys.append({QStringLiteral("Ssid_%1").arg(row + 1), QString(), 16, short(64 + 40 * row), 410, 33});
    listKeys << KeypadShape{QStringLiteral("Ssid_C"), QString(), 431, 64, 34, 34}
             << KeypadShape{QStringLiteral("Ssid_U_BG_"), QString(), 431, 104, 34, 34}
             << KeypadShape{QStringLiteral("Ssid_D_BG_"), QString(), 431, 144, 34, 34}
             << KeypadShape{QStringLiteral("Ssid_E"), QString(), 431, 184, 34, 74};
    for (const KeypadShape& listKey : listKeys)
        keys.setBgKeypad(x0, y0, listKey);
}

void Form4NetSetWifi::setFgSsid()
{
    for (int row = 0; row < ListRows && listPageStart + row < accessPoints.size(); ++row) {
        const QString& entry = accessPoints.at(listPageStart + row);
        label->initItem(&item);
        item.label.x = 30;
        item.label.y = 70 + 40 * row;
        item.label.px = 20;
        item.label.margin = 0;
        item.label.r = entry == markedSsid ? 255 : 0;
        item.label.g = item.label.b = 0;
        item.label.a = 255;
        item.label.text = entry;
        label->setItem(&item);
    }
}

// --- Touches ---

void Form4NetSetWifi::clickMyLabel(MyLabel* obj, QString id)
{
    if (!obj)
        return;
    if (active) {
        if (id == QStringLiteral("Back")) {
            if (keys.page() == MainView)
                return moveToBack();
            return tryCancel();
        }
        if (id == QStringLiteral("Exit"))
            return moveToBack();
    }
    if (clickWindowButton(id) || !active)
        return;

    if (id == QStringLiteral("Check_AP")) {
        updateCheckAp();
    } else if (id == QStringLiteral("Mode_ID_SRCH")) {
        connectionConfirmed = false;
        searchAccessPoints();
    } else if (id == QStringLiteral("Mode_ID_INP")) {
        updateScreenSsid();
    } else if (id == QStringLiteral("Mode_PW_INP")) {
        updateScreenPassword();
    } else if (keys.clickPadKey(id)) {
    } else if (id.startsWith(QStringLiteral("Ssid"))) {
        connectionConfirmed = false;
        clickSsid(id);
    } else if (id.startsWith(QStringLiteral("Full"))) {
        connectionConfirmed = false;
        keys.clickKey(id);
    } else if (id.startsWith(QStringLiteral("Sec_"))) {
        const QString mode = id.mid(4);
        if (std::find(std::begin(SecurityModes), std::end(SecurityModes), mode) == std::end(SecurityModes))
            return;
        connectionConfirmed = false;
        security = mode;
        updateScreen();
    }
}

// --- Access-point list ---

void Form4NetSetWifi::searchAccessPoints()
{
    showInfo(QStringLiteral("アクセスポイントを"), QStringLiteral("探索しています"), QStringLiteral("しばらくお待ちください"), false,
             QStringLiteral("アクセスポイント探索"));
    accessPoints.clear();
    NetworkManager::getSsidList(&accessPoints);
    listPageStart = 0;
    updateScreenSsidSearch();
}

void Form4NetSetWifi::updateScreenSsidSearch()
{
    keys.setPage(ListView);
    markedSsid = ssid;
    storeTargetIsSsid = true;
    updateScreenNew();
}

void Form4NetSetWifi::updateScreenAndSsidSelect(int row)
{
    const int index = listPageStart + row;
    if (index >= accessPoints.size()) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "選択不可" << row;
        SoundModule::playTouchNG();
        return;
    }
    storeTargetIsSsid = true;
    markedSsid = accessPoints.at(index);
    updateScreenNew();
}

void Form4NetSetWifi::updateScreenAndSsidPrev()
{
    if (listPageStart < ListRows) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "下限:" << listPageStart;
        SoundModule::playTouchNG();
        return;
    }
    listPageStart -= ListRows;
    playButtonSound();
    updateScreenNew();
}

void Form4NetSetWifi::updateScreenAndSsidNext()
{
    if (listPageStart + ListRows >= accessPoints.size()) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "上限:" << listPageStart;
        SoundModule::playTouchNG();
        return;
    }
    listPageStart += ListRows;
    playButtonSound();
    updateScreenNew();
}

void Form4NetSetWifi::clickSsid(const QString& id)
{
    for (int row = 0; row < ListRows; ++row) {
        if (id == QStringLiteral("Ssid_%1").arg(row + 1))
            return updateScreenAndSsidSelect(row);
    }
    if (id == QStringLiteral("Ssid_U_BG_"))
        updateScreenAndSsidPrev();
    else if (id == QStringLiteral("Ssid_D_BG_"))
        updateScreenAndSsidNext();
    else if (id == QStringLiteral("Ssid_C"))
        tryCancel();
    else if (id == QStringLiteral("Ssid_E"))
        trySave(markedSsid);
}

// --- Keyboard ---

void Form4NetSetWifi::updateScreenSsid()
{
    storeTargetIsSsid = true;
    keys.open(ssid, SsidMaxLength, false);
}

void Form4NetSetWifi::updateScreenPassword()
{
    storeTargetIsSsid = false;
    keys.open(key, KeyMaxLength, true);
}

void Form4NetSetWifi::trySave(const QString& text)
{
    const bool saved = storeTargetIsSsid ? storeSsid(text) : storeKey(text);
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << (storeTargetIsSsid ? "SSID" : "key")
              << (saved ? "true" : "false");
    loadDataWifi();
    keys.setPage(MainView);
    // The view below an error window shows what storage holds.
    showStoreResult(saved);
}

void Form4NetSetWifi::tryCancel()
{
    keys.setPage(MainView);
    updateScreenNew();
}

// --- Connection check ---

void Form4NetSetWifi::updateCheckAp()
{
    showInfo(QStringLiteral("アクセスポイントに"), QStringLiteral("接続しています"), QStringLiteral("しばらくお待ちください"), false,
             QStringLiteral("接続チェック"));
    applySettings();
    NetworkManager::downNetwork();
    NetworkManager::setNetwork();
    MyTimer* timer = MyTimer::getInstance();
    timer->stopClockModori();
    timer->stopBacklight();

    connectionConfirmed = false;
    int goodInARow = 0;
    for (int reading = 0; reading < CheckReadings && !connectionConfirmed; ++reading) {
        ++selftick;
        vnq::clock().sleepMs(ReadingPauseMs);
        antennaLevel = NetworkManager::getApSignalLevelOnce();
        goodInARow = antennaLevel > 0 ? goodInARow + 1 : 0;
        connectionConfirmed = goodInARow >= GoodReadingsInARow;
    }
    if (!connectionConfirmed)
        antennaLevel = 0;

    timer->setClockModori();
    timer->setBacklight(true);
    updateScreenNew();
}
