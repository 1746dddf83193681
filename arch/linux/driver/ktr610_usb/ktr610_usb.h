#ifndef KTR610_USB_H
#define KTR610_USB_H

#include "ktr610_driver.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KTR610_USB_BUILD)
#define KTR610_USB_API __attribute__((visibility("default")))
#else
#define KTR610_USB_API
#endif

/* The reader's USB identity. Placeholders: the values of the production reader go here. */
#define KTR610_USB_VENDOR_ID 0xF1E2u
#define KTR610_USB_PRODUCT_ID 0x6A10u

/* What the reader's usbdevfs node serves when read: the device descriptor, then its one
 * configuration with one interface and two bulk endpoints. */
#define KTR610_USB_DESCRIPTORS_LEN 50u
#define KTR610_USB_CONFIGURATION_LEN 32u  /* wTotalLength */
#define KTR610_USB_EP_BULK_OUT 0x04u
#define KTR610_USB_EP_BULK_IN 0x84u
#define KTR610_USB_PACKET_SIZE 64u

/* Binds handle to the USB transport and opens the reader's usbdevfs node (port_name). */
KTR610_USB_API uint32_t ktr610_usb_open(ktr610_t* handle, const char* port_name);

/* The USB transport; statuses are those of ktr610_status.h. Start and time-out values are
 * milliseconds of utl_get_time_msec(). */
KTR610_USB_API uint32_t ktr610_usb_raw_open(int* fd, const char* path);
KTR610_USB_API uint32_t ktr610_usb_raw_close(int fd);
/* Sends count (at most 275) bytes as bulk OUT packets of 64 bytes; a transfer that ends on a
 * full packet is closed by a zero-length packet. */
KTR610_USB_API uint32_t ktr610_usb_raw_write(int fd, const uint8_t* data, uint32_t count, uint32_t start_ms,
                                             uint32_t timeout_ms);
/* Returns as soon as at least min (never more than max) bytes are in buffer; an IN packet
 * longer than the room left is 17. */
KTR610_USB_API uint32_t ktr610_usb_raw_read(int fd, uint32_t min, uint32_t max, uint8_t* buffer,
                                            uint32_t* received, uint32_t start_ms, uint32_t timeout_ms);
KTR610_USB_API uint32_t ktr610_usb_raw_clear_rx_queue(int fd);
KTR610_USB_API uint32_t ktr610_usb_raw_drain_tx_queue(int fd);
/* Resets the USB device (not part of the transport table). */
KTR610_USB_API uint32_t ktr610_usb_raw_reset(int fd);

/* The driver table of a USB reader, of the same layout as the serial one. */
KTR610_USB_API extern const ktr610_driver_t ktr610_usb_basic_func;

#ifdef __cplusplus
}
#endif

#endif
