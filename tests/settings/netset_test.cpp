// The communication settings menu: pages per edition, which rows apply to the network in
// use, the live value texts, the five-second redraw and where each touch leads.

#include "db.h"
#include "dbsetting.h"
#include "form4netset.h"
#include "settingsfixture.h"

#include <QFile>
#include <QPointer>
#include <QTimer>

namespace {

// The five flag items the menu reads when it is made.
struct Flags {
    int wifi = 0;
    int dhcp = 0;
    int dnsAuto = 0;
    int proxy = 0;
    int proxyAuth = 0;
};

// /var/tmp/network.status as the interface watch writes it, one interface up.
const QByteArray wiredStatus = "up\neth0\n10.1.1.5\n255.255.0.0\nok\n\n\n\n\n10.1.1.1\n";
const QByteArray wirelessStatus = "up\nwlan0\n\n\n\n10.2.2.7\n255.0.0.0\n\n-50\n10.2.2.1\n";
const QByteArray resolvConf = "nameserver 10.0.0.53 # eth0\nnameserver 10.0.1.53 # wlan0\n";

class NetSet : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        useEdition(ZSystem::Cloud);
    }

    static void setSetting(const char* name, int value)
    {
        ASSERT_TRUE(DBSetting::setSetting(QString::fromUtf8(name), value)) << name;
    }

    static void setFlags(const Flags& flags)
    {
        setSetting("無線LAN", flags.wifi);
        setSetting("DHCPの設定", flags.dhcp);
        setSetting("DNSの設定", flags.dnsAuto);
        setSetting("プロキシ設定", flags.proxy);
        setSetting("プロキシ認証", flags.proxyAuth);
    }

    void writeBoardFile(const char* boardPath, const QByteArray& content)
    {
        ASSERT_TRUE(board.writeFile(QString::fromLatin1(boardPath), content)) << boardPath;
    }

    void removeBoardFile(const char* boardPath) { QFile::remove(board.path(QString::fromLatin1(boardPath))); }

    // The page of a fresh menu as the display server received it; the menu stays open.
    QString drawMenu(int menu)
    {
        peer.clearUpdates();
        const int before = mark();
        page = new Form4NetSet(&host, menu);
        return updatesSince(before).value(0);
    }

    QPointer<Form4NetSet> page;
};

struct PageGolden {
    ZSystem::_zmode edition;
    int menu;
    Flags flags;
    const char* golden;
};

void PrintTo(const PageGolden& c, std::ostream* os)
{
    *os << c.golden;
}

class NetSetPages : public NetSet, public ::testing::WithParamInterface<PageGolden> {};

TEST_P(NetSetPages, DrawsThePage)
{
    useEdition(GetParam().edition);
    setFlags(GetParam().flags);
    writeBoardFile("/var/tmp/network.status", GetParam().flags.wifi ? wirelessStatus : wiredStatus);
    writeBoardFile("/etc/resolv.conf", resolvConf);
    const int before = mark();
    Form4NetSet menu(&host, GetParam().menu);
    expectScreen(QString::fromLatin1(GetParam().golden), updatesSince(before));
}

const Flags wiredFixedNoProxy{0, 0, 0, 0, 0};
const Flags wirelessDhcp{1, 1, 1, 0, 0};

INSTANTIATE_TEST_SUITE_P(Editions, NetSetPages,
                         ::testing::Values(PageGolden{ZSystem::Basic, 15, wiredFixedNoProxy, "netset_basic_15"},
                                           PageGolden{ZSystem::Basic, 16, wiredFixedNoProxy, "netset_basic_16"},
                                           PageGolden{ZSystem::Cloud, 15, wiredFixedNoProxy, "netset_cloud_15"},
                                           PageGolden{ZSystem::Cloud, 16, wiredFixedNoProxy, "netset_cloud_16"},
                                           PageGolden{ZSystem::Cloud, 17, wiredFixedNoProxy, "netset_cloud_17"},
                                           PageGolden{ZSystem::Cloud, 17, wirelessDhcp, "netset_cloud_17_wireless"}),
                         [](const ::testing::TestParamInfo<PageGolden>& info) {
                             return std::string(info.param.golden);
                         });

TEST_F(NetSet, RowsThatDoNotApplyToTheNetworkInUseAreGrey)
{
    const char* const ids[] = {"00", "01", "02", "03", "05", "10", "11", "12", "13", "14", "15", "21", "22", "23", "24"};
    const struct {
        Flags flags;  // wifi, dhcp, dnsAuto, proxy
        const char* disabled;
    } cases[] = {
        {{0, 0, 0, 0}, "10 11 12 14 15 22 24"},
        {{0, 0, 0, 1}, "10 11 12 14 15 22"},
        {{0, 0, 1, 0}, "10 11 12 14 15 22 24"},
        {{0, 0, 1, 1}, "10 11 12 14 15 22"},
        {{0, 1, 0, 0}, "00 01 02 10 11 12 14 15 24"},
        {{0, 1, 0, 1}, "00 01 02 10 11 12 14 15"},
        {{0, 1, 1, 0}, "00 01 02 05 10 11 12 14 15 24"},
        {{0, 1, 1, 1}, "00 01 02 05 10 11 12 14 15"},
        {{1, 0, 0, 0}, "00 01 02 05 22 24"},
        {{1, 0, 0, 1}, "00 01 02 05 22"},
        {{1, 0, 1, 0}, "00 01 02 05 22 24"},
        {{1, 0, 1, 1}, "00 01 02 05 22"},
        {{1, 1, 0, 0}, "00 01 02 05 10 11 12 24"},
        {{1, 1, 0, 1}, "00 01 02 05 10 11 12"},
        {{1, 1, 1, 0}, "00 01 02 05 10 11 12 15 24"},
        {{1, 1, 1, 1}, "00 01 02 05 10 11 12 15"},
    };
    for (const auto& c : cases) {
        setFlags(c.flags);
        Form4NetSet menu(&host, 15);
        QStringList disabled;
        for (const char* id : ids) {
            if (!menu.isEnabledItem(QString::fromLatin1(id)))
                disabled << QString::fromLatin1(id);
        }
        EXPECT_EQ(disabled.join(QLatin1Char(' ')), QString::fromLatin1(c.disabled))
            << "wifi " << c.flags.wifi << " dhcp " << c.flags.dhcp << " dns " << c.flags.dnsAuto << " proxy "
            << c.flags.proxy;
    }

    // The basic edition has fixed addresses whatever "DHCPの設定" holds.
    useEdition(ZSystem::Basic);
    setFlags({0, 1, 1, 0});
    Form4NetSet basic(&host, 15);
    EXPECT_TRUE(basic.isEnabledItem(QStringLiteral("00")));
    EXPECT_EQ(basic.getValue(QStringLiteral("00")), QStringLiteral("192.168.0.100"));

    // A flag item missing from setting.db counts as off.
    useEdition(ZSystem::Cloud);
    setFlags({1, 1, 1, 1, 1});
    for (const char* name : {"無線LAN", "DHCPの設定", "プロキシ設定"}) {
        QVariantList none;
        DB::getInstance()->execQueryBase(QStringLiteral("../DB/setting.db"),
                                         QStringLiteral("DELETE FROM setting WHERE jname = ?"), &none,
                                         {QString::fromUtf8(name)});
    }
    Form4NetSet missing(&host, 15);
    EXPECT_TRUE(missing.isEnabledItem(QStringLiteral("00")));
    EXPECT_FALSE(missing.isEnabledItem(QStringLiteral("10")));
    EXPECT_FALSE(missing.isEnabledItem(QStringLiteral("22")));
    EXPECT_FALSE(missing.isEnabledItem(QStringLiteral("24")));
}

TEST_F(NetSet, ADisabledRowIsGreyWithAWhiteValueAndTakesNoTouch)
{
    setFlags(wiredFixedNoProxy);
    const QString shown = drawMenu(15);
    const auto colouredText = [](int shade, const QString& text) {
        return QStringLiteral("<r>%1</r><g>%1</g><b>%1</b><a>255</a></color><text>%2</text>")
            .arg(shade)
            .arg(expect::enc(text));
    };
    EXPECT_TRUE(shown.contains(colouredText(133, QStringLiteral("DNSの設定"))));
    EXPECT_TRUE(shown.contains(colouredText(255, QStringLiteral("手動"))));
    EXPECT_TRUE(shown.contains(colouredText(133, QStringLiteral("プロキシ認証"))));
    EXPECT_TRUE(shown.contains(colouredText(255, QStringLiteral("しない"))));
    for (const char* id : {"22", "Bar22", "24", "Bar24"})
        EXPECT_TRUE(peer.wireId(QString::fromLatin1(id)).isEmpty()) << id;
    EXPECT_FALSE(peer.wireId(QStringLiteral("21")).isEmpty());
}

TEST_F(NetSet, ValuesComeFromTheRunningNetworkOrTheStoredSettings)
{
    writeBoardFile("/etc/resolv.conf", resolvConf);
    const char* const levelFile = "/sys/class/net/wlan0/wireless/level";
    const char* const powerLine = "/sys/class/gpio/gpio33/value";
    const QByteArray noGateway = QByteArray(wiredStatus).replace("10.1.1.1\n", "\n");
    const struct {
        const char* name;
        Flags flags;
        QByteArray status;
        const char* id;
        const char* shown;
    } cases[] = {
        {"wired DHCP address", {0, 1}, wiredStatus, "00", "10.1.1.5"},
        {"wired DHCP netmask", {0, 1}, wiredStatus, "01", "255.255.0.0"},
        {"wired DHCP gateway", {0, 1}, wiredStatus, "02", "10.1.1.1"},
        {"wired DHCP before the gateway is known", {0, 1}, noGateway, "00", "初期化中..."},
        {"wired fixed address", {0, 0}, wiredStatus, "00", "192.168.0.100"},
        {"wireless DHCP address", {1, 1}, wirelessStatus, "10", "10.2.2.7"},
        {"wireless DHCP netmask", {1, 1}, wirelessStatus, "11", "255.0.0.0"},
        {"wireless DHCP gateway", {1, 1}, wirelessStatus, "12", "10.2.2.1"},
        {"wireless fixed address", {1, 0}, wirelessStatus, "10", "192.168.0.101"},
        {"wired address while wireless", {1, 1}, wirelessStatus, "00", "192.168.0.100"},
        {"wired DHCP name server", {0, 1, 1}, wiredStatus, "05", "10.0.0.53"},
        {"stored wireless name server while wired", {0, 1, 1}, wiredStatus, "15", "192.168.0.1"},
        {"wireless DHCP name server", {1, 1, 1}, wirelessStatus, "15", "10.0.1.53"},
        {"stored wired name server while wireless", {1, 1, 1}, wirelessStatus, "05", "192.168.0.1"},
        {"stored name server without DHCP", {0, 0, 1}, wiredStatus, "05", "192.168.0.1"},
        {"manual name server", {0, 1, 0}, wiredStatus, "22", "手動"},
        {"name server from DHCP", {0, 1, 1}, wiredStatus, "22", "自動(DHCP)"},
        {"no DHCP, no automatic name server", {0, 0, 1}, wiredStatus, "22", "手動"},
        {"proxy off", {0, 0, 0, 0, 1}, wiredStatus, "23", "無効"},
        {"proxy on", {0, 0, 0, 1, 0}, wiredStatus, "23", "有効"},
        {"authentication without proxy", {0, 0, 0, 0, 1}, wiredStatus, "24", "しない"},
        {"authentication", {0, 0, 0, 1, 1}, wiredStatus, "24", "する"},
        {"port", {0, 0}, wiredStatus, "03", "80"},
    };
    for (const auto& c : cases) {
        setFlags(c.flags);
        writeBoardFile("/var/tmp/network.status", c.status);
        Form4NetSet menu(&host, 15);
        EXPECT_EQ(menu.getValue(QString::fromLatin1(c.id)), QString::fromUtf8(c.shown)) << c.name;
    }

    const struct {
        const char* name;
        int wifi;
        const char* level;  // null: no level file
        const char* power;
        const char* shown;
    } antenna[] = {
        {"no adapter, wired", 0, nullptr, "0\n", "異常"},
        {"no adapter, wireless", 1, nullptr, "0\n", "異常"},
        {"adapter powered, wired", 0, nullptr, "1\n", "無効"},
        {"adapter powered, wireless", 1, nullptr, "1\n", "無効"},
        {"signal, wired", 0, "60\n", "1\n", "無効"},
        {"signal, wireless", 1, "60\n", "1\n", "有効"},
    };
    for (const auto& c : antenna) {
        setFlags({c.wifi});
        writeBoardFile(powerLine, c.power);
        if (c.level)
            writeBoardFile(levelFile, c.level);
        else
            removeBoardFile(levelFile);
        Form4NetSet menu(&host, 17);
        EXPECT_EQ(menu.getValue(QStringLiteral("14")), QString::fromUtf8(c.shown)) << c.name;
    }

    setFlags({});
    setSetting("DNS2", -1);
    Form4NetSet menu(&host, 16);
    EXPECT_EQ(menu.getValue(QStringLiteral("05")), QStringLiteral("---.---.---.---"));
}

TEST_F(NetSet, TheRedrawEveryFiveSecondsReadsTheValuesAgainButNotTheFlags)
{
    setFlags({0, 1});
    writeBoardFile("/var/tmp/network.status", wiredStatus);
    Form4NetSet menu(&host, 16);
    const QTimer* timer = menu.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);

    writeBoardFile("/var/tmp/network.status", QByteArray(wiredStatus).replace("10.1.1.5", "10.1.1.6"));
    setFlags({1, 0});
    peer.clearUpdates();
    const int before = mark();
    menu.timeout();
    const QStringList updates = updatesSince(before);
    ASSERT_EQ(updates.size(), 1);
    EXPECT_TRUE(updates[0].contains(QStringLiteral("<text>10.1.1.6</text>")));
    // Re-read flags would have made the wired name server grey.
    EXPECT_FALSE(peer.wireId(QStringLiteral("05")).isEmpty());
}

TEST_F(NetSet, TouchesLeadToTheScreenThatEditsTheRow)
{
    const struct {
        ZSystem::_zmode edition;
        int menu;
        Flags flags;
        const char* id;
        const char* hostCall;  // empty: the touch leads nowhere; null: the row takes no touch
    } cases[] = {
        {ZSystem::Cloud, 17, {1}, "14", "moveToShosai 21 14"},
        {ZSystem::Cloud, 15, {}, "23", "moveToShosai 18 23"},
        {ZSystem::Cloud, 15, {0, 0, 0, 1}, "24", "moveToShosai 19 24"},
        {ZSystem::Cloud, 16, {}, "05", "moveToShosai 20 05"},
        {ZSystem::Cloud, 15, {}, "13", "moveToShosai 20 13"},
        {ZSystem::Cloud, 15, {}, "21", "moveToShosai 20 21"},
        {ZSystem::Cloud, 15, {}, "Bar21", ""},
        {ZSystem::Cloud, 15, {}, "24", nullptr},
        {ZSystem::Cloud, 16, {1}, "00", nullptr},
        {ZSystem::Basic, 15, {}, "03", "moveToShosai 20 03"},
        {ZSystem::Cloud, 16, {}, "Exit", "returnPage false"},
        {ZSystem::Cloud, 16, {}, "Back", "movePage 7"},
        {ZSystem::Cloud, 15, {}, "Prev", "moveToMenu 17"},
        {ZSystem::Cloud, 17, {}, "Next", "moveToMenu 15"},
        {ZSystem::Basic, 15, {}, "Prev", "moveToMenu 16"},
        {ZSystem::Basic, 16, {}, "Next", "moveToMenu 15"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " on menu " + std::to_string(c.menu));
        useEdition(c.edition);
        setFlags(c.flags);
        drawMenu(c.menu);
        host.clearCalls();
        if (c.hostCall) {
            click(QString::fromLatin1(c.id));
            const QStringList expected =
                *c.hostCall ? QStringList{QString::fromLatin1(c.hostCall)} : QStringList();
            EXPECT_EQ(host.calls(), expected);
        } else {
            EXPECT_TRUE(peer.wireId(QString::fromLatin1(c.id)).isEmpty());
        }
        delete page;
    }
}

TEST_F(NetSet, TheBasicEditionShowsItsFirstPageForAThirdPage)
{
    useEdition(ZSystem::Basic);
    host.createPages = true;
    const int before = mark();
    host.moveToMenu(17, nullptr);
    ASSERT_NE(host.currentPage(), nullptr);
    const QString shown = updatesSince(before).value(0);
    EXPECT_TRUE(shown.contains(expect::enc(QStringLiteral("１/２"))));
    EXPECT_TRUE(shown.contains(expect::enc(QStringLiteral("ポート番号"))));
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).size(), 1);
}

TEST(NetSetTitles, NameTheNetworkItems)
{
    const struct {
        const char* id;
        const char* title;
    } cases[] = {
        {"00", "IPアドレス"}, {"05", "DNS"}, {"12", "ゲートウェイ(無線)"}, {"15", "DNS(無線)"},
        {"22", "DNSの設定"}, {"90", "プロキシアドレス"}, {"91", "プロキシポート番号"}, {"04", ""},
        {"99", "99"}, {"Exit", "Exit"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Form4NetSet::GetTitle(QString::fromLatin1(c.id)), QString::fromUtf8(c.title)) << c.id;
}

}  // namespace
