#pragma once

#include "manifest.h"

#include <QByteArray>
#include <QString>

// Draws one picture of the manifest with the font family `family` and returns its PNG
// bytes: 32-bit with alpha where the picture's base is transparent, 24-bit otherwise. The
// same manifest and font give the same bytes.
QByteArray renderPicture(const PartManifest& manifest, const PartPicture& picture, const QString& family);
