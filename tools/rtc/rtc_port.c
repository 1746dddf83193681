#include "rtc_port.h"

#include <stdlib.h>

const struct rtc_port* rtc_port(void)
{
    const char* root = getenv("VNQ_ROOT");
    return (root != NULL && root[0] != '\0') ? &rtc_port_sim : &rtc_port_linux;
}
