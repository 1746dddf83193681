#pragma once

#include "codekeypadmenu.h"

// The administrator menu: the administrator password, the operation mode, USB backup and
// restore and, on a second page of the cloud editions, the date and the time. Behind "Kanri"
// a six-digit code keypad leads on to the maintenance menu. Back leaves for the clock.
class Form4Admin : public CodeKeypadMenu {
    Q_OBJECT
public:
    // The code that opens the maintenance menu.
    static constexpr int AccessCode = 730164;
    static constexpr int DetailScreen = 24;

    // Page 0 or 1 (always 0 in the basic edition); any other page shows page 0.
    Form4Admin(QObject* parent, int page);
    ~Form4Admin() override;

    QString getTitle(QString id) override;
    void createItems() override;
    void setBackground() override;
    void setBgBackButton() override;
    void setForeground() override;

    void showKeypad();
    // Checks the code on Enter: the maintenance menu, or the entry refused.
    void tryChangeMode();

public slots:
    void clickMyLabel(MyLabel* obj, QString id) override;

private:
    void movePage(int number);

    int page = 0;
    QList<MenuItem> menuItems;
};
