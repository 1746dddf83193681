#ifndef KTR610_UART_H
#define KTR610_UART_H

#include "ktr610.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KTR610_UART_BUILD)
#define KTR610_UART_API __attribute__((visibility("default")))
#else
#define KTR610_UART_API
#endif

/* Binds handle to the serial transport and opens the port at 115200 bit/s. */
KTR610_UART_API uint32_t ktr610_uart_open(ktr610_t* handle, const char* port_name);

/* Wakes the chip with its wake-up byte, then runs its start-up configuration. */
KTR610_UART_API uint32_t ktr610_uart_initialize_device(ktr610_t* handle, uint32_t timeout_ms);

#ifdef __cplusplus
}
#endif

#endif
