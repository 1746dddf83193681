#include "codekeypadmenu.h"

#include "codeentry.h"
#include "db.h"
#include "keypad.h"
#include "keypadmessage.h"
#include "mylabel.h"
#include "pagehost.h"
#include "soundmodule.h"

CodeKeypadMenu::CodeKeypadMenu(QObject* parent, int number)
    : Form4Settei0MenuBase(parent, number)
{
}

CodeKeypadMenu::~CodeKeypadMenu()
{
    delete keypad;
    keypad = nullptr;
    disconnect(label, nullptr, this, nullptr);
}

void CodeKeypadMenu::moveToBack()
{
    if (PageHost* pages = host("returnPage")) {
        pages->returnPage(this, false);
        // This menu is gone: only the file systems are flushed now.
        DB::getInstance();
        DB::sync();
    }
}

void CodeKeypadMenu::createKeypad()
{
    keypad = new Keypad(this, 0, 0, QStringLiteral("パスワード******"), QList<int>{0}, true,
                        QStringLiteral("パスワード入力"));
    keypad->deactivate();
}

void CodeKeypadMenu::activate()
{
    active = true;
}

void CodeKeypadMenu::activateKeypad()
{
    label->setNew();
    active = false;
    keypad->activate();
}

void CodeKeypadMenu::drawKeypad()
{
    activateKeypad();
    label->setClear();
    keypad->setOriginalValue(-1);
    keypad->setBackground();
    label->setCopy();
    label->setFlash();
}

void CodeKeypadMenu::closeKeypad()
{
    active = true;
    keypad->deactivate();
    updateScreenNew();
}

int CodeKeypadMenu::typedCode() const
{
    return codeentry::isComplete(keypad->text) ? keypad->text.toInt() : -1;
}

bool CodeKeypadMenu::entryTooShort() const
{
    return !keypad->isMinimumOrMore();
}

void CodeKeypadMenu::openAfterEntry(bool menu, int number)
{
    PageHost* pages = host(menu ? "moveToMenu" : "movePage");
    if (!pages)
        return;
    SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav"), SoundModule::touchVolume);
    if (menu)
        pages->moveToMenu(number, this);
    else
        pages->movePage(number, this);
}

void CodeKeypadMenu::refuseEntry(const QString& message)
{
    showKeypadMessage(keypad, message);
}
