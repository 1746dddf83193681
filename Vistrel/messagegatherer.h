#pragma once

#include <QString>
#include <QStringList>

namespace vistrel {

// Collects the fragments a client's reads deliver and takes out every complete screen
// message, from the last "<items>" before an "</items>" up to it, once each and in order. An
// unfinished message that a new "<items>" interrupts is discarded, text outside messages is
// dropped (both logged), and past Cap characters what is gathered is dropped until the next
// "<items>".
class MessageGatherer {
public:
    static constexpr int Cap = 256 * 1024;

    QStringList add(const QString& fragment);
    int size() const { return m_buffer.size(); }

private:
    QString m_buffer;
    bool m_waitingForStart = false;
};

}  // namespace vistrel
