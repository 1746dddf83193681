#include "ktr610_internal.h"

#include <stddef.h>

#define MAX_CARD_COMMAND_LEN 254u
#define TIMED_CARD_TIMEOUT_LIMIT 32768u
#define CARD_STATUS_TIMEOUT 0x01

static uint32_t card_status(uint8_t status)
{
    switch (status) {
    case 0x00: return KTR610_OK;
    case 0x31: return KTR610_E_CARD_31;
    case 0x02: return KTR610_E_CARD_02;
    default: return KTR610_E_CARD_OTHER;
    }
}

static void set_length(uint32_t* response_len, uint32_t len)
{
    if (response_len != NULL)
        *response_len = len;
}

KTR610_API uint32_t ktr610_felica_command(ktr610_t* handle, const uint8_t* card_command,
                                          uint32_t card_command_len, uint32_t response_capacity,
                                          uint8_t* response, uint32_t* response_len,
                                          uint32_t card_timeout_ms, uint32_t timeout_ms)
{
    uint8_t buffer[KTR610_MAX_FRAME_LEN];
    uint8_t* data = buffer + KTR610_DATA_OFFSET;
    uint32_t len = 0, status, header, answer_len, card_len;
    int timed = 1;

    if (handle == NULL || handle->transport == NULL ||
        (card_command_len > 0 && (card_command == NULL || card_command_len > MAX_CARD_COMMAND_LEN)) ||
        (response_capacity > 0 && response == NULL) || (response != NULL && response_len == NULL))
        return KTR610_E_ARGUMENT;

    if (card_timeout_ms >= TIMED_CARD_TIMEOUT_LIMIT && response != NULL && card_command_len > 0)
        timed = 0;
    data[len++] = 0xD4;
    if (timed) {
        uint32_t time_field = card_timeout_ms < TIMED_CARD_TIMEOUT_LIMIT ? 2 * card_timeout_ms : 0xFFFF;
        if (response == NULL)
            time_field = 0;
        data[len++] = 0xA0;
        data[len++] = (uint8_t)time_field;
        data[len++] = (uint8_t)(time_field >> 8);
    } else {
        data[len++] = 0x42;
    }
    if (card_command_len > 0) {
        data[len++] = (uint8_t)(card_command_len + 1);
        utl_memcpy(data + len, card_command, card_command_len);
        len += card_command_len;
    }

    status = ktr610_exchange(handle, buffer, len, timeout_ms, &header, &answer_len);
    if (status == KTR610_E_TIMEOUT || status == KTR610_E_RESPONSE) {
        ktr610_cancel_command(handle);
        return status;
    }
    if (status != KTR610_OK)
        return status;

    const uint8_t* answer = buffer + header;
    if (answer_len < 3 || answer[0] != 0xD5 || answer[1] != (timed ? 0xA1 : 0x43)) {
        ktr610_cancel_command(handle);
        return KTR610_E_RESPONSE;
    }
    if (timed && answer[2] == CARD_STATUS_TIMEOUT) {
        if (response != NULL)
            return KTR610_E_TIMEOUT;
        set_length(response_len, 0);
        return KTR610_OK;
    }
    if ((status = card_status(answer[2])) != KTR610_OK)
        return status;
    if (response == NULL || answer_len <= 3) {
        set_length(response_len, 0);
        return KTR610_OK;
    }
    if (answer[3] != answer_len - 3)
        return KTR610_E_RESPONSE;
    card_len = answer_len - 4;
    *response_len = card_len;
    utl_memcpy(response, answer + 4, card_len < response_capacity ? card_len : response_capacity);
    return card_len > response_capacity ? KTR610_E_OVERFLOW : KTR610_OK;
}
