#include "clockfixture.h"

#include "commandquote.h"
#include "form2firmupdate.h"
#include "operationpages.h"

#include <QCryptographicHash>

namespace {

using vnq::test::FakeCloudLink;

const QString receiveFile = QStringLiteral("/VnQo/var/fwup/cloudrecv.tmp");
const QString imageFile = QStringLiteral("/VnQo/var/fwup/firm.bin");

class FirmwareUpdate : public ClockFixture {
protected:
    void SetUp() override
    {
        ClockFixture::SetUp();
        OperationPages::install();
        ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/var/fwup")));
        startActiveClock();
        image = QByteArray("firmware image ") + QByteArray(3000, 'x');
        md5 = QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex());
    }

    void openPage(int edition)
    {
        link = useCloudEdition(edition);
        updatesOf([this] { clock->movePage(5, nullptr); });
        page = dynamic_cast<Form2FirmUpdate*>(probe->currentPage());
        ASSERT_FALSE(page.isNull());
        edition_ = edition;
    }

    // Line 1 to 3 of the last update fn drew.
    QStringList linesAfter(const std::function<void()>& fn)
    {
        const QStringList updates = updatesOf(fn);
        QStringList lines;
        for (const QString& line : vnq::test::transcriptOf(updates.value(updates.size() - 1)).split(QLatin1Char('\n'))) {
            if (line.contains(QStringLiteral("<x>240</x>")) && line.contains(QStringLiteral("<text>")))
                lines << line.section(QStringLiteral("<text>"), 1, 1).section(QLatin1Char('<'), 0, 0);
        }
        return lines;
    }

    QStringList answerVersion(const QString& code, const QString& version, int size = 0, const QString& hash = {})
    {
        return linesAfter([&] {
            if (edition_ == 1)
                emit link->finishedFirmwareVersion(code, version, size, hash);
            else
                emit link->finishedFirmwareVersion(code.toInt(), version, size, hash);
        });
    }

    QStringList answerDownload(const QString& code)
    {
        return linesAfter([&] {
            if (edition_ == 1)
                emit link->finishedGetFirmware(code);
            else
                emit link->finishedGetFirmware(code.toInt());
        });
    }

    // Up to the download: a newer version with the image's size and hash, "Update".
    void startDownload(int edition)
    {
        openPage(edition);
        touch(QStringLiteral("Check"));
        answerVersion(QStringLiteral("0"), QStringLiteral("Qo99-Z31"), image.size(), md5);
        ASSERT_EQ(page->mode(), Form2FirmUpdate::UpdateAvailable);
        runner.clear();
        touch(QStringLiteral("Update"));
    }

    QStringList restarts() const
    {
        QStringList found;
            for (const QString& command : runner.commands())
            if (command.contains(QStringLiteral("lighttpd_reboot")) || command.contains(QStringLiteral("_watch")))
                found << QString(command).remove(board.root());
        return found;
    }

    FakeCloudLink* link = nullptr;
    QPointer<Form2FirmUpdate> page;
    int edition_ = 1;
    QByteArray image;
    QString md5;
};

TEST_F(FirmwareUpdate, VersionCheckStates)
{
    const struct {
        int edition;
        const char* code;
        const char* version;
        Form2FirmUpdate::PageMode mode;
        QStringList lines;
    } cases[] = {
        {1, "0", "Qo99-Z31", Form2FirmUpdate::UpdateAvailable, {"更新必要", "最新ファームがあります", "Ver.Qo99-Z31"}},
        {1, "-9999", "", Form2FirmUpdate::CheckFailed, {"エラー", "ネットワーク異常です"}},
        {2, "-1002", "", Form2FirmUpdate::CheckFailed, {"エラー：-1002", "内部エラー"}},
        {2, "-21", "", Form2FirmUpdate::CheckFailed, {"エラー：-21", "トークンの有効期限", "が切れています"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        openPage(c.edition);
        link->clearCalls();
        const QStringList blinking = linesAfter([this] { touch(QStringLiteral("Check")); });
        EXPECT_EQ(blinking, QStringList{"通信中・"});
        EXPECT_EQ(link->operations(), QStringList{"getFirmwareVersion"});
        touch(QStringLiteral("Back"));
        EXPECT_FALSE(page.isNull()) << "Back is refused while checking";
        EXPECT_EQ(answerVersion(QString::fromLatin1(c.code), QString::fromLatin1(c.version)), c.lines);
        EXPECT_EQ(page->mode(), c.mode);
    }
    openPage(1);
    touch(QStringLiteral("Check"));
    EXPECT_EQ(answerVersion(QStringLiteral("0"), ZSystem::applicationVersion()),
              (QStringList{"更新不要", ZSystem::applicationVersion()}));
    touch(QStringLiteral("Back"));
    EXPECT_TRUE(page.isNull());
}

TEST_F(FirmwareUpdate, UpdateStopsTheServicesAndShowsTheProgress)
{
    startDownload(1);
    EXPECT_EQ(runner.commands(), (QStringList{"killall vnq_system_watch", "killall vnq_netif_watch",
                                              vnq::shellQuoted(board.path("/etc/init.d/S50lighttpd")) + " stop",
                                              "sync",
                                              "echo 3 > " + vnq::shellQuoted(board.path("/proc/sys/vm/drop_caches"))}));
    EXPECT_EQ(link->operations().last(), QStringLiteral("getFirmwareFile"));
    touch(QStringLiteral("Back"));
    EXPECT_FALSE(page.isNull());
    const struct {
        int received;
        int total;
        const char* shown;
    } progress[] = {{500, 1000, "受信中(50%)"}, {700, 0, "受信中(50%)"}, {800, -1, "受信中(50%)"},
                    {15 * 1024 * 1024, 30 * 1024 * 1024, "受信中(50%)"}, {30 * 1024 * 1024, 30 * 1024 * 1024, "受信中(100%)"}};
    for (const auto& p : progress) {
        emit link->downProgress(p.received, p.total);
        EXPECT_EQ(linesAfter([this] { page->onTimeout(); }).value(0), QString::fromUtf8(p.shown));
    }
}

TEST_F(FirmwareUpdate, AGoodDownloadIsInstalledOnce)
{
    for (const int edition : {1, 2}) {
        SCOPED_TRACE(edition);
        startDownload(edition);
        ASSERT_TRUE(board.writeFile(receiveFile, edition == 1
                                                      ? "<result>0</result><firmware_data>" + image.toBase64()
                                                            + "</firmware_data>"
                                                      : image));
        runner.clear();
        const QDateTime before = fakeClock.now();
        // Edition 2 moves the download without decoding it: no progress to show.
        EXPECT_EQ(answerDownload(QStringLiteral("0")).value(0),
                  edition == 1 ? QStringLiteral("チェック中(100%)") : QStringLiteral("チェック中(0%)"));
        EXPECT_EQ(board.readFile(imageFile), image);
        EXPECT_EQ(runner.commands().filter(QStringLiteral("arun")),
                  QStringList{vnq::shellQuoted(board.path("/VnQo/var/fwup/arun")) + " > /dev/null 2>&1 &"});
        EXPECT_TRUE(restarts().isEmpty());
        if (edition == 1) {
            EXPECT_EQ(before.msecsTo(fakeClock.now()), 2000);
        }
        touch(QStringLiteral("Back"));
        EXPECT_FALSE(page.isNull()) << "the page stays while the installer runs";
        delete page;
        EXPECT_TRUE(restarts().isEmpty()) << "the installer took over";
    }
}

TEST_F(FirmwareUpdate, FailuresRestartTheStoppedServices)
{
    const QStringList restartCommands{"/VnQo/bin/vnq_lighttpd_reboot 80", "/VnQo/bin/vnq_netif_watch_starter",
                                      "/VnQo/bin/vnq_system_watch"};
    // A failed download.
    startDownload(1);
    runner.clear();
    EXPECT_EQ(answerDownload(QStringLiteral("-21")), (QStringList{"エラー：-21", "トークンの有効期限", "が切れています"}));
    EXPECT_EQ(page->mode(), Form2FirmUpdate::DownloadFailed);
    EXPECT_EQ(restarts(), restartCommands);

    // A download whose image does not match the announced hash.
    startDownload(2);
    ASSERT_TRUE(board.writeFile(receiveFile, image + "tampered"));
    runner.clear();
    EXPECT_EQ(answerDownload(QStringLiteral("0")), (QStringList{"エラー：-1", "イメージが異常です"}));
    EXPECT_EQ(page->mode(), Form2FirmUpdate::ConvertFailed);
    EXPECT_FALSE(board.exists(imageFile));
    EXPECT_TRUE(runner.commands().filter(QStringLiteral("arun")).isEmpty());
    EXPECT_EQ(restarts(), restartCommands);

    // The page deleted while downloading.
    startDownload(1);
    runner.clear();
    clock->returnPage(page, false);
    EXPECT_TRUE(page.isNull());
    EXPECT_EQ(restarts().filter(QStringLiteral("_watch")), restartCommands.mid(1));
}

TEST_F(FirmwareUpdate, WithoutAWorkerTheCheckFailsAtOnce)
{
    updatesOf([this] { clock->movePage(5, nullptr); });
    page = dynamic_cast<Form2FirmUpdate*>(probe->currentPage());
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(linesAfter([this] { touch(QStringLiteral("Check")); }), (QStringList{"エラー", "ネットワーク異常です"}));
    touch(QStringLiteral("Back"));
    EXPECT_TRUE(page.isNull());
}

}  // namespace
