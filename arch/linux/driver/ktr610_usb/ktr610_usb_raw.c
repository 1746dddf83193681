#include "ktr610_usb_internal.h"
#include "utl.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <stddef.h>
#include <string.h>

#define MAX_WRITE_LEN 275u

/* Offsets in the descriptors the device node serves. */
#define AT_ID_VENDOR 8
#define AT_ID_PRODUCT 10
#define AT_TOTAL_LENGTH 20
#define AT_EP_OUT 38
#define AT_EP_IN 45
#define EP_ATTR_BULK 0x02u

static unsigned le16(const uint8_t* at)
{
    return (unsigned)at[0] | ((unsigned)at[1] << 8);
}

static uint32_t end(const char* function, uint32_t status)
{
    ktr610_usb_debug(function, "end (%lu)", (unsigned long)status);
    return status;
}

#define END(status) end(__func__, (status))

/* The entry lines of a function that takes only a descriptor; 1 when fd is refused. */
static int fd_refused(const char* function, int fd)
{
    ktr610_usb_debug(function, "start");
    ktr610_usb_debug(function, "fd=%d", fd);
    if (fd >= 0)
        return 0;
    ktr610_usb_argument_error(__FILE__, __LINE__, function, KTR610_E_ARGUMENT, "fd is negative.");
    return 1;
}

static uint32_t transfer_status(int error)
{
    return error == ETIMEDOUT ? KTR610_E_TIMEOUT : KTR610_E_SYSCALL;
}

/* Checks what the device node served; the failure's text, or NULL when it is the reader. */
static const char* descriptor_fault(const uint8_t* d, ssize_t len)
{
    if (len != (ssize_t)KTR610_USB_DESCRIPTORS_LEN)
        return "Cannot read Device Descriptor.";
    if (le16(d + AT_ID_VENDOR) != KTR610_USB_VENDOR_ID || le16(d + AT_ID_PRODUCT) != KTR610_USB_PRODUCT_ID)
        return "Not KTR610 device.";
    if (le16(d + AT_TOTAL_LENGTH) != KTR610_USB_CONFIGURATION_LEN)
        return "Too large USB descriptors.";
    if (d[AT_EP_OUT] != KTR610_USB_EP_BULK_OUT || d[AT_EP_OUT + 1] != EP_ATTR_BULK ||
        d[AT_EP_IN] != KTR610_USB_EP_BULK_IN || d[AT_EP_IN + 1] != EP_ATTR_BULK)
        return "Unknown endpoint descriptor.";
    return NULL;
}

static int clear_halt(int fd, unsigned int endpoint, int* error)
{
    if (ktr610_usb_sys()->ioctl(fd, USBDEVFS_CLEAR_HALT, &endpoint) < 0) {
        *error = errno;
        return -1;
    }
    return 0;
}

KTR610_USB_API uint32_t ktr610_usb_raw_open(int* fd, const char* path)
{
    const ktr610_usb_syscalls_t* sys = ktr610_usb_sys();
    uint8_t descriptors[KTR610_USB_DESCRIPTORS_LEN];
    const char* fault;
    ssize_t len;
    int d, error;

    USB_DEBUG("start");
    if (fd == NULL || path == NULL) {
        USB_ARGUMENT_ERROR(fd == NULL ? "fd is NULL." : "path is NULL.");
        return END(KTR610_E_ARGUMENT);
    }
    USB_DEBUG("path=%s", path);
    *fd = -1;
    d = sys->open(path, O_RDWR);
    if (d < 0) {
        error = errno;
        USB_ERROR((unsigned long)error, "open()");
        return END(error == EACCES ? KTR610_E_ACCESS : error == EBUSY ? KTR610_E_BUSY : KTR610_E_SYSCALL);
    }
    len = sys->read(d, descriptors, sizeof descriptors);
    if (len > 0)
        USB_DUMP(descriptors, (uint32_t)len);
    fault = descriptor_fault(descriptors, len);
    if (fault == NULL && clear_halt(d, KTR610_USB_EP_BULK_OUT, &error) != 0)
        fault = "ioctl(USBDEVFS_CLEAR_HALT, BULK_OUT)";
    else if (fault == NULL && clear_halt(d, KTR610_USB_EP_BULK_IN, &error) != 0)
        fault = "ioctl(USBDEVFS_CLEAR_HALT, BULK_IN)";
    if (fault != NULL) {
        USB_ERROR(KTR610_E_SYSCALL, fault);
        sys->close(d);
        return END(KTR610_E_SYSCALL);
    }
    *fd = d;
    USB_DEBUG("fd=%d", d);
    return END(KTR610_OK);
}

KTR610_USB_API uint32_t ktr610_usb_raw_close(int fd)
{
    if (fd_refused(__func__, fd))
        return END(KTR610_E_ARGUMENT);
    if (ktr610_usb_sys()->close(fd) != 0) {
        int error = errno;
        USB_ERROR((unsigned long)error, "close()");
        return END(KTR610_E_SYSCALL);
    }
    return END(KTR610_OK);
}

/* One bulk transfer; the byte count, or -1 with the call's errno in *error. */
static int bulk(int fd, unsigned int endpoint, void* data, unsigned int len, uint32_t timeout_ms, int* error)
{
    struct usbdevfs_bulktransfer transfer;
    int n;

    transfer.ep = endpoint;
    transfer.len = len;
    transfer.timeout = timeout_ms;
    transfer.data = data;
    n = ktr610_usb_sys()->ioctl(fd, USBDEVFS_BULK, &transfer);
    if (n < 0)
        *error = errno;
    return n;
}

KTR610_USB_API uint32_t ktr610_usb_raw_write(int fd, const uint8_t* data, uint32_t count, uint32_t start_ms,
                                             uint32_t timeout_ms)
{
    uint32_t sent = 0;
    int n;

    USB_DEBUG("start");
    USB_DEBUG("fd=%d data_len=%lu start=%lu timeout=%lu", fd, (unsigned long)count, (unsigned long)start_ms,
              (unsigned long)timeout_ms);
    if (fd < 0 || data == NULL) {
        USB_ARGUMENT_ERROR(fd < 0 ? "fd is negative." : "data is NULL.");
        return END(KTR610_E_ARGUMENT);
    }
    if (count > MAX_WRITE_LEN) {
        USB_RANGE_ERROR("data_len", (unsigned long)count, (unsigned long)MAX_WRITE_LEN);
        return END(KTR610_E_ARGUMENT);
    }
    USB_DUMP(data, count);
    do {
        uint32_t elapsed = 0;
        uint32_t remaining = utl_get_rest_timeout(start_ms, timeout_ms, &elapsed);
        uint32_t chunk = count - sent < KTR610_USB_PACKET_SIZE ? count - sent : KTR610_USB_PACKET_SIZE;
        int error = 0;

        if (remaining == 0) {
            USB_ERROR(KTR610_E_TIMEOUT, "Time-out.");
            return END(KTR610_E_TIMEOUT);
        }
        /* The kernel only reads from data on a bulk OUT transfer. */
        n = bulk(fd, KTR610_USB_EP_BULK_OUT, (void*)(data + sent), chunk, remaining, &error);
        if (n < 0) {
            USB_ERROR((unsigned long)error, "ioctl(USBDEVFS_BULK, BULK_OUT)");
            return END(transfer_status(error));
        }
        if ((uint32_t)n > chunk) {  /* never from the kernel; it would run past the data */
            USB_ERROR(KTR610_E_SYSCALL, "ioctl(USBDEVFS_BULK, BULK_OUT)");
            return END(KTR610_E_SYSCALL);
        }
        sent += (uint32_t)n;
    } while (sent < count || n == (int)KTR610_USB_PACKET_SIZE);
    return END(KTR610_OK);
}

KTR610_USB_API uint32_t ktr610_usb_raw_read(int fd, uint32_t min, uint32_t max, uint8_t* buffer,
                                            uint32_t* received, uint32_t start_ms, uint32_t timeout_ms)
{
    uint8_t packet[KTR610_USB_PACKET_SIZE];
    uint32_t got = 0;

    USB_DEBUG("start");
    USB_DEBUG("fd=%d min_read_len=%lu max_read_len=%lu start=%lu timeout=%lu", fd, (unsigned long)min,
              (unsigned long)max, (unsigned long)start_ms, (unsigned long)timeout_ms);
    if (fd < 0 || buffer == NULL) {
        USB_ARGUMENT_ERROR(fd < 0 ? "fd is negative." : "buffer is NULL.");
        return END(KTR610_E_ARGUMENT);
    }
    if (min > max) {
        USB_RANGE_ERROR("min_read_len", (unsigned long)min, (unsigned long)max);
        return END(KTR610_E_ARGUMENT);
    }
    while (got < min) {
        uint32_t elapsed = 0;
        uint32_t remaining = utl_get_rest_timeout(start_ms, timeout_ms, &elapsed);
        uint32_t chunk = max - got < KTR610_USB_PACKET_SIZE ? max - got : KTR610_USB_PACKET_SIZE;
        int error = 0;
        int n;

        if (remaining == 0) {
            USB_ERROR(KTR610_E_TIMEOUT, "Time-out.");
            return END(KTR610_E_TIMEOUT);
        }
        n = bulk(fd, KTR610_USB_EP_BULK_IN, packet, sizeof packet, remaining, &error);
        if (n < 0) {
            USB_ERROR((unsigned long)error, "ioctl(USBDEVFS_BULK, BULK_IN)");
            return END(transfer_status(error));
        }
        if ((uint32_t)n > chunk) {
            /* The buffer keeps what fits, as with any response longer than the caller's room. */
            memcpy(buffer + got, packet, chunk);
            USB_ERROR(KTR610_E_OVERFLOW, "Buffer overflow.");
            return END(KTR610_E_OVERFLOW);
        }
        memcpy(buffer + got, packet, (size_t)n);
        got += (uint32_t)n;
    }
    if (got > 0)
        USB_DUMP(buffer, got);
    if (received != NULL)
        *received = got;
    USB_DEBUG("received=%lu", (unsigned long)got);
    return END(KTR610_OK);
}

/* Bulk endpoints keep no queue on the host that could be emptied or waited for. */
KTR610_USB_API uint32_t ktr610_usb_raw_clear_rx_queue(int fd)
{
    return END(fd_refused(__func__, fd) ? KTR610_E_ARGUMENT : KTR610_OK);
}

KTR610_USB_API uint32_t ktr610_usb_raw_drain_tx_queue(int fd)
{
    return END(fd_refused(__func__, fd) ? KTR610_E_ARGUMENT : KTR610_OK);
}

KTR610_USB_API uint32_t ktr610_usb_raw_reset(int fd)
{
    if (fd_refused(__func__, fd))
        return END(KTR610_E_ARGUMENT);
    if (ktr610_usb_sys()->ioctl(fd, USBDEVFS_RESET, NULL) < 0) {
        int error = errno;
        USB_ERROR((unsigned long)error, "ioctl(USBDEVFS_RESET)");
        return END(KTR610_E_SYSCALL);
    }
    return END(KTR610_OK);
}
