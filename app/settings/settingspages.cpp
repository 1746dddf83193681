#include "settingspages.h"

#include "form3setteimenu.h"
#include "form4admin.h"
#include "form4adminshosai.h"
#include "form4mente.h"
#include "form4menteshosai.h"
#include "form4netset.h"
#include "form4netsetshosai.h"
#include "form4netsetproxy.h"
#include "form4netsetproxyauth.h"
#include "form4netsetwifi.h"
#include "form4termset.h"
#include "form4termsetshosai.h"
#include "pagetable.h"

#include <QList>
#include "usbtransferscreen.h"

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
        if (number == 22 || number == 23)
            return new Form4Admin(host, number - 22);
        if (number == 25)
            return new Form4AdminUsbOut(host);
        if (number == 26)
            return new Form4AdminRestore(host);
        break;
    case Move::Menu:
        if (number >= Form4TermSet::FirstMenu && number <= 13)
            return new Form4TermSet(host, number);
        if (number >= Form4NetSet::FirstMenu && number <= 17)
            return new Form4NetSet(host, number);
        if (number == 22 || number == 23)
            return new Form4Admin(host, number - 22);
        if (number == Form4Mente::Menu)
            return new Form4Mente(host, number);
        if (number == Form4NetSetProxy::Screen)
            return new Form4NetSetProxy(host, id);
        break;
    case Move::Shosai:
        if (number == Form4TermSet::DetailScreen)
            return new Form4TermSetShosai(host, id);
        if (number == Form4NetSet::DetailScreen)
            return new Form4NetSetShosai(host, id);
        if (number == Form4Admin::DetailScreen)
            return new Form4AdminShosai(host, id);
        if (number == Form4Mente::DetailScreen)
            return new Form4MenteShosai(host, id);
        if (number == Form4NetSetProxy::Screen)
            return new Form4NetSetProxy(host, id);
        if (number == Form4NetSetProxyAuth::DetailScreen)
            return new Form4NetSetProxyAuth(host, id);
        if (number == Form4NetSetWifi::DetailScreen)
            return new Form4NetSetWifi(host, id);
        break;
    }
    return nullptr;
}

void SettingsPages::install()
{
    struct Row {
        PageTable::Move tableMove;
        Move move;
        QList<int> numbers;
    };
    const Row rows[] = {
        {PageTable::MovePage, Move::Page, {7, 8, 9, 22, 23, 25, 26}},
        {PageTable::MoveToMenu, Move::Menu, {9, 10, 11, 12, 13, 15, 16, 17, 18, 22, 23, 27}},
        {PageTable::MoveToShosai, Move::Shosai, {14, 18, 19, 20, 21, 24, 28}},
    };
    for (const Row& row : rows) {
        const Move move = row.move;
        for (const int number : row.numbers) {
            PageTable::add(row.tableMove, number, [move](QObject* host, int page, const QString& id) {
                return create(move, page, host, id);
            });
        }
    }
}
