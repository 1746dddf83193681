#pragma once

#include "db.h"
#include "recordingpagehost.h"
#include "screenfixture.h"
#include "shippeddatabases.h"
#include "soundmodule.h"
#include "transcript.h"
#include "zsystem.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <memory>
#include <ostream>

// A settings screen's world: the screen-protocol client on a fake display server, the
// shipped databases on a temporary board, the clock standing still, commands recorded, log
// lines captured and a recording page host as the screens' parent. The edition is chosen
// per test with useEdition before the screen is made.
class SettingsFixture : public ScreenFixture {
protected:
    SettingsFixture() = default;
    explicit SettingsFixture(const QString& rootTemplate)
        : ScreenFixture(rootTemplate)
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(vnq::test::installShippedDatabases(board));
        ScreenFixture::SetUp();
        SoundModule::touchVolume = 2;
        clicks = std::make_unique<QSignalSpy>(label, &MyLabel::clicked);
    }

    void TearDown() override { ZSystem::setMode(ZSystem::Basic); }

    void useEdition(ZSystem::_zmode edition) { ZSystem::setMode(edition); }

    // Deletes the row of setting.db's table whose jname is given, so reading or storing it
    // fails.
    static void removeRow(const QString& table, const QString& jname)
    {
        ASSERT_TRUE(DB::getInstance()->execQueryBase(QStringLiteral("../DB/setting.db"),
                                                     QStringLiteral("DELETE FROM %1 WHERE jname = ?").arg(table),
                                                     nullptr, {jname}));
    }
    static void removeSetting(const QString& jname) { removeRow(QStringLiteral("setting"), jname); }

    // Returns once the display server has received everything sent until now (a bare
    // update goes after it, which the transcripts leave out).
    void sync()
    {
        const int sent = peer.updates().size();
        label->setFlash();
        EXPECT_TRUE(peer.waitForUpdates(sent + 1));
    }

    // Where the updates still to come will start, for updatesSince.
    int mark()
    {
        sync();
        return peer.updates().size();
    }

    // The updates received since `before`, without the bare ones of sync().
    QStringList updatesSince(int before)
    {
        sync();
        QStringList received;
        for (const QString& update : peer.updates().mid(before)) {
            if (!isBare(update))
                received << update;
        }
        return received;
    }

    static bool isBare(const QString& update)
    {
        static const QRegularExpression bare(
            QStringLiteral("^<items><item><id>\\d_SCREENSHOT_</id>.*?</item><action>Flash</action></items>$"));
        return bare.match(update).hasMatch();
    }

    // Reports a touch as the display server does and returns once the screens have taken it.
    void touch(const QString& id)
    {
        sync();
        const int before = clicks->count();
        ASSERT_TRUE(peer.touch(id)) << "no item " << id.toStdString() << " on the screen";
        ASSERT_TRUE(vnq::test::FakeDisplayServer::waitFor([&] { return clicks->count() > before; }));
    }

    // Types digits on a keypad as its keys report them, straight through MyLabel::clicked.
    void type(const QString& digits)
    {
        for (const QChar digit : digits)
            emit label->clicked(label, QStringLiteral("Sel3x4_") + digit);
    }

    // A touch as the screens receive it, without the display server.
    void click(const QString& id) { emit label->clicked(label, id); }

    // Compares the updates with a golden transcript; the version line, which follows the
    // build date, is written as "VERSION".
    void expectScreen(const QString& name, QStringList updates)
    {
        for (QString& update : updates)
            update.replace(ZSystem::applicationVersion(), QStringLiteral("VERSION"));
        expectTranscript(name, updates);
    }

    // The sounds played through the command runner, by file name ("BUTTON.wav").
    QStringList sounds() const
    {
        QStringList played;
        for (const QString& command : runner.commands()) {
            if (command.startsWith(QStringLiteral("nice -n -20 aplay ")))
                played << command.section(QLatin1Char(' '), 4, 4).section(QLatin1Char('/'), -1);
        }
        return played;
    }

    vnq::test::RecordingPageHost host;
    std::unique_ptr<QSignalSpy> clicks;
};

// A case of a page test run once per edition: the edition, the page or menu number the test
// opens and the golden transcript it should draw, which also names the case.
struct EditionPage {
    ZSystem::_zmode edition;
    int number;
    const char* golden;
};

inline void PrintTo(const EditionPage& c, std::ostream* os)
{
    *os << c.golden;
}
