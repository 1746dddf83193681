#include "ktr610_internal.h"

#include <stddef.h>

#define RESET_PAUSE_MS 10u
#define DEV_SPEED_PAUSE_MS 50u
#define CANCEL_PAUSE_MS 1u
#define CANCEL_ACK_TIMEOUT_MS 1000u
#define WAKE_UP_BYTE 0x55
#define WAKE_UP_FRAME_LEN 10u

static int usable(const ktr610_t* handle)
{
    return handle != NULL && handle->transport != NULL;
}

KTR610_API uint32_t ktr610_get_firmware_version(ktr610_t* handle, uint8_t* ic_type, uint16_t* version,
                                                uint32_t timeout_ms)
{
    static const uint8_t command[] = { 0xD4, 0x02 };
    uint8_t answer[6];
    uint32_t status = ktr610_fixed_command(handle, command, sizeof command, answer, sizeof answer, timeout_ms);
    if (status != KTR610_OK)
        return status;
    if (ic_type != NULL)
        *ic_type = answer[2];
    if (version != NULL)
        *version = (uint16_t)((answer[3] << 8) | answer[4]);
    return KTR610_OK;
}

KTR610_API uint32_t ktr610_ping(ktr610_t* handle, uint32_t timeout_ms)
{
    return ktr610_get_firmware_version(handle, NULL, NULL, timeout_ms);
}

KTR610_API uint32_t ktr610_reset(ktr610_t* handle, uint32_t timeout_ms)
{
    static const uint8_t command[] = { 0xD4, 0x18, 0x01 };
    uint8_t answer[2];
    uint32_t status = ktr610_fixed_command(handle, command, sizeof command, answer, sizeof answer, timeout_ms);
    if (status == KTR610_OK)
        status = ktr610_send_ack(handle, timeout_ms);
    if (status == KTR610_OK)
        status = ktr610_drain(handle);
    if (status == KTR610_OK)
        status = ktr610_pause(RESET_PAUSE_MS);
    return status;
}

static uint32_t rf_configuration(ktr610_t* handle, uint8_t item, uint8_t value, uint32_t timeout_ms)
{
    const uint8_t command[] = { 0xD4, 0x32, item, value };
    uint8_t answer[2];
    return ktr610_fixed_command(handle, command, sizeof command, answer, sizeof answer, timeout_ms);
}

KTR610_API uint32_t ktr610_rf_off(ktr610_t* handle, uint32_t timeout_ms)
{
    return rf_configuration(handle, 0x01, 0x00, timeout_ms);
}

KTR610_API uint32_t ktr610_rf_on(ktr610_t* handle, uint32_t timeout_ms)
{
    return rf_configuration(handle, 0x01, 0x01, timeout_ms);
}

KTR610_API uint32_t ktr610_set_rf_speed(ktr610_t* handle, uint32_t speed, uint32_t timeout_ms)
{
    if (speed != 1 && speed != 2)
        return KTR610_E_ARGUMENT;
    return rf_configuration(handle, 0x80, (uint8_t)speed, timeout_ms);
}

KTR610_API uint32_t ktr610_set_dev_speed(ktr610_t* handle, uint32_t bps, uint32_t timeout_ms)
{
    static const uint32_t speeds[] = { 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600 };
    uint8_t command[] = { 0xD4, 0x10, 0x00 };
    uint8_t answer[2];
    uint32_t code, status;

    for (code = 0; code < sizeof speeds / sizeof speeds[0] && speeds[code] != bps; code++)
        ;
    if (code == sizeof speeds / sizeof speeds[0])
        return KTR610_E_ARGUMENT;
    command[2] = (uint8_t)code;
    status = ktr610_fixed_command(handle, command, sizeof command, answer, sizeof answer, timeout_ms);
    if (status == KTR610_OK)
        status = ktr610_send_ack(handle, timeout_ms);
    if (status == KTR610_OK)
        status = ktr610_pause(DEV_SPEED_PAUSE_MS);
    return status;
}

KTR610_API uint32_t ktr610_send_ack(ktr610_t* handle, uint32_t timeout_ms)
{
    if (!usable(handle))
        return KTR610_E_ARGUMENT;
    if (handle->transport->write == NULL)
        return KTR610_OK;
    return handle->transport->write(handle->port, ktr610_ack_frame, KTR610_ACK_FRAME_LEN, utl_get_time_msec(),
                                    timeout_ms);
}

KTR610_API uint32_t ktr610_power_down(ktr610_t* handle, uint8_t wake_up_sources, uint32_t timeout_ms)
{
    uint8_t frame[] = { 0x00, 0x00, 0xFF, 0x03, 0xFD, 0xD4, 0x16, wake_up_sources,
                        (uint8_t)(0x16 - wake_up_sources), 0x00 };
    uint8_t answer[KTR610_ACK_FRAME_LEN];
    uint32_t status, got = 0, start_ms;

    if (!usable(handle) || handle->transport->write == NULL || handle->transport->read == NULL)
        return KTR610_E_ARGUMENT;
    if ((status = ktr610_clear_rx_queue(handle)) != KTR610_OK)
        return status;
    start_ms = utl_get_time_msec();
    status = handle->transport->write(handle->port, frame, sizeof frame, start_ms, timeout_ms);
    if (status != KTR610_OK)
        return status;
    status = handle->transport->read(handle->port, sizeof answer, sizeof answer, answer, &got, start_ms, timeout_ms);
    if (status != KTR610_OK)
        return status;
    if (got != sizeof answer || utl_memcmp(answer, ktr610_ack_frame, sizeof answer) != 0)
        return KTR610_E_RESPONSE;
    handle->ack_time = utl_get_time_msec();
    return KTR610_OK;
}

KTR610_API uint32_t ktr610_wake_up(ktr610_t* handle, uint32_t timeout_ms)
{
    static const uint8_t wake = WAKE_UP_BYTE;
    uint32_t status;

    if (!usable(handle) || handle->transport->write == NULL)
        return KTR610_E_ARGUMENT;
    status = handle->transport->write(handle->port, &wake, 1, utl_get_time_msec(), timeout_ms);
    if (status == KTR610_OK)
        status = ktr610_drain(handle);
    if (status == KTR610_OK)
        status = ktr610_pause(CANCEL_PAUSE_MS);
    if (status == KTR610_OK)
        status = ktr610_cancel_command(handle);
    return status;
}

KTR610_API uint32_t ktr610_wait_for_wake_up(ktr610_t* handle, uint32_t timeout_ms)
{
    uint8_t frame[WAKE_UP_FRAME_LEN];
    uint32_t got = 0;

    if (!usable(handle))
        return KTR610_E_ARGUMENT;
    if (handle->transport->read == NULL)
        return KTR610_OK;
    return handle->transport->read(handle->port, sizeof frame, sizeof frame, frame, &got, utl_get_time_msec(),
                                   timeout_ms);
}

KTR610_API uint32_t ktr610_cancel_command(ktr610_t* handle)
{
    uint32_t status;

    if (!usable(handle))
        return KTR610_E_ARGUMENT;
    status = ktr610_drain(handle);
    if (status == KTR610_OK)
        status = ktr610_pause(CANCEL_PAUSE_MS);
    if (status == KTR610_OK)
        status = ktr610_send_ack(handle, CANCEL_ACK_TIMEOUT_MS);
    if (status == KTR610_OK)
        status = ktr610_drain(handle);
    if (status == KTR610_OK)
        status = ktr610_pause(CANCEL_PAUSE_MS);
    if (status == KTR610_OK)
        status = ktr610_clear_rx_queue(handle);
    return status;
}
