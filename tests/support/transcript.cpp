#include "transcript.h"

#include "screentext.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace vnq::test {

QString transcriptOf(const QString& update)
{
    return vnq::sim::decodeUpdate(update);
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
