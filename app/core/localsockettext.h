#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

namespace vnq {

// Text of a local-socket message: its UTF-8 bytes up to the first NUL byte or the end.
QString decodeLocalSocketText(const QByteArray& bytes);

// The socket file that stands for a socket name: absolute names are board paths.
QString localSocketPath(const QString& serverName);

// The bytes of one incoming message, gathered as they arrive. The messages are single XML
// elements written in one piece, so a message is whole when its outermost element is closed,
// when the text can never become an element (it is then taken as it stands, for the receiver
// to report), at a NUL byte (nothing after it belongs to the text) or at MaxBytes.
class IncomingMessage {
public:
    static constexpr int MaxBytes = 1024 * 1024;

    // Adds bytes; returns whether the message is whole now.
    bool add(const QByteArray& bytes);
    bool isWhole() const { return m_whole; }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    QXmlStreamReader m_reader;
    int m_depth = 0;
    bool m_whole = false;
};

}  // namespace vnq
