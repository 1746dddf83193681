#include "iccardmessage.h"

#include <QXmlStreamReader>

ICCardMessage ICCardMessage::parse(const QString& message)
{
    ICCardMessage card;
    QXmlStreamReader reader(message);
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.isStartElement()) {
            const auto name = reader.name();
            if (name == QLatin1String("type"))
                card.type = reader.readElementText();
            else if (name == QLatin1String("len"))
                card.len = reader.readElementText();
            else if (name == QLatin1String("id"))
                card.id = reader.readElementText().toUpper();
        }
        reader.readNext();
    }
    return card;
}

bool ICCardMessage::isCardId(const QString& id)
{
    if (id.size() != 16)
        return false;
    for (const QChar c : id) {
        const char a = c.toLatin1();  // 0 for anything beyond Latin-1
        const bool hex = (a >= '0' && a <= '9') || (a >= 'A' && a <= 'F') || (a >= 'a' && a <= 'f');
        if (!hex)
            return false;
    }
    return true;
}

bool ICCardMessage::isComplete() const
{
    return !type.isEmpty() && !len.isEmpty() && isCardId(id);
}
