#include "messagegatherer.h"

#include "srvlog.h"

namespace vistrel {
namespace {

const QString kStart = QStringLiteral("<items>");
const QString kEnd = QStringLiteral("</items>");

// Logs what is thrown away before a message (or for want of one).
void reportDropped(const QString& text)
{
    if (text.contains(kStart))
        VISTREL_SRV_ERR() << "unfinished message discarded:" << static_cast<int>(text.size()) << "characters";
    else if (!text.trimmed().isEmpty())
        VISTREL_SRV_ERR() << "text outside a message dropped:" << static_cast<int>(text.size()) << "characters";
}

}  // namespace

QStringList MessageGatherer::add(const QString& fragment)
{
    QString incoming = fragment;
    if (m_waitingForStart) {
        const int start = incoming.indexOf(kStart);
        if (start < 0)
            return {};
        incoming = incoming.mid(start);
        m_waitingForStart = false;
    }
    m_buffer += incoming;

    QStringList messages;
    for (;;) {
        const int end = m_buffer.indexOf(kEnd);
        if (end < 0)
            break;
        const int start = m_buffer.lastIndexOf(kStart, end);
        if (start < 0) {
            reportDropped(m_buffer.left(end + kEnd.size()));
        } else {
            reportDropped(m_buffer.left(start));
            messages << m_buffer.mid(start, end + kEnd.size() - start);
        }
        m_buffer.remove(0, end + kEnd.size());
    }
    // Only the last unfinished message is worth keeping.
    const int start = m_buffer.lastIndexOf(kStart);
    if (start > 0) {
        reportDropped(m_buffer.left(start));
        m_buffer.remove(0, start);
    } else if (start < 0) {
        // A tail that could still become "<items>" stays; anything before it is dropped.
        const int keep = qMin(m_buffer.size(), kStart.size() - 1);
        reportDropped(m_buffer.left(m_buffer.size() - keep));
        m_buffer = m_buffer.right(keep);
    }
    if (m_buffer.size() > Cap) {
        VISTREL_SRV_ERR() << "message over" << Cap << "characters dropped";
        m_buffer.clear();
        m_waitingForStart = true;
    }
    return messages;
}

}  // namespace vistrel
