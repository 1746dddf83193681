#pragma once

#include <QColor>
#include <QMap>
#include <QString>
#include <QVector>

// The description of the screen pictures, read from assets/parts/manifest.json.
//
// A style names the colours of a drawn rectangle: a vertical gradient from top to bottom (a
// plain fill when both are the same), an optional border, the corner radius and the colour of
// the label written on it.
struct PartStyle {
    QColor top;
    QColor bottom;
    QColor border;  // invalid: no border
    int borderWidth = 0;
    int radius = 0;
    QColor text;
};

// One drawn element. The rectangle kinds ("face": rounded button face with a centred label,
// "key": keypad key, "box": framed field, "band": title band) fill x, y, w, h with their style
// and centre their label in it; "text" writes its text in the box x, y, w, h, aligned left,
// centred or right and centred vertically.
struct PartElement {
    enum class Kind { Face, Key, Box, Band, Text };
    Kind kind = Kind::Box;
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    QString style;
    QString label;  // the label of a rectangle, the text of a text element
    int size = 0;   // pixel size of the label or text
    Qt::Alignment align = Qt::AlignHCenter;
    QColor colour;  // text elements only
};

// One picture: its file under /VnQo/app/Parts, its size, its base (transparent, a fill or a
// vertical gradient) and what is drawn on it, in order.
struct PartPicture {
    QString file;
    int width = 0;
    int height = 0;
    bool transparent = false;
    QColor baseTop;
    QColor baseBottom;
    QVector<PartElement> elements;
};

struct PartManifest {
    QMap<QString, PartStyle> styles;
    QVector<PartPicture> pictures;
};

// Reads and checks a manifest. A fault (unreadable JSON, unknown element kind or style,
// element outside its picture, duplicate file, size not positive, bad colour) leaves
// `error` naming the entry and returns false.
bool readManifest(const QByteArray& json, PartManifest& manifest, QString& error);
