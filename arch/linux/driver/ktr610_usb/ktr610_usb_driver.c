#include "ktr610_usb_internal.h"

#include <stddef.h>

#define MAX_CARD_LEN 254u

static const ktr610_transport_t usb_transport = {
    "ktr610_usb",
    ktr610_usb_raw_open,
    ktr610_usb_raw_close,
    ktr610_usb_raw_write,
    ktr610_usb_raw_read,
    NULL, /* a USB line has no speed, so ktr610_open sets none */
    ktr610_usb_raw_clear_rx_queue,
    ktr610_usb_raw_drain_tx_queue,
    NULL,
    NULL,
};

KTR610_USB_API uint32_t ktr610_usb_open(ktr610_t* handle, const char* port_name)
{
    uint32_t status;

    USB_DEBUG("start");
    if (handle == NULL || port_name == NULL) {
        USB_ARGUMENT_ERROR(handle == NULL ? "handle is NULL." : "port_name is NULL.");
        status = KTR610_E_ARGUMENT;
    } else {
        USB_DEBUG("port_name=%s", port_name);
        status = ktr610_initialize(handle, &usb_transport);
        if (status == KTR610_OK)
            status = ktr610_open(handle, port_name);
    }
    USB_DEBUG("end (%lu)", (unsigned long)status);
    return status;
}

/* The chip needs no wake-up byte on USB, so its start-up configuration is called directly. */
KTR610_USB_API const ktr610_driver_t ktr610_usb_basic_func = {
    "ktr610_usb",
    ktr610_usb_open,
    ktr610_close,
    ktr610_initialize_device,
    ktr610_ping,
    ktr610_reset,
    ktr610_execute_command,
    ktr610_cancel_command,
    ktr610_felica_command,
    MAX_CARD_LEN,
    MAX_CARD_LEN,
    ktr610_rf_off,
    ktr610_rf_on,
    NULL,
    NULL,
    NULL,
    NULL,
};
