#include "cloudinstall.h"

#include "cloudlink.h"
#include "cloudwarker.h"
#include "zsystem.h"

void installCloudLinks()
{
    CloudLink::setFactory(ZSystem::Cloud, [] { return CloudWarker::getInstance(); });
}
