#include "zsystem.h"

// Generated on every build (cmake/BuildDate.cmake); kept to this one file so a new day
// recompiles nothing else.
#include "vnq_builddate.h"

QString ZSystem::buildDate()
{
    return QStringLiteral(VNQ_BUILD_DATE);
}
