// A realistic screen: the update the terminal's keypad sends for its ID keypad (picture, title,
// touch areas of the keys, the value field), with a stand-in keypad picture of the size and
// name it uses, against its golden screen.
#include "screenscene.h"

namespace {

// The stand-in keypad picture: a dark panel with a lighter key under each of the ID keypad's
// twelve digit keys and its two command keys.
uint32_t keypadPicture(int x, int y)
{
    struct Key {
        int x, y, w, h;
    };
    static const Key commands[] = {{276, 101, 44, 75}, {276, 181, 44, 75}};
    const auto inside = [x, y](const Key& k) { return x >= k.x && x < k.x + k.w && y >= k.y && y < k.y + k.h; };
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col)
            if (inside({159 + 40 * col, 101 + 40 * row, 35, 35}))
                return 0xD8E0F0FFu;
    for (const Key& k : commands)
        if (inside(k))
            return 0xF0A040FFu;
    if (y < 50)
        return 0x203060FFu;
    return 0x304878FFu;
}

class IdKeypadScreen : public ScreenScene {};

TEST_F(IdKeypadScreen, IdKeypadMatchesTheGoldenScreen)
{
    putPicture(QStringLiteral("/VnQo/app/Parts/06_テンキー画面/テンキー画面01.png"), 480, 272, keypadPicture);
    sendStored("keypad_id");
    ASSERT_EQ(port.frames().size(), 1u);
    expectGoldenScreen("keypad_id", lastFrame().rgba());
}

}  // namespace
