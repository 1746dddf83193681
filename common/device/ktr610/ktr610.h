#ifndef KTR610_H
#define KTR610_H

#include "ktr610_status.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KTR610_BUILD)
#define KTR610_API __attribute__((visibility("default")))
#else
#define KTR610_API
#endif

/* Frame sizes of the chip's serial protocol. */
#define KTR610_MAX_COMMAND_LEN 265u  /* data bytes of the largest host command */
#define KTR610_MAX_FRAME_LEN 275u    /* bytes of the largest frame read from the chip */

/* Bits of ktr610_t.flags. */
#define KTR610_FLAG_SPEED_MASK 0x000000FFu   /* host line speed / 9600 */
#define KTR610_FLAG_INIT_MASK 0x00001F00u    /* initialisation state */
#define KTR610_FLAG_INIT_DONE 0x00000100u
#define KTR610_FLAG_RF_OUT_OF_STEP 0x00002000u

/* The byte transport under the chip layer; one constant table per transport. A null slot
 * means the transport lacks that step. Start and time-out values are milliseconds of
 * utl_get_time_msec(). */
typedef struct ktr610_transport {
    const char* name;
    uint32_t (*open)(int* port, const char* port_name);
    uint32_t (*close)(int port);
    uint32_t (*write)(int port, const uint8_t* data, uint32_t count, uint32_t start_ms, uint32_t timeout_ms);
    /* Returns once at least min bytes (never more than max) are in buffer. */
    uint32_t (*read)(int port, uint32_t min, uint32_t max, uint8_t* buffer, uint32_t* received,
                     uint32_t start_ms, uint32_t timeout_ms);
    uint32_t (*set_speed)(int port, uint32_t bps);
    uint32_t (*clear_rx_queue)(int port);
    uint32_t (*drain_tx_queue)(int port);
    void* reserved1;
    void* reserved2;
} ktr610_transport_t;

/* One reader, owned by the caller. */
typedef struct ktr610 {
    int port;                              /* the transport's port handle; -1 when closed */
    uint32_t flags;                        /* KTR610_FLAG_* */
    uint32_t ack_time;                     /* clock value of the last ACK (or response) */
    const ktr610_transport_t* transport;   /* not owned */
} ktr610_t;

KTR610_API uint32_t ktr610_initialize(ktr610_t* handle, const ktr610_transport_t* transport);
KTR610_API uint32_t ktr610_open(ktr610_t* handle, const char* port_name);
KTR610_API uint32_t ktr610_close(ktr610_t* handle);
KTR610_API uint32_t ktr610_set_speed(ktr610_t* handle, uint32_t bps);
KTR610_API uint32_t ktr610_clear_rx_queue(ktr610_t* handle);
KTR610_API uint32_t ktr610_get_ack_time(const ktr610_t* handle, uint32_t* ack_time);

/* Sends one command (D4, code, parameters) and receives the chip's response data (D5,
 * code + 1, ...). *response_len receives the full length; 17 when it exceeds capacity, in
 * which case response holds its first capacity bytes. */
KTR610_API uint32_t ktr610_execute_command(ktr610_t* handle, const uint8_t* command, uint32_t command_len,
                                           uint32_t response_capacity, uint8_t* response,
                                           uint32_t* response_len, uint32_t timeout_ms);

/* Passes one FeliCa card command through the chip; the response excludes its length byte. */
KTR610_API uint32_t ktr610_felica_command(ktr610_t* handle, const uint8_t* card_command,
                                          uint32_t card_command_len, uint32_t response_capacity,
                                          uint8_t* response, uint32_t* response_len,
                                          uint32_t card_timeout_ms, uint32_t timeout_ms);

KTR610_API uint32_t ktr610_get_firmware_version(ktr610_t* handle, uint8_t* ic_type, uint16_t* version,
                                                uint32_t timeout_ms);
KTR610_API uint32_t ktr610_ping(ktr610_t* handle, uint32_t timeout_ms);
KTR610_API uint32_t ktr610_reset(ktr610_t* handle, uint32_t timeout_ms);
KTR610_API uint32_t ktr610_rf_off(ktr610_t* handle, uint32_t timeout_ms);
KTR610_API uint32_t ktr610_rf_on(ktr610_t* handle, uint32_t timeout_ms);
KTR610_API uint32_t ktr610_set_rf_speed(ktr610_t* handle, uint32_t speed, uint32_t timeout_ms);
KTR610_API uint32_t ktr610_set_dev_speed(ktr610_t* handle, uint32_t bps, uint32_t timeout_ms);

/* Raw operations outside the command/response exchange. */
KTR610_API uint32_t ktr610_send_ack(ktr610_t* handle, uint32_t timeout_ms);
KTR610_API uint32_t ktr610_power_down(ktr610_t* handle, uint8_t wake_up_sources, uint32_t timeout_ms);
KTR610_API uint32_t ktr610_wake_up(ktr610_t* handle, uint32_t timeout_ms);
KTR610_API uint32_t ktr610_wait_for_wake_up(ktr610_t* handle, uint32_t timeout_ms);
KTR610_API uint32_t ktr610_cancel_command(ktr610_t* handle);

/* The chip's start-up configuration. */
KTR610_API uint32_t ktr610_initialize_device(ktr610_t* handle, uint32_t timeout_ms);

#ifdef __cplusplus
}
#endif

#endif
