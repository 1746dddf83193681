#include "form4netset.h"

#include "dbsetting.h"
#include "mylabel.h"
#include "pagehost.h"
#include "zsystem.h"

#include <QTimer>

namespace {

constexpr int RowsPerPage = 5;
constexpr qint16 RowX = 45;
constexpr qint16 RowY[RowsPerPage] = {53, 87, 121, 155, 189};

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
        items.append({id, id.isEmpty() ? QString() : GetTitle(id), RowX, RowY[row]});
    }
}

void Form4NetSet::setItems(QString selectedId)
{
    for (const MenuItem& row : qAsConst(items)) {
        if (selectedId.isEmpty())
            setItem(row, false, isEnabledItem(row.id));
        else if (row.id == selectedId)
            setItem(row, true, isEnabledItem(row.id));
    }
}

void Form4NetSet::setItem(QString id, QString title, int x, int y, bool selected, bool enabled)
{
    RowStyle style;
    style.touchable = active && enabled && !title.isEmpty();
    style.longValuePx = 14;
    style.longValueDy = 5;
    style.greyDisabledValue = false;
    drawRow(id, title, getValue(id), x, y, selected, enabled, style);
}

void Form4NetSet::setItem(const MenuItem& row, bool selected, bool enabled)
{
    setItem(row.id, row.title, row.x, row.y, selected, enabled);
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
    if (id == QStringLiteral("Exit"))
        moveToMain();
    else if (id == QStringLiteral("Prev"))
        moveToPrev();
    else if (id == QStringLiteral("Next"))
        moveToNext();
    else if (id == QStringLiteral("Back"))
        moveToBack();
    else if (id == QStringLiteral("14"))
        moveToWifi(id);
    else if (id == QStringLiteral("23"))
        moveToProxy(id);
    else if (id == QStringLiteral("24"))
        moveToProxyAuth(id);
    else if (id == QStringLiteral("00") || id.toInt() != 0)
        moveToShosai(id);
}

void Form4NetSet::timeout()
{
    updateScreenNew();
}
