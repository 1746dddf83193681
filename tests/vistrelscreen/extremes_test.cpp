// Positions and sizes at the ends of the int range, as a careless or hostile client may send
// them: such a label or picture lands off the screen and draws nothing, and the server goes
// on drawing the next message as usual.
#include "screenscene.h"

#include <climits>

namespace {

class ExtremeScreen : public ScreenScene {
protected:
    static QString label(long long x, long long y, long long px, int margin, const char* text)
    {
        return QStringLiteral("<item><label><pos><x>%1</x><y>%2</y></pos><px>%3</px><margin>%4</margin>"
                              "<color><r>0</r><g>0</g><b>0</b><a>255</a></color><text>%5</text></label></item>")
            .arg(x)
            .arg(y)
            .arg(px)
            .arg(margin)
            .arg(QLatin1String(text));
    }

    static QString picture(long long x, long long y, const char* name)
    {
        return QStringLiteral("<item><backbround><pos><x>%1</x><y>%2</y></pos><filename>%3</filename>"
                              "</backbround></item>")
            .arg(x)
            .arg(y)
            .arg(QLatin1String(name));
    }

    void send(const QString& items)
    {
        module->messageReceived(QStringLiteral("<items><action>New</action><action>Clear</action>") + items +
                                QStringLiteral("<action>Flash</action></items>"));
    }

    // The pixels of the last frame that are not the cleared green.
    int inked() const
    {
        int n = 0;
        for (uint32_t v : lastFrame().screen.values)
            n += v != kClearGreen565;
        return n;
    }
};

TEST_F(ExtremeScreen, LabelsAtTheEndsOfTheRangeDrawNothing)
{
    const long long kMin = INT_MIN, kMax = INT_MAX;
    const struct {
        long long x, y, px;
        int margin;
        const char* text;
    } cases[] = {
        {10, kMin, 20, 0, "Ag"},
        {10, 20, kMin, 0, "Ag"},
        {10, kMin, kMin, 0, "Ag"},
        // Both near the top of the range: the baseline is far below the screen, the descenders
        // with it.
        {10, kMax, kMax, 0, "gjpq"},
        {10, kMax - 5, kMax - 7, 0, "gjpq"},
        {kMax, 100, 20, 0, "Ag"},
        {kMin, 100, 20, 2, "Ag"},
        {kMin, 100, 20, 1, "Ag"},
        // After a label whose end lies at the far right, a relative label starts beyond it.
        {kMax, kMin, 20, 3, "Ag"},
        {kMax, kMax, 20, 4, "Ag"},
        {kMin, kMax, kMax, 5, "gjpq"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "x " << c.x << " y " << c.y << " px " << c.px << " mode " << c.margin);
        port.clearFrames();
        send(label(c.x, c.y, c.px, c.margin, c.text));
        ASSERT_EQ(port.frames().size(), 1u);
        EXPECT_EQ(inked(), 0);
    }
    // The server goes on: an ordinary label still draws where it belongs.
    port.clearFrames();
    send(label(10, 100, 20, 0, "Ag"));
    ASSERT_EQ(port.frames().size(), 1u);
    EXPECT_GT(inked(), 20);
}

TEST_F(ExtremeScreen, PicturesAtTheEndsOfTheRangeDrawNothing)
{
    putPicture(QStringLiteral("/VnQo/app/Parts/ramp.png"), 100, 50, pictures::alphaRamp);
    putPicture(QStringLiteral("/VnQo/app/Parts/full.png"), 480, 272, pictures::gradient);
    const long long kMin = INT_MIN, kMax = INT_MAX;
    const long long positions[][2] = {{kMin, 0}, {0, kMin}, {kMax, 0}, {0, kMax}, {kMin, kMin}, {kMax, kMax},
                                      {kMax - 50, kMin + 20}};
    for (const char* name : {"..%2FParts%2Framp.png", "..%2FParts%2Ffull.png"}) {
        for (const auto& at : positions) {
            SCOPED_TRACE(testing::Message() << name << " at " << at[0] << ", " << at[1]);
            port.clearFrames();
            send(picture(at[0], at[1], name));
            ASSERT_EQ(port.frames().size(), 1u);
            EXPECT_EQ(inked(), 0);
        }
    }
    port.clearFrames();
    send(picture(37, 41, "..%2FParts%2Framp.png"));
    ASSERT_EQ(port.frames().size(), 1u);
    EXPECT_EQ(lastFrame().at(37, 41), rgb565::fromUnit(1, 8 / 15.0, 0));
}

}  // namespace
