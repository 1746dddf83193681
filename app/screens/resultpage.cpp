#include "resultpage.h"

#include "mylabel.h"
#include "pagehost.h"
#include "screenparts.h"

#include <QObject>

namespace {

FontStyle whiteText(int x, int y, float px, float margin, const QString& text)
{
    return FontStyle{x, y, px, margin, text, 255, 255, 255, 255};
}

}  // namespace

void drawResultPage(MyLabel* label, LabelItemList* item, const QString& title, bool buttonEnabled,
                    const ResultPageText& text)
{
    label->setNew();
    setFullScreenImage(label, item,
                     buttonEnabled ? QStringLiteral("../Parts/09クラウド画面/実行ボタン有効.png")
                                   : QStringLiteral("../Parts/09クラウド画面/実行ボタン無効.png"));
    setScreenTitle(label, item, title);
    setTouchArea(label, item, QStringLiteral("Back"), 390, 228, 80, 34);
    setTouchArea(label, item, QStringLiteral("Check"), 120, 185, 240, 70);
    setText(label, item, whiteText(240, 65, 28, 1, text.status));
    setText(label, item, whiteText(240, 110, 20, 1, text.line1));
    setText(label, item, whiteText(240, 140, 20, 1, text.line2));
    setText(label, item, whiteText(240, 170, 20, 1, text.line3));
    label->setFlash();
}

QString communicatingText(int phase)
{
    return QStringLiteral("通信中") + QString(phase + 1, QChar(0x30FB));
}

void backToClock(QObject* page)
{
    if (auto* host = dynamic_cast<PageHost*>(page->parent()))
        host->returnPage(page, false);
}
