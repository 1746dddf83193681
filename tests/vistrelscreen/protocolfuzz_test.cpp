// A seeded fuzz of the screen protocol on the real drawing stack: items whose positions, sizes,
// text heights, alignment modes and colours come from the ends of the int range as often as
// from the screen, pictures named by FIFOs, directories and chains of "..", and every action
// that draws. The same seed gives the same messages on every run. The server must come through
// all of them, leave what it must not touch as it was and still draw an ordinary screen after.
#include "screenscene.h"

#include <QTemporaryDir>

#include <climits>
#include <random>

#include <sys/stat.h>

namespace {

class FuzzedScreen : public ScreenScene {
protected:
    static bool isFifo(const QString& file)
    {
        struct stat info;
        return ::stat(file.toLocal8Bit().constData(), &info) == 0 && S_ISFIFO(info.st_mode);
    }
};

TEST_F(FuzzedScreen, SeededMessagesOfExtremeValuesAndHostileNames)
{
    putPicture(QStringLiteral("/VnQo/app/Parts/ramp.png"), 100, 50, pictures::alphaRamp);
    putPicture(QStringLiteral("/VnQo/app/Parts/full.png"), 480, 272, pictures::gradient);
    putPicture(QStringLiteral("/VnQo/app/Parts/fifo.png"), 2, 2, [](int, int) { return 0x102030FFu; });
    ASSERT_TRUE(root.makeDir(QStringLiteral("/dev/input")));
    ASSERT_TRUE(root.makeDir(QStringLiteral("/VnQo/app/Parts/dir.png")));
    for (const char* fifo : {"/dev/input/event0", "/VnQo/app/Parts/fifo.png.4444"})
        ASSERT_EQ(::mkfifo(root.path(QLatin1String(fifo)).toLocal8Bit().constData(), 0600), 0) << fifo;
    QTemporaryDir outside(QStringLiteral("/tmp/vnq-outside-XXXXXX"));
    ASSERT_TRUE(outside.isValid());
    ASSERT_TRUE(vnq::test::writePngFile(outside.filePath(QStringLiteral("x.png")).toStdString(),
                                        vnq::test::RgbaImage{3, 3, std::vector<uint8_t>(3 * 3 * 4, 0xFF)}));
    const QString climb = QStringLiteral("..%2F").repeated(QDir::currentPath().count(QLatin1Char('/')) + 2);

    const QString numbers[] = {
        QString::number(INT_MIN), QString::number(INT_MIN + 1), QString::number(-(1 << 30)), QStringLiteral("-100000"),
        QStringLiteral("-65000"), QStringLiteral("-480"), QStringLiteral("-1"), QStringLiteral("0"), QStringLiteral("1"),
        QStringLiteral("18"), QStringLiteral("36"), QStringLiteral("100"), QStringLiteral("271"), QStringLiteral("272"),
        QStringLiteral("479"), QStringLiteral("480"), QStringLiteral("4096"), QStringLiteral("65000"),
        QStringLiteral("100000"), QString::number(1 << 30), QString::number(INT_MAX - 1), QString::number(INT_MAX),
        QStringLiteral("99999999999999999999"), QStringLiteral(" 42 "), QStringLiteral("x")};
    const QString names[] = {
        QStringLiteral("..%2FParts%2Framp.png"), QStringLiteral("..%2FParts%2Ffull.png"),
        QStringLiteral("%2FVnQo%2Fapp%2FParts%2Framp.png"), QStringLiteral("..%2FParts%2Ffifo.png"),
        QStringLiteral("..%2F..%2F..%2Fdev%2Finput%2Fevent0"), QStringLiteral("%2Fdev%2Finput%2Fevent0"),
        QStringLiteral("..%2FParts%2Fdir.png"), QStringLiteral("..%2FParts"), QStringLiteral("."),
        QStringLiteral("..%2FParts%2Fnone.png"), climb + outside.path().mid(1) + QStringLiteral("%2Fx.png"),
        QStringLiteral("%2F..%2F..%2F..") + outside.path() + QStringLiteral("%2Fx.png"),
        climb + QStringLiteral("etc%2Fpasswd"), QStringLiteral("..%2F").repeated(200)};
    const QString texts[] = {QStringLiteral("Ag"), QStringLiteral("gjpq"), QStringLiteral("%E5%87%BA%E5%8B%A4"),
                             QStringLiteral("W").repeated(130), QStringLiteral("%FF%00")};
    const QString actions[] = {QStringLiteral("Flash"), QStringLiteral("Copy"), QStringLiteral("Past"),
                               QStringLiteral("New"), QStringLiteral("Clear")};
    // A fade shows several frames; a few of them end messages, over whatever the work image holds.
    const QString lastActions[] = {QStringLiteral("FadeIn"), QStringLiteral("FadeOut")};

    // Each value is drawn in its own statement, so the messages do not depend on the order in
    // which a compiler evaluates arguments.
    std::mt19937 random(66);
    const auto pick = [&random](const auto& table) -> const QString& {
        return table[random() % (sizeof table / sizeof table[0])];
    };
    const auto point = [&] {
        const QString x = pick(numbers);
        const QString y = pick(numbers);
        return QStringLiteral("<pos><x>%1</x><y>%2</y></pos>").arg(x, y);
    };
    const auto style = [&](const char* element) {
        QString out = QStringLiteral("<%1>").arg(QLatin1String(element)) + point();
        out += QStringLiteral("<px>%1</px>").arg(pick(numbers));
        const QString margin = random() % 2 ? QString::number(int(random() % 8) - 1) : pick(numbers);
        out += QStringLiteral("<margin>%1</margin><color>").arg(margin);
        for (const char* channel : {"r", "g", "b", "a"})
            out += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(channel), pick(numbers));
        out += QStringLiteral("</color><text>%1</text>").arg(pick(texts));
        return out + QStringLiteral("</%1>").arg(QLatin1String(element));
    };
    for (int round = 0; round < 40; ++round) {
        QString message = QStringLiteral("<items>");
        for (int items = 1 + int(random() % 4); items > 0; --items) {
            message += QStringLiteral("<item><id>I%1</id>").arg(random() % 40);
            if (random() % 3) {
                message += QStringLiteral("<backbround>") + point();
                const QString w = pick(numbers);
                const QString h = pick(numbers);
                message += QStringLiteral("<size><w>%1</w><h>%2</h></size>").arg(w, h);
                message += QStringLiteral("<filename>%1</filename></backbround>").arg(pick(names));
            }
            if (random() % 2)
                message += style("label");
            if (random() % 4 == 0)
                message += style("sublabel");
            message += QStringLiteral("</item>");
            if (random() % 5 == 0)
                message += QStringLiteral("<action>%1</action>").arg(pick(actions));
        }
        message += QStringLiteral("<action>%1</action></items>")
                       .arg(round % 20 == 19 ? lastActions[round / 20 % 2] : QStringLiteral("Flash"));
        module->messageReceived(message);
    }

    // Nothing outside the root was written, and the FIFOs and the directory are as they were.
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"x.png"});
    EXPECT_TRUE(isFifo(root.path(QStringLiteral("/dev/input/event0"))));
    EXPECT_TRUE(isFifo(root.path(QStringLiteral("/VnQo/app/Parts/fifo.png.4444"))));
    EXPECT_TRUE(QFileInfo(root.path(QStringLiteral("/VnQo/app/Parts/dir.png"))).isDir());

    // And an ordinary screen still draws as it should.
    port.clearFrames();
    sendStored("ramp");
    ASSERT_EQ(port.frames().size(), 1u);
    EXPECT_EQ(lastFrame().at(37, 41), rgb565::fromUnit(1, 8 / 15.0, 0));
}

}  // namespace
