#pragma once

#include "shippeddatabases.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <stdlib.h>
#include <time.h>

namespace vnq::test {

// A board root holding fresh copies of the shipped databases, plus direct access to the files
// through a connection of the test's own (to arrange rows and to look at what was stored).
class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        ASSERT_TRUE(installShippedDatabases(board));
        ZSystem::setMode(ZSystem::Basic);
    }

    QString dbFile(const QString& name) const { return board.path(QStringLiteral("/VnQo/app/DB/") + name); }

    // Runs statements on a database file in one transaction; false on the first failure.
    bool raw(const QString& name, const QStringList& statements, const QList<QVariantList>& binds = {})
    {
        Access access(dbFile(name));
        if (!access.db.isOpen() || !access.db.transaction())
            return false;
        for (int i = 0; i < statements.size(); ++i) {
            QSqlQuery q(access.db);
            if (!q.prepare(statements.at(i)))
                return false;
            for (const QVariant& v : binds.value(i))
                q.addBindValue(v);
            if (!q.exec())
                return false;
        }
        return access.db.commit();
    }

    QList<QStringList> rows(const QString& name, const QString& sql, const QVariantList& binds = {})
    {
        QList<QStringList> result;
        Access access(dbFile(name));
        QSqlQuery q(access.db);
        if (!q.prepare(sql))
            return result;
        for (const QVariant& v : binds)
            q.addBindValue(v);
        if (!q.exec())
            return result;
        const int columns = q.record().count();
        while (q.next()) {
            QStringList row;
            for (int c = 0; c < columns; ++c)
                row << q.value(c).toString();
            result << row;
        }
        return result;
    }

    QString value(const QString& name, const QString& sql, const QVariantList& binds = {})
    {
        const QList<QStringList> r = rows(name, sql, binds);
        return r.isEmpty() || r.first().isEmpty() ? QStringLiteral("<none>") : r.first().first();
    }

    TempBoardRoot board;

private:
    struct Access {
        explicit Access(const QString& file)
        {
            db = QSqlDatabase::contains(QStringLiteral("test_raw"))
                ? QSqlDatabase::database(QStringLiteral("test_raw"), false)
                : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test_raw"));
            db.setDatabaseName(file);
            db.open();
        }
        ~Access() { db.close(); }
        QSqlDatabase db;
    };
};

// Sets the process's time zone for the life of the object. POSIX zone strings, so no time
// zone database is needed.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz)
        : m_had(qEnvironmentVariableIsSet("TZ"))
        , m_previous(qgetenv("TZ"))
    {
        qputenv("TZ", tz);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_had)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool m_had;
    QByteArray m_previous;
};

}  // namespace vnq::test
