#include "dbproxy.h"
#include "dbtestfixture.h"
#include "dbwifi.h"

namespace {

using vnq::test::DbTest;

// Keyboard text may hold quotes and Qt's placeholders; it must come back exactly as typed.
TEST_F(DbTest, WifiAndProxyTextsRoundTripUnchanged)
{
    const QString profile = QStringLiteral("無線LAN設定");
    const QString ssid = QStringLiteral("Bob's %1 net");
    const QString key = QStringLiteral("p'w%2%1\"x");
    EXPECT_TRUE(DBWifi::setWifiSsid(profile, ssid));
    EXPECT_TRUE(DBWifi::setWifiPassword(profile, key));
    EXPECT_TRUE(DBWifi::setWifiSecurity(profile, QStringLiteral("WPA")));
    QString s, p, sec;
    EXPECT_TRUE(DBWifi::getWifi(profile, &s, &p, &sec));
    EXPECT_EQ(s, ssid);
    EXPECT_EQ(p, key);
    EXPECT_EQ(sec, QStringLiteral("WPA"));

    const QString auth = QStringLiteral("プロキシ認証");
    const QString id = QStringLiteral("o'neil");
    const QString password = QStringLiteral("it's %1 and %2");
    EXPECT_TRUE(DBProxy::setId(auth, id));
    EXPECT_TRUE(DBProxy::setPass(auth, password));
    QString gotId, gotPassword;
    EXPECT_TRUE(DBProxy::getAuth(auth, &gotId, &gotPassword));
    EXPECT_EQ(gotId, id);
    EXPECT_EQ(gotPassword, password);

    // Nothing else changed: one row each, as shipped.
    EXPECT_EQ(value(QStringLiteral("setting.db"), QStringLiteral("SELECT COUNT(*) FROM wifi")), QStringLiteral("1"));
    EXPECT_EQ(value(QStringLiteral("setting.db"), QStringLiteral("SELECT COUNT(*) FROM proxy")), QStringLiteral("1"));
}

TEST_F(DbTest, UnknownProfileReadsNothingAndWritesNothing)
{
    QString s = QStringLiteral("keep"), p = QStringLiteral("keep"), sec = QStringLiteral("keep");
    EXPECT_FALSE(DBWifi::getWifi(QStringLiteral("なし"), &s, &p, &sec));
    EXPECT_EQ(s + p + sec, QStringLiteral("keepkeepkeep"));
    EXPECT_TRUE(DBWifi::setWifiSsid(QStringLiteral("なし"), QStringLiteral("x")));
    EXPECT_FALSE(DBProxy::getAuth(QStringLiteral("なし"), &s, &p));
    EXPECT_EQ(s, QStringLiteral("keep"));
    EXPECT_EQ(value(QStringLiteral("setting.db"), QStringLiteral("SELECT COUNT(*) FROM wifi")), QStringLiteral("1"));
}

}  // namespace
