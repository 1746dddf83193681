#include "picturelayout.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRegularExpression>
#include <QUrl>

#include <optional>

namespace vnq::test {

namespace {

constexpr int LabelMargin = 4;  // pixels between a label's text and its frame's edges
constexpr int ScreenWidth = 480;

struct Label {
    QString text;
    int x = 0;
    int y = 0;
    int px = 0;
    int alignment = 0;  // 0 starts at x, 1 centres on x, 2 ends at x

    // The text's em box: IPA Gothic gives a full-width character one em and any other half;
    // the display server puts the baseline px below y, and the em reaches an eighth of it
    // above and below.
    QRect box() const
    {
        int width = 0;
        for (const QChar c : text)
            width += c.unicode() >= 0x1100 ? px : px / 2;
        const int left = alignment == 1 ? x - width / 2 : alignment == 2 ? x - width : x;
        return QRect(left, y + px / 8, width, px);
    }
};

struct ScreenItem {
    QString id;
    QRect touch;      // empty when the item takes no touch
    QString picture;  // relative to /VnQo/app/Parts; empty when none
    QPoint at;        // where the picture is placed
    std::optional<Label> label;
};

QString field(const QString& xml, const QString& tag)
{
    const int open = xml.indexOf(QStringLiteral("<%1>").arg(tag));
    if (open < 0)
        return {};
    const int from = open + tag.size() + 2;
    return xml.mid(from, xml.indexOf(QStringLiteral("</%1>").arg(tag), from) - from);
}

int number(const QString& xml, const QString& tag)
{
    return field(xml, tag).toInt();
}

QPoint position(const QString& xml)
{
    const QString pos = field(xml, QStringLiteral("pos"));
    return {number(pos, QStringLiteral("x")), number(pos, QStringLiteral("y"))};
}

QList<ScreenItem> itemsOf(const QString& update)
{
    QList<ScreenItem> items;
    static const QRegularExpression itemForm(QStringLiteral("<item>(.*?)</item>"));
    for (auto it = itemForm.globalMatch(update); it.hasNext();) {
        const QString xml = it.next().captured(1);
        ScreenItem item;
        item.id = field(xml, QStringLiteral("id"));
        const QString back = field(xml, QStringLiteral("backbround"));
        if (!back.isEmpty()) {
            item.at = position(back);
            const QString size = field(back, QStringLiteral("size"));
            if (!size.isEmpty())
                item.touch = QRect(item.at, QSize(number(size, QStringLiteral("w")), number(size, QStringLiteral("h"))));
            const QString file = QUrl::fromPercentEncoding(field(back, QStringLiteral("filename")).toLatin1());
            if (!file.isEmpty())
                item.picture = file.mid(file.indexOf(QStringLiteral("Parts/")) + 6);
        }
        const QString label = field(xml, QStringLiteral("label"));
        const QString text = QUrl::fromPercentEncoding(field(label, QStringLiteral("text")).toLatin1());
        if (!text.isEmpty()) {
            const QPoint at = position(label);
            item.label = Label{text, at.x(), at.y(), number(label, QStringLiteral("px")),
                               number(label, QStringLiteral("margin"))};
        }
        items << item;
    }
    return items;
}

const QJsonArray& manifestPictures()
{
    static const QJsonArray pictures = [] {
        QFile file(QString::fromLocal8Bit(qgetenv("VNQ_SOURCE_DIR")) + QStringLiteral("/assets/parts/manifest.json"));
        return file.open(QIODevice::ReadOnly)
                   ? QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("pictures")).toArray()
                   : QJsonArray();
    }();
    return pictures;
}

// The rectangles (faces, keys, boxes, bands) a manifest picture draws, placed at `at`;
// nothing when the manifest does not list the picture.
std::optional<QList<QRect>> framesOf(const QString& picture, const QPoint& at)
{
    for (const QJsonValue& value : manifestPictures()) {
        const QJsonObject entry = value.toObject();
        if (entry.value(QStringLiteral("file")).toString() != picture)
            continue;
        QList<QRect> frames;
        for (const QJsonValue& element : entry.value(QStringLiteral("elements")).toArray()) {
            const QJsonObject e = element.toObject();
            if (e.value(QStringLiteral("kind")).toString() == QStringLiteral("text"))
                continue;
            frames << QRect(e.value(QStringLiteral("x")).toInt(), e.value(QStringLiteral("y")).toInt(),
                            e.value(QStringLiteral("w")).toInt(), e.value(QStringLiteral("h")).toInt())
                          .translated(at);
        }
        return frames;
    }
    return std::nullopt;
}

QString describe(const QRect& r)
{
    return QStringLiteral("%1x%2 at (%3, %4)").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}

// The innermost frame narrower than the screen that holds the point; full-width bands
// carry titles of their own length and are left out.
std::optional<QRect> frameAt(const QList<QRect>& frames, const QPoint& point)
{
    std::optional<QRect> inner;
    for (const QRect& f : frames) {
        if (f.width() < ScreenWidth && f.contains(point)
            && (!inner || f.width() * f.height() < inner->width() * inner->height()))
            inner = f;
    }
    return inner;
}

}  // namespace

QStringList pictureLayoutFaults(const QString& update)
{
    QStringList faults;
    const QList<ScreenItem> items = itemsOf(update);
    QList<QRect> frames;
    QList<QRect> sideButtons;
    for (const ScreenItem& item : items) {
        if (!item.picture.isEmpty()) {
            const auto placed = framesOf(item.picture, item.at);
            if (placed)
                frames << *placed;
            else
                faults << QStringLiteral("the picture %1 is not in the manifest").arg(item.picture);
        }
        if (!item.touch.isEmpty() && item.picture.isEmpty() && !item.label
            && !item.id.endsWith(QStringLiteral("_SCREENSHOT_")))
            sideButtons << item.touch;
    }

    for (int i = 0; i < items.size(); ++i) {
        const ScreenItem& item = items.at(i);
        if (!item.label)
            continue;
        const QString name = item.label->text;
        const std::optional<QRect> frame = frameAt(frames, QPoint(item.label->x, item.label->y));
        const bool ownItem = !item.touch.isEmpty() || !item.picture.isEmpty();
        if (!frame) {
            if (ownItem)
                faults << QStringLiteral("%1: no frame under the label").arg(name);
            continue;
        }
        const QRect text = item.label->box();
        if (!frame->adjusted(LabelMargin, LabelMargin, -LabelMargin, -LabelMargin).contains(text))
            faults << QStringLiteral("%1: the text %2 is not inside the frame %3 with a margin of %4")
                          .arg(name, describe(text), describe(*frame))
                          .arg(LabelMargin);
        if (!ownItem)
            continue;
        for (const QRect& button : qAsConst(sideButtons)) {
            if (frame->intersects(button))
                faults << QStringLiteral("%1: the frame %2 runs under the button %3")
                              .arg(name, describe(*frame), describe(button));
        }
        for (int j = 0; j < items.size(); ++j) {
            const ScreenItem& other = items.at(j);
            if (j != i && other.label && !other.touch.isEmpty() && other.touch != item.touch
                && frame->intersects(other.touch))
                faults << QStringLiteral("%1: the frame %2 reaches the item %3 at %4")
                              .arg(name, describe(*frame), other.label->text, describe(other.touch));
        }
    }
    return faults;
}

}  // namespace vnq::test
