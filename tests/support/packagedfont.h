#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

// ipag.ttf of the Debian package fonts-ipafont-gothic that the build installs; empty when the
// package is missing.
inline std::string packagedFont()
{
    QProcess dpkg;
    dpkg.start(QStringLiteral("dpkg"), {QStringLiteral("-L"), QStringLiteral("fonts-ipafont-gothic")});
    dpkg.waitForFinished(10000);
    for (const QString& line : QString::fromUtf8(dpkg.readAllStandardOutput()).split('\n'))
        if (line.endsWith(QLatin1String("/ipag.ttf")))
            return line.toStdString();
    return std::string();
}

#define VNQ_NO_FONT_MESSAGE "ipag.ttf not found: install the Debian package fonts-ipafont-gothic"
