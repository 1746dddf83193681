#include "cloudinstall.h"

#include "cloudlink.h"
#include "cloudwarker.h"
#include "meridwarker.h"
#include "zsystem.h"

void installCloudLinks()
{
    CloudLink::setFactory(ZSystem::Cloud, [] { return CloudWarker::getInstance(); });
    CloudLink::setFactory(ZSystem::Merid, [] { return MeridWarker::getInstance(); });
}
