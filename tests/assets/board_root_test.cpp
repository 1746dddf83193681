// The simulated board takes the build's pictures and sounds: sounds always replace the
// board's, a picture only when the build's is newer (dropping the display server's cached
// copy of it), and the databases, which are terminal data, only when the board has none.
#include "assetfiles.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QProcess>

using namespace vnq::test;

namespace {

int makeBoardRoot(const TempBoardRoot& board)
{
    return QProcess::execute(QString::fromLocal8Bit(qgetenv("VNQ_SOURCE_DIR")) + QStringLiteral("/sim/make-board-root.sh"),
                             {board.root(), QString::fromLocal8Bit(qgetenv("VNQ_BUILD_DIR"))});
}

bool makeOld(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite)
        && file.setFileTime(QDateTime::currentDateTime().addDays(-30), QFileDevice::FileModificationTime);
}

}  // namespace

TEST(SimulatedBoardAssets, GetsEveryPictureAndSound)
{
    TempBoardRoot board;
    ASSERT_EQ(makeBoardRoot(board), 0);
    for (const QString& file : manifestFiles())
        EXPECT_TRUE(board.exists(QStringLiteral("/VnQo/app/Parts/") + file)) << qPrintable(file);
    for (const char* level : {"1", "2", "3"}) {
        for (const char* sound : {"BUTTON", "ERROR", "IN", "OUT"})
            EXPECT_TRUE(board.exists(QStringLiteral("/VnQo/app/Sound/%1/%2.wav").arg(level, sound))) << level << sound;
    }
}

TEST(SimulatedBoardAssets, ANewerPictureReplacesTheBoardsCopyAndItsCacheWhileDataStays)
{
    TempBoardRoot board;
    ASSERT_EQ(makeBoardRoot(board), 0);
    const QString stale = QStringLiteral("/VnQo/app/Parts/01時計画面/0.png");
    const QString current = QStringLiteral("/VnQo/app/Parts/01時計画面/1.png");
    const QString sound = QStringLiteral("/VnQo/app/Sound/2/IN.wav");
    const QString database = QStringLiteral("/VnQo/app/DB/setting.db");
    ASSERT_TRUE(board.writeFile(stale, "old picture") && makeOld(board.path(stale)));
    ASSERT_TRUE(board.writeFile(stale + QStringLiteral(".4444"), "cache"));
    ASSERT_TRUE(board.writeFile(current + QStringLiteral(".4444"), "cache"));
    ASSERT_TRUE(board.writeFile(sound, "old sound"));
    ASSERT_TRUE(board.writeFile(database, "terminal data"));

    ASSERT_EQ(makeBoardRoot(board), 0);
    EXPECT_EQ(board.readFile(stale), readBytes(builtAppDir() + QStringLiteral("/Parts/01時計画面/0.png")));
    EXPECT_FALSE(board.exists(stale + QStringLiteral(".4444")));
    EXPECT_TRUE(board.exists(current + QStringLiteral(".4444")));
    EXPECT_EQ(board.readFile(sound), readBytes(builtAppDir() + QStringLiteral("/Sound/2/IN.wav")));
    EXPECT_EQ(board.readFile(database), "terminal data");
}
