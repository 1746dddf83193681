#include "simgpu.h"

#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <fcntl.h>

#include "cgl_memreg.h"
#include "cgl_packet.h"
#include "cgl_unitreg.h"
#include "model/gpu_model.h"
#include "lx740_ioctl.h"

namespace simgpu {
namespace {

constexpr uint32_t kMmuPort = 2;
constexpr uint32_t kWindowViewFirst = 512;
constexpr uint32_t kWindowViewLast = 764;
constexpr uint64_t kGpuAddressLimit = 0x100000000ull;

// GPU memory must lie below 4 GiB: with the GPU MMU on, GPU addresses are process addresses.
void* mapLow(size_t length)
{
#ifdef MAP_32BIT
    return mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
#else
    void* p = mmap(reinterpret_cast<void*>(0x40000000), length, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p != MAP_FAILED && reinterpret_cast<uint64_t>(p) + length > kGpuAddressLimit) {
        munmap(p, length);
        errno = ENOMEM;
        return MAP_FAILED;
    }
    return p;
#endif
}

}  // namespace

SimGpu& device()
{
    static SimGpu gpu;
    return gpu;
}

SimGpu::SimGpu()
    : model_(std::make_unique<GpuModel>(*this))
{
    executor_ = model_.get();
}

SimGpu::~SimGpu() = default;

void SimGpu::setExecutor(Executor* executor)
{
    executor_ = executor ? executor : model_.get();
}

void SimGpu::setLogLimit(size_t entries)
{
    logLimit_ = entries;
    for (auto* words : {&cfifoWords_, &sfifoWords_})
        if (words->size() > entries) {
            dropped_ += words->size() - entries;
            words->erase(words->begin(), words->end() - static_cast<long>(entries));
        }
    if (log_.size() > entries) {
        dropped_ += log_.size() - entries;
        log_.erase(log_.begin(), log_.end() - static_cast<long>(entries));
    }
}

// Appends within the limit; when full, the oldest quarter goes at once so that a long run
// costs amortised constant time per entry.
template <typename T>
void SimGpu::keep(std::vector<T>& entries, const T& entry)
{
    if (logLimit_ == 0) {
        ++dropped_;
        return;
    }
    if (entries.size() >= logLimit_) {
        size_t drop = std::max<size_t>(1, logLimit_ / 4);
        entries.erase(entries.begin(), entries.begin() + static_cast<long>(drop));
        dropped_ += drop;
    }
    entries.push_back(entry);
}

// Busy bits 0-12 as configured; bits 24-25 the colour-buffer pair the pixel engine writes and
// bits 26-27 the pair shown, both as LX_PE_OVG_BUF_SWAP chose them.
uint32_t SimGpu::busyStatus() const
{
    uint32_t swap = reg(Unit::PE, LX_PE_OVG_BUF_SWAP);
    return (config_.busy & CGL_BUSY_ALL) | (swap & 3u) << 24 | ((swap >> 16) & 3u) << 26;
}

// ---- Scripts ----

void SimGpu::scriptReads(uint32_t offset, std::vector<uint32_t> values)
{
    auto& queue = scriptedReads_[offset];
    queue.insert(queue.end(), values.begin(), values.end());
}

void SimGpu::failIoctl(unsigned long request, int err, int times)
{
    for (int i = 0; i < times; ++i)
        ioctlFailures_[request].push_back(err);
}

void SimGpu::answerIoctl(unsigned long request, uint32_t value)
{
    ioctlAnswers_[request] = value;
}

void SimGpu::failMmap(uint64_t offset, int err)
{
    mmapFailures_[offset] = err;
}

// ---- Queries ----

std::vector<Event> SimGpu::select(Stream stream, Kind kind, Unit unit) const
{
    std::vector<Event> out;
    for (const Event& e : log_)
        if (e.stream == stream && e.kind == kind && e.unit == unit)
            out.push_back(e);
    return out;
}

uint32_t SimGpu::reg(Unit unit, uint32_t reg) const
{
    auto u = shadows_.find(unit);
    if (u == shadows_.end())
        return 0;
    auto r = u->second.find(reg);
    return r == u->second.end() ? 0 : r->second;
}

uint32_t SimGpu::peTable(uint32_t position) const
{
    auto it = peTable_.find(position);
    return it == peTable_.end() ? 0 : it->second;
}

uint8_t* SimGpu::gpuPointer(uint32_t address, size_t length, Resolution how) const
{
    const bool throughMmu = how == Resolution::Mmu || (how == Resolution::AsConfigured && mmuMode_ != 0);
    const uint64_t end = static_cast<uint64_t>(address) + length;
    if (memWindow_) {
        const uint64_t start = reinterpret_cast<uintptr_t>(memWindow_);
        const bool mapped = throughMmu || address >= config_.gpuBusBase;
        const uint64_t cpu = throughMmu ? address : start + (static_cast<uint64_t>(address) - config_.gpuBusBase);
        if (mapped && cpu >= start && cpu + length <= start + memLength_)
            return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(cpu));
    }
    if (how == Resolution::Mmu)
        return nullptr;
    auto next = apertures_.upper_bound(address);
    if (next == apertures_.begin())
        return nullptr;
    auto aperture = std::prev(next);
    if (end > static_cast<uint64_t>(aperture->first) + aperture->second.length)
        return nullptr;
    return aperture->second.cpu + (address - aperture->first);
}

void SimGpu::addAperture(uint32_t busAddress, uint8_t* cpu, size_t length)
{
    apertures_[busAddress] = Aperture{cpu, length};
}

void SimGpu::removeAperture(uint32_t busAddress)
{
    apertures_.erase(busAddress);
}

// ---- Device calls ----

int SimGpu::devOpen(const char* path, int flags)
{
    noteActivity();
    record(Stream::Driver, Kind::Open, Unit::None, 0, static_cast<uint32_t>(flags));
    if (!config_.devicePresent || std::strcmp(path, LX740_DEVICE_NODE) != 0) {
        errno = ENOENT;
        return -1;
    }
    if (fdOpen_) {
        errno = EBUSY;
        return -1;
    }
    fdOpen_ = true;
    fdFlags_ = 0;
    return kFd;
}

int SimGpu::devClose(int fd)
{
    noteActivity();
    record(Stream::Driver, Kind::Close, Unit::None, 0, static_cast<uint32_t>(fd));
    if (fd != kFd || !fdOpen_) {
        errno = EBADF;
        return -1;
    }
    fdOpen_ = false;
    return 0;
}

int SimGpu::devFcntl(int fd, int cmd, int arg)
{
    noteActivity();
    record(Stream::Driver, Kind::Fcntl, Unit::None, static_cast<uint32_t>(cmd), static_cast<uint32_t>(arg));
    if (fd != kFd || !fdOpen_) {
        errno = EBADF;
        return -1;
    }
    if (cmd == F_GETFD)
        return fdFlags_;
    if (cmd == F_SETFD) {
        fdFlags_ = arg;
        return 0;
    }
    errno = EINVAL;
    return -1;
}

int SimGpu::devIoctl(int fd, unsigned long request, uintptr_t arg)
{
    noteActivity();
    bool byPointer = request == OVG_IOC_GET_TXMEM_MAPOFFSET || request == TVMEM_IOC_GET_GPU_TXMEM_BASE;
    record(Stream::Driver, Kind::Ioctl, Unit::None, static_cast<uint32_t>(request),
           byPointer ? 0 : static_cast<uint32_t>(arg));
    if (fd != kFd || !fdOpen_) {
        errno = EBADF;
        return -1;
    }
    auto failures = ioctlFailures_.find(request);
    if (failures != ioctlFailures_.end() && !failures->second.empty()) {
        errno = failures->second.front();
        failures->second.pop_front();
        return -1;
    }
    auto answer = ioctlAnswers_.find(request);
    switch (request) {
    case OVG_IOC_GET_TXMEM_MAPOFFSET: {
        uint32_t size = answer != ioctlAnswers_.end() ? answer->second : config_.regWindowSize;
        std::memcpy(reinterpret_cast<void*>(arg), &size, sizeof size);
        return 0;
    }
    case TVMEM_IOC_GET_GPU_TXMEM_BASE: {
        uint32_t base = answer != ioctlAnswers_.end() ? answer->second : config_.gpuBusBase;
        std::memcpy(reinterpret_cast<void*>(arg), &base, sizeof base);
        return 0;
    }
    case OVG_IOC_SET_MMU_MODE:
        mmuMode_ = static_cast<int>(arg) != 0;
        return 0;
    case TVMEM_IOC_SET_INTR_MODE:
        intrMode_ = static_cast<int>(arg) != 0;
        return 0;
    case OVG_IOC_WAIT_INTR:
        if ((intrStat_ & static_cast<uint32_t>(arg)) != 0)
            return 0;
        {
            char text[96];
            std::snprintf(text, sizeof text, "the interrupt wait for 0x%08x can never end: LX_INTR_STAT is 0x%08x",
                          static_cast<uint32_t>(arg), intrStat_);
            fatal(text);
        }
    default:
        errno = ENOTTY;
        return -1;
    }
}

void* SimGpu::devMmap(size_t length, int fd, uint64_t offset)
{
    noteActivity();
    record(Stream::Driver, Kind::Mmap, Unit::None, static_cast<uint32_t>(offset), static_cast<uint32_t>(length));
    if (fd != kFd || !fdOpen_) {
        errno = EBADF;
        return MAP_FAILED;
    }
    auto failure = mmapFailures_.find(offset);
    if (failure != mmapFailures_.end()) {
        errno = failure->second;
        return MAP_FAILED;
    }
    if (length == 0) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    if (offset == 0) {
        if (regWindow_) {
            errno = EBUSY;
            return MAP_FAILED;
        }
        // Inaccessible: every register access has to come through load32/store32.
        void* p = mmap(nullptr, length, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            return MAP_FAILED;
        regWindow_ = p;
        regLength_ = length;
        return p;
    }
    if (offset == config_.regWindowSize) {
        if (memWindow_) {
            errno = EBUSY;
            return MAP_FAILED;
        }
        void* p = mapLow(length);
        if (p == MAP_FAILED)
            return MAP_FAILED;
        memWindow_ = p;
        memLength_ = length;
        return p;
    }
    errno = EINVAL;
    return MAP_FAILED;
}

int SimGpu::devMunmap(void* addr, size_t length)
{
    noteActivity();
    record(Stream::Driver, Kind::Munmap, Unit::None, 0, static_cast<uint32_t>(length));
    if (addr && addr == regWindow_ && length == regLength_) {
        munmap(regWindow_, regLength_);
        regWindow_ = nullptr;
        regLength_ = 0;
        return 0;
    }
    if (addr && addr == memWindow_ && length == memLength_) {
        munmap(memWindow_, memLength_);
        memWindow_ = nullptr;
        memLength_ = 0;
        return 0;
    }
    errno = EINVAL;
    return -1;
}

uint32_t SimGpu::mmioOffset(uintptr_t address) const
{
    uintptr_t start = reinterpret_cast<uintptr_t>(regWindow_);
    if (!regWindow_ || address < start || address + 4 > start + regLength_ || (address & 3) != 0) {
        char text[96];
        std::snprintf(text, sizeof text, "register access at 0x%lx outside the register window",
                      static_cast<unsigned long>(address));
        fatal(text);
    }
    return static_cast<uint32_t>(address - start);
}

Unit SimGpu::windowUnit(uint32_t offset)
{
    if (offset < kWindowViewFirst || offset > kWindowViewLast)
        return Unit::Mem;
    // The port selection holds for one access.
    Unit unit = portId_ == kMmuPort ? Unit::Mmu : Unit::Memif;
    portId_ = 0;
    return unit;
}

uint32_t SimGpu::load32(uintptr_t address)
{
    uint32_t offset = mmioOffset(address);
    uint32_t value;
    bool scripted = false;
    auto script = scriptedReads_.find(offset);
    if (script != scriptedReads_.end() && !script->second.empty()) {
        value = script->second.front();
        script->second.pop_front();
        scripted = true;
    } else {
        switch (offset) {
        case LX_CFIFO_STAT: value = config_.cfifoDepth; break;
        case LX_SFIFO_STAT: value = config_.sfifoDepth; break;
        case LX_IP_REV: value = config_.ipRev; break;
        case LX_INTR_STAT: value = intrStat_; break;
        case LX_READBACK: value = readback_; break;
        case LX_BUSY_STAT: value = busyStatus(); break;
        default: {
            Unit unit = windowUnit(offset);
            value = reg(unit, offset);
            break;
        }
        }
    }
    record(Stream::Mmio, Kind::Read, Unit::Mem, offset, value);
    if (scripted)
        noteActivity();
    else
        noteRead(offset, value);
    return value;
}

void SimGpu::store32(uintptr_t address, uint32_t value)
{
    uint32_t offset = mmioOffset(address);
    noteActivity();
    switch (offset) {
    case LX_CFIFO:
        keep(cfifoWords_, value);
        cfifo_.push(value, (reg(Unit::Mem, LX_MISC_CTRL) & CGL_MISC_CTRL_CFIFO_TERM) != 0);
        return;
    case LX_SFIFO:
        keep(sfifoWords_, value);
        sfifo_.push(value, (reg(Unit::Mem, LX_MISC_CTRL) & CGL_MISC_CTRL_SFIFO_TERM) != 0);
        return;
    default:
        break;
    }
    Unit unit = windowUnit(offset);
    record(Stream::Mmio, Kind::Write, unit, offset, value);
    shadow(unit)[offset] = value;
    switch (offset) {
    case LX_INTR_CLEAR:
        if (unit == Unit::Mem)
            intrStat_ &= ~value;
        break;
    case LX_EXTDEV_PORTID:
        portId_ = value;
        break;
    case LX_CM_WCOUNT:
        kickCommandBuffer(value + 1);
        break;
    default:
        break;
    }
}

// ---- Work ----

void SimGpu::kickCommandBuffer(uint32_t words)
{
    uint32_t address = reg(Unit::Mem, LX_CM_ADDR);
    record(Stream::CmdBuf, Kind::Kick, Unit::None, address, words);
    if (config_.busy & CGL_BUSY_CMD_MASTER)
        protocolError(Stream::CmdBuf, "command buffer started while the command master is busy");
    const uint8_t* data = gpuPointer(address, static_cast<size_t>(words) * 4);
    if (!data) {
        protocolError(Stream::CmdBuf, "command buffer outside GPU memory");
        return;
    }
    CommandDecoder decoder(*this, Stream::CmdBuf);
    for (uint32_t i = 0; i < words; ++i) {
        uint32_t word;
        std::memcpy(&word, data + 4 * i, 4);
        decoder.push(word, false);
    }
    if (!decoder.betweenPackets())
        protocolError(Stream::CmdBuf, "command buffer ends inside a packet");
}

void SimGpu::dmaIn(uint32_t count)
{
    uint32_t words = count + 1;
    uint32_t source = reg(Unit::VPCtrl, LX_DMA_IN_SADDR);
    // The destination register counts in units of four instructions.
    uint32_t first = reg(Unit::VPCtrl, LX_DMA_IN_DADDR) * 4 * CGL_VP_INST_WORDS;
    const uint8_t* data = gpuPointer(source, static_cast<size_t>(words) * 4);
    record(Stream::Gpu, Kind::Dma, Unit::VPIRam, first, words);
    if (!data || first + words > iram_.size())
        protocolError(Stream::Gpu, "instruction-RAM DMA outside GPU memory or instruction RAM");
    else
        std::memcpy(&iram_[first], data, static_cast<size_t>(words) * 4);
    raise(CGL_INTR_DMA_IN_DONE);
}

void SimGpu::unitWrite(Stream stream, Unit unit, uint32_t reg, uint32_t value)
{
    record(stream, Kind::Write, unit, reg, value);
    shadow(unit)[reg] = value;
    if (executor_)
        executor_->unitWrite(unit, reg, value);
    if (unit == Unit::XPT)
        lastXptWasEdgeScanStart_ = reg == LX_XPT_EDGE_SCAN_START && value == 1;
    switch (unit) {
    case Unit::XPT:
        if (reg == LX_XPT_SYNC && value == 1) {
            if (executor_)
                executor_->sync(CGL_INTR_XPT_SYNC);
            raise(CGL_INTR_XPT_SYNC);
        }
        break;
    case Unit::VPCtrl:
        if (reg == LX_TE_SYNC && value == 1) {
            if (executor_)
                executor_->sync(CGL_INTR_TE_SYNC);
            raise(CGL_INTR_TE_SYNC);
        } else if (reg == LX_DMA_IN_COUNT) {
            dmaIn(value);
        }
        break;
    case Unit::PE:
        if (reg == LX_PE_OVG_SYNC && value == 1) {
            if (executor_)
                executor_->sync(CGL_INTR_PE_SYNC);
            raise(CGL_INTR_PE_SYNC);
        } else if (reg == LX_PE_OVG_TABLE_ADDR) {
            peTablePosition_ = value;
        } else if (reg == LX_PE_OVG_CP_START) {
            uint32_t entry[4];
            for (uint32_t i = 0; i < 4; ++i)
                entry[i] = peTable(value * 4 + i);
            if (executor_)
                executor_->copyArea(entry);
            raise(CGL_INTR_COPY_DONE);
        }
        break;
    default:
        break;
    }
}

void SimGpu::unitRead(Stream stream, Unit unit, uint32_t reg)
{
    readback_ = this->reg(unit, reg);
    record(stream, Kind::Read, unit, reg, readback_);
    raise(CGL_INTR_READBACK);
}

uint32_t SimGpu::iramBank() const
{
    return reg(Unit::VPCtrl, LX_TE_IRAM_BANK) & 3u;
}

void SimGpu::iramWrite(Stream stream, uint32_t word, uint32_t value)
{
    record(stream, Kind::Write, Unit::VPIRam, word, value);
    if (word < iram_.size())
        iram_[word] = value;
}

void SimGpu::peTableWrite(Stream stream, uint32_t value)
{
    record(stream, Kind::Write, Unit::PETable, peTablePosition_, value);
    peTable_[peTablePosition_++] = value;
}

void SimGpu::spcSync()
{
    record(Stream::SFifo, Kind::Sync, Unit::SPC, 0, CGL_SPC_SYNC);
    if (executor_)
        executor_->sync(CGL_INTR_SPC_SYNC);
    raise(CGL_INTR_SPC_SYNC);
}

void SimGpu::spcRectangle(const uint32_t words[4])
{
    for (uint32_t i = 0; i < 4; ++i)
        record(Stream::SFifo, Kind::Rect, Unit::SPC, i, words[i]);
    if (executor_)
        executor_->spcRectangle(words);
}

void SimGpu::spcFill(const uint32_t words[4])
{
    for (uint32_t i = 0; i < 4; ++i)
        record(Stream::SFifo, Kind::Fill, Unit::SPC, i, words[i]);
    if (executor_)
        executor_->spcFill(words);
}

void SimGpu::vpStart(Stream stream)
{
    const uint32_t entry = reg(Unit::VPCtrl, LX_VP_IADDR);
    record(stream, Kind::VpStart, Unit::VPCtrl, LX_VP_IADDR, entry);
    if (executor_)
        executor_->vpStart(entry);
}

void SimGpu::vpData(Stream stream, const std::vector<uint32_t>& words)
{
    for (uint32_t i = 0; i < words.size(); ++i)
        record(stream, Kind::VpData, Unit::VPCtrl, i, words[i]);
    if (executor_)
        executor_->vpData(words);
}

void SimGpu::gpuRegister(Unit unit, uint32_t reg, uint32_t value)
{
    record(Stream::Gpu, Kind::Write, unit, reg, value);
    shadow(unit)[reg] = value;
}

void SimGpu::protocolError(Stream stream, const std::string& what)
{
    errors_.push_back(std::string(streamName(stream)) + ": " + what);
}

void SimGpu::record(Stream stream, Kind kind, Unit unit, uint32_t reg, uint32_t value)
{
    keep(log_, Event{stream, kind, unit, reg, value});
}

void SimGpu::raise(uint32_t bits)
{
    intrStat_ |= bits;
    record(Stream::Gpu, Kind::Raise, Unit::None, 0, bits);
}

void SimGpu::noteRead(uint32_t offset, uint32_t value)
{
    if (offset == spinOffset_ && value == spinValue_) {
        if (++spinCount_ >= kSpinLimit) {
            char text[128];
            std::snprintf(text, sizeof text, "the wait on %s (offset %u) can never end: it keeps reading 0x%08x",
                          memRegName(offset), offset, value);
            fatal(text);
        }
        return;
    }
    spinOffset_ = offset;
    spinValue_ = value;
    spinCount_ = 1;
}

std::map<uint32_t, uint32_t>& SimGpu::shadow(Unit unit)
{
    return shadows_[unit];
}

void SimGpu::fatal(const std::string& message) const
{
    std::fflush(stdout);
    std::fprintf(stderr, "simulated GPU: %s\n", message.c_str());
    std::abort();
}

}  // namespace simgpu
