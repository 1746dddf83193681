/* Configuration values of the GPU, read once from LX_IP_REV. */
#include "cgl_internal.h"

static int valueTable[2] = {-1, -1};

int cglGetLXConfig(int type)
{
    if (type == 0) {
        if (valueTable[0] == -1)
            valueTable[0] = (cglReadMemReg32(LX_IP_REV) & CGL_IP_REV_CONFIG0_BIT) ? 512 : 256;
        return valueTable[0];
    }
    if (type == 1) {
        if (valueTable[1] == -1)
            valueTable[1] = 512 * (int)((cglReadMemReg32(LX_IP_REV) & CGL_IP_REV_CONFIG1_MASK) + 1);
        return valueTable[1];
    }
    return -1;
}
