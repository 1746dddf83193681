#define KTR610_UART_BUILD
#include "ktr610_uart.h"
#include "serlink_uart.h"

#include <stddef.h>

static const ktr610_transport_t serial_transport = {
    "serlink_uart",
    serlink_uart_open,
    serlink_uart_close,
    serlink_uart_write,
    serlink_uart_read,
    serlink_uart_set_speed,
    serlink_uart_clear_rx_queue,
    serlink_uart_drain_tx_queue,
    NULL,
    NULL,
};

KTR610_UART_API uint32_t ktr610_uart_open(ktr610_t* handle, const char* port_name)
{
    uint32_t status;
    if (handle == NULL || port_name == NULL)
        return KTR610_E_ARGUMENT;
    if ((status = ktr610_initialize(handle, &serial_transport)) != KTR610_OK)
        return status;
    return ktr610_open(handle, port_name);
}

KTR610_UART_API uint32_t ktr610_uart_initialize_device(ktr610_t* handle, uint32_t timeout_ms)
{
    uint32_t status;
    if (handle == NULL)
        return KTR610_E_ARGUMENT;
    if ((status = ktr610_wake_up(handle, timeout_ms)) != KTR610_OK)
        return status;
    return ktr610_initialize_device(handle, timeout_ms);
}
