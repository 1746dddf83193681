#include "drawport.h"
#include "drawportchoice.h"
#include "fontoptions.h"
#include "maintask.h"

#include <QCoreApplication>
#include <QTextCodec>

#include <cstdio>

int main(int argc, char** argv)
{
    vistrel::readFontOptions(argc, argv);
    std::fputs(vistrel::fontOptionsLine().c_str(), stdout);
    std::fflush(stdout);

    QCoreApplication app(argc, argv);
    // Qt 5 reads C strings and tr() texts as UTF-8 already; the locale's codec is the one left.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("utf8"));

    vistrel::setDrawPort(vistrel::chooseDrawPort(qEnvironmentVariable("VNQ_VISTREL_DRAW")));
    new vistrel::MainTask(&app);
    return app.exec();
}
