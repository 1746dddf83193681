#include "form3popalart.h"

#include "db.h"
#include "debugline.h"
#include "iccardmodule.h"
#include "mylabel.h"
#include "pagehost.h"

#include <QTimer>

namespace {
constexpr int openMs = 2000;
// After a registered card the alert gives way to the next stamp almost at once.
constexpr int closeAfterCardMs = 100;
// A name wider than this (display width, Japanese characters count 2) gets the small font.
constexpr int longNameWidth = 16;

// A full-screen picture at (0, 0) in its own size with one label on it.
void addPicture(const QString& image, const FontStyle& text)
{
    MyLabel* label = MyLabel::getInstance();
    LabelItemList item;
    label->initItem(&item);
    item.x = 0;
    item.y = 0;
    item.filename = image;
    item.label = text;
    label->setItem(&item);
}
}  // namespace

Form3PopAlart::Form3PopAlart(QObject* parent, PopOption option, QString name, QString kind,
                             QList<AlertMessage> lines)
    : QObject(parent)
    , option(option)
    , kind(kind)
{
    set(name, kind, lines);
    DB::sync();
}

Form3PopAlart::Form3PopAlart(QObject* parent, PopOption option, QString name, QString kind, QString text)
    : QObject(parent)
    , option(option)
    , kind(kind)
{
    set(name, kind, QList<AlertMessage>{AlertMessage{-1, text}});
}

Form3PopAlart::~Form3PopAlart()
{
    delete timer;
}

void Form3PopAlart::set(QString name, QString kind, QList<AlertMessage> lines)
{
    MyLabel* label = MyLabel::getInstance();
    // A second set() redraws the alert; its touches and cards are still taken once each.
    connect(label, &MyLabel::clicked, this, &Form3PopAlart::clickMyLabel, Qt::UniqueConnection);

    label->setNew();
    label->setClear();
    if (option == NameAlert)
        setName(name);
    else
        setMessage(kind, lines);
    label->setFadeIn();

    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "タイムアウト時間(msec):" << openMs;
    delete timer;
    timer = new QTimer();
    connect(timer, &QTimer::timeout, this, &Form3PopAlart::timeout);
    timer->start(openMs);

    cardModule = ICCardModule::getInstance();
    connect(cardModule, &ICCardModule::cardTouch, this, &Form3PopAlart::cardTouch, Qt::UniqueConnection);
}

void Form3PopAlart::setName(QString name)
{
    const bool longName = MyLabel::getLenght(name) > longNameWidth;
    addPicture(QStringLiteral("../Parts/01時計画面/時計画面_タッチ時.png"),
               FontStyle{248, longName ? 115 : 105, longName ? 24.0f : 44.0f, 1, name, 255, 255, 255, 255});
}

void Form3PopAlart::setMessage(QString title, QList<AlertMessage> lines)
{
    addPicture(QStringLiteral("../Parts/01時計画面/時計画面_エラー時.png"),
               FontStyle{240, 60, 18, 1, title, 255, 255, 255, 255});

    MyLabel* label = MyLabel::getInstance();
    LabelItemList item;
    for (int i = 0; i < lines.size(); ++i) {
        label->initItem(&item);
        item.label = FontStyle{240, 105 + 25 * i, 22, 1, lines.at(i).text, 0, 0, 0, 255};
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "" << lines.at(i).text;
        label->setItem(&item);
    }
}

void Form3PopAlart::timeout()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "タイムアウト";
    MyLabel::getInstance()->setFadeOut();
    returnToClock(true);
}

void Form3PopAlart::cardTouch(bool ret, QString, int, int, QString)
{
    if (ret)
        timer->start(closeAfterCardMs);
    else
        timeout();
}

void Form3PopAlart::clickMyLabel(MyLabel*, QString id)
{
    MyLabel::getInstance()->setFadeOut();
    if (id == QLatin1String("Exit"))
        returnToClock(false);
}

void Form3PopAlart::returnToClock(bool keep)
{
    // The host (the clock screen) destroys this alert before returnPage returns.
    if (auto* host = dynamic_cast<PageHost*>(parent()))
        host->returnPage(this, keep);
}
