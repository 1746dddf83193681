#pragma once

#include "control_command.h"
#include "pty_line.h"
#include "reader_session.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vnq::sim {

// A reader chip on a pseudo-terminal, answered from a thread of its own. The host opens
// devicePath() like the reader's serial port; the card field and the faults can be changed
// at any time.
class SimulatedReader {
public:
    SimulatedReader() = default;
    SimulatedReader(const SimulatedReader&) = delete;
    SimulatedReader& operator=(const SimulatedReader&) = delete;
    ~SimulatedReader() { stop(); }

    bool start();
    void stop();

    std::string devicePath() const;

    void setField(const CardField& field);
    void setFault(Fault fault, int count = -1);
    void setRegister(uint16_t address, uint8_t value);
    // See ReaderSession::setAnswerHook; the hook runs on the reader's thread.
    void setAnswerHook(ReaderSession::AnswerHook hook);
    // See ReaderSession::setPollDelay.
    void setPollDelay(int ms);
    // Applies a parsed control command (a quit is left to the caller).
    void apply(const ControlCommand& command);

    // Commands received so far (the data of each valid frame) and frames refused.
    std::vector<Bytes> commands() const;
    int badFrames() const;
    bool lineOpen() const;

    // When set, a line closed by the Close fault is replaced by a fresh one; the handler gets
    // its device path (on the reader's thread) before the old line hangs up.
    void setReopenHandler(std::function<void(const std::string&)> handler);

private:
    void run();
    void perform(const std::vector<LineOutput>& outputs);

    mutable std::mutex m_mutex;
    ReaderSession m_session;
    PtyLine m_line;
    std::string m_path;
    std::function<void(const std::string&)> m_reopen;
    std::thread m_thread;
    int m_wake[2] = { -1, -1 };
    std::atomic<bool> m_stop{ false };
};

}  // namespace vnq::sim
