// Factory reset and stamp deletion end to end: the maintenance screen runs the simulated
// board's stand-in scripts, which put back the shipped databases kept in sim/factory.

#include "dbdakoku.h"
#include "dbmaster.h"
#include "dbsetting.h"
#include "form4menteshosai.h"
#include "platform/commandrunner.h"
#include "settingsfixture.h"

#include <QFile>

namespace {

class FactoryReset : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        const QString source = qEnvironmentVariable("VNQ_SOURCE_DIR");
        ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/bin")));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/sim/factory")));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/var/log")));
        for (const char* script : {"vnq_restore", "vnq_dakoku_reset"}) {
            const QString target = board.path(QStringLiteral("/VnQo/bin/") + QLatin1String(script));
            ASSERT_TRUE(QFile::copy(source + QStringLiteral("/sim/board/VnQo/bin/") + QLatin1String(script), target));
            QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner);
        }
        for (const char* db : {"dakoku.db", "master.db", "setting.db"}) {
            ASSERT_TRUE(QFile::copy(vnq::test::shippedDatabase(QLatin1String(db)),
                                    board.path(QStringLiteral("/sim/factory/") + QLatin1String(db))));
        }
        // Only the two scripts really run; every other command stays recorded.
        runner.onCommand = [this](const QString& command) {
            if (command == board.path(QStringLiteral("/VnQo/bin/vnq_restore"))
                || command == board.path(QStringLiteral("/VnQo/bin/vnq_dakoku_reset"))) {
                const vnq::CommandResult result = vnq::ProcessCommandRunner().run(command, 30000);
                runner.script(command, result.started && result.finished ? result.exitCode : -1);
            }
        };
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("タッチ選択優先秒数"), 42));
        ASSERT_TRUE(DBDakoku::setDakoku(7, 1, fakeClock.now()));
        ASSERT_EQ(unsent(), 1u);
        ASSERT_TRUE(DBMaster::setUser(4242, QStringLiteral("山田"), 1));
        ASSERT_TRUE(hasAddedUser());
    }

    static bool hasAddedUser()
    {
        QList<QStringList> rows;
        if (!DBMaster::getAllUserList(&rows))
            return false;
        for (const QStringList& row : rows) {
            if (row.contains(QStringLiteral("4242")) && row.contains(QStringLiteral("山田")))
                return true;
        }
        return false;
    }

    static unsigned int unsent()
    {
        unsigned int count = 99;
        DBDakoku::getDakokuUnsentCount(&count);
        return count;
    }

    static int seconds()
    {
        int value = 0;
        DBSetting::getSetting(QStringLiteral("タッチ選択優先秒数"), &value);
        return value;
    }

    QString run(const char* id)
    {
        new Form4MenteShosai(&host, QString::fromLatin1(id));
        const int before = mark();
        click(QStringLiteral("Pop_Yes"));
        return updatesSince(before).join(QString());
    }
};

TEST_F(FactoryReset, BringsBackTheShippedSettingsAndNoStamp)
{
    EXPECT_TRUE(run("01").contains(expect::enc(QStringLiteral("完了しました"))));
    EXPECT_EQ(seconds(), 10);
    EXPECT_EQ(unsent(), 0u);
    EXPECT_FALSE(hasAddedUser());
}

TEST_F(FactoryReset, StampDeletionKeepsTheSettings)
{
    EXPECT_TRUE(run("02").contains(expect::enc(QStringLiteral("完了しました"))));
    EXPECT_EQ(seconds(), 42);
    EXPECT_EQ(unsent(), 0u);
    EXPECT_TRUE(hasAddedUser());
}

}  // namespace
