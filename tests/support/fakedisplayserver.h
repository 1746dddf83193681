#pragma once

#include "displaystandin.h"

#include <functional>

namespace vnq::test {

// The display stand-in for the terminal's screen-protocol client inside a test: create it
// inside a TempBoardRoot, before the client connects. Adds the waits of the tests.
class FakeDisplayServer : public vnq::sim::DisplayStandIn {
    Q_OBJECT
public:
    FakeDisplayServer() = default;

    // Runs the event loop until the condition holds or timeoutMs passes; the condition's
    // last value.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 2000);
    bool waitForClient(int timeoutMs = 2000);
    bool waitForUpdates(int count, int timeoutMs = 5000);
};

}  // namespace vnq::test
