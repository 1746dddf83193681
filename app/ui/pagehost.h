#pragma once

#include <QString>

class QObject;

// What a screen may ask of the screen that hosts it (the clock screen on the terminal, a
// recording host in tests). Screens find their host by a dynamic_cast of their parent. Every
// page move deletes the calling page inside the call, so a screen touches nothing of itself
// after calling one of these.
class PageHost {
public:
    virtual ~PageHost() = default;

    // Opens a page; with number 0 the caller is kept and the clock becomes active again.
    virtual void movePage(int number, QObject* caller) = 0;
    // Opens a menu page.
    virtual void moveToMenu(int number, QObject* caller) = 0;
    // Opens a detail page for the item id.
    virtual void moveToShosai(int number, QObject* caller, QString id) = 0;
    // Back to the clock; the caller is deleted. With keep false the web-service lock is
    // released first.
    virtual void returnPage(QObject* caller, bool keep) = 0;
    // The settings changed: the host reloads what depends on them.
    virtual void changeSettings() = 0;
};
