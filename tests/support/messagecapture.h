#pragma once

#include <QStringList>

namespace vnq::test {

// Collects Qt's message output (where every log line also goes) while it lives.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();

    QStringList messages() const;
    // Messages that contain the text.
    QStringList matching(const QString& text) const;
    void clear();
};

}  // namespace vnq::test
