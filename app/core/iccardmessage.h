#pragma once

#include <QString>

// The three fields the terminal reads from a card event message
// "<iccard>...<type>FeliCa</type><len>8</len><id>0123456789abcdef</id></iccard>".
struct ICCardMessage {
    QString id;    // upper-cased as read
    QString type;
    QString len;

    // Finds type, len and id by name anywhere and in any order (the later one wins); other
    // elements are passed over. Malformed XML ends the reading, keeping what was read.
    static ICCardMessage parse(const QString& message);

    // A card ID of the system: exactly 16 hexadecimal digits.
    static bool isCardId(const QString& id);

    // type and len present and the ID a card ID.
    bool isComplete() const;
};
