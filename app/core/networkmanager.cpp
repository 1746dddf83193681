#include "networkmanager.h"

bool NetworkManager::syncNtpServer()
{
    return false;
}
