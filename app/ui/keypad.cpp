#include "keypad.h"

#include "debugline.h"
#include "keypadkeytypes.h"
#include "mylabel.h"
#include "screenparts.h"
#include "soundmodule.h"
#include "zsystem.h"

namespace {

const char* const ErrorSound = "/VnQo/app/Sound/%1/ERROR.wav";
const char* const ButtonSound = "/VnQo/app/Sound/%1/BUTTON.wav";

// The level a volume key stands for, or -1 for any other id.
int volumeKeyLevel(const QString& id)
{
    for (int level = 0; level <= 3; ++level) {
        if (id == QStringLiteral("_BG_Sel4_%1").arg(level))
            return level;
    }
    return -1;
}

}  // namespace

Keypad::Keypad(QObject* parent, short x, short y, QString keyType, QList<int> values,
               bool imageEnabled, QString title)
    : QObject(parent)
{
    numericLayout = false;
    this->values = values;
    set(x, y, keyType, imageEnabled);
    this->title = title;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ctor.";
}

Keypad::~Keypad()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "dest.";
    if (myLabel) {
        if (holdsSecretInput)
            myLabel->setSecretInput(false);
        disconnect(myLabel, nullptr, this, nullptr);
    }
    myLabel = nullptr;
    text.clear();
    initialText.clear();
    values.clear();
}

void Keypad::set(short x, short y, QString keyType, bool imageEnabled)
{
    myLabel = MyLabel::getInstance();
    this->imageEnabled = imageEnabled;
    isActive = true;
    setPositionAndKeyType(x, y, keyType);
    setOriginalFromFirstValue();
    updateSecretInput();
    connect(myLabel, &MyLabel::clicked, this, &Keypad::clickMyLabel, Qt::UniqueConnection);
}

void Keypad::setPositionAndKeyType(short x, short y, QString keyType)
{
    originX = x;
    originY = y;
    setKeyType(keyType);
    updateSecretInput();
}

void Keypad::activate()
{
    isActive = true;
    updateSecretInput();
}

void Keypad::deactivate()
{
    isActive = false;
    updateSecretInput();
}

void Keypad::updateSecretInput()
{
    const bool secret = isActive && keypadkeytype::isSecret(keyType);
    if (!myLabel || secret == holdsSecretInput)
        return;
    myLabel->setSecretInput(secret);
    holdsSecretInput = secret;
}

bool Keypad::active() const
{
    return isActive;
}

void Keypad::clickMyLabel(MyLabel* obj, QString id)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Active: " << isActive
                << " ID: " << MyLabel::loggedTouchId(id);
    if (!obj || !isActive)
        return;

    // The volume keys carry "_BG_", so the screen client plays no click: the keypad plays
    // the button sound at the level the key stands for.
    const int level = volumeKeyLevel(id);
    if (level >= 0) {
        SoundModule::play(QString::fromLatin1(ButtonSound), level);
        id = id.mid(4);
    }
    if (!id.startsWith(QStringLiteral("Sel")))
        return;  // command keys belong to the owner
    if (id == QStringLiteral("Sel2x5_Up") || id == QStringLiteral("Sel2x5_Down"))
        updateScreenAndCalc(id.mid(7));
    else
        updateScreenAndCalc(id.right(1));
}

void Keypad::updateScreenAndCalc(const QString& key)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Value: " << logged(key);
    if (key == QStringLiteral("Up")) {
        myLabel->setNew();
        pageIndex = qMax(0, pageIndex - 1);
    } else if (key == QStringLiteral("Down")) {
        myLabel->setNew();
        pageIndex = qMin(pageCount, pageIndex + 1);
    } else {
        calc(key);
    }
    updateScreen();
}

void Keypad::updateScreen()
{
    myLabel->setPast();
    setKeypadValue();
    myLabel->setFlash();
}

void Keypad::playErrorSound()
{
    SoundModule::play(QString::fromLatin1(ErrorSound), SoundModule::touchVolume);
}

void Keypad::setBackground()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "enabled image: "
                << imageEnabled;
    if (imageEnabled)
        setKeypadImage();
    if (!title.isEmpty())
        setKeypadTitle();
    if (isActive)
        setKeypadLabel();
}

void Keypad::setForeground()
{
    setKeypadValue();
}

void Keypad::setKeypadImage()
{
    setImage(myLabel, &item, originX, originY, keypadlayout::imagePath(keyType, ZSystem::mode()));
}

void Keypad::setKeypadTitle()
{
    setScreenTitle(myLabel, &item, title);
}

void Keypad::setKeypadLabel()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "KeyType: " << keyType;
    const KeypadLayout layout = keypadlayout::forKeyType(keyType, ZSystem::mode());
    numericLayout = keypadlayout::isNumeric(layout);
    for (const KeypadShape& shape : keypadlayout::shapes(layout))
        setBgKeypad(shape);
}

void Keypad::setBgKeypad(KeypadShape shape)
{
    myLabel->initItem(&item);
    if (isActive)
        item.id = shape.id;
    item.x = originX + shape.x;
    item.y = originY + shape.y;
    item.w = shape.w;
    item.h = shape.h;
    if (!shape.label.isEmpty()) {
        item.label.x = originX + shape.x + shape.w / 2;
        item.label.y = originY + shape.y + 4;
        item.label.px = 36;
        item.label.margin = 1;
        item.label.r = item.label.g = item.label.b = 0;
        item.label.a = 255;
        item.label.text = shape.label;
    }
    myLabel->setItem(&item);
}

void Keypad::setFgKeypadMask(KeypadShape shape, QString image)
{
    setImage(myLabel, &item, originX + shape.x, originY + shape.y, image);
}

void Keypad::setKeypadValue()
{
    myLabel->initItem(&item);
    item.label.x = originX + 240;
    item.label.y = originY + (numericLayout ? 62 : 64);
    item.label.px = numericLayout ? 24 : 32;
    item.label.margin = 1;
    item.label.r = item.label.g = item.label.b = item.label.a = 255;
    if (errorString.isEmpty()) {
        item.label.text = getCalcText();
    } else {
        item.label.text = errorString;
        errorString.clear();
    }
    myLabel->setItem(&item);
}
