// Reading one screen message: the element table and the item sub-parsers.
#include "guimodule.h"

#include <QXmlStreamReader>

#include <functional>

namespace vistrel {
namespace {

// Decimal text with blanks around it; anything else counts as 0.
int integerOf(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Every "%" with two hexadecimal digits becomes that byte; the bytes are read as UTF-8.
QString percentDecoded(const QString& text)
{
    const QByteArray in = text.toUtf8();
    QByteArray out;
    out.reserve(in.size());
    for (int i = 0; i < in.size(); ++i) {
        if (in[i] == '%' && i + 2 < in.size()) {
            const int high = hexDigit(QLatin1Char(in[i + 1])), low = hexDigit(QLatin1Char(in[i + 2]));
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += in[i];
    }
    return QString::fromUtf8(out);
}

// Reads the children of the element the reader stands on, up to its end; a child that the
// handler does not take is skipped. Ends early on an XML error.
void readChildren(QXmlStreamReader& xml, const std::function<bool(const QStringRef&)>& child)
{
    const QString name = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.hasError() || (xml.isEndElement() && xml.name() == name))
            return;
        if (xml.isStartElement() && !child(xml.name()))
            xml.skipCurrentElement();
    }
}

int readInteger(QXmlStreamReader& xml)
{
    return integerOf(xml.readElementText());
}

}  // namespace

void GuiModule::parsePoint(QXmlStreamReader& xml, QPoint& point)
{
    readChildren(xml, [&](const QStringRef& name) {
        if (name == QLatin1String("x"))
            point.setX(readInteger(xml));
        else if (name == QLatin1String("y"))
            point.setY(readInteger(xml));
        else
            return false;
        return true;
    });
}

void GuiModule::parseSize(QXmlStreamReader& xml, QSize& size)
{
    readChildren(xml, [&](const QStringRef& name) {
        if (name == QLatin1String("w"))
            size.setWidth(readInteger(xml));
        else if (name == QLatin1String("h"))
            size.setHeight(readInteger(xml));
        else
            return false;
        return true;
    });
}

void GuiModule::parseColor(QXmlStreamReader& xml, MyColor& color)
{
    readChildren(xml, [&](const QStringRef& name) {
        float* channel = name == QLatin1String("r")   ? &color.r
                         : name == QLatin1String("g") ? &color.g
                         : name == QLatin1String("b") ? &color.b
                         : name == QLatin1String("a") ? &color.a
                                                      : nullptr;
        if (!channel)
            return false;
        *channel = static_cast<float>(readInteger(xml));
        return true;
    });
}

void GuiModule::parseBackStyle(QXmlStreamReader& xml, BackStyle& back)
{
    readChildren(xml, [&](const QStringRef& name) {
        if (name == QLatin1String("pos"))
            parsePoint(xml, back.pos);
        else if (name == QLatin1String("size"))
            parseSize(xml, back.size);
        else if (name == QLatin1String("filename"))
            back.filename = percentDecoded(xml.readElementText());
        else
            return false;
        return true;
    });
}

void GuiModule::parseLabelStyle(QXmlStreamReader& xml, FontStyle& style)
{
    style.margin = 0;
    readChildren(xml, [&](const QStringRef& name) {
        if (name == QLatin1String("pos"))
            parsePoint(xml, style.pos);
        else if (name == QLatin1String("px"))
            style.px = static_cast<float>(readInteger(xml));
        else if (name == QLatin1String("color"))
            parseColor(xml, style.color);
        else if (name == QLatin1String("margin"))
            style.margin = static_cast<float>(readInteger(xml));
        else if (name == QLatin1String("text"))
            style.text = percentDecoded(xml.readElementText());
        else
            return false;
        return true;
    });
}

void GuiModule::processMessage(const QString& message)
{
    newMessageStarted();
    LabelItemList item;
    QXmlStreamReader xml(QStringLiteral("<ROOT>") + message + QStringLiteral("</ROOT>"));
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        const QStringRef name = xml.name();
        if (xml.isStartElement()) {
            if (name == QLatin1String("num"))
                integerOf(xml.readElementText());
            else if (name == QLatin1String("action"))
                runAction(xml.readElementText());
            else if (name == QLatin1String("id"))
                item.id = xml.readElementText();
            else if (name == QLatin1String("backbround"))
                parseBackStyle(xml, item.back);
            else if (name == QLatin1String("label"))
                parseLabelStyle(xml, item.label);
            else if (name == QLatin1String("sublabel"))
                parseLabelStyle(xml, item.sublabel);
        } else if (xml.isEndElement() && name == QLatin1String("item")) {
            endOfItem(item);
        }
    }
}

}  // namespace vistrel
