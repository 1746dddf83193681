#include "shippeddatabases.h"

#include "tempboardroot.h"

#include <QFile>
#include <QStringList>

namespace vnq::test {

QString shippedDatabase(const QString& name)
{
    return QString::fromLocal8Bit(qgetenv("VNQ_BUILD_DIR")) + QStringLiteral("/board/VnQo/app/DB/") + name;
}

bool installShippedDatabases(const TempBoardRoot& board)
{
    if (!board.makeDir(QStringLiteral("/VnQo/app/App")) || !board.makeDir(QStringLiteral("/VnQo/app/DB/def")))
        return false;
    const QStringList names{QStringLiteral("setting.db"), QStringLiteral("dakoku.db"),
                            QStringLiteral("master.db"), QStringLiteral("def/master.db")};
    for (const QString& name : names) {
        const QString target = board.path(QStringLiteral("/VnQo/app/DB/") + name);
        QFile::remove(target);
        if (!QFile::copy(shippedDatabase(name), target))
            return false;
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return true;
}

}  // namespace vnq::test
