#include "fullkeyboard.h"

#include "form4settei0shosaibase2.h"
#include "mylabel.h"
#include "screenparts.h"

#include <utility>

using fullkeyboardkeys::Layout;

namespace {

// Characters of the input line's first line, the cursor mark counted.
constexpr int FirstLineLength = 27;
const QChar CursorMark = QLatin1Char('|');

void setWhiteText(FontStyle* style, int x, int y, int px, const QString& text)
{
    style->x = x;
    style->y = y;
    style->px = px;
    style->margin = 0;
    style->r = style->g = style->b = style->a = 255;
    style->text = text;
}

}  // namespace

FullKeyboard::FullKeyboard(Form4Settei0ShosaiBase2* screen, Pages pages, std::function<void()> save,
                           std::function<void()> cancel)
    : screen(screen)
    , label(MyLabel::getInstance())
    , pages(pages)
    , save(std::move(save))
    , cancel(std::move(cancel))
{
}

FullKeyboard::~FullKeyboard()
{
    if (holdsSecretInput)
        label->setSecretInput(false);
}

void FullKeyboard::setPage(int page)
{
    view = page;
    updateSecretInput();
}

bool FullKeyboard::isShown() const
{
    return view == pages.lower || view == pages.upper || view == pages.symbols;
}

void FullKeyboard::open(const QString& text, int maxLength, bool secret)
{
    editBuffer = text;
    cursorIndex = text.size();
    this->maxLength = maxLength;
    this->secret = secret;
    showPage(pages.lower);
}

void FullKeyboard::setBgKeypad(int x0, int y0, const KeypadShape& shape)
{
    setBareKey(label, &item, x0, y0, shape);
}

void FullKeyboard::setBgPage(int x0, int y0, Layout layout)
{
    setImage(label, &item, x0, y0, fullkeyboardkeys::imagePath(layout));
    for (const KeypadShape& shape : fullkeyboardkeys::shapes(layout))
        setBgKeypad(x0, y0, shape);
}

void FullKeyboard::setBgKeypadFull(int x0, int y0)
{
    setBgPage(x0, y0, Layout::Lower);
}

void FullKeyboard::setBgKeypadFullUpper(int x0, int y0)
{
    setBgPage(x0, y0, Layout::Upper);
}

void FullKeyboard::setBgKeypadFullSymbol(int x0, int y0)
{
    setBgPage(x0, y0, Layout::Symbols);
}

void FullKeyboard::setBgShownPage()
{
    if (view == pages.lower)
        setBgKeypadFull(0, 0);
    else if (view == pages.upper)
        setBgKeypadFullUpper(0, 0);
    else if (view == pages.symbols)
        setBgKeypadFullSymbol(0, 0);
}

void FullKeyboard::setBgKeypadTitle(const QString& title)
{
    if (!title.isEmpty())
        setScreenTitle(label, &item, title);
}

void FullKeyboard::setFgValue(int x0, int y0, const QString& text)
{
    QString line = text;
    line.insert(qBound(0, cursorIndex, text.size()), CursorMark);
    const QString first = line.left(FirstLineLength);
    const QString second = line.mid(FirstLineLength);

    label->initItem(&item);
    if (second.isEmpty()) {
        setWhiteText(&item.label, x0 + 25, y0 + 66, 24, first);
    } else {
        setWhiteText(&item.label, x0 + 25, y0 + 63, 14, first);
        setWhiteText(&item.sublabel, x0 + 25, y0 + 79, 14, second);
    }
    label->setItem(&item);
}

void FullKeyboard::updateScreenAndInput(const QString& s)
{
    if (editBuffer.size() < maxLength) {
        editBuffer.insert(cursorIndex, s);
        cursorIndex += s.size();
    }
    screen->updateScreen();
}

void FullKeyboard::updateScreenAndDelete()
{
    if (cursorIndex >= editBuffer.size()) {
        editBuffer.chop(1);
        cursorIndex = editBuffer.size();
    } else {
        editBuffer.remove(cursorIndex, 1);
    }
    screen->updateScreen();
}

void FullKeyboard::updateScreenAndLeft()
{
    if (cursorIndex > 0)
        --cursorIndex;
    screen->updateScreen();
}

void FullKeyboard::updateScreenAndRight()
{
    if (cursorIndex < editBuffer.size())
        ++cursorIndex;
    screen->updateScreen();
}

void FullKeyboard::updateScreenInputLower()
{
    showPage(pages.lower);
}

void FullKeyboard::updateScreenInputUpper()
{
    showPage(pages.upper);
}

void FullKeyboard::updateScreenInputSymbol()
{
    showPage(pages.symbols);
}

bool FullKeyboard::clickPadKey(const QString& id)
{
    if (id == QStringLiteral("Mode_Pad_Low"))
        updateScreenInputLower();
    else if (id == QStringLiteral("Mode_Pad_Up"))
        updateScreenInputUpper();
    else if (id == QStringLiteral("Mode_Pad_Sym"))
        updateScreenInputSymbol();
    else
        return false;
    return true;
}

void FullKeyboard::clickKey(const QString& id)
{
    // A key of a page no longer shown.
    if (!isShown())
        return;
    if (id == QStringLiteral("Full_Del"))
        updateScreenAndDelete();
    else if (id == QStringLiteral("Full_Enter"))
        save();
    else if (id == QStringLiteral("Full_Cancel"))
        cancel();
    else if (id == QStringLiteral("Full_Left"))
        updateScreenAndLeft();
    else if (id == QStringLiteral("Full_Right"))
        updateScreenAndRight();
    else if (!id.isEmpty())
        updateScreenAndInput(fullkeyboardkeys::typedText(id));
}

void FullKeyboard::showPage(int page)
{
    setPage(page);
    screen->updateScreenNew();
}

void FullKeyboard::updateSecretInput()
{
    const bool wanted = secret && isShown();
    if (wanted == holdsSecretInput)
        return;
    label->setSecretInput(wanted);
    holdsSecretInput = wanted;
}
