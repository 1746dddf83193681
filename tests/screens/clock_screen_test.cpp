#include "clockfixture.h"

#include "heartbeat.h"
#include "picturelayout.h"

namespace {

using ClockScreen = ClockFixture;

// The first clock screen per operation mode and, for mode 1, the next second: only the
// changing parts, on the picture the first screen copied.
TEST_F(ClockScreen, FirstScreenPerOperationModeAndTheNextSecond)
{
    for (int mode = 1; mode <= 4; ++mode) {
        SCOPED_TRACE(mode);
        setSetting("動作モード", mode);
        delete clock;
        peer.clearUpdates();
        startActiveClock();
        QStringList updates{peer.updates().first()};
        if (mode == 1) {
            fakeClock.advanceMs(1000);
            updates << updatesOf([this] { clock->dispClockParts(); });
        }
        expectTranscript(QStringLiteral("clock_mode%1").arg(mode), updates);
    }
}

TEST_F(ClockScreen, OpeningPictureOnlyForTheStartUpRequest)
{
    startActiveClock();
    const int ticks = selftick;
    const QStringList none = updatesOf([this] { clock->recvApiInfo(3, QStringLiteral("打刻データ送信中")); }, 0);
    EXPECT_TRUE(none.isEmpty());
    const QStringList opening = updatesOf([this] { clock->recvApiInfo(1, QStringLiteral("ネットワーク初期化中")); });
    expectTranscript(QStringLiteral("opening_picture"), opening);
    // The progress text stands inside the opening picture's message box.
    const QStringList faults = vnq::test::pictureLayoutFaults(opening.value(0));
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(probe->formActive(), 2) << "the state stays";
    EXPECT_EQ(selftick - ticks, 2) << "each progress text feeds the watchdog";
}

}  // namespace
