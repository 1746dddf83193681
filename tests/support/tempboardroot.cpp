#include "tempboardroot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vnq::test {

TempBoardRoot::TempBoardRoot()
    : TempBoardRoot(QStringLiteral("/tmp/vnq-XXXXXX"))
{
}

TempBoardRoot::TempBoardRoot(const QString& dirTemplate)
    : m_dir(dirTemplate)
{
    m_hadRoot = qEnvironmentVariableIsSet("VNQ_ROOT");
    m_previousRoot = qgetenv("VNQ_ROOT");
    qputenv("VNQ_ROOT", m_dir.path().toLocal8Bit());
}

TempBoardRoot::~TempBoardRoot()
{
    if (m_hadRoot)
        qputenv("VNQ_ROOT", m_previousRoot);
    else
        qunsetenv("VNQ_ROOT");
}

QString TempBoardRoot::path(const QString& boardPath) const
{
    return m_dir.path() + boardPath;
}

bool TempBoardRoot::writeFile(const QString& boardPath, const QByteArray& content) const
{
    const QString file = path(boardPath);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

QByteArray TempBoardRoot::readFile(const QString& boardPath) const
{
    QFile f(path(boardPath));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool TempBoardRoot::exists(const QString& boardPath) const
{
    return QFileInfo::exists(path(boardPath));
}

bool TempBoardRoot::makeDir(const QString& boardPath) const
{
    return QDir().mkpath(path(boardPath));
}

}  // namespace vnq::test
