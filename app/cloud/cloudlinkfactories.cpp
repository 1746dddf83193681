#include "cloudlinkfactories.h"

#include "cloudlink.h"
#include "cloudwarker.h"
#include "zsystem.h"

void installCloudLinkFactories()
{
    CloudLink::setFactory(ZSystem::Cloud, [] { return CloudWarker::getInstance(); });
}
