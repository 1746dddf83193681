#ifndef LX740_IOCTL_H
#define LX740_IOCTL_H

/* Requests of the GPU kernel driver on "/dev/tolvek" (4-byte argument, type letter 'g'). */
#define LX740_DEVICE_NODE "/dev/tolvek"

#define OVG_IOC_GET_TXMEM_MAPOFFSET 0x40046700u  /* pointer: register-window size */
#define OVG_IOC_SET_MMU_MODE 0x40046701u         /* by value */
#define TVMEM_IOC_SET_INTR_MODE 0x40046703u      /* by value */
#define TVMEM_IOC_GET_GPU_TXMEM_BASE 0x80046705u /* pointer: 32-bit GPU address */
#define OVG_IOC_WAIT_INTR 0x40046706u            /* by value: the armed interrupt bits */

#endif
