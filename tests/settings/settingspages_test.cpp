// The settings pages in the page host's table.

#include "form3setteimenu.h"
#include "pagetable.h"
#include "settingsfixture.h"
#include "settingspages.h"

#include <QPointer>

namespace {

using SettingsPagesTable = SettingsFixture;

TEST_F(SettingsPagesTable, ProxyAndWirelessScreensOpenByTheirNumbers)
{
    useEdition(ZSystem::Cloud);
    const struct {
        SettingsPages::Move move;
        int number;
        const char* id;
        const char* className;
    } rows[] = {
        {SettingsPages::Move::Menu, 18, "", "Form4NetSetProxy"},
        {SettingsPages::Move::Shosai, 18, "23", "Form4NetSetProxy"},
        {SettingsPages::Move::Shosai, 19, "24", "Form4NetSetProxyAuth"},
        {SettingsPages::Move::Shosai, 21, "14", "Form4NetSetWifi"},
    };
    for (const auto& row : rows) {
        QPointer<QObject> screen = SettingsPages::create(row.move, row.number, &host, QString::fromLatin1(row.id));
        ASSERT_FALSE(screen.isNull()) << row.className;
        EXPECT_STREQ(screen->metaObject()->className(), row.className);
        EXPECT_EQ(screen->parent(), &host);
        delete screen;
    }
}

TEST_F(SettingsPagesTable, EveryPageNumberOfTheSettingsIsRegistered)
{
    PageTable::clear();
    SettingsPages::install();
    const struct {
        PageTable::Move move;
        QList<int> numbers;
    } rows[] = {
        {PageTable::MovePage, {7, 8, 9, 22, 23, 25, 26}},
        {PageTable::MoveToMenu, {9, 10, 11, 12, 13, 15, 16, 17, 18, 22, 23, 27}},
        {PageTable::MoveToShosai, {14, 18, 19, 20, 21, 24, 28}},
    };
    for (const auto& row : rows) {
        for (const int number : row.numbers)
            EXPECT_TRUE(PageTable::contains(row.move, number)) << PageTable::moveName(row.move).toStdString() << number;
    }
    EXPECT_FALSE(PageTable::contains(PageTable::MovePage, 6));

    QPointer<QObject> menu = PageTable::create(PageTable::MovePage, 8, &host, QString());
    ASSERT_FALSE(menu.isNull());
    EXPECT_STREQ(menu->metaObject()->className(), "Form3SetteiMenu");
    EXPECT_EQ(menu->parent(), &host);
    // An unknown number takes the host's path for it.
    EXPECT_EQ(PageTable::create(PageTable::MoveToShosai, 99, &host, QStringLiteral("14")), nullptr);
    delete menu;
}

}  // namespace
