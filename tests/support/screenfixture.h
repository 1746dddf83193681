#pragma once

#include "fakeclock.h"
#include "fakedisplayserver.h"
#include "messagecapture.h"
#include "mylabel.h"
#include "mytimer.h"
#include "recordingrunner.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QUrl>

#include <ostream>

// Readable failure messages for golden texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (const QString& text : list) {
        PrintTo(text, os);
        *os << ' ';
    }
    *os << '}';
}

// The screen-protocol client connected to a fake display server on a temporary board with
// the backlight lit, commands recorded and the clock standing still.
class ScreenFixture : public ::testing::Test {
protected:
    ScreenFixture() = default;
    // On a board root made from a QTemporaryDir template (see TempBoardRoot).
    explicit ScreenFixture(const QString& rootTemplate)
        : board(rootTemplate)
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        setBacklightLit(true);
        ASSERT_TRUE(peer.isListening());
        MyTimer::getInstance();
        label = MyLabel::getInstance();
        ASSERT_TRUE(peer.waitForClient());
        runner.clear();
    }

    void setBacklightLit(bool lit)
    {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/gpio/gpio0/value"), lit ? "1\n" : "0\n"));
    }

    // Sends what the client collected and returns it as the display server received it.
    QString flash()
    {
        const int before = peer.updates().size();
        label->setFlash();
        if (!peer.waitForUpdates(before + 1))
            return QStringLiteral("(nothing received)");
        return peer.lastUpdate();
    }

    vnq::test::TempBoardRoot board;
    vnq::test::FakeClock fakeClock;
    vnq::test::RecordingRunner runner;
    vnq::test::MessageCapture log;
    vnq::test::FakeDisplayServer peer;
    MyLabel* label = nullptr;
};

// Expected wire forms, built independently of the client's own serialiser.
namespace expect {

inline QString enc(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

inline QString image(const QString& file, int x = 0, int y = 0)
{
    return QStringLiteral("<item><backbround><pos><x>%1</x><y>%2</y></pos><filename>%3</filename></backbround></item>")
        .arg(x)
        .arg(y)
        .arg(enc(file));
}

inline QString labelElement(const QString& text, int x, int y, int px, int margin, int r, int g, int b)
{
    QString out = QStringLiteral("<label><pos><x>%1</x><y>%2</y></pos><px>%3</px>").arg(x).arg(y).arg(px);
    if (margin > 0)
        out += QStringLiteral("<margin>%1</margin>").arg(margin);
    return out + QStringLiteral("<color><r>%1</r><g>%2</g><b>%3</b><a>255</a></color><text>%4</text></label>")
                     .arg(r)
                     .arg(g)
                     .arg(b)
                     .arg(enc(text));
}

inline QString text(const QString& text, int x, int y, int px, int margin, int r, int g, int b)
{
    return QStringLiteral("<item>") + labelElement(text, x, y, px, margin, r, g, b) + QStringLiteral("</item>");
}

inline QString touchArea(const QString& wireId, int x, int y, int w, int h, const QString& inner = {})
{
    return QStringLiteral("<item><id>%1</id><backbround><pos><x>%2</x><y>%3</y></pos>"
                          "<size><h>%4</h><w>%5</w></size></backbround>")
               .arg(wireId)
               .arg(x)
               .arg(y)
               .arg(h)
               .arg(w)
        + inner + QStringLiteral("</item>");
}

inline QString screenShot(int generation)
{
    return touchArea(QStringLiteral("%1_SCREENSHOT_").arg(generation), 0, 0, 30, 30);
}

}  // namespace expect
