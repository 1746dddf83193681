#include "simulated_reader.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace vnq::sim {

bool SimulatedReader::start()
{
    if (m_thread.joinable())
        return true;
    if (!m_line.open())
        return false;
    if (pipe2(m_wake, O_CLOEXEC) != 0) {
        m_line.close();
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_path = m_line.devicePath();
    }
    m_stop = false;
    m_thread = std::thread(&SimulatedReader::run, this);
    return true;
}

void SimulatedReader::stop()
{
    if (m_thread.joinable()) {
        m_stop = true;
        const char byte = 0;
        (void)!write(m_wake[1], &byte, 1);
        m_thread.join();
    }
    for (int& fd : m_wake) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
    m_line.close();
}

std::string SimulatedReader::devicePath() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_path;
}

void SimulatedReader::setField(const CardField& field)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_session.setField(field);
}

void SimulatedReader::setFault(Fault fault, int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_session.setFault(fault, count);
}

void SimulatedReader::setRegister(uint16_t address, uint8_t value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_session.chip().setRegister(address, value);
}

void SimulatedReader::setAnswerHook(ReaderSession::AnswerHook hook)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_session.setAnswerHook(std::move(hook));
}

void SimulatedReader::setPollDelay(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_session.setPollDelay(ms);
}

void SimulatedReader::apply(const ControlCommand& command)
{
    if (command.kind == ControlCommand::Kind::Field)
        setField(command.field);
    else if (command.kind == ControlCommand::Kind::Fault)
        setFault(command.fault, command.count);
}

std::vector<Bytes> SimulatedReader::commands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_session.commands();
}

int SimulatedReader::badFrames() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_session.badFrames();
}

bool SimulatedReader::lineOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_line.isOpen();
}

void SimulatedReader::setReopenHandler(std::function<void(const std::string&)> handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_reopen = std::move(handler);
}

void SimulatedReader::run()
{
    uint8_t buffer[512];
    while (!m_stop) {
        int master;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            master = m_line.masterFd();
        }
        struct pollfd fds[2] = { { m_wake[0], POLLIN, 0 }, { master, POLLIN, 0 } };
        if (poll(fds, master >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents != 0)
            continue;  // woken to stop
        if (master < 0 || fds[1].revents == 0)
            continue;
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // Only this thread reads the master, so readable-but-empty means the line is gone.
            std::lock_guard<std::mutex> lock(m_mutex);
            m_line.close();
            continue;
        }
        std::vector<LineOutput> outputs;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            outputs = m_session.feed(buffer, static_cast<size_t>(n));
        }
        perform(outputs);
    }
}

void SimulatedReader::perform(const std::vector<LineOutput>& outputs)
{
    for (const LineOutput& out : outputs) {
        if (out.pauseMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(out.pauseMs));
        std::unique_lock<std::mutex> lock(m_mutex);
        if (out.closeLine) {
            // A replacement line is linked before the old one hangs up, so a host that sees
            // the hang-up finds the new line at once.
            PtyLine fresh;
            if (m_reopen && fresh.open()) {
                auto handler = m_reopen;
                lock.unlock();
                handler(fresh.devicePath());
                lock.lock();
                m_path = fresh.devicePath();
            }
            m_line.replaceWith(fresh);
            return;
        }
        const int master = m_line.masterFd();
        lock.unlock();
        size_t done = 0;
        while (master >= 0 && done < out.bytes.size()) {
            const ssize_t n = write(master, out.bytes.data() + done, out.bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
    }
}

}  // namespace vnq::sim
