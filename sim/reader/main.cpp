// vnq_sim_reader: the reader chip of the simulated board.
//
//   vnq_sim_reader [-l link] [-c control] [-d ms]  serve: make a line, link it, take commands
//   vnq_sim_reader [-c control] send <command>     send one command to a running reader
//
// The line is linked at <board root>/dev/ttyS0 and the control socket is
// <board root>/tmp/vnq_sim_reader.ctl unless named; the commands are those of
// control_command.h, one a line, each answered "ok" or "error <reason>". A list-target poll
// that finds no card is answered after the chip's poll time (ReaderSession::kChipPollTimeMs),
// or after -d ms (0: at once), so a polling host does not spin.

#include "control_command.h"
#include "simulated_reader.h"
#include "vnq_boardroot.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using namespace vnq::sim;

namespace {

int g_signalPipe[2] = { -1, -1 };

void onQuitSignal(int)
{
    const char byte = 0;
    (void)!write(g_signalPipe[1], &byte, 1);
}

bool socketAddress(const std::string& path, sockaddr_un* addr)
{
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    if (path.size() >= sizeof addr->sun_path)
        return false;
    std::memcpy(addr->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Points link at target, replacing an earlier link but never another kind of file.
bool pointLink(const std::string& link, const std::string& target)
{
    struct stat st;
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        std::fprintf(stderr, "vnq_sim_reader: %s exists and is no link\n", link.c_str());
        return false;
    }
    const std::string temp = link + ".new";
    unlink(temp.c_str());
    if (symlink(target.c_str(), temp.c_str()) != 0 || rename(temp.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "vnq_sim_reader: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

std::string boardPath(const char* path)
{
    char out[4096];
    return vnq_board_path(out, sizeof out, path) ? out : "";
}

std::string reply(SimulatedReader& reader, const std::string& line, bool* quit)
{
    std::string error;
    const auto command = parseControlCommand(line, &error);
    if (!command)
        return "error " + error;
    if (command->kind == ControlCommand::Kind::Quit)
        *quit = true;
    else
        reader.apply(*command);
    return "ok";
}

int send(const std::string& control, const std::string& line)
{
    sockaddr_un addr;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || !socketAddress(control, &addr) ||
        connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        std::fprintf(stderr, "vnq_sim_reader: cannot reach %s: %s\n", control.c_str(), std::strerror(errno));
        return 1;
    }
    const std::string text = line + "\n";
    if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        return 1;
    std::string answer;
    char buffer[256];
    ssize_t n;
    while (answer.find('\n') == std::string::npos && (n = read(fd, buffer, sizeof buffer)) > 0)
        answer.append(buffer, static_cast<size_t>(n));
    close(fd);
    std::fputs(answer.c_str(), stdout);
    return answer.rfind("ok", 0) == 0 ? 0 : 1;
}

struct Client {
    int fd;
    std::string pending;
};

int serve(const std::string& link, const std::string& control, int pollDelayMs)
{
    SimulatedReader reader;
    reader.setPollDelay(pollDelayMs);
    if (!reader.start()) {
        std::fprintf(stderr, "vnq_sim_reader: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    if (!pointLink(link, reader.devicePath()))
        return 1;
    reader.setReopenHandler([link](const std::string& path) { pointLink(link, path); });

    sockaddr_un addr;
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0 || !socketAddress(control, &addr)) {
        std::fprintf(stderr, "vnq_sim_reader: bad control socket %s\n", control.c_str());
        return 1;
    }
    unlink(control.c_str());
    if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener, 4) != 0) {
        std::fprintf(stderr, "vnq_sim_reader: cannot listen on %s: %s\n", control.c_str(), std::strerror(errno));
        return 1;
    }
    if (pipe2(g_signalPipe, O_CLOEXEC) != 0)
        return 1;
    std::signal(SIGINT, onQuitSignal);
    std::signal(SIGTERM, onQuitSignal);
    std::signal(SIGPIPE, SIG_IGN);
    std::printf("vnq_sim_reader: reader on %s, linked at %s, control %s\n", reader.devicePath().c_str(),
                link.c_str(), control.c_str());
    std::fflush(stdout);

    std::vector<Client> clients;
    bool quit = false;
    while (!quit) {
        std::vector<pollfd> fds = { { g_signalPipe[0], POLLIN, 0 }, { listener, POLLIN, 0 } };
        for (const Client& c : clients)
            fds.push_back({ c.fd, POLLIN, 0 });
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents)
            break;
        if (fds[1].revents) {
            const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                clients.push_back({ fd, {} });
        }
        for (size_t i = 2; i < fds.size(); i++) {
            if (!fds[i].revents)
                continue;
            Client& c = clients[i - 2];
            char buffer[512];
            const ssize_t n = read(c.fd, buffer, sizeof buffer);
            if (n <= 0 || c.pending.size() > 4096) {
                close(c.fd);
                c.fd = -1;
                continue;
            }
            c.pending.append(buffer, static_cast<size_t>(n));
            size_t end;
            while ((end = c.pending.find('\n')) != std::string::npos) {
                const std::string answer = reply(reader, c.pending.substr(0, end), &quit) + "\n";
                c.pending.erase(0, end + 1);
                (void)!write(c.fd, answer.data(), answer.size());
            }
        }
        clients.erase(std::remove_if(clients.begin(), clients.end(), [](const Client& c) { return c.fd < 0; }),
                      clients.end());
    }
    for (const Client& c : clients)
        close(c.fd);
    close(listener);
    unlink(control.c_str());
    unlink(link.c_str());
    reader.stop();
    return 0;
}

void usage(const char* program)
{
    std::fprintf(stderr, "Usage: %s [-l link] [-c control] [-d ms]\n       %s [-c control] send <command>\n", program,
                 program);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string link, control;
    int pollDelayMs = ReaderSession::kChipPollTimeMs;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-'; i += 2) {
        if (std::strcmp(argv[i], "-l") == 0)
            link = argv[i + 1];
        else if (std::strcmp(argv[i], "-c") == 0)
            control = argv[i + 1];
        else if (std::strcmp(argv[i], "-d") == 0)
            pollDelayMs = std::clamp(std::atoi(argv[i + 1]), 0, 1000);
        else
            break;
    }
    const bool sending = i < argc && std::strcmp(argv[i], "send") == 0;
    if (!sending && i < argc) {
        usage(argv[0]);
        return 2;
    }
    // Without a board root the defaults would be the machine's own /dev and /tmp.
    if ((link.empty() && !sending) || control.empty()) {
        if (!std::getenv("VNQ_ROOT")) {
            std::fprintf(stderr, "vnq_sim_reader: VNQ_ROOT is not set; name the link and control socket\n");
            return 2;
        }
        if (link.empty())
            link = boardPath("/dev/ttyS0");
        if (control.empty())
            control = boardPath("/tmp/vnq_sim_reader.ctl");
    }
    if (sending) {
        std::string line;
        for (int j = i + 1; j < argc; j++)
            line += (line.empty() ? "" : " ") + std::string(argv[j]);
        return send(control, line);
    }
    return serve(link, control, pollDelayMs);
}
