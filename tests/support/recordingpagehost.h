#pragma once

#include "pagehost.h"
#include "settingspages.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

namespace vnq::test {

// A page host for screen tests. It records each call as one line ("movePage 7",
// "moveToMenu 9", "moveToShosai 14 03", "returnPage false", "changeSettings"), deletes the
// caller as the real host does (so the sanitizer build catches a screen that touches itself
// afterwards) and, with createPages on, opens the next settings screen, so a test can walk
// from a menu to a detail screen and back.
class RecordingPageHost : public QObject, public PageHost {
    Q_OBJECT
public:
    RecordingPageHost() = default;
    ~RecordingPageHost() override;

    void movePage(int number, QObject* caller) override;
    void moveToMenu(int number, QObject* caller) override;
    void moveToShosai(int number, QObject* caller, QString id) override;
    void returnPage(QObject* caller, bool keep) override;
    void changeSettings() override;

    bool createPages = false;
    // Runs after each call has been recorded, before the caller is deleted.
    std::function<void(const QString& call)> onCall;

    const QStringList& calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    // The screen opened last, while it lives.
    QObject* currentPage() const { return m_current; }

private:
    void record(const QString& call);
    void release(QObject* caller);
    void open(SettingsPages::Move move, int number, const QString& id);

    QStringList m_calls;
    QPointer<QObject> m_current;
};

}  // namespace vnq::test
