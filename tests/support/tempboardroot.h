#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace vnq::test {

// A fresh, short board root under /tmp (socket paths must stay under 108 bytes), set as
// VNQ_ROOT for the life of the object.
class TempBoardRoot {
public:
    TempBoardRoot();
    // A root made from a QTemporaryDir template ("/tmp/vnq x-XXXXXX"), for roots whose path
    // holds characters a shell line must not take as its own.
    explicit TempBoardRoot(const QString& dirTemplate);
    ~TempBoardRoot();

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }

    // The real path of a board path ("/tmp/iccard.status" -> "<root>/tmp/iccard.status").
    QString path(const QString& boardPath) const;

    // Writes a file at a board path, making its directories.
    bool writeFile(const QString& boardPath, const QByteArray& content) const;
    QByteArray readFile(const QString& boardPath) const;
    bool exists(const QString& boardPath) const;
    bool makeDir(const QString& boardPath) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previousRoot;
    bool m_hadRoot = false;
};

}  // namespace vnq::test
