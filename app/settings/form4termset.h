#pragma once

#include "form4settei0menubase.h"

// The terminal settings menu "初期設定": three to five pages (menu numbers 9 to 13) of five
// settings each, by edition and, in the basic edition, by operation mode. Prev and Next wrap
// around; a row's value opens its detail screen (number 14).
class Form4TermSet : public Form4Settei0MenuBase {
    Q_OBJECT
public:
    static constexpr int FirstMenu = 9;
    static constexpr int DetailScreen = 14;

    // A menu number outside the edition's pages shows the first page.
    Form4TermSet(QObject* parent, int menuNumber);
    ~Form4TermSet() override;

    // The item name of a row id in the current edition; an unknown id comes back unchanged.
    static QString GetTitle(QString id);
    // How many pages the current edition and operation mode have.
    static int pageCount();

    QString getTitle(QString id) override;
    void createItems() override;
    // The NTP server row applies only while NTP is used.
    bool isEnabledItem(QString id) override;
    // The footer with the number of stamps not yet sent.
    void setBgAppVersion() override;

private:
    int pageIndex = 0;
    bool ntpUsed = false;
};
