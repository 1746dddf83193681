#include "boardpath.h"

#include "vnq_boardroot.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <vector>

namespace vistrel {
namespace {

// The board root without its trailing slashes; empty for the root of the file system.
QString boardRoot()
{
    QString root = QString::fromLocal8Bit(qgetenv("VNQ_ROOT"));
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root;
}

// The absolute path with "." and ".." taken out by its text; false when a ".." would climb
// above "/".
bool resolvedByText(const QString& absolute, QString* resolved)
{
    QStringList kept;
    for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (kept.isEmpty())
                return false;
            kept.removeLast();
            continue;
        }
        kept << part;
    }
    *resolved = QLatin1Char('/') + kept.join(QLatin1Char('/'));
    return true;
}

// Whether the path is the root or lies below it.
bool inside(const QString& path, const QString& root)
{
    return root.isEmpty() || path == root || path.startsWith(root + QLatin1Char('/'));
}

}  // namespace

QString boardPath(const QString& path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return path;
    const QByteArray absolute = path.toUtf8();
    std::vector<char> real(static_cast<size_t>(qgetenv("VNQ_ROOT").size() + absolute.size() + 1));
    if (!vnq_board_path(real.data(), real.size(), absolute.constData()))
        return QString();
    return QString::fromUtf8(real.data());
}

QString boardFileInside(const QString& name)
{
    if (name.isEmpty() || name.contains(QChar(0)))
        return QString();
    QString resolved;
    if (name.startsWith(QLatin1Char('/'))) {
        // A board path stays below "/" of the board, and so inside the root.
        if (!resolvedByText(name, &resolved))
            return QString();
        return boardPath(resolved);
    }
    const QString root = boardRoot();
    // The working directory as the kernel names it, and the root both as given and with its
    // links resolved, so a root reached through a link still holds its own directories.
    if (!resolvedByText(QDir::currentPath() + QLatin1Char('/') + name, &resolved))
        return QString();
    const QString canonicalRoot = root.isEmpty() ? root : QDir(root).canonicalPath();
    if (inside(resolved, root) || (!canonicalRoot.isEmpty() && inside(resolved, canonicalRoot)))
        return resolved;
    return QString();
}

}  // namespace vistrel
