#pragma once

#include <QString>

namespace vnq::test {

class TempBoardRoot;

// Copies the databases the build made from db/*.sql (setting.db, dakoku.db, master.db and
// def/master.db) into /VnQo/app/DB of the board root, where the terminal reaches them as ../DB.
// Returns false when the build's copies are missing.
bool installShippedDatabases(const TempBoardRoot& board);

// The build's copy of a shipped database ("setting.db", "def/master.db", ...).
QString shippedDatabase(const QString& name);

}  // namespace vnq::test
