#include "settingspages.h"

#include "form3setteimenu.h"

QObject* SettingsPages::create(Move move, int number, QObject* host, const QString& id)
{
    Q_UNUSED(id);
    switch (move) {
    case Move::Page:
        if (number == 7)
            return new Form3SetteiMenu(host, 0);
        if (number == 8)
            return new Form3SetteiMenu(host, 1);
        break;
    case Move::Menu:
    case Move::Shosai:
        break;
    }
    return nullptr;
}
