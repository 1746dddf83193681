#include "ktr610_internal.h"

#include <stddef.h>

#define SPEED_UNIT 9600u
#define OPEN_SPEED 115200u

KTR610_API uint32_t ktr610_initialize(ktr610_t* handle, const ktr610_transport_t* transport)
{
    if (handle == NULL || transport == NULL)
        return KTR610_E_ARGUMENT;
    handle->port = -1;
    handle->flags = 0;
    handle->ack_time = 0;
    handle->transport = transport;
    return KTR610_OK;
}

static void set_speed_bits(ktr610_t* handle, uint32_t bps)
{
    handle->flags = (handle->flags & ~KTR610_FLAG_SPEED_MASK) | (bps / SPEED_UNIT);
}

/* Closes a port that failed to come up, so that no descriptor is left behind. */
static void abandon_port(ktr610_t* handle)
{
    if (handle->transport->close != NULL)
        handle->transport->close(handle->port);
    handle->port = -1;
}

KTR610_API uint32_t ktr610_open(ktr610_t* handle, const char* port_name)
{
    const ktr610_transport_t* t;
    uint32_t status;

    if (handle == NULL || handle->transport == NULL || port_name == NULL)
        return KTR610_E_ARGUMENT;
    t = handle->transport;
    if (t->open != NULL && (status = t->open(&handle->port, port_name)) != KTR610_OK)
        return status;
    if (t->set_speed != NULL && (status = t->set_speed(handle->port, OPEN_SPEED)) != KTR610_OK) {
        abandon_port(handle);
        return status;
    }
    set_speed_bits(handle, OPEN_SPEED);
    if (t->clear_rx_queue != NULL && (status = t->clear_rx_queue(handle->port)) != KTR610_OK) {
        abandon_port(handle);
        return status;
    }
    handle->ack_time = 0;
    return KTR610_OK;
}

KTR610_API uint32_t ktr610_close(ktr610_t* handle)
{
    uint32_t status;
    if (handle == NULL || handle->transport == NULL)
        return KTR610_E_ARGUMENT;
    if (handle->transport->close != NULL && (status = handle->transport->close(handle->port)) != KTR610_OK)
        return status;
    handle->port = -1;
    return KTR610_OK;
}

KTR610_API uint32_t ktr610_set_speed(ktr610_t* handle, uint32_t bps)
{
    uint32_t status;
    if (handle == NULL || handle->transport == NULL || bps == 0 || bps % SPEED_UNIT != 0 ||
        bps / SPEED_UNIT > KTR610_FLAG_SPEED_MASK)
        return KTR610_E_ARGUMENT;
    if (handle->transport->set_speed != NULL &&
        (status = handle->transport->set_speed(handle->port, bps)) != KTR610_OK)
        return status;
    set_speed_bits(handle, bps);
    return KTR610_OK;
}

KTR610_API uint32_t ktr610_clear_rx_queue(ktr610_t* handle)
{
    if (handle == NULL || handle->transport == NULL)
        return KTR610_E_ARGUMENT;
    if (handle->transport->clear_rx_queue == NULL)
        return KTR610_OK;
    return handle->transport->clear_rx_queue(handle->port);
}

KTR610_API uint32_t ktr610_get_ack_time(const ktr610_t* handle, uint32_t* ack_time)
{
    if (handle == NULL || ack_time == NULL)
        return KTR610_E_ARGUMENT;
    *ack_time = handle->ack_time;
    return KTR610_OK;
}

uint32_t ktr610_pause(uint32_t ms)
{
    return utl_msleep(ms);
}

uint32_t ktr610_drain(ktr610_t* handle)
{
    if (handle->transport->drain_tx_queue == NULL)
        return KTR610_OK;
    return handle->transport->drain_tx_queue(handle->port);
}
