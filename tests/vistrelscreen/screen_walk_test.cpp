// A walk through screen changes on the real drawing stack, as a session brings them: pictures,
// labels (among them texts with ASCII and ideographic blanks, whose glyphs have no outline, as
// the start-up texts "データ更新日時 受信中" have), the ID keypad and a fade in and out. No swap of
// the walk logs an OpenVG or EGL error.
#include "screenscene.h"

#include "messagecapture.h"

namespace {

class ScreenWalk : public ScreenScene {
protected:
    void SetUp() override
    {
        ScreenScene::SetUp();
        putPicture(QStringLiteral("/VnQo/app/Parts/gradient.png"), 480, 272, pictures::gradient);
        putPicture(QStringLiteral("/VnQo/app/Parts/ramp.png"), 100, 50, pictures::alphaRamp);
        putPicture(QStringLiteral("/VnQo/app/Parts/dot.png"), 1, 1, [](int, int) { return 0xFFFFFFFFu; });
        putPicture(QStringLiteral("/VnQo/app/Parts/wide33.png"), 33, 20, [](int, int) { return 0x2040C0FFu; });
        putPicture(QStringLiteral("/VnQo/app/Parts/06_テンキー画面/テンキー画面01.png"), 480, 272,
                   [](int, int) { return 0x304878FFu; });
    }
};

TEST_F(ScreenWalk, NoScreenChangeLogsAnOpenVgError)
{
    const char* const walk[] = {"clear", "blanks", "text", "text_align", "pictures", "keypad_id",
                                "fade_saved", "fade_in", "fade_out", "blanks", "ramp"};
    vnq::test::MessageCapture log;
    for (const char* screen : walk) {
        const size_t framesBefore = port.frames().size();
        sendStored(screen);
        EXPECT_GT(port.frames().size(), framesBefore) << screen << " showed nothing";
        const QStringList errors = log.matching(QStringLiteral("vgGetError()"));
        EXPECT_TRUE(errors.isEmpty()) << "after " << screen << ":\n" << errors.join('\n').toStdString();
        log.clear();
    }
}

}  // namespace
