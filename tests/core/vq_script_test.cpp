// The developer command ./vq on a board root given as a relative path or as one too long
// for the board's local sockets, and its commands that check what they are given.
#include "dbdakoku.h"
#include "dbsetting.h"
#include "goldenimage.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <functional>

namespace {

const QString sourceTree = QStringLiteral(VNQ_SOURCE_TREE);

QProcessEnvironment withRoot(const QString& root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VNQ_ROOT"), root);
    env.insert(QStringLiteral("VNQ_JOBS"), QStringLiteral("1"));
    return env;
}

// Runs ./vq with these arguments on the board root; the exit status, or -1 when it did not end.
int runVq(const QString& root, const QStringList& args, QByteArray* errors = nullptr)
{
    QProcess vq;
    vq.setWorkingDirectory(sourceTree);
    vq.setProcessEnvironment(withRoot(root));
    vq.start(QStringLiteral("bash"), QStringList{QStringLiteral("./vq")} + args);
    if (!vq.waitForFinished(30000))
        return -1;
    if (errors)
        *errors = vq.readAllStandardError();
    return vq.exitStatus() == QProcess::NormalExit ? vq.exitCode() : -1;
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Polls done() every 50 ms of real time: the terminal and its card service are real
// processes with their own clocks.
bool pollUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < timeoutMs)
        QThread::msleep(50);
    return done();
}

// `./vq run` in a session of its own, so the terminal and its helpers end together when the
// object goes.
class RunningBoard {
public:
    // Starts ./vq run on the root (relative to the source tree or absolute) with the display
    // server of the build, unless the environment's VNQ_DISPLAY says otherwise.
    explicit RunningBoard(const QString& root, const QString& display = QString())
    {
        QProcessEnvironment env = withRoot(root);
        // The board as the README starts it: the display server drawing on a 16-bit screen.
        for (const char* name : {"VNQ_DISPLAY", "VNQ_FB_BPP", "VNQ_VISTREL_DRAW"})
            env.remove(QString::fromLatin1(name));
        if (!display.isEmpty())
            env.insert(QStringLiteral("VNQ_DISPLAY"), display);
        vq.setWorkingDirectory(sourceTree);
        vq.setProcessEnvironment(env);
        vq.setProcessChannelMode(QProcess::MergedChannels);
        vq.start(QStringLiteral("setsid"), {QStringLiteral("bash"), QStringLiteral("./vq"), QStringLiteral("run")});
        if (vq.waitForStarted(5000))
            session = vq.processId();
    }
    ~RunningBoard() { stop(); }

    bool started() const { return session > 0; }
    void stop()
    {
        if (session <= 0)
            return;
        ::kill(-pid_t(session), SIGTERM);
        vq.waitForFinished(10000);
        session = 0;
    }
    std::string output() { return vq.readAll().toStdString(); }

private:
    QProcess vq;
    qint64 session = 0;
};

// Waits for the terminal's card socket (the first ./vq run of a tree builds first) and for the
// card service, which polls once the terminal has written its start gate at its settings load.
::testing::AssertionResult boardIsUp(const QString& root, RunningBoard& board)
{
    const QString socket = root + QStringLiteral("/tmp/iccard.uds");
    if (!pollUntil([&] { return QFileInfo(socket).exists(); }, 120000))
        return ::testing::AssertionFailure() << "no card socket at " << socket.toStdString() << "\n" << board.output();
    const QString commands = root + QStringLiteral("/var/log/sim-commands.log");
    if (!pollUntil([&] { return fileText(commands).contains(QStringLiteral("SyncFile OK!!")); }, 10000))
        return ::testing::AssertionFailure() << "no start gate for the card service\n" << board.output();
    return ::testing::AssertionSuccess();
}

TEST(VqScript, RunsTheTerminalOnARelativeBoardRoot)
{
    QTemporaryDir dir(QStringLiteral("/tmp/vnq-rel-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString relative = QDir(sourceTree).relativeFilePath(dir.path());
    ASSERT_FALSE(QFileInfo(relative).isAbsolute());

    RunningBoard board(relative);
    ASSERT_TRUE(board.started());
    ASSERT_TRUE(boardIsUp(dir.path(), board));
    EXPECT_EQ(runVq(relative, {QStringLiteral("card"), QStringLiteral("0123456789abcdef")}), 0);

    // The terminal takes the card: its clock check runs for every card event.
    const QString log = dir.path() + QStringLiteral("/var/log/VantroQo.log");
    const bool handled = pollUntil([&] { return fileText(log).contains(QStringLiteral("Tikwarden -D 180")); }, 10000);
    board.stop();
    EXPECT_TRUE(handled) << board.output();
}

// The main plane of the board root's simulated screen (480 x 272, RGB565) as RGBA bytes; an
// empty image while the screen is not there.
vnq::test::RgbaImage screenOf(const QString& root)
{
    constexpr int width = 480, height = 272;
    vnq::test::RgbaImage image;
    QFile fb(root + QStringLiteral("/dev/fb0"));
    const QByteArray plane = fb.open(QIODevice::ReadOnly) ? fb.read(width * height * 2) : QByteArray();
    if (plane.size() != width * height * 2)
        return image;
    image.width = width;
    image.height = height;
    image.bytes.resize(size_t(width) * height * 4);
    for (int i = 0; i < width * height; ++i) {
        const unsigned v = uint8_t(plane[2 * i]) | unsigned(uint8_t(plane[2 * i + 1])) << 8;
        const unsigned r = v >> 11 & 31, g = v >> 5 & 63, b = v & 31;
        image.bytes[4 * i] = uint8_t(r << 3 | r >> 2);
        image.bytes[4 * i + 1] = uint8_t(g << 2 | g >> 4);
        image.bytes[4 * i + 2] = uint8_t(b << 3 | b >> 2);
        image.bytes[4 * i + 3] = 255;
    }
    return image;
}

// Whether the screen shows the greeting of a name of `glyphs` full-width characters: the touch
// picture of the clock screen everywhere but the name's rows, and in those a white name
// centred on x 248 (44 pixel glyphs from y 105) where the picture is not white.
bool showsGreeting(const vnq::test::RgbaImage& screen, const vnq::test::RgbaImage& picture, int glyphs)
{
    if (screen.width != picture.width || screen.height != picture.height)
        return false;
    const auto at = [](const vnq::test::RgbaImage& image, int x, int y) { return &image.bytes[4 * (size_t(y) * image.width + x)]; };
    const auto white = [](const uint8_t* p) { return p[0] >= 0xE0 && p[1] >= 0xE0 && p[2] >= 0xE0; };
    int outside = 0, differing = 0, left = INT_MAX, right = INT_MIN;
    for (int y = 0; y < screen.height; ++y) {
        const bool nameRows = y >= 95 && y < 165;
        for (int x = 0; x < screen.width; ++x) {
            const uint8_t* s = at(screen, x, y);
            const uint8_t* p = at(picture, x, y);
            if (nameRows) {
                if (white(s) && !white(p)) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                }
                continue;
            }
            ++outside;
            // The picture reaches the screen through the display server's 4-bit cache.
            if (std::abs(s[0] - p[0]) > 24 || std::abs(s[1] - p[1]) > 24 || std::abs(s[2] - p[2]) > 24)
                ++differing;
        }
    }
    return differing * 100 < outside && right > left && std::abs((left + right) / 2 - 248) <= 8
        && std::abs(right - left - 44 * glyphs) <= 44;
}

// The README's walk through stamping, with the display server the build made: a press on the
// 出勤 panel by its id, a card, and the stamp and greeting that follow.
TEST(VqScript, StampingWalkOnTheDisplayServer)
{
    vnq::test::TempBoardRoot root(QStringLiteral("/tmp/vnq-walk-XXXXXX"));
    ASSERT_TRUE(root.isValid());
    RunningBoard board(root.root());
    ASSERT_TRUE(board.started());
    ASSERT_TRUE(boardIsUp(root.root(), board));
    // The picture the display server draws the greeting on, as ./vq run put it on the board.
    vnq::test::RgbaImage touchPicture;
    ASSERT_TRUE(vnq::test::loadPng(
        root.path(QStringLiteral("/VnQo/app/Parts/01時計画面/時計画面_タッチ時.png")).toStdString(), touchPicture));
    // The clock screen's panels in the display server's table, with their generation digit.
    const QString hits = root.path(QStringLiteral("/var/tmp/vistrel-hits.txt"));
    ASSERT_TRUE(pollUntil([&] { return fileText(hits).contains(QStringLiteral("_BG_1 10 155 ")); }, 20000))
        << fileText(hits).toStdString() << board.output();
    ASSERT_FALSE(fileText(hits).contains(QStringLiteral("\n_BG_1 "))) << "the table names the item as sent";

    QByteArray errors;
    ASSERT_EQ(runVq(root.root(), {QStringLiteral("press"), QStringLiteral("_BG_1")}, &errors), 0) << errors.toStdString();
    // The display server reports the touch to the terminal (its log line), before the card comes.
    const QString displayLog = root.path(QStringLiteral("/var/log/Vistrel.log"));
    ASSERT_TRUE(pollUntil([&] { return fileText(displayLog).contains(QStringLiteral("_BG_1 : ev=0")); }, 10000))
        << fileText(displayLog).toStdString();
    ASSERT_EQ(runVq(root.root(), {QStringLiteral("card"), QStringLiteral("0123456789abcdef")}, &errors), 0)
        << errors.toStdString();

    // 山田太郎 (1001) clocks in (kind 1, 出勤) ...
    QList<QStringList> stamps;
    ASSERT_TRUE(pollUntil([&] { stamps.clear(); return DBDakoku::getDakokuUnsend(&stamps, 10) && stamps.size() == 1; }, 10000))
        << fileText(root.path(QStringLiteral("/var/log/VantroQo.log"))).toStdString();
    EXPECT_EQ(stamps.at(0).at(0), QStringLiteral("1001"));
    EXPECT_EQ(stamps.at(0).at(3), QStringLiteral("1"));
    // ... and the screen greets him by name.
    EXPECT_TRUE(pollUntil([&] { return showsGreeting(screenOf(root.root()), touchPicture, 4); }, 10000));
    board.stop();
}

TEST(VqScript, RefusesABoardRootTooLongForItsSockets)
{
    const QString root = QStringLiteral("/tmp/vnq-") + QString(80, QLatin1Char('x'));
    QProcess vq;
    vq.setWorkingDirectory(sourceTree);
    vq.setProcessEnvironment(withRoot(root));
    vq.start(QStringLiteral("bash"), {QStringLiteral("./vq"), QStringLiteral("run")});
    ASSERT_TRUE(vq.waitForFinished(10000));
    EXPECT_EQ(vq.exitCode(), 2);
    EXPECT_TRUE(vq.readAllStandardError().contains("vq: board root too long for a local socket"));
    EXPECT_FALSE(QFileInfo::exists(root));
}

TEST(VqScript, TouchRefusesPointsOffTheScreenAndHoldsOutOfRange)
{
    QTemporaryDir dir(QStringLiteral("/tmp/vnq-touch-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QStringList refused[] = {
        {},
        {QStringLiteral("10")},
        {QStringLiteral("480"), QStringLiteral("0")},
        {QStringLiteral("0"), QStringLiteral("272")},
        {QStringLiteral("-1"), QStringLiteral("5")},
        {QStringLiteral("x"), QStringLiteral("5")},
        {QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("0")},
        {QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("60001")},
        {QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("1.5")},
    };
    for (const QStringList& args : refused) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        QProcess vq;
        vq.setWorkingDirectory(sourceTree);
        vq.setProcessEnvironment(withRoot(dir.path()));
        vq.start(QStringLiteral("bash"), QStringList{QStringLiteral("./vq"), QStringLiteral("touch")} + args);
        ASSERT_TRUE(vq.waitForFinished(10000));
        EXPECT_EQ(vq.exitCode(), 2);
        EXPECT_TRUE(vq.readAllStandardError().startsWith("usage: ./vq touch X Y [hold-ms]"));
    }
}

TEST(VqScript, SetRefusesAValueOutsideTheItemsRange)
{
    vnq::test::TempBoardRoot root;
    ASSERT_TRUE(vnq::test::installShippedDatabases(root));
    ASSERT_TRUE(root.makeDir(QStringLiteral("/tmp")));  // where the reload request goes
    struct Case {
        QString name, value;
        int status;
        QString message;  // what the refusal says
        int stored;       // the item's value afterwards
    };
    const Case cases[] = {
        {QStringLiteral("動作モード"), QStringLiteral("99"), 2, QStringLiteral("動作モード takes 1 to 4"), 1},
        {QStringLiteral("動作モード"), QStringLiteral("0"), 2, QStringLiteral("動作モード takes 1 to 4"), 1},
        // Too long for an integer: SQLite would keep it as the real 1.0e+20.
        {QStringLiteral("管理者パスワード"), QStringLiteral("100000000000000000000"), 2,
         QStringLiteral("管理者パスワード takes 0 to 999999"), 0},
        {QStringLiteral("管理者パスワード"), QStringLiteral("-1"), 2, QStringLiteral("管理者パスワード takes 0 to 999999"), 0},
        {QStringLiteral("動作モード"), QStringLiteral("4"), 0, QString(), 4},
        {QStringLiteral("動作モード"), QStringLiteral("0003"), 0, QString(), 3},
        {QStringLiteral("管理者パスワード"), QStringLiteral("999999"), 0, QString(), 999999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.name + QLatin1Char(' ') + c.value).toStdString());
        QByteArray errors;
        EXPECT_EQ(runVq(root.root(), {QStringLiteral("set"), c.name, c.value}, &errors), c.status);
        EXPECT_TRUE(QString::fromUtf8(errors).contains(c.message)) << errors.toStdString();
        int value = -2;
        EXPECT_TRUE(DBSetting::getSetting(c.name, &value));
        EXPECT_EQ(value, c.stored);
    }
    EXPECT_EQ(runVq(root.root(), {QStringLiteral("set"), QStringLiteral("ない項目"), QStringLiteral("1")}), 1);
    EXPECT_TRUE(root.exists(QStringLiteral("/tmp/vantroq.unlock"))) << "the terminal reloads what was taken";
}

TEST(VqScript, PressListsTheItemsOnTheScreenForAnIdNotThere)
{
    // The display server's table of the screen: newest first, ids with the screen's generation.
    vnq::test::TempBoardRoot root;
    ASSERT_TRUE(root.writeFile(QStringLiteral("/var/tmp/vistrel-hits.txt"),
                               "4Pop_Yes 120 150 100 40\n3Back 400 220 70 40\n3_BG_1 10 155 154 55\n"
                               "@@@_BG_@@@ 0 0 480 272\n"));
    for (const QString& id : {QStringLiteral("Next"), QStringLiteral("3Back"), QStringLiteral("Pop")}) {
        SCOPED_TRACE(id.toStdString());
        QByteArray errors;
        EXPECT_EQ(runVq(root.root(), {QStringLiteral("press"), id}, &errors), 1);
        EXPECT_TRUE(errors.contains("on the screen: Pop_Yes Back _BG_1 @@@_BG_@@@")) << errors.toStdString();
    }
}

}  // namespace
