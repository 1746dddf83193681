#include "cardpoll_card.h"

#include <stdio.h>
#include <string.h>

/* Offsets in a list-target answer. */
enum {
    TARGETS = 2,
    TARGET_NUMBER = 3,
    FELICA_LENGTH = 4,
    FELICA_CODE = 5,
    FELICA_IDM = 6,
    FELICA_PMM = 14,
    TYPEA_SENS_RES = 4,
    TYPEA_ID_LENGTH = 7,
    TYPEA_ID = 8
};

void cardpoll_card_clear(cardpoll_card_t* card)
{
    memset(card, 0, sizeof *card);
}

static void print_hex8(const uint8_t* bytes)
{
    printf("%02x%02x%02x%02x%02x%02x%02x%02x", bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5],
           bytes[6], bytes[7]);
}

static cardpoll_read_t felica_compare(cardpoll_card_t* card)
{
    if (memcmp(card->id[0], card->id[1], 8) != 0 || memcmp(card->info[0], card->info[1], 8) != 0) {
        printf("Discord FeliCa ID's!!\n  IDm ");
        print_hex8(card->id[0]);
        printf(", ");
        print_hex8(card->id[1]);
        printf("\n  PMM ");
        print_hex8(card->info[0]);
        printf(", ");
        print_hex8(card->info[1]);
        printf("\n");
        cardpoll_card_clear(card);
        return CARDPOLL_READ_DISCORD;
    }
    printf("Catch FeliCa Card\n  IDm ");
    print_hex8(card->id[0]);
    printf("\n  PMM ");
    print_hex8(card->info[0]);
    printf("\n");
    return CARDPOLL_READ_CAUGHT;
}

cardpoll_read_t cardpoll_felica_read(cardpoll_card_t* card, const uint8_t* answer, uint32_t len)
{
    uint8_t n;
    if (len <= 5 || answer[TARGET_NUMBER] != 1)
        return CARDPOLL_READ_REFUSED;
    if (answer[FELICA_LENGTH] != 20 && answer[FELICA_LENGTH] != 18)
        return CARDPOLL_READ_REFUSED;
    if (len < (uint32_t)answer[FELICA_LENGTH] + 4 || answer[FELICA_CODE] != 0x01)
        return CARDPOLL_READ_REFUSED;
    n = card->reads;
    card->type = CARDPOLL_FELICA;
    memcpy(card->id[n], answer + FELICA_IDM, 8);
    memcpy(card->info[n], answer + FELICA_PMM, 8);
    card->reads = (uint8_t)(n + 1);
    return card->reads == 2 ? felica_compare(card) : CARDPOLL_READ_STORED;
}

static cardpoll_read_t typea_compare(cardpoll_card_t* card)
{
    if (memcmp(card->id[0], card->id[1], 8) != 0 || card->info[0][0] != card->info[1][0]) {
        printf("Discord TypeA ID's!!\n  ID(%d, %d) ", card->info[0][0], card->info[1][0]);
        print_hex8(card->id[0]);
        printf(", ");
        print_hex8(card->id[1]);
        printf("\n");
        cardpoll_card_clear(card);
        return CARDPOLL_READ_DISCORD;
    }
    printf("Catch TypeA Card\n  ID(%d) ", card->info[0][0]);
    print_hex8(card->id[0]);
    printf("\n");
    return CARDPOLL_READ_CAUGHT;
}

cardpoll_read_t cardpoll_typea_read(cardpoll_card_t* card, const uint8_t* answer, uint32_t len)
{
    uint8_t n, id_len;
    if (len <= 7 || answer[TARGET_NUMBER] != 1)
        return CARDPOLL_READ_REFUSED;
    id_len = answer[TYPEA_ID_LENGTH];
    if (id_len > CARDPOLL_TYPEA_ID_MAX || len != (uint32_t)id_len + TYPEA_ID)
        return CARDPOLL_READ_REFUSED;
    if (answer[TYPEA_SENS_RES] == 0 && answer[TYPEA_SENS_RES + 1] == 0)
        return CARDPOLL_READ_REFUSED;
    n = card->reads;
    card->type = CARDPOLL_TYPEA;
    memset(card->id[n], 0, sizeof card->id[n]);
    memcpy(card->id[n], answer + TYPEA_ID, id_len);
    card->info[n][0] = id_len;
    card->reads = (uint8_t)(n + 1);
    return card->reads == 2 ? typea_compare(card) : CARDPOLL_READ_STORED;
}

int cardpoll_card_message(const cardpoll_card_t* card, uint8_t ic_type, uint16_t firmware_version, char* out,
                          size_t out_size)
{
    const uint8_t* id = card->id[0];
    const int felica = card->type == CARDPOLL_FELICA;
    const int n = snprintf(out, out_size,
                           "<iccard><ictype>%02x</ictype><fwver>%04x</fwver><type>%s</type><len>%d</len>"
                           "<id>%02x%02x%02x%02x%02x%02x%02x%02x</id></iccard>",
                           ic_type, firmware_version, felica ? "FeliCa" : "TypeA", felica ? 8 : card->info[0][0],
                           id[0], id[1], id[2], id[3], id[4], id[5], id[6], id[7]);
    return n < 0 || (size_t)n >= out_size ? -1 : n;
}

void cardpoll_card_unreport(cardpoll_card_t* card)
{
    if (card->reads == 2)
        card->reads = 1;
}
