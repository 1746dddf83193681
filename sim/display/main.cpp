// vnq_sim_display: the display stand-in of the simulated board.
//   vnq_sim_display                  serves <VNQ_ROOT>/tmp/vistrel.uds until ended, logging each
//                                    screen update to var/log/screen-protocol.log (raw) and
//                                    screen-protocol.txt (decoded)
//   vnq_sim_display press <id> [event]
//                                    reports a touch on the item last sent with that id
#include "displaystandin.h"
#include "presscontrol.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args[0] == QLatin1String("press")) {
        bool eventOk = true;
        const int event = args.size() > 2 ? args[2].toInt(&eventOk) : 0;
        if (args.size() < 2 || args.size() > 3 || !eventOk) {
            std::fprintf(stderr, "usage: vnq_sim_display press <id> [event]\n");
            return 2;
        }
        const QString answer = vnq::sim::PressControl::press(args[1], event);
        if (answer.isEmpty()) {
            std::fprintf(stderr, "vnq_sim_display: no stand-in answers on %s\n",
                         qPrintable(vnq::sim::PressControl::socketPath()));
            return 1;
        }
        std::printf("%s\n", qPrintable(answer));
        return answer == QLatin1String("ok") ? 0 : 1;
    }
    if (!args.isEmpty()) {
        std::fprintf(stderr, "usage: vnq_sim_display [press <id> [event]]\n");
        return 2;
    }
    vnq::sim::DisplayStandIn display;
    if (!display.isListening()) {
        std::fprintf(stderr, "vnq_sim_display: cannot listen on the screen socket\n");
        return 1;
    }
    display.setLogging(true);
    vnq::sim::PressControl control(&display);
    if (!control.isListening()) {
        std::fprintf(stderr, "vnq_sim_display: cannot listen on %s\n", qPrintable(vnq::sim::PressControl::socketPath()));
        return 1;
    }
    return app.exec();
}
