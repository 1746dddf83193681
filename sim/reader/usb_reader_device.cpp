#include "usb_reader_device.h"

#include "ktr610_usb.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace vnq::sim {

namespace {

SimulatedUsbReader* g_current = nullptr;

template <typename Result, typename... Args>
Result forward(Result (SimulatedUsbReader::*call)(Args...), Args... args)
{
    if (g_current == nullptr) {
        errno = ENODEV;
        return -1;
    }
    return (g_current->*call)(args...);
}

const ktr610_usb_syscalls_t kTable = {
    [](const char* path, int flags) { return forward(&SimulatedUsbReader::open, path, flags); },
    [](int fd, void* buffer, size_t count) { return forward(&SimulatedUsbReader::read, fd, buffer, count); },
    [](int fd) { return forward(&SimulatedUsbReader::close, fd); },
    [](int fd, unsigned long request, void* argument) {
        return forward(&SimulatedUsbReader::ioctl, fd, request, argument);
    },
};

void putLe16(Bytes& bytes, size_t at, unsigned value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

int fail(int error)
{
    errno = error;
    return -1;
}

}  // namespace

SimulatedUsbReader::SimulatedUsbReader(std::string path) : m_path(std::move(path)) {}

SimulatedUsbReader::~SimulatedUsbReader()
{
    if (g_current == this)
        g_current = nullptr;
}

const ktr610_usb_syscalls_t* SimulatedUsbReader::syscalls()
{
    g_current = this;
    return &kTable;
}

Bytes SimulatedUsbReader::descriptors() const
{
    Bytes d = {
        // device: USB 2.0, vendor-specific class, 64-byte control packets, one configuration
        0x12, 0x01, 0x00, 0x02, 0xFF, 0x00, 0x00, 0x40, 0, 0, 0, 0, 0x00, 0x01, 0x01, 0x02, 0x00, 0x01,
        // configuration 1: one interface, bus-powered, 100 mA
        0x09, 0x02, 0, 0, 0x01, 0x01, 0x00, 0x80, 0x32,
        // interface 0: two endpoints, vendor-specific
        0x09, 0x04, 0x00, 0x00, 0x02, 0xFF, 0x00, 0x00, 0x00,
        // bulk OUT and bulk IN endpoints of 64-byte packets
        0x07, 0x05, 0x04, 0x02, 0x40, 0x00, 0x00,
        0x07, 0x05, 0x84, 0x02, 0x40, 0x00, 0x00,
    };
    putLe16(d, 8, KTR610_USB_VENDOR_ID ^ (m_fault == UsbFault::OtherVendor ? 0x0100u : 0u));
    putLe16(d, 10, KTR610_USB_PRODUCT_ID ^ (m_fault == UsbFault::OtherProduct ? 0x0001u : 0u));
    putLe16(d, 20, m_fault == UsbFault::LongConfiguration ? 34 : KTR610_USB_CONFIGURATION_LEN);
    if (m_fault == UsbFault::WrongEndpointAddress)
        d[45] = 0x83;
    if (m_fault == UsbFault::WrongEndpointAttributes)
        d[39] = 0x03;
    if (m_fault == UsbFault::ShortDescriptors)
        d.pop_back();
    return d;
}

std::vector<size_t> SimulatedUsbReader::outPacketSizes() const
{
    std::vector<size_t> sizes;
    for (const UsbTransfer& t : m_transfers) {
        if (t.endpoint == KTR610_USB_EP_BULK_OUT && t.error == 0)
            sizes.push_back(t.data.size());
    }
    return sizes;
}

int SimulatedUsbReader::open(const char* path, int /*flags*/)
{
    if (m_path != path || m_fault == UsbFault::OpenMissing)
        return fail(ENOENT);
    if (m_fault == UsbFault::OpenAccess)
        return fail(EACCES);
    if (m_fault == UsbFault::OpenBusy)
        return fail(EBUSY);
    const int fd = m_nextFd++;
    m_open[fd] = 0;
    return fd;
}

ssize_t SimulatedUsbReader::read(int fd, void* buffer, size_t count)
{
    const auto it = m_open.find(fd);
    if (it == m_open.end())
        return fail(EBADF);
    const Bytes d = descriptors();
    const size_t n = std::min(count, d.size() - std::min(it->second, d.size()));
    std::memcpy(buffer, d.data() + it->second, n);
    it->second += n;
    return static_cast<ssize_t>(n);
}

int SimulatedUsbReader::close(int fd)
{
    return m_open.erase(fd) == 1 ? 0 : fail(EBADF);
}

int SimulatedUsbReader::ioctl(int fd, unsigned long request, void* argument)
{
    if (m_open.count(fd) == 0)
        return fail(EBADF);
    if (request == USBDEVFS_CLEAR_HALT) {
        const unsigned endpoint = *static_cast<unsigned*>(argument);
        if ((endpoint == KTR610_USB_EP_BULK_OUT && m_fault == UsbFault::ClearHaltOutFails) ||
            (endpoint == KTR610_USB_EP_BULK_IN && m_fault == UsbFault::ClearHaltInFails))
            return fail(EIO);
        if (endpoint != KTR610_USB_EP_BULK_OUT && endpoint != KTR610_USB_EP_BULK_IN)
            return fail(ENOENT);
        m_clearedHalts.push_back(endpoint);
        return 0;
    }
    if (request == USBDEVFS_RESET) {
        m_resets++;
        m_pendingOut.clear();
        m_in.clear();
        return 0;
    }
    if (request == USBDEVFS_BULK)
        return bulk(argument);
    return fail(ENOTTY);
}

int SimulatedUsbReader::bulk(void* argument)
{
    auto* request = static_cast<usbdevfs_bulktransfer*>(argument);
    UsbTransfer transfer;
    transfer.endpoint = request->ep;
    transfer.timeoutMs = request->timeout;
    if (m_fault == UsbFault::TransferTimeout || m_fault == UsbFault::TransferIoError || m_gone) {
        transfer.error = m_gone ? ENODEV : m_fault == UsbFault::TransferTimeout ? ETIMEDOUT : EIO;
    } else if (request->ep == KTR610_USB_EP_BULK_OUT) {
        const auto* data = static_cast<const uint8_t*>(request->data);
        transfer.data.assign(data, data + request->len);
        m_pendingOut.insert(m_pendingOut.end(), data, data + request->len);
        // A packet shorter than a full one (a zero-length one included) ends the transfer.
        if (request->len % kPacketSize != 0 || request->len == 0)
            completeOutTransfer();
    } else if (request->ep == KTR610_USB_EP_BULK_IN) {
        if (m_in.empty()) {
            transfer.error = ETIMEDOUT;  // the device would keep the host waiting this long
        } else {
            Bytes packet = m_in.front();
            if (m_fault == UsbFault::LongInPacket)
                packet.resize(kPacketSize, 0xEE);
            if (packet.size() > request->len) {
                transfer.error = EOVERFLOW;  // babble: more than the host's buffer holds
            } else {
                m_in.pop_front();
                if (!packet.empty())
                    std::memcpy(request->data, packet.data(), packet.size());
                transfer.data = packet;
            }
        }
    } else {
        transfer.error = ENOENT;
    }
    m_transfers.push_back(transfer);
    if (transfer.error != 0)
        return fail(transfer.error);
    return static_cast<int>(transfer.data.size());
}

void SimulatedUsbReader::completeOutTransfer()
{
    const Bytes received = std::move(m_pendingOut);
    m_pendingOut.clear();
    for (const LineOutput& output : m_session.feed(received.data(), received.size())) {
        if (output.closeLine) {
            m_gone = true;
            return;
        }
        if (m_fault == UsbFault::Silence)
            continue;
        // Each write of the chip goes out as its own IN transfer (pauses need no modelling).
        for (size_t at = 0; at < output.bytes.size(); at += kPacketSize) {
            const size_t end = std::min(output.bytes.size(), at + kPacketSize);
            m_in.emplace_back(output.bytes.begin() + at, output.bytes.begin() + end);
        }
    }
}

}  // namespace vnq::sim
