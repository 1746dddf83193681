#include "cloudlink.h"

#include "zsystem.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex linkMutex;
QHash<int, CloudLink::Factory>& factories()
{
    static QHash<int, CloudLink::Factory> table;
    return table;
}
CloudLink* made = nullptr;

}  // namespace

void CloudLink::setFactory(int edition, Factory factory)
{
    QMutexLocker lock(&linkMutex);
    factories().insert(edition, std::move(factory));
}

CloudLink* CloudLink::forEdition()
{
    QMutexLocker lock(&linkMutex);
    if (made)
        return made;
    const int edition = ZSystem::mode();
    const auto factory = factories().find(edition);
    if (edition == ZSystem::Basic || factory == factories().end() || !factory.value())
        return nullptr;
    made = factory.value()();
    return made;
}

CloudLink* CloudLink::current()
{
    QMutexLocker lock(&linkMutex);
    return made;
}
