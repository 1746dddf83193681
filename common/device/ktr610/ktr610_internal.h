#ifndef KTR610_INTERNAL_H
#define KTR610_INTERNAL_H

#define KTR610_BUILD
#include "ktr610.h"
#include "utl.h"

/* Command data sits at this offset of a frame buffer, leaving room for the longest header. */
#define KTR610_DATA_OFFSET 8u

#define KTR610_ACK_FRAME_LEN 6u
extern const uint8_t ktr610_ack_frame[KTR610_ACK_FRAME_LEN];

/* Sends the command data at buffer + KTR610_DATA_OFFSET (command_len bytes) and receives the
 * response frame into buffer (KTR610_MAX_FRAME_LEN bytes); on success the response data
 * starts at buffer + *header_len and is *data_len bytes long. */
uint32_t ktr610_exchange(ktr610_t* handle, uint8_t* buffer, uint32_t command_len, uint32_t timeout_ms,
                         uint32_t* header_len, uint32_t* data_len);

/* Runs a command whose answer must be exactly answer_len bytes of D5 and the command code
 * plus one; anything else (an overflow included) is a bad response. */
uint32_t ktr610_fixed_command(ktr610_t* handle, const uint8_t* command, uint32_t command_len,
                              uint8_t* answer, uint32_t answer_len, uint32_t timeout_ms);

uint32_t ktr610_pause(uint32_t ms);
uint32_t ktr610_drain(ktr610_t* handle);

#endif
