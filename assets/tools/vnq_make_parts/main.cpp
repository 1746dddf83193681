// vnq_make_parts <manifest.json> <font.ttf> <output dir> [<stamp file>]
//
// Draws every picture the manifest describes into <output dir>/<file>. The whole manifest is
// checked before anything is written, so a faulty entry stops the build with its name and
// leaves the pictures as they were. A picture whose bytes would not change is left alone, so
// its time stamp shows when it last changed. The stamp file, when given, is written last.
#include "manifest.h"
#include "render.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "vnq_make_parts: %s\n", qPrintable(message));
    return 1;
}

bool writeIfChanged(const QString& path, const QByteArray& bytes)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return true;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: vnq_make_parts <manifest.json> <font.ttf> <output dir> [<stamp file>]\n");
        return 2;
    }
    // Pictures are drawn off screen: no display is needed, wherever the build runs.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString manifestPath = QString::fromLocal8Bit(argv[1]);
    QFile manifestFile(manifestPath);
    if (!manifestFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(manifestPath));
    PartManifest manifest;
    QString error;
    if (!readManifest(manifestFile.readAll(), manifest, error))
        return fail(QStringLiteral("%1: %2").arg(manifestPath, error));

    const QString fontPath = QString::fromLocal8Bit(argv[2]);
    const QStringList families = QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(fontPath));
    if (families.isEmpty())
        return fail(QStringLiteral("cannot load the font %1").arg(fontPath));

    const QDir out(QString::fromLocal8Bit(argv[3]));
    for (const PartPicture& picture : manifest.pictures) {
        const QString path = out.filePath(picture.file);
        if (!writeIfChanged(path, renderPicture(manifest, picture, families.first())))
            return fail(QStringLiteral("cannot write %1").arg(path));
    }
    if (argc == 5) {
        QFile stamp(QString::fromLocal8Bit(argv[4]));
        if (!stamp.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || stamp.write(QByteArray::number(manifest.pictures.size()) + " pictures\n") < 0)
            return fail(QStringLiteral("cannot write %1").arg(stamp.fileName()));
    }
    return 0;
}
