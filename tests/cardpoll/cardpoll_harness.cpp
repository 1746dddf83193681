#include "cardpoll_harness.h"

#include <QProcess>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace cardpolltest {

// ---- EventServer ------------------------------------------------------------------------------

bool EventServer::start(const std::string& path)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path || pipe2(m_wake, O_CLOEXEC) != 0)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    m_listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    unlink(path.c_str());
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(m_listener, 8) != 0)
        return false;
    m_path = path;
    m_thread = std::thread(&EventServer::run, this);
    return true;
}

void EventServer::stop()
{
    if (m_thread.joinable()) {
        const char byte = 0;
        (void)!write(m_wake[1], &byte, 1);
        m_thread.join();
    }
    for (int* fd : { &m_listener, &m_wake[0], &m_wake[1] }) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
    if (!m_path.empty())
        unlink(m_path.c_str());
    m_path.clear();
}

std::vector<std::string> EventServer::messages() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

void EventServer::run()
{
    for (;;) {
        pollfd fds[2] = { { m_wake[0], POLLIN, 0 }, { m_listener, POLLIN, 0 } };
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        const int fd = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        // The sender writes one message and hangs up; a second is bounded by the poll.
        std::string message;
        char buffer[512];
        for (;;) {
            pollfd in = { fd, POLLIN, 0 };
            if (poll(&in, 1, 2000) <= 0)
                break;
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            message.append(buffer, static_cast<size_t>(n));
        }
        close(fd);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back(message);
    }
}

// ---- ChildProcess -----------------------------------------------------------------------------

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv, const std::string& outputFile,
                         const std::string& workDir)
{
    // Everything the child needs is prepared here: after fork() in a threaded process it may
    // only call async-signal-safe functions.
    std::vector<std::string> env;
    const std::string simBin = std::string(VNQ_SOURCE_TREE) + "/sim/bin";
    for (char** e = environ; *e; e++) {
        if (std::strncmp(*e, "PATH=", 5) == 0)
            env.push_back("PATH=" + simBin + ":" + (*e + 5));
        else
            env.emplace_back(*e);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<std::string> argv = { program };
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp, envp;
    for (std::string& a : argv)
        argp.push_back(a.data());
    argp.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        return false;
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        if (!workDir.empty() && chdir(workDir.c_str()) != 0)
            _exit(127);
        execve(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    close(out);
    return m_pid > 0;
}

bool ChildProcess::waitExit(int timeoutMs, int* exitStatus)
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    const bool ended = waitUntil(
        [&] {
            const pid_t r = waitpid(m_pid, &status, WNOHANG);
            return r == m_pid;
        },
        timeoutMs);
    if (!ended)
        return false;
    m_pid = -1;
    if (exitStatus)
        *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

bool ChildProcess::running()
{
    return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0;
}

void ChildProcess::kill()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

// ---- helpers ----------------------------------------------------------------------------------

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        usleep(2000);
    }
    return true;
}

bool buildBoardRoot(const vnq::test::TempBoardRoot& root)
{
    const QString builder = QStringLiteral(VNQ_SOURCE_TREE "/sim/make-board-root.sh");
    return QProcess::execute(builder, { root.root(), qEnvironmentVariable("VNQ_BUILD_DIR") }) == 0;
}

bool startTerminal(const vnq::test::TempBoardRoot& root, ChildProcess& terminal)
{
    const std::string app = root.path("/VnQo/app/App").toStdString();
    return terminal.start(app + "/VantroQo", { "-Basic" }, {}, root.path("/vantroqo.out").toStdString(), app);
}

std::string readText(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t countOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        count++;
    return count;
}

std::string eventMessage(const std::string& type, int len, const std::string& id)
{
    return "<iccard><ictype>61</ictype><fwver>0120</fwver><type>" + type + "</type><len>" + std::to_string(len) +
           "</len><id>" + id + "</id></iccard>";
}

// ---- CardpollBoard ----------------------------------------------------------------------------

void CardpollBoard::SetUp()
{
    // A hung wait fails the test instead of stalling the suite. A loaded machine takes several
    // times as long as an idle one over a test with the terminal, so this is no measure of it.
    alarm(240);
    ASSERT_TRUE(root.isValid());
    for (const char* dir : { "/dev", "/tmp", "/var/log" })
        ASSERT_TRUE(root.makeDir(dir));
    namespace fs = std::filesystem;
    const fs::path board = fs::path(VNQ_SOURCE_TREE) / "sim/board";
    for (const char* script : { "/VnQo/app/Service/iccard_socket_count.sh", "/VNQ/bin/vnq_force_power_off" }) {
        const fs::path target = root.path(script).toStdString();
        fs::create_directories(target.parent_path());
        fs::copy_file(board / (script + 1), target);
    }

    sim.setAnswerHook([this](const vnq::sim::Bytes& command, vnq::sim::CardField* field) {
        if (command.size() >= 4 && command[0] == 0xD4 && command[1] == 0x4A)
            (command[3] == 0x00 ? m_typeAPolls : m_felicaPolls)++;
        std::lock_guard<std::mutex> lock(m_hookMutex);
        return m_hook ? m_hook(command, field) : std::nullopt;
    });
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(symlink(sim.devicePath().c_str(), root.path("/dev/ttyS0").toLocal8Bit().constData()), 0);
    m_outputFile = root.path("/cardpoll.out").toStdString();
}

void CardpollBoard::TearDown()
{
    cardpoll.kill();
    server.stop();
    sim.stop();
    alarm(0);
}

void CardpollBoard::startCardpoll(const std::vector<std::string>& args, bool gateOpen, const std::string& gateIntervalMs)
{
    if (gateOpen) {
        ASSERT_TRUE(root.writeFile("/var/log/iccard_start", ""));
    }
    std::vector<std::string> env = extraEnv;
    if (!gateIntervalMs.empty())
        env.push_back("VNQ_CARDPOLL_GATE_MS=" + gateIntervalMs);
    // The simulated reader answers on a thread of this process, which a loaded machine may
    // hold up past the service's usual 100 ms: the exchange time-out is a second unless the
    // test's own arguments set one.
    std::vector<std::string> all = { "-t", "1000" };
    all.insert(all.end(), args.begin(), args.end());
    ASSERT_TRUE(cardpoll.start(CARDPOLL_PROGRAM, all, env, m_outputFile));
}

bool CardpollBoard::startServer()
{
    return server.start(serverPath());
}

bool CardpollBoard::waitForFelicaPolls(int count, int timeoutMs)
{
    const int target = m_felicaPolls + count;
    return waitUntil([&] { return m_felicaPolls >= target; }, timeoutMs);
}

bool CardpollBoard::waitForTypeAPolls(int count, int timeoutMs)
{
    const int target = m_typeAPolls + count;
    return waitUntil([&] { return m_typeAPolls >= target; }, timeoutMs);
}

bool CardpollBoard::waitForEvents(size_t count, int timeoutMs)
{
    return waitUntil([&] { return server.messages().size() >= count; }, timeoutMs);
}

void CardpollBoard::setHook(vnq::sim::ReaderSession::AnswerHook hook)
{
    std::lock_guard<std::mutex> lock(m_hookMutex);
    m_hook = std::move(hook);
}

std::string CardpollBoard::commandLog() const
{
    return readText(root.path("/var/log/sim-commands.log").toStdString());
}

std::string CardpollBoard::serverPath() const
{
    return root.path("/tmp/iccard.uds").toStdString();
}

}  // namespace cardpolltest
