#pragma once

#include <QString>

class QObject;

// Creates the settings screens for the page host by page number, with the host as their
// QObject parent.
class SettingsPages {
public:
    // The host operation that asks for the page; each accepts its own page numbers.
    enum class Move { Page, Menu, Shosai };

    // The new screen, or null for a number the operation does not open (yet).
    static QObject* create(Move move, int number, QObject* host, const QString& id = QString());

    // Registers every settings page (numbers 7 to 28 of each operation) in the page host's
    // table, each created through create().
    static void install();
};
