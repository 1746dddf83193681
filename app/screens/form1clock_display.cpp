#include "form1clock.h"

#include "cloudlink.h"
#include "mylabel.h"
#include "mytimer.h"
#include "networkmanager.h"
#include "platform/clock.h"
#include "screenparts.h"

// The clock face and the message line.

namespace {

const QString partsDir = QStringLiteral("../Parts/01時計画面/");
const char* const weekdayNames[] = {"日", "月", "火", "水", "木", "金", "土"};

// The earliest time the clock shows; an unset clock stands at its midnight, blinking.
QDateTime earliestShown()
{
    return QDateTime::fromString(QStringLiteral("201601010000"), QStringLiteral("yyyyMMddhhmm"));
}

FontStyle whiteText(int x, int y, const QString& text)
{
    return FontStyle{x, y, 24, 1, text, 255, 255, 255, 255};
}

}  // namespace

void Form1Clock::setBackPicture()
{
    setFullScreenPicture(partsDir + QStringLiteral("時計画面_背景.png"));
}

void Form1Clock::setFullScreenPicture(const QString& image, const FontStyle& text)
{
    label->setNew();
    LabelItemList item;
    label->initItem(&item);
    item.x = 0;
    item.y = 0;
    item.w = 480;
    item.h = 272;
    item.filename = image;
    item.label = text;
    label->setItem(&item);
}

void Form1Clock::setInfo()
{
    if (formActive == 0)
        return;
    if (!userFlashMounted)
        infoMessage = QStringLiteral("システム異常 打刻できません");
    else if (dakokuCapacityLevel == -1)
        infoMessage = QStringLiteral("ファイル異常 打刻できません");
    else if (!infoMessage.isEmpty())
        ;  // a transient text, or the standing text chosen before
    else if (dakokuCapacityLevel == 6)
        infoMessage = QStringLiteral("打刻データ領域がいっぱいです");
    else if (dakokuCapacityLevel == 5)
        infoMessage = QStringLiteral("メモリーの残量が少なくなりました");
    else if (!usbMemoryMounted)
        infoMessage = QStringLiteral("バックアップできませんでした");
    else if (selectedKubunList.isEmpty())
        infoMessage = QStringLiteral("区分を選択してください");
    else
        infoMessage = QStringLiteral("カードをタッチしてください");

    LabelItemList item;
    label->initItem(&item);
    item.x = 12;
    item.y = 123;
    item.filename = partsDir + QStringLiteral("メッセージ.png");
    const bool fileError = dakokuCapacityLevel < 0;
    item.label = FontStyle{250, 126, 18, 1, infoMessage, fileError ? 255.0f : 50.0f, fileError ? 0.0f : 50.0f,
                           fileError ? 0.0f : 50.0f, 255};
    label->setItem(&item);
}

void Form1Clock::dispClockParts()
{
    if (formActive == 0)
        return;

    const QDateTime trueNow = vnq::clock().now();
    const QDateTime earliest = earliestShown();
    const bool unset = trueNow < earliest;
    const QDateTime now = unset ? earliest.addSecs(trueNow.time().second()) : trueNow;
    const QString dateText = QStringLiteral("%1").arg(now.toString(QStringLiteral("M/d")));
    const QString weekdayText =
        QStringLiteral("%2曜日").arg(QString::fromUtf8(weekdayNames[now.date().dayOfWeek() % 7]));
    const int second = now.time().second();
    if (second == lastSecond)
        return;

    LabelItemList item;
    auto picture = [&](int x, int y, const QString& file) {
        setImage(label, &item, x, y, partsDir + file);
    };
    auto text = [&](int x, int y, const QString& content) {
        setText(label, &item, whiteText(x, y, content));
    };

    picture(13, 13, QStringLiteral("枠時計.png"));
    if (clockDisplay == 0)
        picture(396, 55, now.time().hour() < 12 ? QStringLiteral("am.png") : QStringLiteral("pm.png"));
    text(65, 35, dateText);
    text(65, 63, weekdayText);

    if (!(unset && second % 2 == 0)) {
        int hour = now.time().hour();
        if (clockDisplay == 0 && hour > 12)
            hour %= 12;
        const int minute = now.time().minute();
        const QString digit = QStringLiteral("%1.png");
        if (hour > 9)
            picture(110, 27, digit.arg(hour / 10));
        picture(172, 27, digit.arg(hour % 10));
        picture(266, 27, digit.arg(minute / 10));
        picture(328, 27, digit.arg(minute % 10));
        if (second % 2 == 1)
            picture(232, 27, QStringLiteral("col.png"));
    }

    if (!NetworkManager::nowSettingNic()) {
        const int level = NetworkManager::getApSignalLevel();
        picture(405, clockDisplay == 0 ? 27 : 52, QStringLiteral("アンテナ%1.png").arg(level));
        if (level > 0 && !ntpSynced) {
            NetworkManager::syncNtpServer();
            MyTimer::getInstance()->setSntpSync();
            ntpSynced = true;
        }
    }

    if (lockBusy || cloudBusy())
        picture(408, 80, QStringLiteral("通信中アイコン.png"));

    setInfo();
    label->setCopy();
    label->setFlash();
    label->setPast();
    lastSecond = second;
}
