#include "mylabel.h"

#include <QUrl>

namespace {

// Every UTF-8 byte except the unreserved characters (letters, digits, "-", ".", "_", "~")
// as "%XX", so no text can break the XML around it.
QString percentEncoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// printf's "%g": at most 6 significant digits, no trailing zeros.
QString number(float value)
{
    return QString::asprintf("%g", double(value));
}

void appendText(QString* out, const char* element, FontStyle* style)
{
    style->text = percentEncoded(style->text);
    *out += QStringLiteral("<%1><pos><x>%2</x><y>%3</y></pos><px>%4</px>")
                .arg(QLatin1String(element))
                .arg(style->x)
                .arg(style->y)
                .arg(number(style->px));
    if (style->margin > 0)
        *out += QStringLiteral("<margin>%1</margin>").arg(number(style->margin));
    *out += QStringLiteral("<color><r>%1</r><g>%2</g><b>%3</b><a>%4</a></color><text>%5</text></%6>")
                .arg(number(style->r), number(style->g), number(style->b), number(style->a), style->text,
                     QLatin1String(element));
}

}  // namespace

void MyLabel::setItem(LabelItemList* item)
{
    QString out = QStringLiteral("<item>");
    if (!item->id.isEmpty())
        out += QStringLiteral("<id>%1</id>").arg(wireId(item->id));

    const bool sized = item->h >= 1 && item->w >= 1;
    if (!item->filename.isEmpty() || sized) {
        out += QStringLiteral("<backbround><pos><x>%1</x><y>%2</y></pos>").arg(item->x).arg(item->y);
        if (sized)
            out += QStringLiteral("<size><h>%1</h><w>%2</w></size>").arg(item->h).arg(item->w);
        if (!item->filename.isEmpty()) {
            item->filename = percentEncoded(item->filename);
            out += QStringLiteral("<filename>%1</filename>").arg(item->filename);
        }
        out += QStringLiteral("</backbround>");
    }

    if (!item->label.text.isEmpty())
        appendText(&out, "label", &item->label);
    if (!item->sublabel.text.isEmpty())
        appendText(&out, "sublabel", &item->sublabel);

    out += QStringLiteral("</item>");
    buffer += out;
}
