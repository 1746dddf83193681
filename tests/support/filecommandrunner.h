#pragma once

#include "recordingrunner.h"

#include <QFile>
#include <QStringList>

namespace vnq::test {

// A recording runner that also carries out "rm", "cp" and "mv" of files in-process, with the
// exit status the real commands would give; every other command only is recorded. Paths may
// be single-quoted shell words.
class FileCommandRunner : public RecordingRunner {
public:
    int shell(const QString& line) override
    {
        const int scripted = RecordingRunner::shell(line);
        const QStringList words = split(line);
        if (words.size() == 2 && words[0] == QLatin1String("rm"))
            return QFile::remove(words[1]) ? 0 : 1;
        if (words.size() == 3 && words[0] == QLatin1String("cp")) {
            QFile::remove(words[2]);
            return QFile::copy(words[1], words[2]) ? 0 : 1;
        }
        if (words.size() == 3 && words[0] == QLatin1String("mv")) {
            if (!QFile::exists(words[1]))
                return 1;
            QFile::remove(words[2]);
            return QFile::rename(words[1], words[2]) ? 0 : 1;
        }
        return scripted;
    }

private:
    // Words of a shell line: blanks separate them, single quotes keep text together.
    static QStringList split(const QString& line)
    {
        QStringList words;
        QString word;
        bool quoted = false, any = false;
        for (const QChar c : line) {
            if (c == QLatin1Char('\'')) {
                quoted = !quoted;
                any = true;
            } else if (c == QLatin1Char(' ') && !quoted) {
                if (any)
                    words << word;
                word.clear();
                any = false;
            } else {
                word += c;
                any = true;
            }
        }
        if (any)
            words << word;
        return words;
    }
};

}  // namespace vnq::test
