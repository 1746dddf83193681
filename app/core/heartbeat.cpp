#include "heartbeat.h"

std::atomic<int> selftick{0};
std::atomic<bool> selfcheckpass{false};
