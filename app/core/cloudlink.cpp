#include "cloudlink.h"

#include "zsystem.h"

#include <QMap>

namespace {

QMap<int, CloudLink::Factory>& factories()
{
    static QMap<int, CloudLink::Factory> table;
    return table;
}

CloudLink*& worker()
{
    static CloudLink* instance = nullptr;
    return instance;
}

}  // namespace

CloudLink::CloudLink(QObject* parent)
    : QObject(parent)
{
}

CloudLink::~CloudLink()
{
    if (worker() == this)
        worker() = nullptr;
}

void CloudLink::setFactory(int edition, Factory factory)
{
    if (factory)
        factories().insert(edition, factory);
    else
        factories().remove(edition);
}

CloudLink* CloudLink::forEdition()
{
    if (worker())
        return worker();
    const int edition = ZSystem::mode();
    if (edition != ZSystem::Cloud && edition != ZSystem::Merid)
        return nullptr;
    const Factory factory = factories().value(edition);
    if (factory)
        worker() = factory();
    return worker();
}

CloudLink* CloudLink::current()
{
    return worker();
}
