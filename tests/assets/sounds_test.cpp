#include "assetfiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cmath>

using namespace vnq::test;

namespace {

quint32 le32(const QByteArray& b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16
        | quint32(quint8(b[at + 3])) << 24;
}

quint16 le16(const QByteArray& b, int at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

struct Planned {
    const char* name;
    double ms;
};
const Planned sounds[] = {{"BUTTON", 60}, {"ERROR", 150 + 80 + 150}, {"IN", 3 * 120}, {"OUT", 3 * 120}};

QString soundPath(int level, const char* name)
{
    return builtAppDir() + QStringLiteral("/Sound/%1/%2.wav").arg(level).arg(QString::fromLatin1(name));
}

int peakOf(const QByteArray& wave)
{
    int peak = 0;
    for (int at = 44; at + 1 < wave.size(); at += 2)
        peak = std::max(peak, std::abs(int(qint16(le16(wave, at)))));
    return peak;
}

}  // namespace

TEST(Sounds, EachLevelHasEverySoundAsMono16BitPcmOfThePlannedLength)
{
    EXPECT_FALSE(QDir(builtAppDir() + QStringLiteral("/Sound/0")).exists()) << "level 0 plays nothing";
    for (int level = 1; level <= 3; ++level) {
        for (const Planned& sound : sounds) {
            const QByteArray wave = readBytes(soundPath(level, sound.name));
            ASSERT_GE(wave.size(), 44) << level << " " << sound.name;
            EXPECT_EQ(wave.left(4), "RIFF");
            EXPECT_EQ(le32(wave, 4), quint32(wave.size() - 8));
            EXPECT_EQ(wave.mid(8, 8), "WAVEfmt ");
            EXPECT_EQ(le32(wave, 16), 16u);
            EXPECT_EQ(le16(wave, 20), 1) << "PCM";
            EXPECT_EQ(le16(wave, 22), 1) << "mono";
            EXPECT_EQ(le32(wave, 24), 22050u);
            EXPECT_EQ(le32(wave, 28), 44100u);
            EXPECT_EQ(le16(wave, 32), 2);
            EXPECT_EQ(le16(wave, 34), 16);
            EXPECT_EQ(wave.mid(36, 4), "data");
            EXPECT_EQ(le32(wave, 40), quint32(wave.size() - 44));
            const double ms = (wave.size() - 44) / 2 * 1000.0 / 22050;
            EXPECT_NEAR(ms, sound.ms, 5.0) << level << " " << sound.name;
            // Tones fade in and out, so the first and last samples are silent.
            EXPECT_EQ(le16(wave, 44), 0);
            EXPECT_EQ(le16(wave, wave.size() - 2), 0);
        }
    }
}

TEST(Sounds, LouderLevelsPeakHigherAtTheirShareOfFullScale)
{
    const double shares[] = {0.25, 0.50, 0.90};
    for (const Planned& sound : sounds) {
        int previous = 0;
        for (int level = 1; level <= 3; ++level) {
            const int peak = peakOf(readBytes(soundPath(level, sound.name)));
            EXPECT_GT(peak, previous) << sound.name << " level " << level;
            EXPECT_NEAR(peak / 32767.0, shares[level - 1], 0.01) << sound.name << " level " << level;
            previous = peak;
        }
    }
    EXPECT_NE(readBytes(soundPath(2, "IN")), readBytes(soundPath(2, "OUT")));
}

TEST(Sounds, TheGeneratorGivesTheSameBytesEveryRun)
{
    QTemporaryDir again;
    ASSERT_TRUE(again.isValid());
    ASSERT_EQ(runTool(QStringLiteral(VNQ_MAKE_SOUNDS), {again.path()}), 0);
    for (int level = 1; level <= 3; ++level) {
        for (const Planned& sound : sounds) {
            const QString relative = QStringLiteral("%1/%2.wav").arg(level).arg(QString::fromLatin1(sound.name));
            EXPECT_EQ(readBytes(again.filePath(relative)), readBytes(soundPath(level, sound.name))) << qPrintable(relative);
        }
    }
}
