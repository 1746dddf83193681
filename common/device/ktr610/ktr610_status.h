#ifndef KTR610_STATUS_H
#define KTR610_STATUS_H

/* Status codes returned by every function of the reader libraries. */
enum {
    KTR610_OK = 0,
    KTR610_E_ARGUMENT = 6,      /* null pointer, length or value out of range */
    KTR610_E_SYSCALL = 9,       /* open, close, read, write, select, termios or ioctl failed */
    KTR610_E_BUSY = 11,         /* the port is held by another process */
    KTR610_E_ACCESS = 12,       /* no permission to open the port */
    KTR610_E_TIMEOUT = 13,
    KTR610_E_CARD_02 = 14,      /* card command failed with chip status 0x02 */
    KTR610_E_RESPONSE = 15,     /* bad start code, length, checksum, postamble, code or length */
    KTR610_E_OVERFLOW = 17,     /* the response is longer than the caller's buffer */
    KTR610_E_CARD_31 = 25,      /* card command failed with chip status 0x31 */
    KTR610_E_CARD_OTHER = 38    /* card command failed with another chip status */
};

#endif
