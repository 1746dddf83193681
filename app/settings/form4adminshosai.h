#pragma once

#include "form4settei0shosaibase2.h"

// The detail screen of one administrator setting (screen 24): the administrator password,
// the operation mode, the date and the time. It goes back to the administrator menu page that
// holds its row.
class Form4AdminShosai : public Form4Settei0ShosaiBase2 {
    Q_OBJECT
public:
    Form4AdminShosai(QObject* parent, QString itemId);
    ~Form4AdminShosai() override;

    QString getTitle(QString id) override;
};
