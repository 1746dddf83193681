#include "form4netsetproxy.h"

#include "dbsetting.h"
#include "form4netset.h"
#include "mydebug.h"
#include "mylabel.h"
#include "pagehost.h"
#include "screenparts.h"

#include <algorithm>
#include <iterator>

namespace {

const QString UseSetting = QStringLiteral("プロキシ設定");
// The network setting detail screen, which edits the address and the port.
const int AddressDetailScreen = 20;

}  // namespace

Form4NetSetProxy::Form4NetSetProxy(QObject* parent, QString itemId)
    : Form4Settei0ShosaiBase2(parent)
{
    connect(label, &MyLabel::clicked, this, &Form4NetSetProxy::clickMyLabel);
    this->itemId = itemId;
    title = getTitle(itemId);
    bgImagePath = QStringLiteral("../Parts/10プロキシ設定/プロキシ設定画面.png");
    pageId = Screen;
    parentPageId = 15;
    loadData();
    updateScreenNew();
}

Form4NetSetProxy::~Form4NetSetProxy()
{
    disconnect(MyLabel::getInstance(), nullptr, this, nullptr);
}

QString Form4NetSetProxy::getTitle(QString id)
{
    return Form4NetSet::GetTitle(id);
}

void Form4NetSetProxy::loadData()
{
    loadDataManual(title, &keyType);
    loadDataProxy();
}

void Form4NetSetProxy::loadDataProxy()
{
    DBSetting::getSetting(UseSetting, &onOff);
    for (int i = 0; i < 4; ++i)
        DBSetting::getSetting(QStringLiteral("プロキシアドレス%1").arg(i), &octets[i]);
    DBSetting::getSetting(QStringLiteral("プロキシポート番号"), &port);
}

void Form4NetSetProxy::setBackground()
{
    setBgImage();
    setBgBackButton();
    setBgButton();
    setBgData();
}

void Form4NetSetProxy::setBgButton()
{
    const KeypadShape buttons[] = {
        {QStringLiteral("Exit"), QString(), 368, 225, 82, 34},
        {QStringLiteral("Enable"), QString(), 135, 65, 100, 28},
        {QStringLiteral("Disable"), QString(), 240, 65, 100, 28},
        {QStringLiteral("Mode_ADDR_INP"), QString(), 385, 103, 63, 32},
        {QStringLiteral("Mode_PORT_INP"), QString(), 385, 141, 63, 32},
    };
    for (const KeypadShape& button : buttons)
        setBareKey(label, &item, 0, 0, button);
}

void Form4NetSetProxy::setBgData()
{
    const bool unset = std::any_of(std::begin(octets), std::end(octets), [](int octet) { return octet < 0; });
    const QString address = unset ? QStringLiteral("---.---.---.---")
                                  : QStringLiteral("%1.%2.%3.%4").arg(octets[0]).arg(octets[1]).arg(octets[2]).arg(octets[3]);
    setValueText(label, &item, 132, 106, address);
    setValueText(label, &item, 132, 144, QString::number(port));
}

void Form4NetSetProxy::setForeground()
{
    setFgProxy();
}

void Form4NetSetProxy::setFgProxy()
{
    const bool on = onOff != 0;
    setImage(label, &item, on ? 135 : 240, 65,
             QStringLiteral("../Parts/10プロキシ設定/%1.png").arg(on ? QStringLiteral("有効") : QStringLiteral("無効")));
}

void Form4NetSetProxy::activateKeypad(QString id)
{
    if (PageHost* pages = host("moveToShosai"))
        pages->moveToShosai(AddressDetailScreen, this, id);
}

void Form4NetSetProxy::trySave(int chosenOnOff)
{
    const bool saved = saveDataValue(UseSetting, chosenOnOff);
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << UseSetting << chosenOnOff
              << (saved ? "true" : "false");
    if (saved)
        onOff = chosenOnOff;
    loadDataProxy();
    // The view below an error window shows what storage holds.
    showStoreResult(saved);
}

void Form4NetSetProxy::clickMyLabel(MyLabel* obj, QString id)
{
    if (!obj)
        return;
    if (active && (id == QStringLiteral("Back") || id == QStringLiteral("Cancel") || id == QStringLiteral("Exit")))
        return moveToBack();
    if (clickWindowButton(id) || !active)
        return;

    if (id == QStringLiteral("Disable") || id == QStringLiteral("Enable"))
        trySave(id == QStringLiteral("Enable") ? 1 : 0);
    else if (id == QStringLiteral("Mode_ADDR_INP"))
        activateKeypad(QStringLiteral("90"));
    else if (id == QStringLiteral("Mode_PORT_INP"))
        activateKeypad(QStringLiteral("91"));
}
