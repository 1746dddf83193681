#define _GNU_SOURCE
#include "cardpoll_service.h"

#include "cardpoll_board.h"
#include "cardpoll_card.h"
#include "cardpoll_event.h"
#include "cardpoll_options.h"
#include "cardpoll_retry.h"
#include "ktr610_driver.h"
#include "ktr610_uart.h"
#include "utl.h"
#include "vnq_boardroot.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define BANNER_TITLE "Polling Service for KT-R610 --- ver 1.0"
#define BANNER_NOTICE "(VantroQo terminal card service)"

/* Exit status of a start-up failure or a usage error. */
#define EXIT_STARTUP 255
/* Consecutive failed exchanges tolerated; one more powers the terminal off. */
#define ERROR_LIMIT 10
/* Tries of the start gate, one each interval. */
#define GATE_TRIES 300
#define GATE_INTERVAL_MS 1000
/* Unit of the back-off of an undelivered card event. */
#define RETRY_UNIT_MS 1000
#define RESPONSE_SIZE 128

static const ktr610_driver_t ktr610_uart_basic_func = {
    "ktr610_uart",
    ktr610_uart_open,
    ktr610_close,
    ktr610_uart_initialize_device,
    ktr610_ping,
    ktr610_reset,
    ktr610_execute_command,
    ktr610_cancel_command,
    ktr610_felica_command,
    254,
    254,
    ktr610_rf_off,
    ktr610_rf_on,
    ktr610_set_dev_speed,
    ktr610_set_speed,
    NULL,
    NULL,
};

static const uint8_t in_rf_reg_read_command[] = { 0xD4, 0x06, 0xA0, 0x1B, 0xA0, 0x1C, 0xA0, 0x1D, 0xA0,
                                                  0x1E, 0xA0, 0x1F, 0xA0, 0x20, 0xA0, 0x21, 0xA0, 0x22 };
static const uint8_t in_rf_config_command[] = { 0xD4, 0x32, 0x0B };
static const uint8_t in_felica_polling_command[] = { 0xD4, 0x4A, 0x01, 0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00 };
static const uint8_t in_typeA_polling_command[] = { 0xD4, 0x4A, 0x01, 0x00 };

/* Settings from the command line. */
static const char* s_port_name;
static uint32_t s_speed;
static uint32_t s_timeout;
static char s_server_path[CARDPOLL_SERVER_PATH_SIZE];
static int s_wait;
static ktr610_t s_reader;
static uint8_t s_ic_type;
static uint16_t s_firmware_version;
static cardpoll_card_t s_card;
static uint8_t s_error_cnt;
static cardpoll_retry_t s_retry;
static uint32_t s_retry_unit_ms;

static void fail_startup(const char* logger_text)
{
    cardpoll_logger(logger_text);
    exit(EXIT_STARTUP);
}

/* A duration from the environment, at most its board value. VNQ_CARDPOLL_GATE_MS (between two
 * tries of the start gate) and VNQ_CARDPOLL_RETRY_MS (the back-off unit of an undelivered card)
 * shorten them for the tests; the board never sets them. */
static uint32_t env_ms(const char* name, uint32_t board_value)
{
    const char* text = getenv(name);
    char* end = NULL;
    unsigned long value;
    if (text == NULL || *text == '\0')
        return board_value;
    value = strtoul(text, &end, 10);
    return *end == '\0' && value <= board_value ? (uint32_t)value : board_value;
}

/* Takes the parsed settings. The default paths are board paths and live under VNQ_ROOT;
 * paths given on the command line are used as given. */
static void take_settings(const cardpoll_options_t* options, char* port, size_t port_size)
{
    s_port_name = options->port_name;
    s_speed = options->speed;
    s_timeout = options->timeout_ms;
    s_wait = options->wait_ms;
    s_retry_unit_ms = env_ms("VNQ_CARDPOLL_RETRY_MS", RETRY_UNIT_MS);
    strcpy(s_server_path, options->server_path);
    if (!options->port_given) {
        vnq_board_path(port, port_size, options->port_name);
        s_port_name = port;
    }
    /* A board root too long for a socket address leaves the address empty, which the sender
     * reports as a bad address. */
    if (!options->server_given &&
        vnq_board_path(s_server_path, CARDPOLL_SOCKET_PATH_MAX + 1, options->server_path) == NULL)
        s_server_path[0] = '\0';
}

static void write_status_file(void)
{
    char file[4200];
    char line[4300];
    if (cardpoll_board_word(file, sizeof file, "/tmp/iccard.status") == NULL)
        return;
    snprintf(line, sizeof line, "echo %02x-%04x > %s", s_ic_type, s_firmware_version, file);
    cardpoll_system(line);
}

/* Reads the analog RF registers and loads them back as RF configuration item 0B. */
static void configure_rf(void)
{
    uint8_t response[RESPONSE_SIZE];
    uint8_t command[sizeof in_rf_config_command + 8];
    uint32_t len = 0;
    uint32_t status;

    status = ktr610_uart_basic_func.execute_command(&s_reader, in_rf_reg_read_command, sizeof in_rf_reg_read_command,
                                                    sizeof response, response, &len, s_timeout);
    /* The configuration takes answer bytes 2-9; a shorter answer has no values to load. */
    if (status == KTR610_OK && len < 10)
        status = KTR610_E_RESPONSE;
    if (status != KTR610_OK) {
        printf("Failed read register (Error=%u)\n", status);
        fail_startup("KTR610 RF設定取得失敗");
    }
    memcpy(command, in_rf_config_command, sizeof in_rf_config_command);
    memcpy(command + sizeof in_rf_config_command, response + 2, 8);
    status = ktr610_uart_basic_func.execute_command(&s_reader, command, sizeof command, sizeof response, response,
                                                    &len, s_timeout);
    if (status != KTR610_OK) {
        printf("Failed RF config (Error=%u)\n", status);
        fail_startup("KTR610 RF設定取得失敗 typeA");
    }
}

static void start_reader(void)
{
    uint32_t status;

    status = ktr610_uart_basic_func.open(&s_reader, s_port_name);
    if (status != KTR610_OK) {
        printf("Cannot open the device(%s) (Error=%u)\n", s_port_name, status);
        fail_startup("KTR610 オープン失敗");
    }
    if (ktr610_uart_basic_func.set_speed != NULL) {
        status = ktr610_uart_basic_func.set_speed(&s_reader, s_speed);
        if (status != KTR610_OK) {
            printf("Cannot set speed(%u) (Error=%u)\n", s_speed, status);
            fail_startup("KTR610 ボーレート変更失敗");
        }
    }
    if (s_wait > 0) {
        printf("\n<<< Initialize wait %d >>>\n", s_wait);
        fflush(stdout);
        utl_msleep((uint32_t)s_wait);
    }
    if (ktr610_uart_basic_func.initialize_device != NULL) {
        status = ktr610_uart_basic_func.initialize_device(&s_reader, s_timeout);
        if (status != KTR610_OK) {
            printf("Cannot initialize the device(%s) (Error=%u)\n", s_port_name, status);
            fail_startup("KTR610 初期化失敗");
        }
    }
    status = ktr610_reset(&s_reader, s_timeout);
    if (status != KTR610_OK) {
        printf("Failure in ktr610_reset():%u\n", status);
        fail_startup("KTR610 リセット失敗");
    }
    status = ktr610_get_firmware_version(&s_reader, &s_ic_type, &s_firmware_version, s_timeout);
    if (status != KTR610_OK) {
        printf("Failure in ktr610_get_firmware_version():%u\n", status);
        fail_startup("KTR610 バージョン取得失敗");
    }
    printf("IC type:          %02x\n", s_ic_type);
    printf("Firmware version: %04x\n", s_firmware_version);
    write_status_file();
    configure_rf();
}

/* Waits until the terminal application marks that it has loaded its settings. */
static void wait_for_start_gate(void)
{
    const uint32_t interval = env_ms("VNQ_CARDPOLL_GATE_MS", GATE_INTERVAL_MS);
    char marker[4096];
    int i;

    cardpoll_logger("KTR610 SyncFileCheck Start");
    if (vnq_board_path(marker, sizeof marker, "/var/log/iccard_start") != NULL) {
        for (i = 0; i < GATE_TRIES; i++) {
            FILE* file = fopen(marker, "r");
            if (file != NULL) {
                fclose(file);
                cardpoll_logger("KTR610 SyncFile OK!!");
                return;
            }
            utl_msleep(interval);
        }
    }
    cardpoll_logger("KTR610 FlieCheck TimeOUT...");
}

static void count_error(uint32_t status)
{
    s_error_cnt++;
    if (status == KTR610_E_TIMEOUT)
        printf("KTR610 タイムアウト %d\n", errno);
    else
        printf("KTR610 その他エラー %d\n", errno);
    if (s_error_cnt > ERROR_LIMIT) {
        cardpoll_logger("KTR610 エラー検知");
        {
            char line[4200];
            if (cardpoll_board_word(line, sizeof line - 2, "/VNQ/bin/vnq_force_power_off") != NULL) {
                strcat(line, " &");
                cardpoll_system(line);
            }
        }
        fflush(stdout);
        exit(1);
    }
}

/* One polling exchange. An answer too short to hold the target count fails like a broken
 * exchange. */
static uint32_t poll_reader(const uint8_t* command, uint32_t command_len, uint8_t* answer, uint32_t* len)
{
    uint32_t status = ktr610_uart_basic_func.execute_command(&s_reader, command, command_len, RESPONSE_SIZE, answer,
                                                             len, s_timeout);
    if (status == KTR610_OK && *len < 3)
        status = KTR610_E_RESPONSE;
    if (status != KTR610_OK) {
        count_error(status);
        return status;
    }
    s_error_cnt = 0;
    return KTR610_OK;
}

/* A card that could not be delivered stays reported until its back-off has run out; the next
 * agreeing read then reports it again. */
static void send_card_event(void)
{
    char message[256];
    const int len = cardpoll_card_message(&s_card, s_ic_type, s_firmware_version, message, sizeof message);
    if (len < 0 ||
        cardpoll_send_card_event(s_server_path, message, (size_t)len) == CARDPOLL_SEND_FAILED) {
        const uint32_t delay = cardpoll_retry_failed(&s_retry, utl_get_time_msec(), s_retry_unit_ms);
        printf("Card event not delivered, next try in %u ms\n", delay);
        return;
    }
    cardpoll_retry_clear(&s_retry);
}

static void card_taken_away(void)
{
    cardpoll_card_clear(&s_card);
    cardpoll_retry_clear(&s_retry);
}

/* Returns non-zero when the cycle goes on to the Type A turn. */
static int felica_turn(void)
{
    uint8_t answer[RESPONSE_SIZE];
    uint32_t len = 0;
    cardpoll_read_t read;

    if (poll_reader(in_felica_polling_command, sizeof in_felica_polling_command, answer, &len) != KTR610_OK)
        return s_card.reads == 0;
    if (answer[2] == 0) {
        card_taken_away();
        return 1;
    }
    if (answer[2] > 1)
        return s_card.reads == 0;
    if (s_card.reads == 2)
        return 0;
    read = cardpoll_felica_read(&s_card, answer, len);
    if (read == CARDPOLL_READ_DISCORD)
        return 1;
    if (read == CARDPOLL_READ_CAUGHT)
        send_card_event();
    return s_card.reads == 0;
}

static void typea_turn(void)
{
    uint8_t answer[RESPONSE_SIZE];
    uint32_t len = 0;

    if (poll_reader(in_typeA_polling_command, sizeof in_typeA_polling_command, answer, &len) != KTR610_OK)
        return;
    if (answer[2] == 0) {
        card_taken_away();
        return;
    }
    if (answer[2] == 1 && s_card.reads < 2 && cardpoll_typea_read(&s_card, answer, len) == CARDPOLL_READ_CAUGHT)
        send_card_event();
}

static void poll_cycle(void)
{
    int typea = 1;
    if (s_card.reads == 2 && cardpoll_retry_due(&s_retry, utl_get_time_msec()))
        cardpoll_card_unreport(&s_card);
    /* A card whose Type A reads are stored skips the FeliCa turn. */
    if (s_card.reads == 0 || s_card.type == CARDPOLL_FELICA)
        typea = felica_turn();
    if (typea)
        typea_turn();
    fflush(stdout);
    ktr610_rf_off(&s_reader, s_timeout);
    ktr610_rf_on(&s_reader, s_timeout);
}

int cardpoll_main(int argc, char** argv)
{
    cardpoll_options_t options;
    char port[4096];

    /* Lines appear as they are printed, also when standard output is a file or a pipe. */
    setvbuf(stdout, NULL, _IOLBF, 0);
    cardpoll_options_default(&options);
    if (cardpoll_options_parse(&options, argc, argv) != 0) {
        cardpoll_print_usage(stdout, argv[0]);
        return EXIT_STARTUP;
    }
    take_settings(&options, port, sizeof port);

    card_taken_away();
    s_error_cnt = 0;
    printf("\n<< %s %s >> \n\n", BANNER_TITLE, BANNER_NOTICE);
    start_reader();
    wait_for_start_gate();
    for (;;)
        poll_cycle();
}
