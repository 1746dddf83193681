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
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);
    // Runs the event loop until every update the client has written so far is received, also
    // those written by what that set off without waiting for a timer: the updates of a call
    // are all in once it returns. The bound only ends a test that hangs.
    bool settle(int timeoutMs = 10000);
    bool waitForClient(int timeoutMs = 10000);
    bool waitForUpdates(int count, int timeoutMs = 10000);
};

}  // namespace vnq::test
