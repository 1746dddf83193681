#include "form4netset.h"

#include "dbsetting.h"
#include "mylabel.h"
#include "pagehost.h"
#include "zsystem.h"

#include <QTimer>

namespace {

// Row ids five a page; an empty id is a blank row.
const char* const basicIds[] = {
    "00", "01", "02", "03", "",
    "10", "11", "12", "13", "14",
};

const char* const cloudIds[] = {
    "13", "21", "22", "23", "24",
    "00", "01", "02", "05", "",
    "10", "11", "12", "15", "14",
};

// A flag item of setting.db; a missing item counts as off.
bool settingOn(const char* name)
{
    int value = 0;
    DBSetting::getSetting(QString::fromUtf8(name), &value);
    return value > 0;
}

}  // namespace

int Form4NetSet::pageCount()
{
    return ZSystem::mode() == ZSystem::Basic ? 2 : 3;
}

Form4NetSet::Form4NetSet(QObject* parent, int menuNumber)
    : Form4Settei0MenuBase(parent, menuNumber)
{
    connect(label, &MyLabel::clicked, this, &Form4NetSet::clickMyLabel);
    pageIndex = setPage(QStringLiteral("通信設定"), FirstMenu, pageCount(), menuNumber);
    bgImagePath = QStringLiteral("../Parts/03設定画面背景/設定画面_パターン1.png");
    shosaiPageId = DetailScreen;
    rowStyle = whiteValueRows();
    loadDns();
    loadDataWifi();
    createItems();
    updateScreenNew();

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &Form4NetSet::timeout);
    timer->start(RefreshMs);
}

Form4NetSet::~Form4NetSet()
{
    disconnect(label, nullptr, this, nullptr);
    timer->stop();
    disconnect(timer, nullptr, this, nullptr);
    delete timer;
    timer = nullptr;
}

void Form4NetSet::loadDns()
{
    dnsAutoOn = ZSystem::mode() != ZSystem::Basic && settingOn("DNSの設定");
}

void Form4NetSet::loadDataWifi()
{
    wifiOn = settingOn("無線LAN");
    const bool cloud = ZSystem::mode() != ZSystem::Basic;
    dhcpOn = cloud && settingOn("DHCPの設定");
    proxyOn = cloud && settingOn("プロキシ設定");
    proxyAuthOn = cloud && settingOn("プロキシ認証");
    // The name server comes from DHCP only while the addresses do.
    dnsAutoOn = dnsAutoOn && dhcpOn;
}

QString Form4NetSet::getTitle(QString id)
{
    return GetTitle(id);
}

void Form4NetSet::createItems()
{
    const bool basic = ZSystem::mode() == ZSystem::Basic;
    const char* const* ids = (basic ? basicIds : cloudIds) + pageIndex * RowsPerPage;
    for (int row = 0; row < RowsPerPage; ++row) {
        const QString id = QString::fromLatin1(ids[row]);
        items.append(pageRow(row, id, id.isEmpty() ? QString() : GetTitle(id)));
    }
}

void Form4NetSet::moveToWifi(QString id)
{
    if (PageHost* pages = host("moveToShosai"))
        pages->moveToShosai(WifiScreen, this, id);
}

void Form4NetSet::moveToProxy(QString id)
{
    if (PageHost* pages = host("moveToShosai"))
        pages->moveToShosai(ProxyScreen, this, id);
}

void Form4NetSet::moveToProxyAuth(QString id)
{
    if (PageHost* pages = host("moveToShosai"))
        pages->moveToShosai(ProxyAuthScreen, this, id);
}

void Form4NetSet::clickMyLabel(MyLabel* obj, QString id)
{
    if (!obj)
        return;
    // No row of this menu is ever highlighted.
    if (id.startsWith(QStringLiteral("Bar")))
        return;
    if (id == QStringLiteral("14"))
        moveToWifi(id);
    else if (id == QStringLiteral("23"))
        moveToProxy(id);
    else if (id == QStringLiteral("24"))
        moveToProxyAuth(id);
    else
        Form4Settei0MenuBase::clickMyLabel(obj, id);
}

void Form4NetSet::timeout()
{
    updateScreenNew();
}
