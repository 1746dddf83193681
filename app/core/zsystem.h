#pragma once

#include <QObject>

// Board and product services shared across the terminal. Only the edition mode is here so far.
class ZSystem : public QObject {
    Q_OBJECT
public:
    enum _zmode { Basic = 0, Cloud = 1, Merid = 2 };

    static void setMode(_zmode mode);
    static int mode();

private:
    static int sysmode;
};
