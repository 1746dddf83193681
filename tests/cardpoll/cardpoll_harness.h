#pragma once

#include "simulated_reader.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace cardpolltest {

// How long a test waits for something a child process should do before it gives up. Only a
// failing test waits this long; a loaded machine running the sanitizer build can be slow.
constexpr int kGiveUpMs = 60000;

// A local stream socket server that keeps what each connection wrote until it hung up, as the
// terminal's card event receiver gets one message per connection.
class EventServer {
public:
    ~EventServer() { stop(); }
    bool start(const std::string& path);
    void stop();
    std::vector<std::string> messages() const;

private:
    void run();

    std::string m_path;
    int m_listener = -1;
    int m_wake[2] = { -1, -1 };
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;
};

// A program under test as a child process, with the stub commands first on PATH; its
// standard output and error go to a file. It dies with the test.
class ChildProcess {
public:
    ~ChildProcess() { kill(); }
    bool start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& extraEnv, const std::string& outputFile,
               const std::string& workDir = "");
    // Waits for the process to end; false when it is still running at the deadline.
    bool waitExit(int timeoutMs, int* exitStatus);
    bool running();
    void kill();

private:
    pid_t m_pid = -1;
};

// Lays out the simulated board under root with the board-root builder, as ./vq run does.
bool buildBoardRoot(const vnq::test::TempBoardRoot& root);
// Starts the terminal of that board in the basic edition (its output in /vantroqo.out).
bool startTerminal(const vnq::test::TempBoardRoot& root, ChildProcess& terminal);

// Calls done() every few milliseconds until it holds or timeoutMs have passed.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = kGiveUpMs);

std::string readText(const std::string& file);
size_t countOf(const std::string& text, const std::string& part);

// A temporary board with the simulated reader linked at /dev/ttyS0, the board's card scripts,
// the stub commands first on PATH and a test server on /tmp/iccard.uds.
class CardpollBoard : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts cardpoll with the start gate open unless told otherwise.
    void startCardpoll(const std::vector<std::string>& args = {}, bool gateOpen = true,
                       const std::string& gateIntervalMs = "");
    bool startServer();

    // Polls seen by the simulated reader so far.
    int felicaPolls() const { return m_felicaPolls; }
    int typeAPolls() const { return m_typeAPolls; }
    // Waits until the reader has seen count more FeliCa (or Type A) polls.
    bool waitForFelicaPolls(int count, int timeoutMs = kGiveUpMs);
    bool waitForTypeAPolls(int count, int timeoutMs = kGiveUpMs);
    bool waitForEvents(size_t count, int timeoutMs = kGiveUpMs);

    // An extra hook run on every command the reader gets (see ReaderSession::setAnswerHook).
    void setHook(vnq::sim::ReaderSession::AnswerHook hook);

    std::string output() const { return readText(m_outputFile); }
    std::string commandLog() const;
    std::string serverPath() const;

    // Further environment entries ("NAME=value") for the next startCardpoll().
    std::vector<std::string> extraEnv;

    vnq::test::TempBoardRoot root;
    vnq::sim::SimulatedReader sim;
    EventServer server;
    ChildProcess cardpoll;

private:
    std::string m_outputFile;
    std::atomic<int> m_felicaPolls{ 0 };
    std::atomic<int> m_typeAPolls{ 0 };
    std::mutex m_hookMutex;
    vnq::sim::ReaderSession::AnswerHook m_hook;
};

// The expected card event message.
std::string eventMessage(const std::string& type, int len, const std::string& id);

}  // namespace cardpolltest
