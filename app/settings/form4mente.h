#pragma once

#include "form4settei0menubase.h"

// The maintenance menu: one page of four functions (system information, factory reset,
// deletion of the stamps, touch calibration), each opening the maintenance detail screen
// (number 28). Its rows are plain frames without a value; Back leads to the settings menu.
class Form4Mente : public Form4Settei0MenuBase {
    Q_OBJECT
public:
    static constexpr int Menu = 27;
    static constexpr int DetailScreen = 28;

    Form4Mente(QObject* parent, int number);
    ~Form4Mente() override;

    // The title of a row id, also the detail screen's; an unknown id comes back unchanged.
    static QString GetTitle(QString id);

    QString getTitle(QString id) override;
    void createItems() override;
    void setItems(QString selectedId) override;
    void setItem(const MenuItem& row, bool selected, bool enabled);
    // A frame with the row's text; the two flags change nothing.
    void setItem(QString id, QString title, int x, int y, bool selected, bool enabled);
};
