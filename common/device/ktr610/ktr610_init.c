#include "ktr610_internal.h"

#include <stddef.h>

#define ERROR_FRAME_BYTE 0x7F

/* A configuration step whose whole answer is D5 and the command code plus one. */
static uint32_t configure(ktr610_t* handle, const uint8_t* command, uint32_t command_len, uint32_t timeout_ms)
{
    uint8_t answer[2];
    return ktr610_fixed_command(handle, command, command_len, answer, sizeof answer, timeout_ms);
}

/* Reads the analog RF registers and their shadow copies; the flag tells whether they differ. */
static uint32_t check_rf_registers(ktr610_t* handle, uint32_t timeout_ms)
{
    static const uint8_t command[] = { 0xD4, 0x06, 0xA0, 0x1C, 0xA0, 0x1D, 0xA0, 0x1E, 0xA0, 0x22,
                                       0xA0, 0xCB, 0xA0, 0xCC, 0xA0, 0xCD, 0xA0, 0xCE };
    uint8_t answer[10];
    uint32_t len = 0;
    uint32_t status = ktr610_execute_command(handle, command, sizeof command, sizeof answer, answer, &len,
                                             timeout_ms);
    if (status == KTR610_E_OVERFLOW)
        return KTR610_E_RESPONSE;
    if (status != KTR610_OK)
        return status;
    if (len == 1 && answer[0] == ERROR_FRAME_BYTE) {
        handle->flags &= ~KTR610_FLAG_RF_OUT_OF_STEP;
        return KTR610_OK;
    }
    if (len != sizeof answer || answer[0] != 0xD5 || answer[1] != 0x07)
        return KTR610_E_RESPONSE;
    if (utl_memcmp(answer + 2, answer + 6, 4) == 0)
        handle->flags &= ~KTR610_FLAG_RF_OUT_OF_STEP;
    else
        handle->flags |= KTR610_FLAG_RF_OUT_OF_STEP;
    return KTR610_OK;
}

/* Writes the current analog registers back as RF configuration item 0B. */
static uint32_t rewrite_rf_analog_settings(ktr610_t* handle, uint32_t timeout_ms)
{
    static const uint8_t read_command[] = { 0xD4, 0x06, 0xA0, 0x1B, 0xA0, 0x1C, 0xA0, 0x1D, 0xA0, 0x1E,
                                            0xA0, 0x1F, 0xA0, 0x20, 0xA0, 0x21, 0xA0, 0x22 };
    uint8_t values[10];
    uint8_t write_command[11] = { 0xD4, 0x32, 0x0B };
    uint32_t status = ktr610_fixed_command(handle, read_command, sizeof read_command, values, sizeof values,
                                           timeout_ms);
    if (status != KTR610_OK)
        return status;
    utl_memcpy(write_command + 3, values + 2, 8);
    return configure(handle, write_command, sizeof write_command, timeout_ms);
}

KTR610_API uint32_t ktr610_initialize_device(ktr610_t* handle, uint32_t timeout_ms)
{
    static const uint8_t rf_item_02[] = { 0xD4, 0x32, 0x02, 0x00, 0x00, 0x00 };
    static const uint8_t rf_item_05[] = { 0xD4, 0x32, 0x05, 0x00, 0x00, 0x00 };
    static const uint8_t rf_item_81[] = { 0xD4, 0x32, 0x81, 0x8F };
    static const uint8_t write_register[] = { 0xD4, 0x08, 0x63, 0x0D, 0x00 };
    uint8_t answer[3];
    uint32_t status;

    if (handle == NULL || handle->transport == NULL)
        return KTR610_E_ARGUMENT;
    if ((status = ktr610_reset(handle, timeout_ms)) != KTR610_OK ||
        (status = configure(handle, rf_item_02, sizeof rf_item_02, timeout_ms)) != KTR610_OK ||
        (status = configure(handle, rf_item_05, sizeof rf_item_05, timeout_ms)) != KTR610_OK ||
        (status = configure(handle, rf_item_81, sizeof rf_item_81, timeout_ms)) != KTR610_OK)
        return status;
    status = ktr610_fixed_command(handle, write_register, sizeof write_register, answer, sizeof answer, timeout_ms);
    if (status != KTR610_OK)
        return status;
    if (answer[2] != 0x00)
        return KTR610_E_RESPONSE;
    if ((status = check_rf_registers(handle, timeout_ms)) != KTR610_OK)
        return status;
    if ((handle->flags & KTR610_FLAG_RF_OUT_OF_STEP) &&
        (status = rewrite_rf_analog_settings(handle, timeout_ms)) != KTR610_OK)
        return status;
    handle->flags = (handle->flags & ~KTR610_FLAG_INIT_MASK) | KTR610_FLAG_INIT_DONE;
    return KTR610_OK;
}
