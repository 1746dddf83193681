#include "mylabel.h"

#include "mydebug.h"

#include <QByteArray>

#include <climits>

namespace {

// Byte offset of the first character of utf8 that would take the display width beyond
// width, or its size when everything fits. Never steps past the end, even after a
// truncated or invalid sequence.
int overflowOffset(const QByteArray& utf8, int width, int* usedWidth = nullptr)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.constData());
    const int size = utf8.size();
    int pos = 0;
    int total = 0;
    while (pos < size) {
        const int length = MyLabel::getUtf8Size(bytes + pos);
        const int charWidth = length == 1 ? 1 : 2;
        if (charWidth > width - total)
            break;
        total += charWidth;
        pos += qMin(length, size - pos);
    }
    if (usedWidth)
        *usedWidth = total;
    return pos;
}

}  // namespace

int MyLabel::getUtf8Size(const unsigned char* bytes)
{
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    // Each continuation test fails on a terminating zero byte, so nothing past it is read.
    if ((lead & 0xF8) == 0xF0 && (bytes[1] & 0xC0) == 0x80 && (bytes[2] & 0xC0) == 0x80
        && (bytes[3] & 0xC0) == 0x80)
        return 4;
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ここに来るのは変？";
    return 4;
}

int MyLabel::getLenght(const QString& text)
{
    int width = 0;
    overflowOffset(text.toUtf8(), INT_MAX, &width);
    return width;
}

QString MyLabel::Left(const QString& text, int width)
{
    const QByteArray utf8 = text.toUtf8();
    return QString::fromUtf8(utf8.left(overflowOffset(utf8, width)));
}

QString MyLabel::Right(const QString& text, int width)
{
    const QByteArray utf8 = text.toUtf8();
    return QString::fromUtf8(utf8.mid(overflowOffset(utf8, width)));
}
