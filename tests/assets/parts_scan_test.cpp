// Every picture the application's sources name must be one the build draws: the sources are
// scanned for "../Parts/" literals, templates are filled with the values the screens put in,
// and a name that cannot be resolved fails as surely as a missing picture.
#include "assetfiles.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

using namespace vnq::test;

namespace {

const QString PartsPrefix = QStringLiteral("../Parts/");

// What the screens put into each picture template (relative to /VnQo/app/Parts).
QMap<QString, QStringList> templateFillings()
{
    QStringList digits;
    for (int d = 0; d < 10; ++d)
        digits << QString::number(d);
    return {
        {QStringLiteral("06_テンキー画面/テンキー画面%1.png"),
         {"01", "02", "03", "03a", "03b", "04a", "05", "06", "06c", "07", "07_2"}},
        {QStringLiteral("07メッセージウインドウ画面/メッセージウインドウ_ボタン数%1.png"), {"0", "1", "2", "3"}},
        {QStringLiteral("05無線LAN設定/アンテナ%1.png"), {"1", "2", "3", "4"}},
        {QStringLiteral("05無線LAN設定/%1.png"), {"OPEN", "WPA", "WPA2"}},
        {QStringLiteral("10プロキシ設定/%1.png"),
         {QStringLiteral("有効"), QStringLiteral("無効"), QStringLiteral("する"), QStringLiteral("しない")}},
        {QStringLiteral("01時計画面/%1.png"), digits},
        {QStringLiteral("01時計画面/アンテナ%1.png"), {"-1", "0", "1", "2", "3", "4"}},
    };
}

struct ScanResult {
    QSet<QString> pictures;   // relative to /VnQo/app/Parts
    QStringList unresolved;   // literals that name no definite picture
};

// Adds the pictures a name stands for: itself, or every filling of its template.
void resolve(const QString& name, const QString& literal, ScanResult& result)
{
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    if (!name.contains(placeholder)) {
        result.pictures.insert(name);
        return;
    }
    const auto fillings = templateFillings();
    if (!fillings.contains(name) || name.count(QLatin1Char('%')) != 1) {
        result.unresolved << literal;
        return;
    }
    for (const QString& filling : fillings.value(name))
        result.pictures.insert(QString(name).replace(QStringLiteral("%1"), filling));
}

// The pictures one source text names. A literal "../Parts/<folder>/" makes the bare ".png"
// literals of the same source names in that folder.
void scanSource(const QString& source, ScanResult& result)
{
    static const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)")re"));
    QStringList folders;
    QStringList bareNames;
    for (auto it = literal.globalMatch(source); it.hasNext();) {
        const QString text = it.next().captured(1);
        const int at = text.indexOf(PartsPrefix);
        if (at < 0) {
            if (text.endsWith(QStringLiteral(".png")))
                bareNames << text;
            continue;
        }
        const QString path = text.mid(at + PartsPrefix.size());
        if (at > 0)
            result.unresolved << text;
        else if (path.endsWith(QLatin1Char('/')))
            folders << path;
        else if (path.endsWith(QStringLiteral(".png")))
            resolve(path, text, result);
        else
            result.unresolved << text;
    }
    if (folders.isEmpty())
        return;
    // A folder whose pictures the source never names is a name made at run time.
    if (bareNames.isEmpty()) {
        for (const QString& folder : folders)
            result.unresolved << PartsPrefix + folder;
        return;
    }
    for (const QString& name : bareNames) {
        if (name.contains(QLatin1Char('/'))) {
            result.unresolved << name;
            continue;
        }
        // A bare name belongs to the first folder it resolves in.
        bool found = false;
        for (const QString& folder : folders) {
            ScanResult inFolder;
            resolve(folder + name, name, inFolder);
            if (!inFolder.unresolved.isEmpty())
                continue;
            result.pictures.unite(inFolder.pictures);
            found = true;
            break;
        }
        if (!found)
            result.unresolved << name;
    }
}

ScanResult scanApplication()
{
    ScanResult result;
    const QString appDir = QString::fromLocal8Bit(qgetenv("VNQ_SOURCE_DIR")) + QStringLiteral("/app");
    QDirIterator it(appDir, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        scanSource(QString::fromUtf8(readBytes(it.next())), result);
    return result;
}

}  // namespace

TEST(PartsScan, EveryPictureTheApplicationNamesIsInTheManifest)
{
    const ScanResult scan = scanApplication();
    EXPECT_TRUE(scan.unresolved.isEmpty()) << qPrintable(scan.unresolved.join(QStringLiteral("\n")));
    // The keypad's template is in the toolkit, so an empty scan means the scan is broken.
    EXPECT_TRUE(scan.pictures.contains(QStringLiteral("06_テンキー画面/テンキー画面07_2.png")));
    const auto files = manifestFiles();
    const QSet<QString> manifest(files.begin(), files.end());
    for (const QString& picture : scan.pictures)
        EXPECT_TRUE(manifest.contains(picture)) << "not in the manifest: " << qPrintable(picture);
}

TEST(PartsScan, ResolvesLiteralsTemplatesAndFolders)
{
    struct Case {
        const char* source;
        QStringList pictures;
        QStringList unresolved;
    };
    const Case cases[] = {
        {R"(QStringLiteral("../Parts/09クラウド画面/通信_画面.png"))", {"09クラウド画面/通信_画面.png"}, {}},
        {R"(QString("../Parts/07メッセージウインドウ画面/メッセージウインドウ_ボタン数%1.png").arg(n))",
         {"07メッセージウインドウ画面/メッセージウインドウ_ボタン数0.png",
          "07メッセージウインドウ画面/メッセージウインドウ_ボタン数1.png",
          "07メッセージウインドウ画面/メッセージウインドウ_ボタン数2.png",
          "07メッセージウインドウ画面/メッセージウインドウ_ボタン数3.png"},
         {}},
        {R"(const char* dir = "../Parts/01時計画面/"; f(dir, "col.png"); g(dir, "アンテナ%1.png");)",
         {"01時計画面/col.png", "01時計画面/アンテナ-1.png", "01時計画面/アンテナ0.png", "01時計画面/アンテナ1.png",
          "01時計画面/アンテナ2.png", "01時計画面/アンテナ3.png", "01時計画面/アンテナ4.png"},
         {}},
        {R"(QString("../Parts/06_テンキー画面/テンキー画面%2.png"))", {}, {"../Parts/06_テンキー画面/テンキー画面%2.png"}},
        {R"(QString("../Parts/06_テンキー画面/") + suffix)", {}, {"../Parts/06_テンキー画面/"}},
        {R"(QString("../Parts/06_テンキー画面/画面") + suffix + ".png")", {}, {"../Parts/06_テンキー画面/画面"}},
        {R"(x("../Parts/02VantroQoメニュー背景/"); y("%1_b.png");)", {}, {"%1_b.png"}},
    };
    for (const Case& c : cases) {
        ScanResult result;
        scanSource(QString::fromUtf8(c.source), result);
        QStringList pictures(result.pictures.begin(), result.pictures.end());
        pictures.sort();
        QStringList expected = c.pictures;
        expected.sort();
        EXPECT_EQ(pictures.join(QLatin1Char('\n')), expected.join(QLatin1Char('\n'))) << c.source;
        EXPECT_EQ(result.unresolved.join(QLatin1Char('\n')), c.unresolved.join(QLatin1Char('\n'))) << c.source;
    }
}
