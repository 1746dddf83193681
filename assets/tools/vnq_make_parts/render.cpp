#include "render.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QFont fontOf(const QString& family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    // Only the project's own font draws, whatever else the machine has installed.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferAntialias));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QBrush verticalBrush(const QRectF& rect, const QColor& top, const QColor& bottom)
{
    if (top == bottom)
        return QBrush(top);
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return QBrush(gradient);
}

int defaultRadius(PartElement::Kind kind)
{
    switch (kind) {
    case PartElement::Kind::Face:
        return 8;
    case PartElement::Kind::Key:
        return 4;
    default:
        return 0;
    }
}

void drawRectangle(QPainter& painter, const PartStyle& style, const PartElement& element, const QString& family)
{
    const QRectF outer(element.x, element.y, element.w, element.h);
    const qreal inset = style.borderWidth / 2.0;
    const QRectF shape = outer.adjusted(inset, inset, -inset, -inset);
    const int radius = style.radius > 0 ? style.radius : defaultRadius(element.kind);
    QPainterPath path;
    path.addRoundedRect(shape, radius, radius);
    painter.setBrush(verticalBrush(shape, style.top, style.bottom));
    if (style.borderWidth > 0)
        painter.setPen(QPen(style.border, style.borderWidth));
    else
        painter.setPen(Qt::NoPen);
    painter.drawPath(path);
    if (!element.label.isEmpty()) {
        painter.setFont(fontOf(family, element.size));
        painter.setPen(style.text);
        painter.drawText(outer, int(element.align | Qt::AlignVCenter), element.label);
    }
}

void drawText(QPainter& painter, const PartElement& element, const QString& family)
{
    painter.setFont(fontOf(family, element.size));
    painter.setPen(element.colour);
    painter.drawText(QRectF(element.x, element.y, element.w, element.h),
                     int(element.align | Qt::AlignVCenter), element.label);
}

}  // namespace

QByteArray renderPicture(const PartManifest& manifest, const PartPicture& picture, const QString& family)
{
    QImage image(picture.width, picture.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        if (!picture.transparent) {
            const QRectF all(0, 0, picture.width, picture.height);
            painter.fillRect(all, verticalBrush(all, picture.baseTop, picture.baseBottom));
        }
        for (const PartElement& element : picture.elements) {
            if (element.kind == PartElement::Kind::Text)
                drawText(painter, element, family);
            else
                drawRectangle(painter, manifest.styles.value(element.style), element, family);
        }
    }
    const QImage out = picture.transparent ? image.convertToFormat(QImage::Format_ARGB32)
                                           : image.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    out.save(&buffer, "PNG");
    return bytes;
}
