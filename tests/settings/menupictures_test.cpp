// The settings menus and detail keypads against the pictures the build draws for them: the
// positions come from the screens as they draw, the frames from the picture manifest.

#include "picturelayout.h"
#include "settingsfixture.h"

namespace {

struct MenuCase {
    ZSystem::_zmode edition;
    char move;   // how the host opens it: 'p' movePage, 'm' moveToMenu, 's' moveToShosai
    int number;  // the screen or menu number the host opens
    const char* id;  // the item of a detail screen
    const char* name;
};

void PrintTo(const MenuCase& c, std::ostream* os)
{
    *os << c.name;
}

class MenuPictures : public SettingsFixture, public ::testing::WithParamInterface<MenuCase> {};

// Every label lies in the frame under it with a margin all round, and a row's frame stays
// clear of the side buttons and of the other rows. A detail screen writes its value over
// the keypad picture of an earlier update, so the updates are taken together.
TEST_P(MenuPictures, FramesHoldTheirLabelsAndKeepClearOfTheSideButtons)
{
    useEdition(GetParam().edition);
    const int before = mark();
    host.createPages = true;
    if (GetParam().move == 'm')
        host.moveToMenu(GetParam().number, nullptr);
    else if (GetParam().move == 's')
        host.moveToShosai(GetParam().number, nullptr, QString::fromLatin1(GetParam().id));
    else
        host.movePage(GetParam().number, nullptr);
    ASSERT_NE(host.currentPage(), nullptr);
    const QStringList updates = updatesSince(before);
    ASSERT_FALSE(updates.isEmpty());
    const QStringList faults = vnq::test::pictureLayoutFaults(updates.join(QString()));
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Menus, MenuPictures,
    ::testing::Values(MenuCase{ZSystem::Basic, 'p', 7, "", "setteimenu_basic_0"},
                      MenuCase{ZSystem::Basic, 'p', 8, "", "setteimenu_basic_1"},
                      MenuCase{ZSystem::Cloud, 'p', 7, "", "setteimenu_cloud_0"},
                      MenuCase{ZSystem::Cloud, 'p', 8, "", "setteimenu_cloud_1"},
                      MenuCase{ZSystem::Merid, 'p', 7, "", "setteimenu_merid_0"},
                      MenuCase{ZSystem::Merid, 'p', 8, "", "setteimenu_merid_1"},
                      MenuCase{ZSystem::Basic, 'm', 9, "", "termset_basic_9"},
                      MenuCase{ZSystem::Cloud, 'm', 12, "", "termset_cloud_12"},
                      MenuCase{ZSystem::Basic, 'm', 15, "", "netset_basic_15"},
                      MenuCase{ZSystem::Cloud, 'm', 17, "", "netset_cloud_17"},
                      MenuCase{ZSystem::Basic, 'm', 22, "", "admin_basic_22"},
                      MenuCase{ZSystem::Cloud, 'm', 23, "", "admin_cloud_23"},
                      MenuCase{ZSystem::Basic, 'm', 27, "", "mente_27"},
                      MenuCase{ZSystem::Basic, 's', 14, "00", "termset_detail_00"},
                      MenuCase{ZSystem::Cloud, 's', 20, "22", "netset_detail_22"},
                      MenuCase{ZSystem::Basic, 's', 24, "01", "admin_detail_01"}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.name); });

}  // namespace
