#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QVector>

namespace vnq::test {

// The build's board tree of the application (<build>/board/VnQo/app).
QString builtAppDir();

// The picture manifest of the sources, parsed; an empty object when it cannot be read.
QJsonObject partsManifest();

// Every picture file the manifest lists, relative to /VnQo/app/Parts.
QVector<QString> manifestFiles();

QByteArray readBytes(const QString& path);

// A decoded picture as 8-bit RGBA; empty when the file is not a readable image.
struct Rgba {
    int width = 0;
    int height = 0;
    QVector<quint32> pixels;  // 0xRRGGBBAA, row by row

    bool isNull() const { return pixels.isEmpty(); }
    quint32 at(int x, int y) const { return pixels[y * width + x]; }
};
Rgba decodePicture(const QString& partsPath);

// Runs a program with arguments; returns its exit code (-1 when it did not run) and its
// error output.
int runTool(const QString& program, const QStringList& arguments, QString* errorOutput = nullptr);

}  // namespace vnq::test
