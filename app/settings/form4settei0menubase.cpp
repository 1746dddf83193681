#include "form4settei0menubase.h"

#include "debugline.h"
#include "mydebug.h"
#include "mylabel.h"
#include "screenparts.h"
#include "settingshost.h"
#include "zsystem.h"

namespace {

const QString rowFrameImage = QStringLiteral("../Parts/03設定画面背景/メニュー枠.png");
const QString valueBoxImage = QStringLiteral("../Parts/03設定画面背景/Qo設定メニュー画面_ボタン風パーツ.png");

void setColour(FontStyle* style, int r, int g, int b)
{
    style->r = r;
    style->g = g;
    style->b = b;
    style->a = 255;
}

}  // namespace

Form4Settei0MenuBase::Form4Settei0MenuBase(QObject* parent, int number)
    : QObject(parent)
    , label(MyLabel::getInstance())
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ctor." << number;
}

Form4Settei0MenuBase::~Form4Settei0MenuBase()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "dest.";
}

void Form4Settei0MenuBase::appendItems(const MenuItem* array, int count)
{
    for (int i = 0; i < count; ++i)
        items.append(array[i]);
}

Form4Settei0MenuBase::MenuItem Form4Settei0MenuBase::pageRow(int place, const QString& id, const QString& title)
{
    static const qint16 rowY[RowsPerPage] = {53, 87, 121, 155, 189};
    return {id, title, 45, rowY[place]};
}

Form4Settei0MenuBase::RowStyle Form4Settei0MenuBase::whiteValueRows()
{
    RowStyle style;
    style.longValuePx = 14;
    style.longValueDy = 5;
    style.greyDisabledValue = false;
    return style;
}

bool Form4Settei0MenuBase::isEnabledItem(QString)
{
    return true;
}

QString Form4Settei0MenuBase::getValue(QString id)
{
    return loadValue(getTitle(id));
}

void Form4Settei0MenuBase::setItem(QString id, QString title, int x, int y, bool selected, bool enabled)
{
    const bool touchable = active && enabled && !title.isEmpty();
    const int titleShade = !enabled ? 133 : selected ? 255 : 0;

    label->initItem(&item);
    if (touchable)
        item.id = QStringLiteral("Bar") + id;
    item.x = x;
    item.y = y;
    item.filename = rowFrameImage;
    item.label.x = x + 18;
    item.label.y = y + 5;
    item.label.px = title.length() < 11 ? 18 : 16;
    setColour(&item.label, titleShade, titleShade, titleShade);
    item.label.text = title;
    label->setItem(&item);

    const QString value = getValue(id);
    const int valueShade = enabled || !rowStyle.greyDisabledValue ? 255 : 133;
    label->initItem(&item);
    if (touchable)
        item.id = id;
    item.x = x + 217;
    item.y = y;
    item.w = 165;
    item.h = 34;
    item.filename = valueBoxImage;
    const bool shortValue = value.length() < 16;
    item.label.x = x + 299;
    item.label.y = y + (shortValue ? 3 : rowStyle.longValueDy);
    item.label.px = shortValue ? 20 : rowStyle.longValuePx;
    item.label.margin = 1;
    setColour(&item.label, valueShade, valueShade, valueShade);
    item.label.text = value;
    label->setItem(&item);
}

int Form4Settei0MenuBase::setPage(const QString& name, int firstMenu, int pageCount, int number)
{
    if (number < firstMenu || number >= firstMenu + pageCount) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "no such page, page 1 shown:" << number;
        number = firstMenu;
    }
    const int last = firstMenu + pageCount - 1;
    prevPageId = number - 1 < firstMenu ? last : number - 1;
    nextPageId = number + 1 > last ? firstMenu : number + 1;
    const auto fullWidth = [](int digit) { return QString(QChar(0xFF10 + digit)); };
    const int pageIndex = number - firstMenu;
    title = name + QString(24, QLatin1Char(' ')) + fullWidth(pageIndex + 1) + QLatin1Char('/') + fullWidth(pageCount);
    return pageIndex;
}

void Form4Settei0MenuBase::setItem(const MenuItem& row, bool selected, bool enabled)
{
    setItem(row.id, row.title, row.x, row.y, selected, enabled);
}

void Form4Settei0MenuBase::setItems(QString selectedId)
{
    for (const MenuItem& row : qAsConst(items)) {
        if (selectedId.isEmpty())
            setItem(row, false, isEnabledItem(row.id));
        else if (row.id == selectedId)
            setItem(row, true, isEnabledItem(row.id));
    }
}

void Form4Settei0MenuBase::setBgImage()
{
    setFullScreenImage(label, &item, bgImagePath);
}

void Form4Settei0MenuBase::setBgTitle()
{
    setScreenTitle(label, &item, title);
}

void Form4Settei0MenuBase::setTextItem(int x, int y, int px, int r, int g, int b, const QString& text)
{
    label->initItem(&item);
    item.label.x = x;
    item.label.y = y;
    item.label.px = px;
    setColour(&item.label, r, g, b);
    item.label.text = text;
    label->setItem(&item);
}

void Form4Settei0MenuBase::setBgBackButton()
{
    const auto touchArea = [this](const QString& id, int x) {
        setTouchArea(label, &item, id, x, 228, 80, 34);
    };
    if (prevPageId != 0)
        touchArea(QStringLiteral("Prev"), 228);
    if (nextPageId != 0)
        touchArea(QStringLiteral("Next"), 308);
    touchArea(QStringLiteral("Back"), 390);
}

void Form4Settei0MenuBase::setBgItems()
{
    setItems(QString());
}

void Form4Settei0MenuBase::setBgAppVersion()
{
    setTextItem(15, 240, 14, 23, 113, 68, QStringLiteral("Ver.") + ZSystem::applicationVersion());
}

void Form4Settei0MenuBase::setBackground()
{
    setBgImage();
    setBgTitle();
    setBgBackButton();
    setBgItems();
    setBgAppVersion();
}

void Form4Settei0MenuBase::setForeground()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "SelectedID: " << selectedId;
    if (!selectedId.isEmpty())
        setItems(selectedId);
}

void Form4Settei0MenuBase::updateScreenNew()
{
    label->setNew();
    label->setClear();
    setBackground();
    label->setCopy();
    label->setFlash();
}

void Form4Settei0MenuBase::updateScreen()
{
    label->setClear();
    label->setPast();
    setForeground();
    label->setFlash();
}

void Form4Settei0MenuBase::updateScreenFade()
{
    label->setNew();
    label->setClear();
    setBackground();
    setForeground();
    label->setFlash();
}

void Form4Settei0MenuBase::updateScreenAndSelect(QString id)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "SelectedID: " << selectedId;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "targetID: " << id;
    selectedId = id == selectedId ? QString() : id;
    updateScreen();
}

PageHost* Form4Settei0MenuBase::host(const char* operation)
{
    return settingsHostOf(this, operation);
}

void Form4Settei0MenuBase::moveToMain()
{
    if (PageHost* pages = host("returnPage"))
        pages->returnPage(this, false);
}

void Form4Settei0MenuBase::moveToPrev()
{
    if (PageHost* pages = host("moveToMenu"))
        pages->moveToMenu(prevPageId, this);
}

void Form4Settei0MenuBase::moveToNext()
{
    if (PageHost* pages = host("moveToMenu"))
        pages->moveToMenu(nextPageId, this);
}

void Form4Settei0MenuBase::moveToBack()
{
    if (PageHost* pages = host("movePage"))
        pages->movePage(7, this);
}

void Form4Settei0MenuBase::moveToShosai(QString id)
{
    if (PageHost* pages = host("moveToShosai"))
        pages->moveToShosai(shosaiPageId, this, id);
}

void Form4Settei0MenuBase::clickMyLabel(MyLabel* obj, QString id)
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
    else if (id == QStringLiteral("00") || id.toInt() != 0)
        moveToShosai(id);
    else if (id.startsWith(QStringLiteral("Bar")))
        updateScreenAndSelect(id.right(2));
}

void Form4Settei0MenuBase::timeout()
{
}
