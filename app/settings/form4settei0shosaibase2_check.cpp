// The address checks of the gateway, NTP and name-server items: four pings, or one name
// lookup through the typed server, with the results in the keypad's value field.

#include "form4settei0shosaibase2.h"

#include "heartbeat.h"
#include "keypad.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"
#include "soundmodule.h"

namespace {

constexpr int PingPasses = 4;
constexpr int PingTimeoutMs = 5000;
constexpr int NslookupTimeoutMs = 15000;

bool succeeded(const vnq::CommandResult& result)
{
    return result.started && result.finished && result.exitCode == 0;
}

}  // namespace

QString Form4Settei0ShosaiBase2::typedAddress()
{
    if (!keypad->isMinimumOrMore()) {
        SoundModule::playTouchNG();
        return QString();
    }
    values = keypad->getValues();
    return QStringLiteral("%1.%2.%3.%4").arg(values.value(0)).arg(values.value(1)).arg(values.value(2)).arg(values.value(3));
}

void Form4Settei0ShosaiBase2::tryPing()
{
    const QString address = typedAddress();
    if (!address.isEmpty())
        playPing(address);
}

void Form4Settei0ShosaiBase2::tryNslookup()
{
    const QString address = typedAddress();
    if (!address.isEmpty())
        playNslookup(address);
}

void Form4Settei0ShosaiBase2::playPing(const QString& address)
{
    deactivate();
    resultText = QStringLiteral("スタート");
    keypad->errorString = resultText;
    keypad->updateScreen();
    resultText.clear();

    for (int pass = 0; pass < PingPasses; ++pass) {
        ++selftick;
        const bool answered =
            succeeded(vnq::commandRunner().run(QStringLiteral("ping -c 1 -W 2 ") + address, PingTimeoutMs));
        vnq::clock().sleepMs(1000);
        resultText += answered ? QStringLiteral("OK") : QStringLiteral("NG");
        if (pass < PingPasses - 1)
            resultText += QLatin1Char(',');
        keypad->errorString = resultText;
        keypad->updateScreen();
    }

    showEntryAfterCheck();
}

void Form4Settei0ShosaiBase2::playNslookup(const QString& address)
{
    deactivate();
    keypad->errorString = QStringLiteral("チェック・・・");
    keypad->updateScreen();

    // The server is asked directly: the name servers of /etc/resolv.conf stay as they are.
    bool answered = false;
    {
        vnq::WatchdogPause longWork;
        answered = succeeded(vnq::commandRunner().run(
            QStringLiteral("nslookup %1 %2").arg(QString::fromLatin1(NslookupHost), address), NslookupTimeoutMs));
    }
    resultText = answered ? QStringLiteral("OK") : QStringLiteral("NG");
    keypad->errorString = resultText;
    keypad->updateScreen();

    showEntryAfterCheck();
}

void Form4Settei0ShosaiBase2::showEntryAfterCheck()
{
    vnq::clock().sleepMs(1000);
    keypad->editing = false;
    keypad->updateScreen();
    activate();
}
