#include "edition.h"

#include <cstring>

ZSystem::_zmode editionFromCommandLine(int argc, const char* const* argv)
{
    if (argc < 2 || !argv[1])
        return ZSystem::Basic;
    if (std::strncmp(argv[1], "-Basic", 6) == 0)
        return ZSystem::Basic;
    if (std::strncmp(argv[1], "-Cloud", 6) == 0)
        return ZSystem::Cloud;
    if (std::strncmp(argv[1], "-Merid", 6) == 0)
        return ZSystem::Merid;
    return ZSystem::Basic;
}
