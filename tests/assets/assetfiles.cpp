#include "assetfiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <stb/stb_image.h>

namespace vnq::test {

QString builtAppDir()
{
    return QString::fromLocal8Bit(qgetenv("VNQ_BUILD_DIR")) + QStringLiteral("/board/VnQo/app");
}

QJsonObject partsManifest()
{
    const QString path = QString::fromLocal8Bit(qgetenv("VNQ_SOURCE_DIR")) + QStringLiteral("/assets/parts/manifest.json");
    return QJsonDocument::fromJson(readBytes(path)).object();
}

QVector<QString> manifestFiles()
{
    QVector<QString> files;
    for (const QJsonValue& picture : partsManifest().value(QStringLiteral("pictures")).toArray())
        files.append(picture.toObject().value(QStringLiteral("file")).toString());
    return files;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Rgba decodePicture(const QString& partsPath)
{
    const QByteArray bytes = readBytes(builtAppDir() + QStringLiteral("/Parts/") + partsPath);
    Rgba picture;
    int channels = 0;
    unsigned char* data = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                                bytes.size(), &picture.width, &picture.height, &channels, 4);
    if (!data)
        return Rgba{};
    picture.pixels.resize(picture.width * picture.height);
    for (int i = 0; i < picture.pixels.size(); ++i) {
        const unsigned char* p = data + 4 * i;
        picture.pixels[i] = quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
    }
    stbi_image_free(data);
    return picture;
}

int runTool(const QString& program, const QStringList& arguments, QString* errorOutput)
{
    QProcess process;
    // The drawing tool's font and platform libraries keep allocations to the end.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("ASAN_OPTIONS")))
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000))
        return -1;
    if (errorOutput)
        *errorOutput = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace vnq::test
