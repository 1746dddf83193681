// cloudreq: runs one request of the cloud worker on the simulated board, for checks by hand.
//   cloudreq [-Merid] <mode>             a chain of requests in that mode (1: full update, ...)
//   cloudreq [-Merid] idm <user> <card>  registers a card's IDm for a user
//   cloudreq [-Merid] service            asks for the service name
//   cloudreq [-Merid] fwversion          asks for the firmware version
//   cloudreq [-Merid] firmware           downloads the firmware image (the JSON client asks for
//                                        the firmware version first: the image's URL comes with it)
// The board root is VNQ_ROOT; the edition is the SOAP cloud, or the JSON one with -Merid.
// Every progress text and the end signal are printed; the status is 0 when the request
// succeeded (a JSON chain, whose end text is empty either way, counts unless it was refused);
// the worker's log lines go to <board root>/var/log/cloudreq.log. Run it with the
// terminal stopped: one board, one worker at a time.
#include "cloudinstall.h"
#include "cloudlink.h"
#include "platform/boardroot.h"
#include "platform/processexit.h"
#include "zsystem.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QStringList>
#include <QTextCodec>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int timeLimitMs = 10 * 60 * 1000;

// Keeps the worker's log lines out of the printed answer.
void logToBoardFile(QtMsgType, const QMessageLogContext&, const QString& message)
{
    static QMutex lock;
    static QFile log(vnq::boardPath(QStringLiteral("/var/log/cloudreq.log")));
    const QMutexLocker locker(&lock);
    if (log.isOpen() || log.open(QIODevice::WriteOnly | QIODevice::Append)) {
        log.write(message.toUtf8() + '\n');
        log.flush();
    }
}

int usage()
{
    std::fprintf(stderr, "usage: cloudreq [-Merid] <mode> | idm <user> <card> | service | fwversion | firmware\n");
    return 2;
}

void print(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The status of the end signal printed, or -1 before one.
int endStatus = -1;

// Prints an end signal and leaves with 0 on success, 1 otherwise.
void finish(const QString& line, bool success)
{
    print(line);
    endStatus = success ? 0 : 1;
    QCoreApplication::exit(endStatus);
}

// The JSON client's firmware download: the version request, then, once the client is idle
// again, the image from the URL that came with it.
void fetchFirmwareAfterVersion(CloudLink* link)
{
    QObject::connect(link, qOverload<int, QString, int, QString>(&CloudLink::finishedFirmwareVersion),
                     [link](int code, const QString& version, int size, const QString& hash) {
                         print(QStringLiteral("finishedFirmwareVersion %1 %2 %3 %4").arg(code).arg(version).arg(size).arg(hash));
                         if (code != 0)
                             return finish(QStringLiteral("cloudreq: no firmware version"), false);
                         auto* idle = new QTimer(link);
                         QObject::connect(idle, &QTimer::timeout, [link, idle] {
                             if (link->busy())
                                 return;
                             idle->deleteLater();
                             link->getFirmwareFile();
                         });
                         idle->start(50);
                     });
}

void connectEnds(CloudLink* link, bool merid, bool firmwareAfterVersion)
{
    QObject::connect(link, &CloudLink::apiInfo, [](int mode, const QString& info) {
        print(QStringLiteral("apiInfo %1 %2").arg(mode).arg(info));
    });
    QObject::connect(link, &CloudLink::downProgress, [](int received, int total) {
        print(QStringLiteral("downProgress %1 %2").arg(received).arg(total));
    });
    QObject::connect(link, &CloudLink::allUpdateFinish, [merid](int mode, const QString& option) {
        finish(QStringLiteral("allUpdateFinish %1 %2").arg(mode).arg(option),
               option == QLatin1String("success") || (merid && option != QLatin1String("failed")));
    });
    // The manual uploads (modes 4 and 5) end with finishedDakokuSending, as does the refusal of
    // one of them; the other chains end with allUpdateFinish.
    QObject::connect(link, qOverload<QString, int>(&CloudLink::finishedDakokuSending), [](const QString& code, int count) {
        finish(QStringLiteral("finishedDakokuSending %1 %2").arg(code).arg(count), code == QLatin1String("0"));
    });
    QObject::connect(link, qOverload<int, int>(&CloudLink::finishedDakokuSending), [](int code, int count) {
        finish(QStringLiteral("finishedDakokuSending %1 %2").arg(code).arg(count), code == 0);
    });

    const auto text = [](const char* name) {
        return [name](const QString& code) { finish(QStringLiteral("%1 %2").arg(QLatin1String(name), code), code == QLatin1String("0")); };
    };
    const auto number = [](const char* name) {
        return [name](int code) { finish(QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(code), code == 0); };
    };
    QObject::connect(link, qOverload<QString>(&CloudLink::finishedPutUserIDm), text("finishedPutUserIDm"));
    QObject::connect(link, qOverload<int>(&CloudLink::finishedPutUserIDm), number("finishedPutUserIDm"));
    QObject::connect(link, qOverload<QString>(&CloudLink::finishedGetServiceName), text("finishedGetServiceName"));
    QObject::connect(link, qOverload<int>(&CloudLink::finishedGetServiceName), number("finishedGetServiceName"));
    QObject::connect(link, qOverload<QString>(&CloudLink::finishedGetFirmware), text("finishedGetFirmware"));
    QObject::connect(link, qOverload<int>(&CloudLink::finishedGetFirmware), number("finishedGetFirmware"));
    QObject::connect(link, qOverload<QString, QString, int, QString>(&CloudLink::finishedFirmwareVersion),
                     [](const QString& code, const QString& version, int size, const QString& hash) {
                         finish(QStringLiteral("finishedFirmwareVersion %1 %2 %3 %4").arg(code, version).arg(size).arg(hash),
                                code == QLatin1String("0"));
                     });
    if (firmwareAfterVersion)
        return fetchFirmwareAfterVersion(link);
    QObject::connect(link, qOverload<int, QString, int, QString>(&CloudLink::finishedFirmwareVersion),
                     [](int code, const QString& version, int size, const QString& hash) {
                         finish(QStringLiteral("finishedFirmwareVersion %1 %2 %3 %4").arg(code).arg(version).arg(size).arg(hash),
                                code == 0);
                     });
}

// Starts the request the arguments name; false when they name none or the worker did not take it.
bool start(CloudLink* link, const QStringList& args, bool firmwareAfterVersion)
{
    const QString what = args.value(0);
    bool isNumber = false;
    const int mode = what.toInt(&isNumber);
    if (isNumber && args.size() == 1)
        return link->startDataRequest(mode);
    if (what == QLatin1String("idm") && args.size() == 3) {
        bool userOk = false;
        const int user = args.at(1).toInt(&userOk);
        return userOk && link->putUserIDm(user, args.at(2), QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")));
    }
    if (args.size() != 1)
        return false;
    if (what == QLatin1String("service"))
        return link->getServiceName();
    if (what == QLatin1String("fwversion"))
        return link->getFirmwareVersion();
    if (what == QLatin1String("firmware"))
        return firmwareAfterVersion ? link->getFirmwareVersion() : link->getFirmwareFile();
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("utf8"));
    QStringList args = app.arguments().mid(1);
    const bool merid = !args.isEmpty() && args.first() == QLatin1String("-Merid");
    if (merid)
        args.removeFirst();
    if (args.isEmpty())
        return usage();
    if (vnq::boardRoot().isEmpty()) {
        std::fprintf(stderr, "cloudreq: set VNQ_ROOT to the simulated board's root\n");
        return 2;
    }

    qInstallMessageHandler(logToBoardFile);
    ZSystem::getInstance();
    ZSystem::setMode(merid ? ZSystem::Merid : ZSystem::Cloud);
    installCloudLinks();
    CloudLink* link = CloudLink::forEdition();
    if (!link) {
        std::fprintf(stderr, "cloudreq: no worker for this edition\n");
        return 1;
    }
    const bool firmwareAfterVersion = merid && args.first() == QLatin1String("firmware");
    connectEnds(link, merid, firmwareAfterVersion);
    // A refusal has already printed its end signal; a request the arguments do not name gets
    // the usage. The worker's thread is never joined: leave without static destructors.
    if (!start(link, args, firmwareAfterVersion))
        vnq::exitProcess(endStatus >= 0 ? endStatus : usage());
    QTimer::singleShot(timeLimitMs, [] { finish(QStringLiteral("cloudreq: no end signal in time"), false); });
    // The worker's thread is never joined: leave as the terminal does, without static destructors.
    const int status = app.exec();
    vnq::exitProcess(status);
    return status;
}
