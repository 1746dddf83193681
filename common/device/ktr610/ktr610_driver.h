#ifndef KTR610_DRIVER_H
#define KTR610_DRIVER_H

#include "ktr610.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The operations a polling program uses of one reader binding (serial or USB). A null slot
 * means the binding lacks that operation. */
typedef struct ktr610_driver {
    const char* name;
    uint32_t (*open)(ktr610_t* handle, const char* port_name);
    uint32_t (*close)(ktr610_t* handle);
    uint32_t (*initialize_device)(ktr610_t* handle, uint32_t timeout_ms);
    uint32_t (*ping)(ktr610_t* handle, uint32_t timeout_ms);
    uint32_t (*reset)(ktr610_t* handle, uint32_t timeout_ms);
    uint32_t (*execute_command)(ktr610_t* handle, const uint8_t* command, uint32_t command_len,
                                uint32_t response_capacity, uint8_t* response, uint32_t* response_len,
                                uint32_t timeout_ms);
    uint32_t (*cancel_command)(ktr610_t* handle);
    uint32_t (*felica_command)(ktr610_t* handle, const uint8_t* card_command, uint32_t card_command_len,
                               uint32_t response_capacity, uint8_t* response, uint32_t* response_len,
                               uint32_t card_timeout_ms, uint32_t timeout_ms);
    uint32_t max_card_command_len;
    uint32_t max_card_response_len;
    uint32_t (*rf_off)(ktr610_t* handle, uint32_t timeout_ms);
    uint32_t (*rf_on)(ktr610_t* handle, uint32_t timeout_ms);
    uint32_t (*set_dev_speed)(ktr610_t* handle, uint32_t bps, uint32_t timeout_ms);
    uint32_t (*set_speed)(ktr610_t* handle, uint32_t bps);
    void* reserved1;
    void* reserved2;
} ktr610_driver_t;

#ifdef __cplusplus
}
#endif

#endif
