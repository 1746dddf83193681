#include "rootcommands.h"

#include <QProcess>

namespace vnq::test {

QStringList shellWords(const QString& line, QString* error)
{
    QStringList words;
    QString word;
    bool inWord = false;
    const auto endWord = [&] {
        if (inWord)
            words << word;
        word.clear();
        inWord = false;
    };
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('\'')) {
            const int close = line.indexOf(QLatin1Char('\''), i + 1);
            if (close < 0) {
                *error = QStringLiteral("unclosed quote");
                return {};
            }
            word += line.mid(i + 1, close - i - 1);
            inWord = true;
            i = close;
        } else if (c == QLatin1Char('\\') && i + 1 < line.size()) {
            word += line.at(++i);
            inWord = true;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('$') || c == QLatin1Char('`') || c == QLatin1Char(';') || c == QLatin1Char('|') || c == QLatin1Char('\n')) {
            *error = QStringLiteral("'%1' outside single quotes").arg(c);
            return {};
        } else if (c.isSpace() || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('&')) {
            endWord();
        } else {
            word += c;
            inWord = true;
        }
    }
    endWord();
    return words;
}

namespace {

// Why a command's words leave the root, or an empty text when they do not.
QString leavesRoot(const QStringList& words, const QString& root)
{
    for (const QString& word : words) {
        if (word == QLatin1String("/dev/null"))
            continue;
        if (word.startsWith(QLatin1Char('/')) && !word.startsWith(root + QLatin1Char('/')))
            return QStringLiteral("path outside the root: ") + word;
        if (!word.startsWith(QLatin1Char('/')) && (word.contains(QLatin1String("/VnQo/")) || word.contains(QLatin1String("/tmp/"))))
            return QStringLiteral("a piece of a split path: ") + word;
    }
    return QString();
}

}  // namespace

QString whyCommandLeavesRoot(const RecordingRunner::Call& call, const QString& root)
{
    QString error;
    const QStringList words = call.form == RecordingRunner::Form::Shell ? shellWords(call.command, &error)
                                                                        : QProcess::splitCommand(call.command);
    return error.isEmpty() ? leavesRoot(words, root) : error;
}

}  // namespace vnq::test
