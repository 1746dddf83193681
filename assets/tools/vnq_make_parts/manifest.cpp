#include "manifest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace {

// "#rrggbb" or "#rrggbbaa".
bool parseColour(const QJsonValue& value, QColor& colour)
{
    static const QRegularExpression form(QStringLiteral("^#([0-9a-fA-F]{6})([0-9a-fA-F]{2})?$"));
    const auto match = form.match(value.toString());
    if (!match.hasMatch())
        return false;
    const uint rgb = match.captured(1).toUInt(nullptr, 16);
    const int alpha = match.captured(2).isEmpty() ? 255 : match.captured(2).toInt(nullptr, 16);
    colour = QColor(int(rgb >> 16), int((rgb >> 8) & 0xff), int(rgb & 0xff), alpha);
    return true;
}

bool readStyle(const QString& name, const QJsonObject& object, PartStyle& style, QString& error)
{
    if (!parseColour(object.value(QStringLiteral("top")), style.top)) {
        error = QStringLiteral("style \"%1\": \"top\" is not a colour").arg(name);
        return false;
    }
    style.bottom = style.top;
    if (object.contains(QStringLiteral("bottom"))
        && !parseColour(object.value(QStringLiteral("bottom")), style.bottom)) {
        error = QStringLiteral("style \"%1\": \"bottom\" is not a colour").arg(name);
        return false;
    }
    if (object.contains(QStringLiteral("border"))
        && !parseColour(object.value(QStringLiteral("border")), style.border)) {
        error = QStringLiteral("style \"%1\": \"border\" is not a colour").arg(name);
        return false;
    }
    style.borderWidth = style.border.isValid() ? object.value(QStringLiteral("borderWidth")).toInt(1) : 0;
    style.radius = object.value(QStringLiteral("radius")).toInt(0);
    style.text = Qt::white;
    if (object.contains(QStringLiteral("text"))
        && !parseColour(object.value(QStringLiteral("text")), style.text)) {
        error = QStringLiteral("style \"%1\": \"text\" is not a colour").arg(name);
        return false;
    }
    return true;
}

bool kindFromName(const QString& name, PartElement::Kind& kind)
{
    static const QMap<QString, PartElement::Kind> kinds = {
        {QStringLiteral("face"), PartElement::Kind::Face},
        {QStringLiteral("key"), PartElement::Kind::Key},
        {QStringLiteral("box"), PartElement::Kind::Box},
        {QStringLiteral("band"), PartElement::Kind::Band},
        {QStringLiteral("text"), PartElement::Kind::Text},
    };
    auto it = kinds.find(name);
    if (it == kinds.end())
        return false;
    kind = *it;
    return true;
}

bool alignFromName(const QString& name, Qt::Alignment& align)
{
    if (name.isEmpty() || name == QStringLiteral("centre"))
        align = Qt::AlignHCenter;
    else if (name == QStringLiteral("left"))
        align = Qt::AlignLeft;
    else if (name == QStringLiteral("right"))
        align = Qt::AlignRight;
    else
        return false;
    return true;
}

// Reads one element of `picture`; `where` names the element in messages.
bool readElement(const QJsonObject& object, const PartPicture& picture, const PartManifest& manifest,
                 PartElement& element, const QString& where, QString& error)
{
    const QString kindName = object.value(QStringLiteral("kind")).toString();
    if (!kindFromName(kindName, element.kind)) {
        error = QStringLiteral("%1: unknown kind \"%2\"").arg(where, kindName);
        return false;
    }
    element.x = object.value(QStringLiteral("x")).toInt(-1);
    element.y = object.value(QStringLiteral("y")).toInt(-1);
    element.w = object.value(QStringLiteral("w")).toInt(0);
    element.h = object.value(QStringLiteral("h")).toInt(0);
    if (element.w <= 0 || element.h <= 0) {
        error = QStringLiteral("%1: size not positive").arg(where);
        return false;
    }
    if (element.x < 0 || element.y < 0 || element.x + element.w > picture.width
        || element.y + element.h > picture.height) {
        error = QStringLiteral("%1: %2x%3 at (%4, %5) lies outside the %6x%7 picture")
                    .arg(where).arg(element.w).arg(element.h).arg(element.x).arg(element.y)
                    .arg(picture.width).arg(picture.height);
        return false;
    }
    element.size = object.value(QStringLiteral("size")).toInt(20);
    if (element.size <= 0) {
        error = QStringLiteral("%1: text size not positive").arg(where);
        return false;
    }
    if (!alignFromName(object.value(QStringLiteral("align")).toString(), element.align)) {
        error = QStringLiteral("%1: unknown alignment").arg(where);
        return false;
    }
    if (element.kind == PartElement::Kind::Text) {
        element.label = object.value(QStringLiteral("text")).toString();
        if (!parseColour(object.value(QStringLiteral("colour")), element.colour)) {
            error = QStringLiteral("%1: \"colour\" is not a colour").arg(where);
            return false;
        }
        return true;
    }
    element.label = object.value(QStringLiteral("label")).toString();
    element.style = object.value(QStringLiteral("style")).toString(kindName);
    if (!manifest.styles.contains(element.style)) {
        error = QStringLiteral("%1: unknown style \"%2\"").arg(where, element.style);
        return false;
    }
    return true;
}

bool readBase(const QJsonValue& base, PartPicture& picture, const QString& where, QString& error)
{
    if (base.toString() == QStringLiteral("transparent")) {
        picture.transparent = true;
        return true;
    }
    const QJsonObject object = base.toObject();
    if (object.contains(QStringLiteral("fill")) && parseColour(object.value(QStringLiteral("fill")), picture.baseTop)) {
        picture.baseBottom = picture.baseTop;
        return true;
    }
    const QJsonArray gradient = object.value(QStringLiteral("gradient")).toArray();
    if (gradient.size() == 2 && parseColour(gradient[0], picture.baseTop)
        && parseColour(gradient[1], picture.baseBottom))
        return true;
    error = QStringLiteral("%1: base is neither \"transparent\", a fill nor a gradient").arg(where);
    return false;
}

}  // namespace

bool readManifest(const QByteArray& json, PartManifest& manifest, QString& error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull()) {
        error = QStringLiteral("not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
        return false;
    }
    const QJsonObject root = document.object();
    const QJsonObject styles = root.value(QStringLiteral("styles")).toObject();
    for (auto it = styles.begin(); it != styles.end(); ++it) {
        PartStyle style;
        if (!readStyle(it.key(), it.value().toObject(), style, error))
            return false;
        manifest.styles.insert(it.key(), style);
    }

    QSet<QString> files;
    const QJsonArray pictures = root.value(QStringLiteral("pictures")).toArray();
    for (int i = 0; i < pictures.size(); ++i) {
        const QJsonObject object = pictures[i].toObject();
        PartPicture picture;
        picture.file = object.value(QStringLiteral("file")).toString();
        const QString where = picture.file.isEmpty() ? QStringLiteral("picture %1").arg(i)
                                                     : QStringLiteral("picture \"%1\"").arg(picture.file);
        if (picture.file.isEmpty() || !picture.file.endsWith(QStringLiteral(".png"))
            || picture.file.startsWith(QLatin1Char('/')) || picture.file.contains(QStringLiteral(".."))) {
            error = QStringLiteral("%1: file must be a relative .png path").arg(where);
            return false;
        }
        if (files.contains(picture.file)) {
            error = QStringLiteral("%1: duplicate file").arg(where);
            return false;
        }
        files.insert(picture.file);
        picture.width = object.value(QStringLiteral("width")).toInt(0);
        picture.height = object.value(QStringLiteral("height")).toInt(0);
        if (picture.width <= 0 || picture.height <= 0) {
            error = QStringLiteral("%1: size not positive").arg(where);
            return false;
        }
        if (!readBase(object.value(QStringLiteral("base")), picture, where, error))
            return false;
        const QJsonArray elements = object.value(QStringLiteral("elements")).toArray();
        for (int e = 0; e < elements.size(); ++e) {
            PartElement element;
            const QString elementWhere = QStringLiteral("%1, element %2").arg(where).arg(e);
            if (!readElement(elements[e].toObject(), picture, manifest, element, elementWhere, error))
                return false;
            picture.elements.append(element);
        }
        manifest.pictures.append(picture);
    }
    if (manifest.pictures.isEmpty()) {
        error = QStringLiteral("no pictures");
        return false;
    }
    return true;
}
