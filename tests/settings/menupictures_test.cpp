// The settings menus against the pictures the build draws for them: the positions come
// from the screens as they draw, the frames from the picture manifest.

#include "picturelayout.h"
#include "settingsfixture.h"

namespace {

struct MenuCase {
    ZSystem::_zmode edition;
    int number;  // the screen or menu number the host opens
    bool menu;   // opened with moveToMenu rather than movePage
    const char* name;
};

void PrintTo(const MenuCase& c, std::ostream* os)
{
    *os << c.name;
}

class MenuPictures : public SettingsFixture, public ::testing::WithParamInterface<MenuCase> {};

// Every row's label lies in the frame under it with a margin all round, and that frame
// stays clear of the side buttons and of the other rows.
TEST_P(MenuPictures, FramesHoldTheirLabelsAndKeepClearOfTheSideButtons)
{
    useEdition(GetParam().edition);
    const int before = mark();
    host.createPages = true;
    if (GetParam().menu)
        host.moveToMenu(GetParam().number, nullptr);
    else
        host.movePage(GetParam().number, nullptr);
    ASSERT_NE(host.currentPage(), nullptr);
    const QStringList updates = updatesSince(before);
    ASSERT_FALSE(updates.isEmpty());
    const QStringList faults = vnq::test::pictureLayoutFaults(updates.first());
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Menus, MenuPictures,
    ::testing::Values(MenuCase{ZSystem::Basic, 7, false, "setteimenu_basic_0"},
                      MenuCase{ZSystem::Basic, 8, false, "setteimenu_basic_1"},
                      MenuCase{ZSystem::Cloud, 7, false, "setteimenu_cloud_0"},
                      MenuCase{ZSystem::Cloud, 8, false, "setteimenu_cloud_1"},
                      MenuCase{ZSystem::Merid, 7, false, "setteimenu_merid_0"},
                      MenuCase{ZSystem::Merid, 8, false, "setteimenu_merid_1"},
                      MenuCase{ZSystem::Basic, 9, true, "termset_basic_9"},
                      MenuCase{ZSystem::Cloud, 12, true, "termset_cloud_12"},
                      MenuCase{ZSystem::Basic, 15, true, "netset_basic_15"},
                      MenuCase{ZSystem::Cloud, 17, true, "netset_cloud_17"},
                      MenuCase{ZSystem::Basic, 22, true, "admin_basic_22"},
                      MenuCase{ZSystem::Cloud, 23, true, "admin_cloud_23"},
                      MenuCase{ZSystem::Basic, 27, true, "mente_27"}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.name); });

}  // namespace
