#ifndef CARDPOLL_CARD_H
#define CARDPOLL_CARD_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { CARDPOLL_FELICA = 0, CARDPOLL_TYPEA = 1 };

/* Longest Type A NFCID (ISO/IEC 14443: 4, 7 or 10 bytes). */
#define CARDPOLL_TYPEA_ID_MAX 10

/* The reads of the card on the reader: cleared whenever the card is gone or two reads
 * disagree; a card is reported when its second read agrees with the first. */
typedef struct cardpoll_card {
    uint8_t reads;       /* reads stored: 0, 1 or 2 (2 = reported) */
    uint8_t type;        /* CARDPOLL_FELICA or CARDPOLL_TYPEA */
    uint8_t id[2][16];   /* FeliCa IDm or Type A NFCID of each read, zero-padded */
    uint8_t info[2][16]; /* FeliCa PMm of each read; Type A: [n][0] = the NFCID length */
} cardpoll_card_t;

/* What a list-target answer does to the card record. */
typedef enum cardpoll_read {
    CARDPOLL_READ_REFUSED, /* not an answer this turn accepts */
    CARDPOLL_READ_STORED,  /* stored as the first read */
    CARDPOLL_READ_CAUGHT,  /* second read agrees: report the card */
    CARDPOLL_READ_DISCORD  /* second read disagrees: the record is cleared */
} cardpoll_read_t;

void cardpoll_card_clear(cardpoll_card_t* card);

/* Takes a FeliCa list-target answer (D5 4B, targets, target number, polling answer length,
 * answer code 01, IDm, PMm, ...) of one target as the next read; the caller has checked that
 * it lists one target and that fewer than two reads are stored. */
cardpoll_read_t cardpoll_felica_read(cardpoll_card_t* card, const uint8_t* answer, uint32_t len);

/* The same for a Type A answer (D5 4B, targets, target number, SENS_RES (2), SEL_RES,
 * NFCID length L, NFCID): exactly L + 8 bytes with L at most 10 and a SENS_RES not 00 00. */
cardpoll_read_t cardpoll_typea_read(cardpoll_card_t* card, const uint8_t* answer, uint32_t len);

/* The card event message of a reported card; the length written, or -1 when out is too
 * small. */
int cardpoll_card_message(const cardpoll_card_t* card, uint8_t ic_type, uint16_t firmware_version, char* out,
                          size_t out_size);

/* Keeps the first read only, so that the next agreeing read reports the card again. */
void cardpoll_card_unreport(cardpoll_card_t* card);

#ifdef __cplusplus
}
#endif

#endif
