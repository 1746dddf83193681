#pragma once

#include "heartbeat.h"

#include <QMutexLocker>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// One stretch of work on one database file: takes the DB mutex, points the calling thread's
// connection at the file and opens it; the destructor closes it and releases the mutex.
// Declare it before any QSqlQuery of the stretch so the queries are gone before the close.
//
// A file that does not exist is an open failure: nothing is ever created.
class DBSession {
public:
    // pauseWatchdog holds a watchdog pause for the session's life (every single statement
    // does; the bulk loads and the settings scan do not).
    explicit DBSession(const QString& dbPath, bool pauseWatchdog = true);
    ~DBSession();
    DBSession(const DBSession&) = delete;
    DBSession& operator=(const DBSession&) = delete;

    bool isOpen() const { return m_open; }
    QSqlDatabase& database() { return *m_db; }

private:
    std::optional<vnq::WatchdogPause> m_pause;
    QMutexLocker m_lock;
    QSqlDatabase* m_db;
    bool m_open = false;
};
