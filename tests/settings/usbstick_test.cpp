// Backup and restore end to end: the screens run the simulated board's stand-in scripts on a
// temporary board root with a simulated USB stick.

#include "dbsetting.h"
#include "platform/commandrunner.h"
#include "settingsfixture.h"
#include "usbtransferscreen.h"

#include <QFile>
#include <QProcess>

namespace {

class UsbStick : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        const QString source = qEnvironmentVariable("VNQ_SOURCE_DIR");
        ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/bin")));
        for (const char* script : {"vnqo_usb_backup", "vnqo_usb_restore"}) {
            const QString target = board.path(QStringLiteral("/VnQo/bin/") + QLatin1String(script));
            ASSERT_TRUE(QFile::copy(source + QStringLiteral("/sim/board/VnQo/bin/") + QLatin1String(script), target));
            QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner);
        }
        ASSERT_TRUE(board.makeDir(QStringLiteral("/var/log")));
        // The stand-ins of mount, umount and sync come first on the path.
        previousPath = qgetenv("PATH");
        qputenv("PATH", (source + QStringLiteral("/sim/bin:")).toUtf8() + previousPath);
        // Only the USB scripts really run; every other command stays recorded.
        runner.onCommand = [this](const QString& command) {
            if (command.startsWith(board.path(QStringLiteral("/VnQo/bin/vnqo_usb_")))) {
                const vnq::CommandResult result = vnq::ProcessCommandRunner().run(command, 30000);
                runner.script(command, result.started && result.finished ? result.exitCode : -1);
            }
        };
    }

    void TearDown() override
    {
        qputenv("PATH", previousPath);
        SettingsFixture::TearDown();
    }

    // Runs a screen from its question to the result window; the text it shows.
    QString run(UsbTransferScreen* screen)
    {
        const int before = mark();
        click(QStringLiteral("Pop_Yes"));
        const QString shown = updatesSince(before).join(QString());
        delete screen;
        return shown;
    }

    void insertStick() { ASSERT_TRUE(board.writeFile(QStringLiteral("/dev/sda"), {})); }

    QByteArray database(const QString& name) const { return board.readFile(QStringLiteral("/VnQo/app/DB/") + name); }
    QByteArray onStick(const QString& name) const
    {
        return board.readFile(QStringLiteral("/sim/usb-stick/VnQo_backup/") + name);
    }

    static int tsushin(const QString& name)
    {
        int seconds = -1;
        DBSetting::getTsushin(name, &seconds);
        return seconds;
    }

    QByteArray previousPath;
};

TEST_F(UsbStick, WithoutAStickNothingIsBackedUp)
{
    EXPECT_TRUE(run(new Form4AdminUsbOut(&host)).contains(expect::enc(QStringLiteral("USBメモリが見つかりません"))));
    EXPECT_EQ(tsushin(QStringLiteral("バックアップ")), 0);
}

TEST_F(UsbStick, BackupAndRestoreThroughTheStick)
{
    insertStick();
    EXPECT_TRUE(run(new Form4AdminUsbOut(&host)).contains(expect::enc(QStringLiteral("バックアップが完了しました"))));
    for (const char* name : {"dakoku.db", "master.db"})
        EXPECT_EQ(onStick(QLatin1String(name)), database(QLatin1String(name))) << name;
    EXPECT_FALSE(onStick(QStringLiteral("setting.db")).isEmpty());
    EXPECT_FALSE(board.exists(QStringLiteral("/mnt/usb")));

    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("タッチ選択優先秒数"), 42));
    EXPECT_TRUE(run(new Form4AdminRestore(&host)).contains(expect::enc(QStringLiteral("リストアが完了しました"))));
    int seconds = 0;
    ASSERT_TRUE(DBSetting::getSetting(QStringLiteral("タッチ選択優先秒数"), &seconds));
    EXPECT_EQ(seconds, 10);
    // The restore time went into the restored database, after the copy.
    EXPECT_EQ(tsushin(QStringLiteral("リストア")), int(fakeClock.now().toSecsSinceEpoch()));
}

TEST_F(UsbStick, WithoutABoardRootTheScriptsTouchNothing)
{
    insertStick();
    for (const char* script : {"vnqo_usb_backup", "vnqo_usb_restore"}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("VNQ_ROOT"));
        process.setProcessEnvironment(environment);
        process.start(board.path(QStringLiteral("/VnQo/bin/") + QLatin1String(script)), QStringList());
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 1) << script;
    }
    EXPECT_FALSE(board.exists(QStringLiteral("/sim/usb-stick")));
    EXPECT_FALSE(board.exists(QStringLiteral("/var/log/sim-commands.log")));
}

}  // namespace
