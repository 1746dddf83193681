// The settings menus against the pictures the build draws for them: the frames in the
// pictures must hold the labels the screens write into them and must keep clear of the
// screens' side buttons. The positions come from the screens as they draw (the protocol
// updates); the frames come from the picture manifest, translated to where each picture is
// placed.

#include "settingsfixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>
#include <QUrl>

#include <optional>

namespace {

constexpr int LabelMargin = 4;  // pixels between a label's text and its frame's edges

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
            const QString pos = field(back, QStringLiteral("pos"));
            item.at = QPoint(number(pos, QStringLiteral("x")), number(pos, QStringLiteral("y")));
            const QString size = field(back, QStringLiteral("size"));
            if (!size.isEmpty())
                item.touch = QRect(item.at, QSize(number(size, QStringLiteral("w")), number(size, QStringLiteral("h"))));
            const QString file = QUrl::fromPercentEncoding(field(back, QStringLiteral("filename")).toLatin1());
            if (file.startsWith(QStringLiteral("../Parts/")))
                item.picture = file.mid(9);
        }
        const QString label = field(xml, QStringLiteral("label"));
        const QString text = QUrl::fromPercentEncoding(field(label, QStringLiteral("text")).toLatin1());
        if (!text.isEmpty()) {
            const QString pos = field(label, QStringLiteral("pos"));
            item.label = Label{text, number(pos, QStringLiteral("x")), number(pos, QStringLiteral("y")),
                               number(label, QStringLiteral("px")), number(label, QStringLiteral("margin"))};
        }
        items << item;
    }
    return items;
}

// The rectangles (faces, keys, boxes, bands) a manifest picture draws, placed at `at`.
QList<QRect> framesOf(const QString& picture, const QPoint& at)
{
    static const QJsonArray pictures = [] {
        QFile file(QString::fromLocal8Bit(qgetenv("VNQ_SOURCE_DIR")) + QStringLiteral("/assets/parts/manifest.json"));
        return file.open(QIODevice::ReadOnly)
                   ? QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("pictures")).toArray()
                   : QJsonArray();
    }();
    QList<QRect> frames;
    for (const QJsonValue& value : pictures) {
        const QJsonObject entry = value.toObject();
        if (entry.value(QStringLiteral("file")).toString() != picture)
            continue;
        for (const QJsonValue& element : entry.value(QStringLiteral("elements")).toArray()) {
            const QJsonObject e = element.toObject();
            if (e.value(QStringLiteral("kind")).toString() == QStringLiteral("text"))
                continue;
            frames << QRect(e.value(QStringLiteral("x")).toInt(), e.value(QStringLiteral("y")).toInt(),
                            e.value(QStringLiteral("w")).toInt(), e.value(QStringLiteral("h")).toInt())
                          .translated(at);
        }
    }
    return frames;
}

std::string describe(const QRect& r)
{
    return QStringLiteral("%1x%2 at (%3, %4)").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y()).toStdString();
}

struct MenuCase {
    ZSystem::_zmode edition;
    int number;  // the screen or menu number the host opens
    bool menu;   // opened with moveToMenu rather than movePage
    const char* name;
};

void PrintTo(const MenuCase& c, std::ostream* os)
{
    *os << c.name;
}

class MenuPictures : public SettingsFixture, public ::testing::WithParamInterface<MenuCase> {};

// Every label of an item lies in the innermost frame under it, with a margin all round;
// that frame stays clear of the side buttons (touch areas drawn only by the picture) and of
// every other item's touch area.
TEST_P(MenuPictures, FramesHoldTheirLabelsAndKeepClearOfTheSideButtons)
{
    useEdition(GetParam().edition);
    const int before = mark();
    host.createPages = true;
    if (GetParam().menu)
        host.moveToMenu(GetParam().number, nullptr);
    else
        host.movePage(GetParam().number, nullptr);
    ASSERT_NE(host.currentPage(), nullptr);
    const QStringList updates = updatesSince(before);
    ASSERT_FALSE(updates.isEmpty());
    const QList<ScreenItem> items = itemsOf(updates.first());

    QList<QRect> frames;
    QList<QRect> sideButtons;
    for (const ScreenItem& item : items) {
        if (!item.picture.isEmpty())
            frames << framesOf(item.picture, item.at);
        if (!item.touch.isEmpty() && item.picture.isEmpty() && !item.label
            && !item.id.endsWith(QStringLiteral("_SCREENSHOT_")))
            sideButtons << item.touch;
    }
    ASSERT_FALSE(frames.isEmpty());
    ASSERT_FALSE(sideButtons.isEmpty());

    int checked = 0;
    for (int i = 0; i < items.size(); ++i) {
        const ScreenItem& item = items.at(i);
        if (!item.label || (item.touch.isEmpty() && item.picture.isEmpty()))
            continue;  // titles and the version line stand on the background itself
        const std::string name = item.label->text.toStdString();
        const QRect text = item.label->box();
        std::optional<QRect> frame;
        for (const QRect& f : qAsConst(frames)) {
            if (f.contains(QPoint(item.label->x, item.label->y)) && f.width() < 480
                && (!frame || f.width() * f.height() < frame->width() * frame->height()))
                frame = f;
        }
        ASSERT_TRUE(frame) << "no frame under the label " << name;
        ++checked;
        EXPECT_TRUE(frame->adjusted(LabelMargin, LabelMargin, -LabelMargin, -LabelMargin).contains(text))
            << name << ": text " << describe(text) << " in the frame " << describe(*frame);
        for (const QRect& button : qAsConst(sideButtons)) {
            EXPECT_FALSE(frame->intersects(button))
                << name << ": the frame " << describe(*frame) << " runs under the button " << describe(button);
        }
        for (int j = 0; j < items.size(); ++j) {
            const ScreenItem& other = items.at(j);
            if (j != i && other.label && !other.touch.isEmpty() && other.touch != item.touch) {
                EXPECT_FALSE(frame->intersects(other.touch))
                    << name << ": the frame " << describe(*frame) << " reaches the item "
                    << other.label->text.toStdString() << " at " << describe(other.touch);
            }
        }
    }
    EXPECT_GT(checked, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Menus, MenuPictures,
    ::testing::Values(MenuCase{ZSystem::Basic, 7, false, "setteimenu_basic_0"},
                      MenuCase{ZSystem::Basic, 8, false, "setteimenu_basic_1"},
                      MenuCase{ZSystem::Cloud, 7, false, "setteimenu_cloud_0"},
                      MenuCase{ZSystem::Cloud, 8, false, "setteimenu_cloud_1"},
                      MenuCase{ZSystem::Merid, 7, false, "setteimenu_merid_0"},
                      MenuCase{ZSystem::Merid, 8, false, "setteimenu_merid_1"},
                      MenuCase{ZSystem::Basic, 9, true, "termset_basic_9"},
                      MenuCase{ZSystem::Cloud, 12, true, "termset_cloud_12"},
                      MenuCase{ZSystem::Basic, 15, true, "netset_basic_15"},
                      MenuCase{ZSystem::Cloud, 17, true, "netset_cloud_17"},
                      MenuCase{ZSystem::Basic, 22, true, "admin_basic_22"},
                      MenuCase{ZSystem::Cloud, 23, true, "admin_cloud_23"},
                      MenuCase{ZSystem::Basic, 27, true, "mente_27"}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.name); });

}  // namespace
