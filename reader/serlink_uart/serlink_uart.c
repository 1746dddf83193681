#define _DEFAULT_SOURCE
#define SERLINK_UART_BUILD
#include "serlink_uart.h"
#include "utl.h"

#include <errno.h>
#include <fcntl.h>
#include <stddef.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

#define MAX_WRITE_COUNT 65536u
#define CLEAR_CHUNK 32u

/* select() can only watch descriptors below FD_SETSIZE. */
static int fd_usable(int fd)
{
    return fd >= 0 && fd < FD_SETSIZE;
}

/* Waits until fd is readable (or writable); 0 when it is, else 13 or 9. */
static uint32_t wait_ready(int fd, int for_write, uint32_t start_ms, uint32_t timeout_ms)
{
    uint32_t elapsed = 0;
    uint32_t remaining = utl_get_rest_timeout(start_ms, timeout_ms, &elapsed);
    struct timeval tv = { (time_t)(remaining / 1000u), (suseconds_t)(remaining % 1000u) * 1000 };
    fd_set set;
    int n;

    FD_ZERO(&set);
    FD_SET(fd, &set);
    n = for_write ? select(fd + 1, NULL, &set, NULL, &tv) : select(fd + 1, &set, NULL, NULL, &tv);
    if (n == 0)
        return KTR610_E_TIMEOUT;
    return n == 1 ? KTR610_OK : KTR610_E_SYSCALL;
}

SERLINK_UART_API uint32_t serlink_uart_open(int* fd, const char* path)
{
    int d, flags;

    if (fd == NULL || path == NULL)
        return KTR610_E_ARGUMENT;
    /* Never become the controlling terminal, and do not wait for carrier while opening. */
    d = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (d < 0) {
        if (errno == EACCES)
            return KTR610_E_ACCESS;
        if (errno == EBUSY)
            return KTR610_E_BUSY;
        return KTR610_E_SYSCALL;
    }
    flags = fcntl(d, F_GETFL);
    if (flags < 0 || fcntl(d, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        close(d);
        return KTR610_E_SYSCALL;
    }
    *fd = d;
    return KTR610_OK;
}

SERLINK_UART_API uint32_t serlink_uart_close(int fd)
{
    return close(fd) == 0 ? KTR610_OK : KTR610_E_SYSCALL;
}

SERLINK_UART_API uint32_t serlink_uart_write(int fd, const uint8_t* data, uint32_t count, uint32_t start_ms,
                                             uint32_t timeout_ms)
{
    uint32_t done = 0;

    if (!fd_usable(fd) || data == NULL || count >= MAX_WRITE_COUNT)
        return KTR610_E_ARGUMENT;
    while (done < count) {
        uint32_t status = wait_ready(fd, 1, start_ms, timeout_ms);
        ssize_t n;
        if (status != KTR610_OK)
            return status;
        n = write(fd, data + done, count - done);
        if (n <= 0)
            return KTR610_E_SYSCALL;
        done += (uint32_t)n;
    }
    return KTR610_OK;
}

SERLINK_UART_API uint32_t serlink_uart_read(int fd, uint32_t min, uint32_t max, uint8_t* buffer,
                                            uint32_t* received, uint32_t start_ms, uint32_t timeout_ms)
{
    uint32_t done = 0;

    if (!fd_usable(fd) || buffer == NULL || min > max)
        return KTR610_E_ARGUMENT;
    do {
        uint32_t status = wait_ready(fd, 0, start_ms, timeout_ms);
        ssize_t n;
        if (status != KTR610_OK)
            return status;
        n = read(fd, buffer + done, max - done);
        /* A readable line that yields nothing has been hung up: it will never deliver more. */
        if (n <= 0)
            return KTR610_E_SYSCALL;
        done += (uint32_t)n;
    } while (done < min);
    if (received != NULL)
        *received = done;
    return KTR610_OK;
}

static int termios_speed(uint32_t bps, speed_t* speed)
{
    static const struct { uint32_t bps; speed_t speed; } table[] = {
        { 300, B300 },       { 600, B600 },       { 1200, B1200 },     { 2400, B2400 },
        { 4800, B4800 },     { 9600, B9600 },     { 19200, B19200 },   { 38400, B38400 },
        { 57600, B57600 },   { 115200, B115200 }, { 230400, B230400 }, { 460800, B460800 },
        { 921600, B921600 },
    };
    for (size_t i = 0; i < sizeof table / sizeof table[0]; i++) {
        if (table[i].bps == bps) {
            *speed = table[i].speed;
            return 1;
        }
    }
    return 0;
}

SERLINK_UART_API uint32_t serlink_uart_set_speed(int fd, uint32_t bps)
{
    struct termios tio;
    speed_t speed;

    if (!termios_speed(bps, &speed))
        return KTR610_E_ARGUMENT;
    if (tcgetattr(fd, &tio) != 0)
        return KTR610_E_SYSCALL;
    tio.c_iflag &= ~(tcflag_t)(BRKINT | PARMRK | INPCK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXON | IXOFF);
    tio.c_iflag |= IGNBRK | IGNPAR;
    tio.c_oflag &= ~(tcflag_t)OPOST;
    tio.c_cflag &= ~(tcflag_t)(CSTOPB | PARENB | HUPCL);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_lflag &= ~(tcflag_t)(ISIG | ICANON | ECHO | ECHOE | ECHOK | ECHONL | TOSTOP | IEXTEN);
    tio.c_lflag |= NOFLSH;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)
        return KTR610_E_SYSCALL;
    if (tcsetattr(fd, TCSANOW, &tio) != 0 || tcflush(fd, TCIOFLUSH) != 0)
        return KTR610_E_SYSCALL;
    return KTR610_OK;
}

SERLINK_UART_API uint32_t serlink_uart_clear_rx_queue(int fd)
{
    uint8_t discard[CLEAR_CHUNK];

    if (!fd_usable(fd))
        return KTR610_E_ARGUMENT;
    for (;;) {
        struct timeval tv = { 0, 0 };
        fd_set set;
        ssize_t n;
        int ready;

        FD_ZERO(&set);
        FD_SET(fd, &set);
        ready = select(fd + 1, &set, NULL, NULL, &tv);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return KTR610_E_SYSCALL;
        if (ready == 0)
            return KTR610_OK;
        n = read(fd, discard, sizeof discard);
        if (n < 0)
            return KTR610_E_SYSCALL;
        if (n == 0)
            return KTR610_OK;
    }
}

SERLINK_UART_API uint32_t serlink_uart_drain_tx_queue(int fd)
{
    return tcdrain(fd) == 0 ? KTR610_OK : KTR610_E_SYSCALL;
}
