#pragma once

#include "ktr610_usb_sys.h"
#include "reader_session.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace vnq::sim {

// How the simulated USB reader misbehaves; each fault holds until another is set.
enum class UsbFault {
    None,
    ShortDescriptors,          // the node serves 49 descriptor bytes
    OtherVendor,               // idVendor differs from the reader's
    OtherProduct,              // idProduct differs from the reader's
    LongConfiguration,         // wTotalLength 34
    WrongEndpointAddress,      // the bulk IN endpoint is 0x83
    WrongEndpointAttributes,   // the bulk OUT endpoint is an interrupt endpoint
    ClearHaltOutFails,         // USBDEVFS_CLEAR_HALT on 0x04 fails with EIO
    ClearHaltInFails,          // USBDEVFS_CLEAR_HALT on 0x84 fails with EIO
    OpenAccess,                // open fails with EACCES
    OpenBusy,                  // open fails with EBUSY
    OpenMissing,               // open fails with ENOENT
    TransferTimeout,           // every bulk transfer fails with ETIMEDOUT
    TransferIoError,           // every bulk transfer fails with EIO
    LongInPacket,              // every IN packet is padded to 64 bytes
    Silence,                   // the chip hears the host but never answers
};

// One bulk transfer as the device saw it: the bytes sent (OUT) or returned (IN), and the
// errno it failed with (0 when it did not).
struct UsbTransfer {
    unsigned endpoint = 0;
    Bytes data;
    unsigned timeoutMs = 0;
    int error = 0;
};

// A reader chip on USB, reached through the transport's system-call table instead of usbdevfs.
// It serves the reader's descriptors at devicePath(), gathers OUT packets into transfers for
// the reader session and returns the chip's answers as IN packets of at most 64 bytes.
// Synchronous and single-threaded: an IN transfer with nothing to return times out at once.
class SimulatedUsbReader {
public:
    static constexpr size_t kPacketSize = 64;

    explicit SimulatedUsbReader(std::string path = "/dev/bus/usb/001/002");
    ~SimulatedUsbReader();
    SimulatedUsbReader(const SimulatedUsbReader&) = delete;
    SimulatedUsbReader& operator=(const SimulatedUsbReader&) = delete;

    // The table to install with ktr610_usb_set_syscalls; it reaches this device (the last one
    // asked for it) until the device is destroyed. Other paths do not exist.
    const ktr610_usb_syscalls_t* syscalls();

    const std::string& devicePath() const { return m_path; }
    // The descriptors the node serves under the current fault.
    Bytes descriptors() const;

    void setFault(UsbFault fault) { m_fault = fault; }
    // The chip behind the USB interface: card field, register values, frame-level faults.
    ReaderSession& session() { return m_session; }
    // Returns packet on an IN transfer, after the packets already waiting.
    void queueInPacket(const Bytes& packet) { m_in.push_back(packet); }

    const std::vector<UsbTransfer>& transfers() const { return m_transfers; }
    // The sizes of the OUT packets sent so far, zero-length packets included.
    std::vector<size_t> outPacketSizes() const;
    const std::vector<unsigned>& clearedHalts() const { return m_clearedHalts; }
    int resets() const { return m_resets; }
    int openDescriptors() const { return static_cast<int>(m_open.size()); }

    int open(const char* path, int flags);
    ssize_t read(int fd, void* buffer, size_t count);
    int close(int fd);
    int ioctl(int fd, unsigned long request, void* argument);

private:
    int bulk(void* argument);
    void completeOutTransfer();

    std::string m_path;
    UsbFault m_fault = UsbFault::None;
    ReaderSession m_session;
    std::map<int, size_t> m_open;  // descriptor -> read position
    int m_nextFd = 300;
    Bytes m_pendingOut;
    std::deque<Bytes> m_in;
    bool m_gone = false;  // the chip closed its line: the device has left the bus
    std::vector<UsbTransfer> m_transfers;
    std::vector<unsigned> m_clearedHalts;
    int m_resets = 0;
};

}  // namespace vnq::sim
