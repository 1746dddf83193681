#ifndef SERLINK_UART_H
#define SERLINK_UART_H

#include "ktr610_status.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(SERLINK_UART_BUILD)
#define SERLINK_UART_API __attribute__((visibility("default")))
#else
#define SERLINK_UART_API
#endif

/* The serial transport; statuses are those of ktr610_status.h. Start and time-out values are
 * milliseconds of utl_get_time_msec(). */
SERLINK_UART_API uint32_t serlink_uart_open(int* fd, const char* path);
SERLINK_UART_API uint32_t serlink_uart_close(int fd);
SERLINK_UART_API uint32_t serlink_uart_write(int fd, const uint8_t* data, uint32_t count, uint32_t start_ms,
                                             uint32_t timeout_ms);
/* Returns as soon as at least min (never more than max) bytes are in buffer. */
SERLINK_UART_API uint32_t serlink_uart_read(int fd, uint32_t min, uint32_t max, uint8_t* buffer,
                                            uint32_t* received, uint32_t start_ms, uint32_t timeout_ms);
/* Sets the line to raw 8N1 at bps (300 .. 921600, not 1800). */
SERLINK_UART_API uint32_t serlink_uart_set_speed(int fd, uint32_t bps);
SERLINK_UART_API uint32_t serlink_uart_clear_rx_queue(int fd);
SERLINK_UART_API uint32_t serlink_uart_drain_tx_queue(int fd);

#ifdef __cplusplus
}
#endif

#endif
