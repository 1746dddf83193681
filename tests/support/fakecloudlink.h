#pragma once

#include "cloudlink.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVariantList>

#include <atomic>
#include <functional>

namespace vnq::test {

// A cloud worker for screen tests. It records every call with its arguments and answers with
// the scripted result: at once, or only when the test calls answerPending(). The answers use
// the signal form of the edition in force (ZSystem::mode()) when they are sent. With
// runInOwnThread() the answers are emitted from the fake's own thread, so they reach the
// screens queued, as from the real worker.
class FakeCloudLink : public CloudLink {
    Q_OBJECT
public:
    struct Call {
        QString operation;
        QVariantList args;
    };

    FakeCloudLink();
    ~FakeCloudLink() override;

    // Installs a factory for the edition that hands out one fake, creates it through
    // CloudLink::forEdition() (so it is the current worker) and returns it.
    static FakeCloudLink* install(int edition);

    void startDataRequest(int mode) override;
    void putUserIDm(int userID, QString idm, QString time) override;
    void getServiceName() override;
    void getFirmwareVersion() override;
    void getFirmwareFile() override;
    QString clientKey() const override { return key; }
    bool busy() const override { return busyFlag.load(); }

    void setBusy(bool busy) { busyFlag.store(busy); }
    void setClientKey(const QString& clientKey) { key = clientKey; }

    // Answers wait for answerPending() (false) or are sent during the call (true, default).
    void setAnswerAtOnce(bool atOnce) { answerAtOnce = atOnce; }
    void runInOwnThread();
    // Sends every answer held back so far, in call order.
    void answerPending();
    int pendingCount() const { return pending.size(); }

    // Scripted answers. The result code of an operation ("startDataRequest" of modes 4 and 5,
    // "putUserIDm", "getServiceName", "getFirmwareVersion", "getFirmwareFile"; 0 unless set);
    // the option of allUpdateFinish ("success" unless set); the stamp count of a manual upload;
    // the firmware version answer.
    void setResult(const QString& operation, int code) { results.insert(operation, code); }
    void setAllUpdateOption(const QString& option) { allUpdateOption = option; }
    void setDakokuSendCount(int count) { sendCount = count; }
    void setFirmwareVersionAnswer(const QString& version, int size, const QString& md5);

    const QList<Call>& calls() const { return recorded; }
    QStringList operations() const;
    void clearCalls() { recorded.clear(); }

private:
    void record(const QString& operation, const QVariantList& args);
    void answer(std::function<void()> emitter);
    void send(const std::function<void()>& emitter);
    bool textCodes() const;
    int resultOf(const QString& operation) const { return results.value(operation, 0); }

    QList<Call> recorded;
    QList<std::function<void()>> pending;
    QMap<QString, int> results;
    QString allUpdateOption = QStringLiteral("success");
    int sendCount = 0;
    QString firmwareVersion;
    int firmwareSize = 0;
    QString firmwareMd5;
    QString key = QStringLiteral("test-client-key");
    std::atomic<bool> busyFlag{false};
    bool answerAtOnce = true;
    QThread* thread = nullptr;
};

}  // namespace vnq::test
