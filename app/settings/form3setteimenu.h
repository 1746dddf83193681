#pragma once

#include "codekeypadmenu.h"

// The settings menu: two pages of up to four large buttons over a picture of the edition,
// a page button, "Kanri" (administration) and Back. The card registration, initial settings
// and communication settings buttons first ask for the administrator password, and Kanri for
// the access code, on a six-digit keypad drawn over a new screen.
class Form3SetteiMenu : public CodeKeypadMenu {
    Q_OBJECT
public:
    // The code that opens the administrator menu after Kanri.
    static constexpr int AccessCode = 583019;
    // Compared in place of a stored password that cannot be read or is no six-digit number:
    // the shipped value, typed "000000".
    static constexpr int DefaultAdminPassword = 0;

    // Page 0 or 1; any other page shows page 0.
    Form3SetteiMenu(QObject* parent, int page);
    ~Form3SetteiMenu() override;

    QString getTitle(QString id) override;
    void createItems() override;
    // One button: a touch area with its text over the picture.
    void setItem(const MenuItem& button);
    void setBackground() override;
    void setBgBackButton() override;
    void setBgItems() override;
    void setForeground() override;

    void showKeypad();
    // Checks the keypad entry on Enter and opens the pending screen or refuses the entry.
    void tryChangeMode();

public slots:
    void clickMyLabel(MyLabel* obj, QString id) override;

private:
    // The stored administrator password, or the default one (logged) when it cannot be used.
    static int adminPassword();
    int page = 0;
    QList<MenuItem> menuItems;
    QString pendingId;
};
