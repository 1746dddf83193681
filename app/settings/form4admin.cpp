#include "form4admin.h"

#include "mydebug.h"
#include "mylabel.h"
#include "pagehost.h"
#include "screenparts.h"
#include "zsystem.h"

namespace {

using MenuItem = Form4Settei0MenuBase::MenuItem;

const MenuItem rows[2][5] = {
    {
        {QStringLiteral("00"), QStringLiteral("管理者パスワード"), 45, 53},
        {QStringLiteral("01"), QStringLiteral("動作モード"), 45, 87},
        {QStringLiteral("02"), QStringLiteral("バックアップ"), 45, 121},
        {QStringLiteral("03"), QStringLiteral("リストア"), 45, 155},
        {QStringLiteral("04"), QString(), 45, 189},
    },
    {
        {QStringLiteral("10"), QStringLiteral("年月日設定"), 45, 53},
        {QStringLiteral("11"), QStringLiteral("時刻設定"), 45, 87},
        {QStringLiteral("04"), QString(), 45, 121},
        {QStringLiteral("04"), QString(), 45, 155},
        {QStringLiteral("04"), QString(), 45, 189},
    },
};

constexpr int PageCount = 2;

bool isKnownEdition(int edition)
{
    return edition == ZSystem::Basic || edition == ZSystem::Cloud || edition == ZSystem::Merid;
}

}  // namespace

Form4Admin::Form4Admin(QObject* parent, int page)
    : CodeKeypadMenu(parent, page)
    , page(page)
{
    if (page < 0 || page >= PageCount) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "no such page, page 0 shown:" << page;
        this->page = 0;
    }
    title = QStringLiteral("管理者メニュー");
    if (ZSystem::mode() == ZSystem::Basic) {
        this->page = 0;
        bgImagePath = QStringLiteral("../Parts/03設定画面背景/設定画面_パターン2.png");
    } else {
        bgImagePath = this->page == 0 ? QStringLiteral("../Parts/03設定画面背景/設定画面_パターン6.png")
                                      : QStringLiteral("../Parts/03設定画面背景/設定画面_パターン7.png");
    }
    createItems();
    connect(label, &MyLabel::clicked, this, &Form4Admin::clickMyLabel);
    createKeypad();
    active = true;
    updateScreenNew();
}

Form4Admin::~Form4Admin() = default;

QString Form4Admin::getTitle(QString id)
{
    for (const MenuItem& row : rows[page]) {
        if (row.id == id)
            return row.title;
    }
    return id;
}

void Form4Admin::createItems()
{
    if (isKnownEdition(ZSystem::mode())) {
        for (const MenuItem& row : rows[page])
            menuItems.append(row);
    }
    items = menuItems;
}

void Form4Admin::setBackground()
{
    setBgImage();
    setBgBackButton();
    setBgItems();
    setBgAppVersion();
    setBgTitle();
}

void Form4Admin::setBgBackButton()
{
    const auto touchArea = [this](const QString& id, int x, int w) {
        setTouchArea(label, &item, id, x, 228, w, 34);
    };
    if (ZSystem::mode() == ZSystem::Cloud || ZSystem::mode() == ZSystem::Merid)
        touchArea(page == 0 ? QStringLiteral("Next") : QStringLiteral("Prev"), 216, 82);
    touchArea(QStringLiteral("Kanri"), 308, 80);
    touchArea(QStringLiteral("Back"), 390, 80);
}

void Form4Admin::setForeground()
{
}

void Form4Admin::showKeypad()
{
    drawKeypad();
}

void Form4Admin::tryChangeMode()
{
    if (entryTooShort())
        refuseEntry(QStringLiteral("入力不足"));
    else if (typedCode() == AccessCode)
        openAfterEntry(true, 27);
    else
        refuseEntry(QString());
}

void Form4Admin::movePage(int number)
{
    if (PageHost* pages = host("movePage"))
        pages->movePage(number, this);
}

void Form4Admin::clickMyLabel(MyLabel* obj, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "enter" << MyLabel::loggedTouchId(id);
    if (!obj)
        return;
    if (active && id == QStringLiteral("Kanri"))
        return showKeypad();
    if (active && id == QStringLiteral("Back"))
        return moveToBack();
    if (active && id == QStringLiteral("Next"))
        return movePage(23);
    if (active && id == QStringLiteral("Prev"))
        return movePage(22);
    if (id == QStringLiteral("Cancel"))
        return closeKeypad();
    if (id == QStringLiteral("_BG_Enter"))
        return tryChangeMode();
    if (active && id == QStringLiteral("02"))
        return movePage(25);
    if (active && id == QStringLiteral("03"))
        return movePage(26);
    if (active && (id == QStringLiteral("00") || id.toInt() != 0)) {
        shosaiPageId = DetailScreen;
        return moveToShosai(id);
    }
}
