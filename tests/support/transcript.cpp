#include "transcript.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

namespace vnq::test {

namespace {

// The <text> and <filename> contents are percent-encoded on the wire.
QString decodeTexts(QString line)
{
    static const QRegularExpression encoded(QStringLiteral("<(text|filename)>([^<]*)</\\1>"));
    QString out;
    int from = 0;
    auto it = encoded.globalMatch(line);
    while (it.hasNext()) {
        const auto match = it.next();
        out += line.mid(from, match.capturedStart() - from);
        out += QStringLiteral("<%1>%2</%1>")
                   .arg(match.captured(1), QUrl::fromPercentEncoding(match.captured(2).toLatin1()));
        from = match.capturedEnd();
    }
    return out + line.mid(from);
}

}  // namespace

QString transcriptOf(const QString& update)
{
    static const QRegularExpression part(QStringLiteral("<action>.*?</action>|<item>.*?</item>"));
    QStringList lines;
    auto it = part.globalMatch(update);
    while (it.hasNext())
        lines << decodeTexts(it.next().captured(0));
    return lines.join(QLatin1Char('\n'));
}

void expectTranscriptIn(const QString& goldenDir, const QString& name, const QStringList& updates)
{
    QString actual;
    for (int i = 0; i < updates.size(); ++i)
        actual += QStringLiteral("--- update %1\n%2\n").arg(i + 1).arg(transcriptOf(updates[i]));

    const QString path = goldenDir + QLatin1Char('/') + name + QStringLiteral(".txt");
    QFile file(path);
    if (!file.exists()) {
        if (qEnvironmentVariableIntValue("VNQ_UPDATE_GOLDEN") == 1) {
            QDir().mkpath(goldenDir);
            if (file.open(QIODevice::WriteOnly))
                file.write(actual.toUtf8());
            ADD_FAILURE() << "golden transcript written, review it: " << path.toStdString();
        } else {
            ADD_FAILURE() << "missing golden transcript " << path.toStdString()
                          << " (VNQ_UPDATE_GOLDEN=1 writes it)\n" << actual.toStdString();
        }
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString expected = QString::fromUtf8(file.readAll());
    EXPECT_EQ(expected.toStdString(), actual.toStdString()) << "golden transcript " << path.toStdString();
}

}  // namespace vnq::test
