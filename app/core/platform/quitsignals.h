#pragma once

class QCoreApplication;

namespace vnq {

// Lets SIGINT and SIGTERM end the event loop (exit status 0) instead of killing the process
// mid-statement, so Ctrl-C on the simulated board ends the terminal cleanly.
void quitEventLoopOnSignals(QCoreApplication& app);

}  // namespace vnq
