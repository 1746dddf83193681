#include "edition.h"
#if defined(VNQ_HAS_CLOUD) && __has_include("cloudinstall.h")
#define VNQ_CLOUD_LINKS 1
#include "cloudinstall.h"
#endif
#include "form1clock.h"
#include "mydebug.h"
#include "operationpages.h"
#include "platform/boardroot.h"
#include "platform/logfile.h"
#include "platform/processexit.h"
#include "platform/quitsignals.h"
#include "watchdog.h"
#include "zsystem.h"

#include <QCoreApplication>
#include <QTextCodec>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // Qt 5 reads C strings and tr() texts as UTF-8 already; the locale codec keeps the
    // Japanese log text intact whatever LANG says.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("utf8"));
    // On the simulated board the log is also kept in a file and Ctrl-C ends the terminal;
    // on the board itself only an outside kill ends it.
    if (!vnq::boardRoot().isEmpty()) {
        vnq::installBoardLogFile(QStringLiteral("/var/log/VantroQo.log"));
        vnq::quitEventLoopOnSignals(app);
    }

    if (!vnq::startWatchdog()) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "SelfWatcher create fail";
        return -1;
    }

    ZSystem::getInstance();
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "アプリ:" << ZSystem::applicationVersion()
              << ", シリアル:" << ZSystem::termSerialNumber();

    ZSystem::setMode(editionFromCommandLine(argc, argv));

#ifdef VNQ_CLOUD_LINKS
    // The cloud area's worker factories, one per edition (CloudLink::setFactory).
    installCloudLinks();
#endif

    // The operation screens the page host opens by number.
    OperationPages::install();

    // Builds the rest of the application and lives as long as the process.
    new Form1Clock(nullptr);

    // The loop only ends on the simulated board (Ctrl-C). Leave the way every exit of the
    // terminal does, without running static destructors under the watchdog thread.
    const int status = app.exec();
    vnq::exitProcess(status);
    return status;
}
