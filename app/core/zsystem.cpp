#include "zsystem.h"

#include "commandquote.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

int ZSystem::sysmode = ZSystem::Basic;

namespace {

const int serialReadTimeoutMs = 30000;

// Reads one line per output while the file has lines; later outputs stay empty.
bool readParameterLines(const QString& boardFile, const QList<QString*>& outputs)
{
    for (QString* out : outputs)
        out->clear();
    QFile file(vnq::boardPath(boardFile));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    for (QString* out : outputs) {
        if (in.atEnd())
            break;
        *out = in.readLine();
    }
    file.close();
    return true;
}

}  // namespace

ZSystem* ZSystem::getInstance()
{
    static ZSystem instance;
    return &instance;
}

ZSystem::ZSystem(QObject* parent)
    : QObject(parent)
{
    initGpip();
    gpio1Deadline = QDateTime::fromSecsSinceEpoch(0);
    gpio2Deadline = QDateTime::fromSecsSinceEpoch(0);
    lastTriggerLevel = gpio(GPIO136);

    tickTimer = new QTimer(this);
    connect(tickTimer, &QTimer::timeout, this, &ZSystem::tickerTask);
    tickTimer->setInterval(300);
    tickTimer->start();

    writeVersionStatusFile();
}

ZSystem::~ZSystem() = default;

void ZSystem::writeVersionStatusFile()
{
    QFile file(vnq::boardPath(QStringLiteral("/var/tmp/vantroqo.status")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "システムバージョン書き出し失敗";
        return;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << applicationVersion();
    out.flush();
    file.close();
}

void ZSystem::setMode(_zmode mode)
{
    sysmode = mode;
}

int ZSystem::mode()
{
    return sysmode;
}

QString ZSystem::applicationVersion()
{
    return versionString(buildDate(), mode());
}

QString ZSystem::versionString(const QString& buildDate, int mode)
{
    static const char* const monthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const monthCodes[] = {"1", "2", "3", "4", "5", "6",
                                             "7", "8", "9", "X", "Y", "Z"};
    QString monthCode;
    for (int i = 0; i < 12; ++i) {
        if (buildDate.contains(QLatin1String(monthNames[i]))) {
            monthCode = QLatin1String(monthCodes[i]);
            break;
        }
    }
    const int day = buildDate.mid(4, 2).trimmed().toInt();
    const int year = buildDate.mid(7).trimmed().toInt();

    QString version = QStringLiteral("Qo02-") + QString::number(year % 10) + monthCode
                      + QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0'));
    if (mode == Cloud)
        version += QStringLiteral("-C");
    else if (mode == Merid)
        version += QStringLiteral("-M");
    return version;
}

bool ZSystem::needUpdate(QString version)
{
    return isNewerVersion(version, applicationVersion());
}

bool ZSystem::isNewerVersion(const QString& offered, const QString& own)
{
    return offered.toUpper() > own.toUpper();
}

bool ZSystem::getCloudInfo(QString* url, QString* uniqueKey, QString* cloudKey)
{
    return readParameterLines(QStringLiteral("/VnQo/var/cloud.param"), {url, uniqueKey, cloudKey});
}

bool ZSystem::getMeridInfo(QString* url, QString* uniqueKey)
{
    return readParameterLines(QStringLiteral("/VnQo/var/merid.param"), {url, uniqueKey});
}

bool ZSystem::lockWebSerive()
{
    QFile file(vnq::boardPath(QStringLiteral("/tmp/webservice.lock")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << vnq::clock().now().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    out.flush();
    file.close();
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "webservice.lock 作成";
    return true;
}

bool ZSystem::unlockWebSerive()
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "webservice.lock 削除";
    QFile::remove(vnq::boardPath(QStringLiteral("/tmp/webservice.lock")));
    return true;
}

bool ZSystem::mountUserSpiFlush()
{
    const bool db = QFileInfo::exists(vnq::boardPath(QStringLiteral("/mnt/spi_user/DB")));
    const bool log = QFileInfo::exists(vnq::boardPath(QStringLiteral("/mnt/spi_user/Log")));
    return db && log;
}

bool ZSystem::mountSystemUsbmem()
{
    return QFileInfo::exists(vnq::boardPath(QStringLiteral("/dev/sda")));
}

QString ZSystem::termSerialNumber()
{
    const QString command = QStringLiteral("cat ") + vnq::commandWord(vnq::boardPath(QStringLiteral("/mnt/spi_user/termid")));
    const vnq::CommandResult result = vnq::commandRunner().run(command, serialReadTimeoutMs);
    // A cat that could not start or did not finish in time has read nothing usable.
    const QString text = result.finished ? QString::fromUtf8(result.output) : QString();
    if (text.isEmpty()) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "シリアルナンバーが見つかりません:" << text;
        return QStringLiteral("未設定");
    }
    return text.simplified();
}
