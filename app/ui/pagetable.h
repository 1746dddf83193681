#pragma once

#include <QString>

#include <functional>

class QObject;

// The screens the page host can open, by page move and page number. Each area registers
// the rows of its own screens at start-up; the host creates through create() and treats a
// missing row, or a creator that gives null, as a number it does not know.
class PageTable {
public:
    enum Move { MovePage, MoveToMenu, MoveToShosai };

    // Creates the screen with the host as its parent. number is the page number asked for,
    // id the item id of a detail move (empty for the other moves).
    using Creator = std::function<QObject*(QObject* host, int number, const QString& id)>;

    static void add(Move move, int number, Creator creator);
    static void remove(Move move, int number);
    static void clear();
    static bool contains(Move move, int number);

    // The new screen, or null when the row is missing or its creator made nothing.
    static QObject* create(Move move, int number, QObject* host, const QString& id);

    // "movePage", "moveToMenu" or "moveToShosai", for log lines.
    static QString moveName(Move move);
};
