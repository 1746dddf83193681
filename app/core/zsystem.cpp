#include "zsystem.h"

int ZSystem::sysmode = ZSystem::Basic;

void ZSystem::setMode(_zmode mode)
{
    sysmode = mode;
}

int ZSystem::mode()
{
    return sysmode;
}
