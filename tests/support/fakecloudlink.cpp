#include "fakecloudlink.h"

#include "zsystem.h"

namespace vnq::test {

FakeCloudLink::FakeCloudLink() = default;

FakeCloudLink::~FakeCloudLink()
{
    if (thread) {
        thread->quit();
        thread->wait();
        delete thread;
    }
}

FakeCloudLink* FakeCloudLink::install(int edition)
{
    CloudLink::setFactory(edition, [] { return new FakeCloudLink(); });
    return qobject_cast<FakeCloudLink*>(CloudLink::forEdition());
}

void FakeCloudLink::runInOwnThread()
{
    if (thread)
        return;
    thread = new QThread();
    thread->start();
    moveToThread(thread);
}

void FakeCloudLink::setFirmwareVersionAnswer(const QString& version, int size, const QString& md5)
{
    firmwareVersion = version;
    firmwareSize = size;
    firmwareMd5 = md5;
}

QStringList FakeCloudLink::operations() const
{
    QStringList names;
    for (const Call& call : recorded)
        names << call.operation;
    return names;
}

void FakeCloudLink::record(const QString& operation, const QVariantList& args)
{
    recorded.append(Call{operation, args});
}

bool FakeCloudLink::textCodes() const
{
    return ZSystem::mode() != ZSystem::Merid;
}

void FakeCloudLink::startDataRequest(int mode)
{
    record(QStringLiteral("startDataRequest"), {mode});
    if (mode == 4 || mode == 5) {
        const int code = resultOf(QStringLiteral("startDataRequest"));
        const int count = sendCount;
        answer([this, code, count] {
            if (textCodes())
                emit finishedDakokuSending(QString::number(code), count);
            else
                emit finishedDakokuSending(code, count);
        });
        return;
    }
    const QString option = allUpdateOption;
    answer([this, mode, option] { emit allUpdateFinish(mode, option); });
}

void FakeCloudLink::putUserIDm(int userID, QString idm, QString time)
{
    record(QStringLiteral("putUserIDm"), {userID, idm, time});
    const int code = resultOf(QStringLiteral("putUserIDm"));
    answer([this, code] {
        if (textCodes())
            emit finishedPutUserIDm(QString::number(code));
        else
            emit finishedPutUserIDm(code);
    });
}

void FakeCloudLink::getServiceName()
{
    record(QStringLiteral("getServiceName"), {});
    const int code = resultOf(QStringLiteral("getServiceName"));
    answer([this, code] {
        if (textCodes())
            emit finishedGetServiceName(QString::number(code));
        else
            emit finishedGetServiceName(code);
    });
}

void FakeCloudLink::getFirmwareVersion()
{
    record(QStringLiteral("getFirmwareVersion"), {});
    const int code = resultOf(QStringLiteral("getFirmwareVersion"));
    const QString version = firmwareVersion;
    const int size = firmwareSize;
    const QString md5 = firmwareMd5;
    answer([this, code, version, size, md5] {
        if (textCodes())
            emit finishedFirmwareVersion(QString::number(code), version, size, md5);
        else
            emit finishedFirmwareVersion(code, version, size, md5);
    });
}

void FakeCloudLink::getFirmwareFile()
{
    record(QStringLiteral("getFirmwareFile"), {});
    const int code = resultOf(QStringLiteral("getFirmwareFile"));
    answer([this, code] {
        if (textCodes())
            emit finishedGetFirmware(QString::number(code));
        else
            emit finishedGetFirmware(code);
    });
}

void FakeCloudLink::answer(std::function<void()> emitter)
{
    if (answerAtOnce)
        send(emitter);
    else
        pending.append(std::move(emitter));
}

void FakeCloudLink::answerPending()
{
    const QList<std::function<void()>> due = pending;
    pending.clear();
    for (const auto& emitter : due)
        send(emitter);
}

void FakeCloudLink::send(const std::function<void()>& emitter)
{
    if (thread)
        QMetaObject::invokeMethod(this, emitter, Qt::QueuedConnection);
    else
        emitter();
}

}  // namespace vnq::test
