#pragma once

#include <string>

namespace vnq::sim {

// The reader's end of a pseudo-terminal pair; the host opens devicePath() as its serial port.
// The line keeps its own descriptor of the device open, so it stays up between host opens.
class PtyLine {
public:
    PtyLine() = default;
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;
    ~PtyLine() { close(); }

    // Takes other's line over, closing this one's first.
    void replaceWith(PtyLine& other);

    bool open();
    // Hangs the line up: the host's reads then return end of file.
    void close();

    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    const std::string& devicePath() const { return m_path; }

private:
    int m_master = -1;
    int m_device = -1;
    std::string m_path;
};

}  // namespace vnq::sim
