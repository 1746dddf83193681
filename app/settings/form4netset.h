#pragma once

#include "form4settei0menubase.h"

// The communication settings menu "通信設定".
class Form4NetSet : public Form4Settei0MenuBase {
    Q_OBJECT
public:
    // The item name of a network item id, shared by every network settings screen; an
    // unknown id comes back unchanged.
    static QString GetTitle(QString id);
};
