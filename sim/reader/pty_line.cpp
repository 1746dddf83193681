#include "pty_line.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace vnq::sim {

bool PtyLine::open()
{
    close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        ptsname_r(m_master, name, sizeof name) != 0) {
        close();
        return false;
    }
    m_path = name;
    m_device = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    struct termios tio;
    if (m_device < 0 || tcgetattr(m_device, &tio) != 0) {
        close();
        return false;
    }
    // Raw until the host sets the line up, so nothing the reader sends is echoed back.
    cfmakeraw(&tio);
    if (tcsetattr(m_device, TCSANOW, &tio) != 0) {
        close();
        return false;
    }
    return true;
}

void PtyLine::replaceWith(PtyLine& other)
{
    close();
    m_master = other.m_master;
    m_device = other.m_device;
    m_path = other.m_path;
    other.m_master = other.m_device = -1;
    other.m_path.clear();
}

void PtyLine::close()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_device >= 0)
        ::close(m_device);
    m_master = m_device = -1;
}

}  // namespace vnq::sim
