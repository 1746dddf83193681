#include "mydebug.h"
#include "platform/logfile.h"
#include "platform/quitsignals.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    vnq::installBoardLogFile(QStringLiteral("/var/log/VantroQo.log"));
    vnq::quitEventLoopOnSignals(app);

    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "起動";
    const int status = app.exec();
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "終了" << status;
    return status;
}
