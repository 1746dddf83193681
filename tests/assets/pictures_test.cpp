#include "assetfiles.h"

#include "fullkeyboardkeys.h"
#include "keypadlayout.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QPoint>
#include <QRect>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

using namespace vnq::test;

namespace {

// Width and height from a PNG's IHDR chunk; {0, 0} when the file is no PNG.
QPair<int, int> pngSize(const QString& partsPath)
{
    const QByteArray bytes = readBytes(builtAppDir() + QStringLiteral("/Parts/") + partsPath);
    if (bytes.size() < 24 || !bytes.startsWith("\x89PNG\r\n\x1a\n") || bytes.mid(12, 4) != "IHDR")
        return {0, 0};
    auto be32 = [&](int at) {
        return int(quint8(bytes[at]) << 24 | quint8(bytes[at + 1]) << 16 | quint8(bytes[at + 2]) << 8
                   | quint8(bytes[at + 3]));
    };
    return {be32(16), be32(20)};
}

QJsonObject manifestEntry(const QString& file)
{
    for (const QJsonValue& picture : partsManifest().value(QStringLiteral("pictures")).toArray()) {
        if (picture.toObject().value(QStringLiteral("file")).toString() == file)
            return picture.toObject();
    }
    return {};
}

quint32 rgbaOf(const QString& hex)
{
    return quint32(hex.mid(1, 6).toUInt(nullptr, 16)) << 8 | 0xff;
}

QString relativeToParts(const QString& screenPath)
{
    return screenPath.mid(QStringLiteral("../Parts/").size());
}

}  // namespace

TEST(ScreenPictures, EveryManifestPictureIsBuiltWithItsSize)
{
    const QJsonArray pictures = partsManifest().value(QStringLiteral("pictures")).toArray();
    ASSERT_FALSE(pictures.isEmpty());
    for (const QJsonValue& value : pictures) {
        const QJsonObject picture = value.toObject();
        const QString file = picture.value(QStringLiteral("file")).toString();
        const auto size = pngSize(file);
        EXPECT_EQ(size.first, picture.value(QStringLiteral("width")).toInt()) << qPrintable(file);
        EXPECT_EQ(size.second, picture.value(QStringLiteral("height")).toInt()) << qPrintable(file);
    }
}

TEST(ScreenPictures, SizesAreThoseTheScreensPlaceThemFor)
{
    struct Case {
        const char* file;
        int width;
        int height;
    };
    const Case cases[] = {
        {"01時計画面/ボタン_出勤.png", 154, 55},
        {"01時計画面/ボタン_日替退_押せないボタン.png", 154, 55},
        {"01時計画面/メッセージ.png", 456, 28},
        {"01時計画面/時計画面_背景.png", 480, 272},
        {"01時計画面/オープニング.png", 480, 272},
        {"06_テンキー画面/テンキー画面01.png", 480, 272},
        {"07メッセージウインドウ画面/メッセージウインドウ_ボタン数3.png", 480, 272},
        {"03設定画面背景/メニュー枠.png", 217, 34},
        {"03設定画面背景/メニュー枠2.png", 300, 32},
        {"03設定画面背景/Qo設定メニュー画面_ボタン風パーツ.png", 165, 34},
        {"04非接触カードの確認画面/TypeA_7.png", 100, 40},
        {"10プロキシ設定/しない.png", 100, 28},
    };
    for (const Case& c : cases) {
        const auto size = pngSize(QString::fromUtf8(c.file));
        EXPECT_EQ(size, qMakePair(c.width, c.height)) << c.file;
    }
}

// Each key's touch area, as the toolkit places it with the keypad at (0, 0), lies on a key
// face: its centre is not the picture's background.
TEST(ScreenPictures, KeypadFacesLieUnderTheToolkitsTouchAreas)
{
    struct Case {
        const char* keyType;
        int edition;
    };
    const Case cases[] = {
        {"ID", ZSystem::Basic},          {"するしない", ZSystem::Basic}, {"使用するしない", ZSystem::Basic},
        {"自動手動", ZSystem::Basic},    {"1224", ZSystem::Basic},       {"音声モード", ZSystem::Basic},
        {"アドレス", ZSystem::Basic},    {"アドレスPING", ZSystem::Basic}, {"音量", ZSystem::Basic},
        {"動作モード", ZSystem::Basic},  {"動作モード", ZSystem::Cloud}, {"スタート", ZSystem::Basic},
    };
    for (const Case& c : cases) {
        const QString keyType = QString::fromUtf8(c.keyType);
        const QString file = relativeToParts(keypadlayout::imagePath(keyType, c.edition));
        const Rgba picture = decodePicture(file);
        ASSERT_FALSE(picture.isNull()) << qPrintable(file);
        const quint32 background = rgbaOf(manifestEntry(file).value(QStringLiteral("base")).toObject()
                                              .value(QStringLiteral("fill")).toString());
        for (const KeypadShape& shape : keypadlayout::shapes(keypadlayout::forKeyType(keyType, c.edition))) {
            const int cx = shape.x + shape.w / 2;
            const int cy = shape.y + shape.h / 2;
            EXPECT_NE(picture.at(cx, cy), background)
                << qPrintable(file) << " key " << qPrintable(shape.id) << " at " << cx << "," << cy;
        }
    }
}

// Every key face of the full keyboard's pages lies inside its key's touch area and clear of
// the touch areas of the keys sent after it, which the display server tries first: a touch
// anywhere on a face reaches the key it shows.
TEST(ScreenPictures, KeyboardFacesAnswerToTheirOwnKeys)
{
    using fullkeyboardkeys::Layout;
    for (const Layout layout : {Layout::Lower, Layout::Upper, Layout::Symbols}) {
        const QString file = relativeToParts(fullkeyboardkeys::imagePath(layout));
        QVector<QRect> keys;
        for (const KeypadShape& shape : fullkeyboardkeys::shapes(layout))
            keys << QRect(shape.x, shape.y, shape.w, shape.h);
        int faces = 0;
        for (const QJsonValue& value : manifestEntry(file).value(QStringLiteral("elements")).toArray()) {
            const QJsonObject element = value.toObject();
            if (element.value(QStringLiteral("kind")).toString() != QStringLiteral("key"))
                continue;
            ++faces;
            const QRect face(element.value(QStringLiteral("x")).toInt(), element.value(QStringLiteral("y")).toInt(),
                             element.value(QStringLiteral("w")).toInt(), element.value(QStringLiteral("h")).toInt());
            const QString name = file + QStringLiteral(" key \"%1\"").arg(element.value(QStringLiteral("label")).toString());
            int owner = -1;
            for (int k = 0; k < keys.size(); ++k) {
                if (keys[k].contains(face.center()))
                    owner = k;
            }
            ASSERT_GE(owner, 0) << qPrintable(name);
            EXPECT_TRUE(keys[owner].contains(face)) << qPrintable(name);
            for (int later = owner + 1; later < keys.size(); ++later) {
                EXPECT_FALSE(face.intersects(keys[later]))
                    << qPrintable(name) << " runs under the touch area at " << keys[later].x() << "," << keys[later].y();
            }
        }
        EXPECT_EQ(faces, keys.size()) << qPrintable(file);
    }
}

TEST(ScreenPictures, PanelsStandOutAndShowTheirSelection)
{
    const Rgba clock = decodePicture(QStringLiteral("01時計画面/時計画面_背景.png"));
    ASSERT_FALSE(clock.isNull());
    // Panel positions on the clock screen; each panel picture is drawn there at its own size.
    const QPoint positions[] = {{10, 155}, {10, 210}, {164, 155}, {164, 210}, {318, 155}, {318, 210}};
    const char* const kinds[] = {"出勤", "退勤", "外出", "再入", "日替退", "解錠", "Menu"};
    for (const char* kind : kinds) {
        const Rgba plain = decodePicture(QStringLiteral("01時計画面/ボタン_%1.png").arg(QString::fromUtf8(kind)));
        const Rgba selected = decodePicture(QStringLiteral("01時計画面/ボタン_%1_選択.png").arg(QString::fromUtf8(kind)));
        ASSERT_FALSE(plain.isNull() || selected.isNull()) << kind;
        const QPoint centre(plain.width / 2, plain.height / 2);
        for (const QPoint& at : positions) {
            EXPECT_NE(plain.at(centre.x(), centre.y()), clock.at(at.x() + centre.x(), at.y() + centre.y())) << kind;
            EXPECT_NE(selected.at(centre.x(), centre.y()), clock.at(at.x() + centre.x(), at.y() + centre.y())) << kind;
        }
        EXPECT_NE(plain.at(centre.x(), centre.y() + 15), selected.at(centre.x(), centre.y() + 15)) << kind;
    }
    const Rgba disabled = decodePicture(QStringLiteral("01時計画面/ボタン_日替退_押せないボタン.png"));
    const Rgba enabled = decodePicture(QStringLiteral("01時計画面/ボタン_日替退.png"));
    EXPECT_NE(disabled.at(77, 42), enabled.at(77, 42));
}

TEST(ScreenPictures, DigitsArePairwiseDifferentAndTransparentAroundTheFigure)
{
    QVector<Rgba> digits;
    for (int d = 0; d < 10; ++d) {
        digits.append(decodePicture(QStringLiteral("01時計画面/%1.png").arg(d)));
        ASSERT_FALSE(digits.last().isNull()) << d;
        EXPECT_EQ(digits.last().at(0, 0) & 0xff, 0u) << d;
    }
    for (int a = 0; a < 10; ++a) {
        for (int b = a + 1; b < 10; ++b)
            EXPECT_NE(digits[a].pixels, digits[b].pixels) << a << " and " << b;
    }
}

TEST(ScreenPictures, TheGeneratorGivesTheSameBytesEveryRun)
{
    QTemporaryDir again;
    ASSERT_TRUE(again.isValid());
    const QString manifest = QString::fromLocal8Bit(qgetenv("VNQ_SOURCE_DIR")) + QStringLiteral("/assets/parts/manifest.json");
    ASSERT_EQ(runTool(QStringLiteral(VNQ_MAKE_PARTS), {manifest, QStringLiteral(VNQ_IPAG_FONT), again.path()}), 0);
    for (const QString& file : manifestFiles()) {
        const QByteArray built = readBytes(builtAppDir() + QStringLiteral("/Parts/") + file);
        ASSERT_FALSE(built.isEmpty()) << qPrintable(file);
        EXPECT_EQ(readBytes(again.filePath(file)), built) << qPrintable(file);
    }
}

// A faulty manifest stops the generator with the entry named, before any picture is written.
TEST(ScreenPictures, AFaultyManifestStopsTheGeneratorNamingTheEntry)
{
    const QString good = QStringLiteral(
        R"({"file": "a/ok.png", "width": 20, "height": 10, "base": "transparent", "elements": []})");
    struct Case {
        const char* picture;
        const char* message;
    };
    const Case cases[] = {
        {R"({"file": "a/x.png", "width": 20, "height": 10, "base": "transparent",
             "elements": [{"kind": "circle", "x": 0, "y": 0, "w": 5, "h": 5}]})",
         "picture \"a/x.png\", element 0: unknown kind \"circle\""},
        {R"({"file": "a/x.png", "width": 20, "height": 10, "base": "transparent",
             "elements": [{"kind": "box", "x": 10, "y": 0, "w": 11, "h": 5}]})",
         "picture \"a/x.png\", element 0: 11x5 at (10, 0) lies outside the 20x10 picture"},
        {R"({"file": "a/x.png", "width": 20, "height": 10, "base": "transparent",
             "elements": [{"kind": "text", "x": 0, "y": -1, "w": 5, "h": 5, "colour": "#ffffff", "text": "A"}]})",
         "lies outside the 20x10 picture"},
        {R"({"file": "a/ok.png", "width": 20, "height": 10, "base": "transparent", "elements": []})",
         "picture \"a/ok.png\": duplicate file"},
        {R"({"file": "a/x.png", "width": 0, "height": 10, "base": "transparent", "elements": []})",
         "picture \"a/x.png\": size not positive"},
        {R"({"file": "a/x.png", "width": 20, "height": -4, "base": "transparent", "elements": []})",
         "picture \"a/x.png\": size not positive"},
        {R"({"file": "a/x.png", "width": 20, "height": 10, "base": "transparent",
             "elements": [{"kind": "face", "x": 0, "y": 0, "w": 5, "h": 5, "style": "nothing"}]})",
         "unknown style \"nothing\""},
        {R"({"file": "../x.png", "width": 20, "height": 10, "base": "transparent", "elements": []})",
         "file must be a relative .png path"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString manifest = dir.filePath(QStringLiteral("manifest.json"));
        QFile file(manifest);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((QStringLiteral(R"({"styles": {"box": {"top": "#000000"}}, "pictures": [)") + good
                    + QStringLiteral(", ") + QString::fromUtf8(c.picture) + QStringLiteral("]}"))
                       .toUtf8());
        file.close();
        QString errors;
        EXPECT_EQ(runTool(QStringLiteral(VNQ_MAKE_PARTS),
                          {manifest, QStringLiteral(VNQ_IPAG_FONT), dir.filePath(QStringLiteral("out"))}, &errors),
                  1)
            << c.message;
        EXPECT_TRUE(errors.contains(QString::fromUtf8(c.message))) << qPrintable(errors);
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out/a/ok.png")))) << c.message;
    }
}
