#include "firmwareconverter.h"

#include "debugline.h"
#include "heartbeat.h"
#include "mydebug.h"

#include <QFile>

namespace {

const QByteArray resultOpen = QByteArrayLiteral("<result>");
const QByteArray resultClose = QByteArrayLiteral("</result>");
const QByteArray dataOpen = QByteArrayLiteral("<firmware_data>");
const QByteArray dataClose = QByteArrayLiteral("</firmware_data>");

int base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// The piece as text: up to its first NUL byte.
QByteArray asText(QByteArray piece)
{
    const int nul = piece.indexOf('\0');
    if (nul >= 0)
        piece.truncate(nul);
    return piece;
}

}  // namespace

QByteArray Base64Stream::feed(const QByteArray& text)
{
    QByteArray out;
    for (const char c : text) {
        const int value = base64Value(c);
        if (value < 0)
            continue;
        ++taken;
        pending.append(char(value));
        if (pending.size() == 4) {
            const quint32 group = (quint32(quint8(pending[0])) << 18) | (quint32(quint8(pending[1])) << 12)
                | (quint32(quint8(pending[2])) << 6) | quint32(quint8(pending[3]));
            out.append(char(group >> 16)).append(char(group >> 8)).append(char(group));
            pending.clear();
        }
    }
    return out;
}

QByteArray Base64Stream::finish()
{
    QByteArray out;
    if (pending.size() >= 2) {
        const quint32 group = (quint32(quint8(pending[0])) << 18) | (quint32(quint8(pending[1])) << 12)
            | (pending.size() > 2 ? quint32(quint8(pending[2])) << 6 : 0);
        out.append(char(group >> 16));
        if (pending.size() == 3)
            out.append(char(group >> 8));
    }
    pending.clear();
    return out;
}

FirmwareConverter::FirmwareConverter(QString receivePath, QString imagePath, Expected expected)
    : receivePath(std::move(receivePath))
    , imagePath(std::move(imagePath))
    , expected(std::move(expected))
{
}

int FirmwareConverter::convert()
{
    QFile receive(receivePath);
    if (!receive.open(QIODevice::ReadOnly)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "一時ファームファイル オープン失敗";
        return Refused;
    }
    const QByteArray first = asText(receive.read(pieceBytes));
    const int open = first.indexOf(resultOpen);
    const int close = first.indexOf(resultClose);
    if (open < 0 || close < 0) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ファームダウンロード失敗" << open << close;
        return Refused;
    }
    const int code = QString::fromLatin1(first.mid(open + resultOpen.size(), close - open - resultOpen.size())).toInt();
    if (code != 0) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "サーバエラー" << code;
        return code;
    }
    if (!first.contains(dataOpen)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "BASE64データがない";
        return Refused;
    }
    QFile::remove(imagePath);
    QFile image(imagePath);
    if (!image.open(QIODevice::WriteOnly)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ファームファイル オープン失敗";
        return Refused;
    }

    bool closed = false;
    const int written = decodeInto(&receive, &image, first, receive.size(), &closed);
    image.close();
    if (written != 0 || !closed) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ファームイメージ異常(途中終了)";
        QFile::remove(imagePath);
        return Refused;
    }

    // Only the image the version answer announced is installed.
    if (!matches(imagePath, expected)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ファームイメージ異常";
        QFile::remove(imagePath);
        return Refused;
    }
    return 0;
}

bool FirmwareConverter::matches(const QString& imagePath, const Expected& expected)
{
    QFile image(imagePath);
    QCryptographicHash md5(QCryptographicHash::Md5);
    if (expected.size <= 0 || expected.md5.isEmpty() || !image.open(QIODevice::ReadOnly) || !md5.addData(&image))
        return false;
    return image.size() == expected.size
        && QString::fromLatin1(md5.result().toHex()).compare(expected.md5.trimmed(), Qt::CaseInsensitive) == 0;
}

// Decodes the data between the tags, piece after piece; a closing tag split by a piece
// boundary is found across it. 0 when every write succeeded.
int FirmwareConverter::decodeInto(QFile* receive, QFile* image, QByteArray piece, qint64 total, bool* closed)
{
    Base64Stream stream;
    // The end of the text before this piece that could begin a closing tag.
    QByteArray tail;
    const int start = piece.indexOf(dataOpen);
    piece = piece.mid(start + dataOpen.size());
    while (true) {
        ++selftick;
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Convert:" << stream.consumed() << total;
        if (onPiece)
            onPiece(stream.consumed(), total);

        const QByteArray text = tail + piece;
        const int end = text.indexOf(dataClose);
        QByteArray data;
        if (end >= 0) {
            data = text.left(end);
            *closed = true;
        } else {
            // Keep back what could be the start of the closing tag.
            const int keep = qMin(text.size(), dataClose.size() - 1);
            data = text.left(text.size() - keep);
            tail = text.right(keep);
        }
        const QByteArray bytes = stream.feed(data);
        if (image->write(bytes) != bytes.size())
            return Refused;
        if (*closed)
            break;
        piece = asText(receive->read(pieceBytes));
        if (piece.isEmpty())
            break;
        if (afterPiece)
            afterPiece();
    }
    const QByteArray last = stream.finish();
    return image->write(last) == last.size() ? 0 : Refused;
}
