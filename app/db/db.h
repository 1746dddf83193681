#pragma once

#include <QList>
#include <QMutex>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QSqlQuery;

// The one access path to the terminal's SQLite files. Every statement of every thread runs
// under one mutex and opens and closes its file around itself, so no file stays open between
// statements. Values always travel as bound parameters ("?" in the statement), never inside
// the statement text. Results travel as text (QVariant::toString()).
//
// Qt 5 does not let threads share one QSqlDatabase, so each thread gets its own connection
// to the same files; the one mutex still serialises them, which keeps the single-connection
// behaviour: one statement at a time, whatever thread runs it.
class DB : public QObject {
    Q_OBJECT
public:
    static DB* getInstance();

    // Serialises all database work. Table classes that drive the connection themselves take
    // it through DBSession; it is not recursive, so they call no DB operation meanwhile.
    QMutex mutex;

    // The calling thread's connection (its database name changes from statement to statement).
    QSqlDatabase* getDBBase();

    // The file a database path names. Paths such as "../DB/setting.db" are relative to the
    // terminal's working directory /VnQo/app/App. They are resolved against that directory of
    // the board root rather than the process's current directory, so the simulated board and
    // the tests reach the same files as the terminal; on the board (empty root) the result is
    // /VnQo/app/DB/setting.db, the very file ../DB/setting.db names from /VnQo/app/App.
    static QString filePath(const QString& dbPath);

    // Runs one statement. For a SELECT, row receives the last row and the result is true only
    // when a row came back; row is left alone otherwise.
    bool execQueryBase(const QString& dbPath, const QString& sql, QVariantList* row,
                       const QVariantList& binds = {});
    // execQueryBase, handing out the first columns of the last row as integers (text that is
    // no number and NULL give 0) or as text; out-parameters are touched only on true and only
    // when the row has that column.
    bool execQuery(const QString& dbPath, const QString& sql, int* col1, int* col2, int* col3,
                   const QVariantList& binds = {});
    bool execQuery(const QString& dbPath, const QString& sql, QString* col1, QString* col2,
                   QString* col3, QString* col4, const QVariantList& binds = {});
    // Runs one SELECT and appends every row to rows (the list is not cleared first).
    bool selectQueryBase(const QString& dbPath, const QString& sql, QList<QStringList>* rows,
                         const QVariantList& binds = {});

    struct Statement {
        QString sql;
        QVariantList binds;
        // The statement fails unless it changed exactly one row (an UPDATE of a row that
        // must exist).
        bool changesOneRow = false;
    };
    // Runs the statements in one transaction: either all of them take effect or none.
    bool execTransaction(const QString& dbPath, const QList<Statement>& statements);

    // Prepares sql on the query, binds the values to its "?" in order and runs it. A failure
    // writes the driver's error and the statement as two debug lines of function at line.
    static bool runStatement(QSqlQuery& query, const QString& sql, const QVariantList& binds,
                             const char* function, int line);

    // Flushes the file systems ("sync").
    static void sync();

private:
    DB();
};
