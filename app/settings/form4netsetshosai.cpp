#include "form4netsetshosai.h"

#include "form4netset.h"
#include "heartbeat.h"
#include "keypad.h"
#include "mydebug.h"
#include "mylabel.h"
#include "networkmanager.h"
#include "pagehost.h"
#include "zsystem.h"

Form4NetSetShosai::Form4NetSetShosai(QObject* parent, QString id)
    : Form4Settei0ShosaiBase2(parent)
{
    itemId = id;
    title = getTitle(itemId);
    bgImagePath.clear();
    pageId = Form4NetSet::DetailScreen;
    parentPageId = parentPageOf(itemId);
    openKeypad();
}

Form4NetSetShosai::~Form4NetSetShosai()
{
    delete keypad;
    keypad = nullptr;
    disconnect(MyLabel::getInstance(), nullptr, this, nullptr);
}

int Form4NetSetShosai::parentPageOf(const QString& id)
{
    constexpr int first = Form4NetSet::FirstMenu;
    if (ZSystem::mode() == ZSystem::Basic)
        return first + id.toInt() / 10;
    const QStringList wired{QStringLiteral("00"), QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("05")};
    const QStringList wireless{QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("14"),
                               QStringLiteral("15")};
    if (wired.contains(id))
        return first + 1;
    if (wireless.contains(id))
        return first + 2;
    if (id == QStringLiteral("90") || id == QStringLiteral("91"))
        return Form4NetSet::ProxyScreen;
    return first;
}

QString Form4NetSetShosai::getTitle(QString id)
{
    return Form4NetSet::GetTitle(id);
}

void Form4NetSetShosai::applySettings()
{
    // Taking the network down and up blocks for up to two minutes.
    vnq::WatchdogPause longWork;
    if (PageHost* pages = host("changeSettings"))
        pages->changeSettings();
    NetworkManager::downNetwork();
    if (!NetworkManager::setNetwork())
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ネットワーク設定失敗" << title;
}
