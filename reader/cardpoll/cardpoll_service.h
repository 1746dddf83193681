#ifndef CARDPOLL_SERVICE_H
#define CARDPOLL_SERVICE_H

/* Runs the card polling service; returns only to end the program (255 on a start-up failure
 * or a usage error). The error limit ends the process itself with status 1. */
int cardpoll_main(int argc, char** argv);

#endif
