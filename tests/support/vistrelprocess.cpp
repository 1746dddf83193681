#include "vistrelprocess.h"

#include "fb_info.h"
#include "packagedfont.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace vnq::test {

VistrelProcess::VistrelProcess(const TempBoardRoot& root, const QByteArray& startXml)
    : m_root(root)
{
    root.makeDir(QStringLiteral("/tmp"));
    root.makeDir(QStringLiteral("/var/log"));
    root.makeDir(QStringLiteral("/var/tmp"));
    root.makeDir(QStringLiteral("/VnQo/app/App/Font"));
    // The simulated touch feed.
    root.makeDir(QStringLiteral("/dev/input"));
    ::mkfifo(root.path(QStringLiteral("/dev/input/event0")).toUtf8().constData(), 0600);
    simfb::writeFramebuffer(root.path(QStringLiteral("/dev/fb0")).toStdString(), simfb::boardScreen());
    if (!startXml.isEmpty())
        root.writeFile(QStringLiteral("/VnQo/app/App/start.xml"), startXml);
    QFile::link(QString::fromStdString(packagedFont()), root.path(QStringLiteral("/VnQo/app/App/Font/ipag.ttf")));
}

VistrelProcess::~VistrelProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool VistrelProcess::start(int timeoutMs)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VNQ_ROOT"), m_root.root());
    environment.insert(QStringLiteral("VNQ_VISTREL_DRAW"), m_drawPort);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setWorkingDirectory(m_root.path(QStringLiteral("/VnQo/app/App")));
    m_process.start(QStringLiteral(VISTREL_PROGRAM), QStringList());
    if (!m_process.waitForStarted(5000))
        return false;
    const QString socket = m_root.path(QStringLiteral("/tmp/vistrel.uds"));
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (QFileInfo(socket).exists())
            return true;
        if (!isRunning())
            return false;
        m_process.waitForReadyRead(20);
    }
    return false;
}

QString VistrelProcess::output()
{
    m_output += m_process.readAll();
    return QString::fromUtf8(m_output);
}

}  // namespace vnq::test
