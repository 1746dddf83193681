#include "recordingpagehost.h"

#include "mylabel.h"

namespace vnq::test {

RecordingPageHost::~RecordingPageHost()
{
    delete m_current;
}

void RecordingPageHost::record(const QString& call)
{
    m_calls << call;
    if (onCall)
        onCall(call);
}

void RecordingPageHost::release(QObject* caller)
{
    if (!caller)
        return;
    disconnect(MyLabel::getInstance(), nullptr, caller, nullptr);
    delete caller;
}

void RecordingPageHost::open(SettingsPages::Move move, int number, const QString& id)
{
    if (createPages && number != 0)
        m_current = SettingsPages::create(move, number, this, id);
}

void RecordingPageHost::movePage(int number, QObject* caller)
{
    record(QStringLiteral("movePage %1").arg(number));
    if (number == 0)
        return;
    release(caller);
    open(SettingsPages::Move::Page, number, {});
}

void RecordingPageHost::moveToMenu(int number, QObject* caller)
{
    record(QStringLiteral("moveToMenu %1").arg(number));
    if (number == 0)
        return;
    release(caller);
    open(SettingsPages::Move::Menu, number, {});
}

void RecordingPageHost::moveToShosai(int number, QObject* caller, QString id)
{
    record(QStringLiteral("moveToShosai %1 %2").arg(number).arg(id));
    if (number == 0)
        return;
    release(caller);
    open(SettingsPages::Move::Shosai, number, id);
}

void RecordingPageHost::returnPage(QObject* caller, bool keep)
{
    record(QStringLiteral("returnPage %1").arg(keep ? QStringLiteral("true") : QStringLiteral("false")));
    release(caller);
}

void RecordingPageHost::changeSettings()
{
    record(QStringLiteral("changeSettings"));
}

}  // namespace vnq::test
