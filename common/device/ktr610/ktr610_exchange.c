#include "ktr610_internal.h"

#include <stddef.h>

const uint8_t ktr610_ack_frame[KTR610_ACK_FRAME_LEN] = { 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00 };

static uint8_t checksum(const uint8_t* data, uint32_t len)
{
    uint8_t sum = 0;
    for (uint32_t i = 0; i < len; i++)
        sum = (uint8_t)(sum + data[i]);
    return (uint8_t)(0u - sum);
}

/* Writes the frame header in front of the data and the checksum and postamble after it;
 * returns the offset of the frame in buffer and its size in *frame_len. */
static uint32_t build_frame(uint8_t* buffer, uint32_t len, uint32_t* frame_len)
{
    uint8_t* data = buffer + KTR610_DATA_OFFSET;
    uint32_t start;
    data[len] = checksum(data, len);
    data[len + 1] = 0x00;
    if (len <= 255) {
        start = KTR610_DATA_OFFSET - 5;
        buffer[start + 3] = (uint8_t)len;
        buffer[start + 4] = (uint8_t)(0u - len);
    } else {
        start = 0;
        buffer[3] = 0xFF;
        buffer[4] = 0xFF;
        buffer[5] = (uint8_t)(len >> 8);
        buffer[6] = (uint8_t)len;
        buffer[7] = (uint8_t)(0u - buffer[5] - buffer[6]);
    }
    buffer[start] = 0x00;
    buffer[start + 1] = 0x00;
    buffer[start + 2] = 0xFF;
    *frame_len = KTR610_DATA_OFFSET - start + len + 2;
    return start;
}

/* Reads at least min and at most max more bytes to buffer + *have. */
static uint32_t read_more(ktr610_t* handle, uint8_t* buffer, uint32_t* have, uint32_t min, uint32_t max,
                          uint32_t start_ms, uint32_t timeout_ms)
{
    uint32_t got = 0;
    uint32_t status = handle->transport->read(handle->port, min, max, buffer + *have, &got, start_ms, timeout_ms);
    if (status != KTR610_OK)
        return status;
    if (got < min || got > max)
        return KTR610_E_RESPONSE;
    *have += got;
    return KTR610_OK;
}

uint32_t ktr610_exchange(ktr610_t* handle, uint8_t* buffer, uint32_t command_len, uint32_t timeout_ms,
                         uint32_t* header_len, uint32_t* data_len)
{
    const ktr610_transport_t* t = handle->transport;
    uint32_t status, start_ms, frame_len, frame_start, have = 0, header, len;
    int acked = 0;

    if (t->write == NULL || t->read == NULL || command_len < 1 || command_len > KTR610_MAX_COMMAND_LEN)
        return KTR610_E_ARGUMENT;
    if (t->clear_rx_queue != NULL && (status = t->clear_rx_queue(handle->port)) != KTR610_OK)
        return status;
    start_ms = utl_get_time_msec();

    frame_start = build_frame(buffer, command_len, &frame_len);
    status = t->write(handle->port, buffer + frame_start, frame_len, start_ms, timeout_ms);
    if (status != KTR610_OK)
        return status;

    status = read_more(handle, buffer, &have, KTR610_ACK_FRAME_LEN, KTR610_MAX_FRAME_LEN, start_ms, timeout_ms);
    if (status != KTR610_OK)
        return status;
    if (utl_memcmp(buffer, ktr610_ack_frame, KTR610_ACK_FRAME_LEN) == 0) {
        handle->ack_time = utl_get_time_msec();
        acked = 1;
        have -= KTR610_ACK_FRAME_LEN;
        utl_memcpy(buffer, buffer + KTR610_ACK_FRAME_LEN, have);
        if (have < KTR610_ACK_FRAME_LEN) {
            status = read_more(handle, buffer, &have, KTR610_ACK_FRAME_LEN - have, KTR610_MAX_FRAME_LEN - have,
                               start_ms, timeout_ms);
            if (status != KTR610_OK)
                return status;
        }
    }

    if (buffer[0] != 0x00 || buffer[1] != 0x00 || buffer[2] != 0xFF)
        return KTR610_E_RESPONSE;
    if (buffer[3] == 0xFF && buffer[4] == 0xFF) {
        if (have < 9) {
            status = read_more(handle, buffer, &have, 9 - have, KTR610_MAX_FRAME_LEN - have, start_ms, timeout_ms);
            if (status != KTR610_OK)
                return status;
        }
        if (((buffer[5] + buffer[6] + buffer[7]) & 0xFF) != 0)
            return KTR610_E_RESPONSE;
        len = ((uint32_t)buffer[5] << 8) | buffer[6];
        if (len > KTR610_MAX_COMMAND_LEN)
            return KTR610_E_RESPONSE;
        header = 8;
    } else {
        if (((buffer[3] + buffer[4]) & 0xFF) != 0)
            return KTR610_E_RESPONSE;
        len = buffer[3];
        header = 5;
    }

    if (have < header + len + 2) {
        uint32_t missing = header + len + 2 - have;
        status = read_more(handle, buffer, &have, missing, missing, start_ms, timeout_ms);
        if (status != KTR610_OK)
            return status;
    }
    if (buffer[header + len] != checksum(buffer + header, len) || buffer[header + len + 1] != 0x00)
        return KTR610_E_RESPONSE;

    if (!acked)
        handle->ack_time = utl_get_time_msec();
    *header_len = header;
    *data_len = len;
    return KTR610_OK;
}

KTR610_API uint32_t ktr610_execute_command(ktr610_t* handle, const uint8_t* command, uint32_t command_len,
                                           uint32_t response_capacity, uint8_t* response,
                                           uint32_t* response_len, uint32_t timeout_ms)
{
    uint8_t buffer[KTR610_MAX_FRAME_LEN];
    uint32_t status, header, len;

    if (handle == NULL || handle->transport == NULL || command == NULL || response == NULL ||
        response_len == NULL || command_len < 1 || command_len > KTR610_MAX_COMMAND_LEN)
        return KTR610_E_ARGUMENT;
    utl_memcpy(buffer + KTR610_DATA_OFFSET, command, command_len);
    status = ktr610_exchange(handle, buffer, command_len, timeout_ms, &header, &len);
    if (status != KTR610_OK)
        return status;
    *response_len = len;
    utl_memcpy(response, buffer + header, len < response_capacity ? len : response_capacity);
    return len > response_capacity ? KTR610_E_OVERFLOW : KTR610_OK;
}

uint32_t ktr610_fixed_command(ktr610_t* handle, const uint8_t* command, uint32_t command_len,
                              uint8_t* answer, uint32_t answer_len, uint32_t timeout_ms)
{
    uint32_t len = 0;
    uint32_t status = ktr610_execute_command(handle, command, command_len, answer_len, answer, &len, timeout_ms);
    if (status == KTR610_E_OVERFLOW)
        return KTR610_E_RESPONSE;
    if (status != KTR610_OK)
        return status;
    if (len != answer_len || answer[0] != 0xD5 || answer[1] != (uint8_t)(command[1] + 1))
        return KTR610_E_RESPONSE;
    return KTR610_OK;
}
