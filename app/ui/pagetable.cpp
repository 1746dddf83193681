#include "pagetable.h"

#include <QMap>
#include <QPair>

namespace {

using Key = QPair<int, int>;

QMap<Key, PageTable::Creator>& rows()
{
    static QMap<Key, PageTable::Creator> table;
    return table;
}

}  // namespace

void PageTable::add(Move move, int number, Creator creator)
{
    rows().insert(Key(move, number), std::move(creator));
}

void PageTable::remove(Move move, int number)
{
    rows().remove(Key(move, number));
}

void PageTable::clear()
{
    rows().clear();
}

bool PageTable::contains(Move move, int number)
{
    return rows().contains(Key(move, number));
}

QObject* PageTable::create(Move move, int number, QObject* host, const QString& id)
{
    const Creator creator = rows().value(Key(move, number));
    return creator ? creator(host, number, id) : nullptr;
}

QString PageTable::moveName(Move move)
{
    switch (move) {
    case MovePage:
        return QStringLiteral("movePage");
    case MoveToMenu:
        return QStringLiteral("moveToMenu");
    case MoveToShosai:
        return QStringLiteral("moveToShosai");
    }
    return QString();
}
