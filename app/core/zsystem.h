#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class QTimer;

// Board and product services shared across the terminal: the edition chosen at start-up, the
// version string, the serial number, the cloud parameter files, the web-service lock file,
// storage presence, the version status file and the GPIO lines. Almost everything is static
// and usable without the instance; the instance owns the 300 ms GPIO ticker.
class ZSystem : public QObject {
    Q_OBJECT
public:
    enum _zmode { Basic = 0, Cloud = 1, Merid = 2 };

    // The sysfs GPIO numbers of the terminal's lines (the value names /sys/class/gpio/gpio<n>).
    enum GpioCh {
        GPIO0 = 0,      // backlight state, read only
        GPIO33 = 33,    // USB Wi-Fi adapter power (1 = on), read only
        GPIO136 = 136,  // trigger input, watched by the ticker
        GPIO137 = 137,  // second input, set up at start, not read
        GPIO138 = 138,  // GPIO1 output: the electric lock, pulsed per stamp
        GPIO139 = 139,  // GPIO2 output, pulsed like GPIO1
    };

    static ZSystem* getInstance();
    // The program uses the one instance above; an object of its own (a test on a fresh board)
    // sets the inputs up, starts its own ticker and writes the status file like it.
    explicit ZSystem(QObject* parent = nullptr);
    ~ZSystem() override;

    static void setMode(_zmode mode);
    static int mode();

    // "Qo02-" + last digit of the year, month code (1-9, X, Y, Z), two-digit day, then "-C"
    // in the cloud and "-M" in the Merid edition.
    static QString applicationVersion();
    // The same from a date in the compiler's form ("Sep  7 2020") and an edition mode.
    static QString versionString(const QString& buildDate, int mode);
    // The date this program was built, in the compiler's form.
    static QString buildDate();

    // True when the offered version sorts after this program's own (case ignored).
    static bool needUpdate(QString version);
    static bool isNewerVersion(const QString& offered, const QString& own);

    // Lines of /VnQo/var/cloud.param (URL, client key, cloud key) and /VnQo/var/merid.param
    // (URL, client key); missing lines give empty strings. False when the file cannot be read.
    static bool getCloudInfo(QString* url, QString* uniqueKey, QString* cloudKey);
    static bool getMeridInfo(QString* url, QString* uniqueKey);

    // Create and remove /tmp/webservice.lock, which tells outside processes that a screen
    // other than the clock is open.
    static bool lockWebSerive();
    static bool unlockWebSerive();

    // Presence of the user SPI flash (/mnt/spi_user/DB and Log) and of USB memory (/dev/sda).
    static bool mountUserSpiFlush();
    static bool mountSystemUsbmem();

    // The serial number from /mnt/spi_user/termid, white space simplified; "未設定" when
    // nothing could be read.
    static QString termSerialNumber();

    // Sets lines 136 and 137 up as inputs.
    static void initGpip();
    // The level of a line, 0 when it cannot be read.
    static int gpio(ZSystem::GpioCh ch);
    // Drives a line to a level and checks it by reading it back, a bounded number of times.
    static void gpio(ZSystem::GpioCh ch, int value);
    // Drives output 138 or 139 to a level now and to the other level after the given seconds
    // (a second pulse moves the end). Other lines are left alone.
    void gpio(ZSystem::GpioCh ch, int value, int seconds);

signals:
    // Input 136 changed; val is the level it had before.
    void trigerEvent(int val);

public slots:
    // Every 300 ms: ends pulses whose deadline has come and watches input 136.
    void tickerTask();

private:
    Q_DISABLE_COPY(ZSystem)

    static bool isArmed(const QDateTime& deadline);
    void writeVersionStatusFile();

    static int sysmode;
    static bool initGPIO1_OUT;
    static bool initGPIO2_OUT;

    QTimer* tickTimer = nullptr;
    // End of the pulse on 138 / 139; time 0 when no pulse runs.
    QDateTime gpio1Deadline;
    QDateTime gpio2Deadline;
    // The level each output was pulsed to: its end drives the opposite level.
    int gpio1PulseLevel = 0;
    int gpio2PulseLevel = 0;
    int lastTriggerLevel = 0;
};
