#include "settingspages.h"

#include "form3setteimenu.h"
#include "form4termset.h"
#include "form4termsetshosai.h"

QObject* SettingsPages::create(Move move, int number, QObject* host, const QString& id)
{
    switch (move) {
    case Move::Page:
        if (number == 7)
            return new Form3SetteiMenu(host, 0);
        if (number == 8)
            return new Form3SetteiMenu(host, 1);
        if (number == Form4TermSet::FirstMenu)
            return new Form4TermSet(host, Form4TermSet::FirstMenu);
        break;
    case Move::Menu:
        if (number >= Form4TermSet::FirstMenu && number <= 13)
            return new Form4TermSet(host, number);
        break;
    case Move::Shosai:
        if (number == Form4TermSet::DetailScreen)
            return new Form4TermSetShosai(host, id);
        break;
    }
    return nullptr;
}
