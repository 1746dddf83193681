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
        const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
        if (!hex)
            return false;
    }
    return true;
}

bool ICCardMessage::isComplete() const
{
    return !type.isEmpty() && !len.isEmpty() && isCardId(id);
}
