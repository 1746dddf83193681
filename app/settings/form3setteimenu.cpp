#include "form3setteimenu.h"

#include "dbsetting.h"
#include "debugline.h"
#include "keypad.h"
#include "mydebug.h"
#include "mylabel.h"
#include "pagehost.h"
#include "screenparts.h"
#include "zsystem.h"

namespace {

using MenuItem = Form4Settei0MenuBase::MenuItem;

const MenuItem basicButtons[] = {
    {QStringLiteral("00"), QStringLiteral("非接触カードの種類確認"), 151, 69},
    {QStringLiteral("01"), QStringLiteral("非接触カード登録"), 151, 120},
    {QStringLiteral("02"), QStringLiteral("初期設定"), 151, 171},
    {QStringLiteral("03"), QStringLiteral("通信設定"), 151, 222},
    {QStringLiteral("13"), QStringLiteral("時刻同期"), 151, 69},
    {QString(), QString(), 151, 120},
    {QString(), QString(), 151, 171},
    {QString(), QString(), 151, 222},
};

const MenuItem cloudButtons[] = {
    {QStringLiteral("00"), QStringLiteral("非接触カードの種類確認"), 151, 69},
    {QStringLiteral("01"), QStringLiteral("非接触カード登録"), 151, 120},
    {QStringLiteral("02"), QStringLiteral("初期設定"), 151, 171},
    {QStringLiteral("03"), QStringLiteral("通信設定"), 151, 222},
    {QStringLiteral("10"), QStringLiteral("センター接続確認"), 151, 69},
    {QStringLiteral("11"), QStringLiteral("通信"), 151, 120},
    {QStringLiteral("12"), QStringLiteral("システム更新"), 151, 171},
    {QStringLiteral("13"), QStringLiteral("時刻同期"), 151, 222},
};

constexpr int ButtonsPerPage = 4;
constexpr int PageCount = 2;

QString backgroundImage(int edition, int page)
{
    switch (edition) {
    case ZSystem::Cloud:
        return page == 0 ? QStringLiteral("../Parts/09クラウド画面/VantroQoメニュー1.png")
                         : QStringLiteral("../Parts/09クラウド画面/VantroQoメニュー2.png");
    case ZSystem::Merid:
        return page == 0 ? QStringLiteral("../Parts/11Merid画面/VantroQoMメニュー.png")
                         : QStringLiteral("../Parts/11Merid画面/VantroQoMメニュー2.png");
    default:
        return page == 0 ? QStringLiteral("../Parts/02VantroQoメニュー背景/VantroQoメニュー2.png")
                         : QStringLiteral("../Parts/02VantroQoメニュー背景/VantroQoメニュー3.png");
    }
}

// The buttons that open without the password are written in black, the others in dark green.
bool isOpenButton(const QString& id)
{
    return id == QStringLiteral("00") || id == QStringLiteral("10") || id == QStringLiteral("11")
        || id == QStringLiteral("12") || id == QStringLiteral("13");
}

const QString buttonSound = QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav");

}  // namespace

Form3SetteiMenu::Form3SetteiMenu(QObject* parent, int page)
    : CodeKeypadMenu(parent, page)
    , page(page)
{
    if (page < 0 || page >= PageCount) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "no such page, page 0 shown:" << page;
        this->page = 0;
    }
    bgImagePath = backgroundImage(ZSystem::mode(), this->page);
    createItems();
    connect(label, &MyLabel::clicked, this, &Form3SetteiMenu::clickMyLabel);
    createKeypad();
    active = true;
    updateScreenNew();
}

Form3SetteiMenu::~Form3SetteiMenu()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "dest.";
}

QString Form3SetteiMenu::getTitle(QString)
{
    return QString();
}

void Form3SetteiMenu::createItems()
{
    const int edition = ZSystem::mode();
    const MenuItem* table = edition == ZSystem::Basic ? basicButtons : cloudButtons;
    if (edition == ZSystem::Basic || edition == ZSystem::Cloud || edition == ZSystem::Merid) {
        for (int i = 0; i < ButtonsPerPage; ++i)
            menuItems.append(table[page * ButtonsPerPage + i]);
    }
    items = menuItems;
}

void Form3SetteiMenu::setItem(const MenuItem& button)
{
    label->initItem(&item);
    item.id = button.id;
    item.x = button.x;
    item.y = button.y;
    item.w = 230;
    item.h = 41;
    item.label.x = button.x;
    item.label.y = button.y;
    item.label.px = 18;
    item.label.margin = 0;
    if (isOpenButton(button.id)) {
        item.label.r = item.label.g = item.label.b = 0;
    } else {
        item.label.r = 80;
        item.label.g = 99;
        item.label.b = 42;
    }
    item.label.a = 255;
    item.label.text = button.title;
    label->setItem(&item);
}

void Form3SetteiMenu::setBgItems()
{
    for (const MenuItem& button : qAsConst(menuItems))
        setItem(button);
}

void Form3SetteiMenu::setBgBackButton()
{
    const auto touchArea = [this](const QString& id, int y) {
        setTouchArea(label, &item, id, 368, y, 82, 34);
    };
    touchArea(page == 0 ? QStringLiteral("Next") : QStringLiteral("Prev"), 149);
    touchArea(QStringLiteral("Kanri"), 188);
    touchArea(QStringLiteral("Back"), 227);
}

void Form3SetteiMenu::setBackground()
{
    setBgImage();
    setBgBackButton();
    setBgItems();
    setBgAppVersion();
}

void Form3SetteiMenu::setForeground()
{
}

void Form3SetteiMenu::showKeypad()
{
    drawKeypad();
    label->setPast();
    keypad->setForeground();
    label->setFlash();
}

int Form3SetteiMenu::adminPassword()
{
    int password = -1;
    const bool read = DBSetting::getParamJ(QStringLiteral("管理者パスワード"), &password) == 0;
    if (!read || password < 0 || password > 999999) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "管理者パスワード取得NG";
        return DefaultAdminPassword;
    }
    return password;
}

void Form3SetteiMenu::tryChangeMode()
{
    const int entry = typedCode();
    const int password = adminPassword();
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "pendingID:" << pendingId
                << "complete:" << (entry >= 0);

    if (entryTooShort()) {
        refuseEntry(QStringLiteral("入力不足"));
        return;
    }
    if (entry >= 0 && entry == password && !pendingId.isEmpty()) {
        if (pendingId == QStringLiteral("01"))
            openAfterEntry(false, 6);
        else if (pendingId == QStringLiteral("02"))
            openAfterEntry(true, 9);
        else
            openAfterEntry(true, 15);
        return;
    }
    if (entry == AccessCode && pendingId.isEmpty()) {
        openAfterEntry(true, 22);
        return;
    }
    refuseEntry(QString());
}

void Form3SetteiMenu::clickMyLabel(MyLabel* obj, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "enter" << MyLabel::loggedTouchId(id);
    if (!obj)
        return;

    if (active) {
        const auto movePage = [this](int number) {
            if (PageHost* pages = host("movePage"))
                pages->movePage(number, this);
        };
        if (id == QStringLiteral("00"))
            return movePage(1);
        if (id == QStringLiteral("01") || id == QStringLiteral("02") || id == QStringLiteral("03")) {
            pendingId = id;
            return showKeypad();
        }
        if (id == QStringLiteral("10"))
            return movePage(3);
        if (id == QStringLiteral("11"))
            return movePage(4);
        if (id == QStringLiteral("12"))
            return movePage(5);
        if (id == QStringLiteral("13"))
            return movePage(2);
        if (id == QStringLiteral("Kanri")) {
            pendingId.clear();
            return showKeypad();
        }
        if (id == QStringLiteral("Back"))
            return moveToBack();
        if (id == QStringLiteral("Next"))
            return movePage(8);
        if (id == QStringLiteral("Prev"))
            return movePage(7);
    }
    if (id == QStringLiteral("Cancel")) {
        closeKeypad();
    } else if (id == QStringLiteral("_BG_Enter")) {
        tryChangeMode();
    }
}
