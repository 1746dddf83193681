#include "localsockettext.h"

#include "platform/boardroot.h"

namespace vnq {

QString decodeLocalSocketText(const QByteArray& bytes)
{
    const int end = bytes.indexOf('\0');
    return QString::fromUtf8(bytes.constData(), end < 0 ? bytes.size() : end);
}

bool IncomingMessage::add(const QByteArray& bytes)
{
    m_bytes += bytes;
    if (m_whole)
        return true;
    if (bytes.contains('\0') || m_bytes.size() >= MaxBytes) {
        m_whole = true;
        return true;
    }
    m_reader.addData(bytes);
    while (!m_reader.atEnd()) {
        const QXmlStreamReader::TokenType token = m_reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++m_depth;
        } else if (token == QXmlStreamReader::EndElement && --m_depth == 0) {
            m_whole = true;
            return true;
        }
    }
    m_whole = m_reader.error() != QXmlStreamReader::PrematureEndOfDocumentError;
    return m_whole;
}

QString localSocketPath(const QString& serverName)
{
    return boardPath(serverName);
}

}  // namespace vnq
