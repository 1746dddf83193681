#include "cardpoll_service.h"

int main(int argc, char** argv)
{
    return cardpoll_main(argc, argv);
}
