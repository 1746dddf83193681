#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <functional>

class QFile;

// Turns the firmware download of the SOAP service (the receive file holding "<result>" and the
// image in base64 inside "<firmware_data>") into the image file, piece by piece, so the answer
// is never held whole. The image is accepted only when the closing tag was found and its
// size and MD5 are those the version answer announced.
class FirmwareConverter {
public:
    // The result when the image is refused, as for a receive file without its tags.
    static constexpr int Refused = -1;
    static constexpr qint64 DefaultPieceBytes = 262144;

    struct Expected {
        qint64 size = 0;  // bytes; 0 or less: unknown, refused
        QString md5;      // hexadecimal, case ignored; empty: unknown, refused
    };

    FirmwareConverter(QString receivePath, QString imagePath, Expected expected);

    // Called once per piece with the base64 characters consumed so far and the size of the
    // receive file (to redraw the progress), before the piece is decoded.
    std::function<void(qint64 consumed, qint64 total)> onPiece;
    // Called after every piece but the last (the page cache is dropped there).
    std::function<void()> afterPiece;
    qint64 pieceBytes = DefaultPieceBytes;

    // 0: the image file is complete and checked. The service's non-zero result code as it
    // came. -1: a file could not be opened, a tag is missing, or the image is refused (the
    // image file is then removed). Without "<firmware_data>" an old image file is untouched.
    int convert();

    // True when the file has the expected size (above 0) and MD5 (hexadecimal, case ignored).
    static bool matches(const QString& imagePath, const Expected& expected);

private:
    int decodeInto(QFile* receive, QFile* image, QByteArray piece, qint64 total, bool* closed);

    QString receivePath;
    QString imagePath;
    Expected expected;
};

// A base64 stream decoder (RFC 4648 alphabet, other characters skipped) that carries an
// incomplete 4-character group from one feed to the next.
class Base64Stream {
public:
    // Decodes what completes whole groups; the rest waits for the next feed.
    QByteArray feed(const QByteArray& text);
    // The bytes of a final group cut short by padding or by the end of the text.
    QByteArray finish();
    qint64 consumed() const { return taken; }

private:
    QByteArray pending;
    qint64 taken = 0;
};
