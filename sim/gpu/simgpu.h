#pragma once

// The simulated LX740 GPU device. It stands in for the board's kernel driver and GPU: the
// register library's device calls (open, ioctl, mmap, register loads and stores) arrive here.
// It keeps shadow registers per unit, decodes command packets (command FIFO and command
// buffers) and SPC-FIFO words, raises the interrupt bits tied to each write, answers read-back,
// reports an idle GPU and free FIFO slots, and logs every decoded access for tests. Work is
// "done" the moment it arrives; the Executor carries it out on GPU memory (by default the GPU
// model of model/, which writes the pixels). The log keeps at most logLimit() entries.
// A wait that nothing can ever satisfy ends the process with a message instead of hanging.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "decoders.h"
#include "gpu_event.h"

namespace simgpu {

struct Config {
    bool devicePresent = true;
    uint32_t regWindowSize = 0x1000;   // answer to OVG_IOC_GET_TXMEM_MAPOFFSET
    uint32_t gpuBusBase = 0x40000000;  // answer to TVMEM_IOC_GET_GPU_TXMEM_BASE
    uint32_t ipRev = 0x13;             // LX_IP_REV: configuration values 512 and 2048
    uint32_t cfifoDepth = 64;          // free slots reported by LX_CFIFO_STAT
    uint32_t sfifoDepth = 128;         // free slots reported by LX_SFIFO_STAT
    uint32_t busy = 0;                 // steady LX_BUSY_STAT
};

// How a GPU address reaches memory: as the device's MMU mode says, through the GPU MMU (a
// process address inside the memory window), or physically (the window's bus range or a
// registered aperture).
enum class Resolution { AsConfigured, Mmu, Physical };

// Carries out the work that arrives at the device; the base does nothing.
class Executor {
public:
    virtual ~Executor() = default;
    // Every unit register write, after the device has recorded it.
    virtual void unitWrite(Unit unit, uint32_t reg, uint32_t value) { (void)unit, (void)reg, (void)value; }
    virtual void copyArea(const uint32_t entry[4]) { (void)entry; }
    virtual void spcRectangle(const uint32_t words[4]) { (void)words; }
    virtual void spcFill(const uint32_t words[4]) { (void)words; }
    virtual void sync(uint32_t interruptBit) { (void)interruptBit; }
    // The vertex processor runs its current entry (LX_VP_IADDR) without data, or on the data
    // words of one VP data packet.
    virtual void vpStart(uint32_t entry) { (void)entry; }
    virtual void vpData(const std::vector<uint32_t>& words) { (void)words; }
};

class GpuModel;

class SimGpu {
public:
    static constexpr int kFd = 740;
    static constexpr unsigned kSpinLimit = 100000;  // identical reads before a wait is hopeless

    static constexpr size_t kDefaultLogLimit = 1 << 16;
    static constexpr size_t kUnlimited = static_cast<size_t>(-1);

    SimGpu();
    ~SimGpu();

    Config& config() { return config_; }
    // nullptr puts the built-in GPU model back.
    void setExecutor(Executor* executor);
    GpuModel& model() { return *model_; }

    // The decoded log and each FIFO word record keep at most this many entries, dropping the
    // oldest; 0 switches them off. Tests that read the log lift the limit (kUnlimited).
    void setLogLimit(size_t entries);
    size_t logLimit() const { return logLimit_; }
    size_t droppedLogEntries() const { return dropped_; }

    // ---- Scripts and faults for tests ----
    // The next loads of a memory-mapped register return these values, then the usual one.
    void scriptReads(uint32_t offset, std::vector<uint32_t> values);
    // The next `times` calls of an ioctl request fail with err.
    void failIoctl(unsigned long request, int err, int times = 1);
    // The ioctl stores this value instead of the configured one (GET requests).
    void answerIoctl(unsigned long request, uint32_t value);
    void failMmap(uint64_t offset, int err);

    // ---- What happened ----
    const std::vector<Event>& log() const { return log_; }
    void clearLog() { log_.clear(); }
    std::vector<Event> select(Stream stream, Kind kind, Unit unit) const;
    const std::vector<std::string>& errors() const { return errors_; }
    void clearErrors() { errors_.clear(); }
    const std::vector<uint32_t>& cfifoWords() const { return cfifoWords_; }
    const std::vector<uint32_t>& sfifoWords() const { return sfifoWords_; }

    // ---- State ----
    uint32_t reg(Unit unit, uint32_t reg) const;
    uint32_t peTable(uint32_t position) const;
    const std::vector<uint32_t>& iram() const { return iram_; }
    uint32_t intrStat() const { return intrStat_; }
    int mmuMode() const { return mmuMode_; }
    int intrMode() const { return intrMode_; }
    bool open() const { return fdOpen_; }
    int fdFlags() const { return fdFlags_; }
    uintptr_t registerWindow() const { return reinterpret_cast<uintptr_t>(regWindow_); }
    uintptr_t memoryWindow() const { return reinterpret_cast<uintptr_t>(memWindow_); }
    size_t memoryWindowLength() const { return memLength_; }
    // CPU pointer of a GPU address range, or nullptr when it resolves to nothing. As
    // configured, the range lies in the memory window (MMU on: process addresses inside it;
    // MMU off: its bus range) or inside one registered physical aperture; through the MMU only
    // process addresses inside the window count; physically the bus range or an aperture.
    uint8_t* gpuPointer(uint32_t address, size_t length, Resolution how = Resolution::AsConfigured) const;

    // Physical memory outside the window that the GPU may reach at a bus address (the
    // framebuffer registers its plane memory here while it is open).
    void addAperture(uint32_t busAddress, uint8_t* cpu, size_t length);
    void removeAperture(uint32_t busAddress);

    // ---- The device calls (from the port's device seam) ----
    int devOpen(const char* path, int flags);
    int devClose(int fd);
    int devFcntl(int fd, int cmd, int arg);
    int devIoctl(int fd, unsigned long request, uintptr_t arg);
    void* devMmap(size_t length, int fd, uint64_t offset);
    int devMunmap(void* addr, size_t length);
    uint32_t load32(uintptr_t address);
    void store32(uintptr_t address, uint32_t value);

    // ---- Called by the decoders ----
    void unitWrite(Stream stream, Unit unit, uint32_t reg, uint32_t value);
    void unitRead(Stream stream, Unit unit, uint32_t reg);
    void iramWrite(Stream stream, uint32_t word, uint32_t value);
    uint32_t iramBank() const;
    void peTableWrite(Stream stream, uint32_t value);
    void spcSync();
    void spcRectangle(const uint32_t words[4]);
    void spcFill(const uint32_t words[4]);
    void vpStart(Stream stream);
    void vpData(Stream stream, const std::vector<uint32_t>& words);
    void protocolError(Stream stream, const std::string& what);
    // ---- Called by the GPU model: a register the GPU itself updates, an interrupt it raises ----
    void gpuRegister(Unit unit, uint32_t reg, uint32_t value);
    void gpuRaise(uint32_t bits) { raise(bits); }
    bool lastXptWriteStartedEdgeScan() const { return lastXptWasEdgeScanStart_; }

private:
    void record(Stream stream, Kind kind, Unit unit, uint32_t reg, uint32_t value);
    template <typename T>
    void keep(std::vector<T>& entries, const T& entry);
    uint32_t busyStatus() const;
    void raise(uint32_t bits);
    void noteActivity() { spinCount_ = 0; }
    void noteRead(uint32_t offset, uint32_t value);
    uint32_t mmioOffset(uintptr_t address) const;
    Unit windowUnit(uint32_t offset);
    void kickCommandBuffer(uint32_t words);
    void dmaIn(uint32_t count);
    std::map<uint32_t, uint32_t>& shadow(Unit unit);
    [[noreturn]] void fatal(const std::string& message) const;

    Config config_;
    std::unique_ptr<GpuModel> model_;
    Executor* executor_ = nullptr;
    size_t logLimit_ = kDefaultLogLimit;
    size_t dropped_ = 0;
    std::vector<Event> log_;
    std::vector<std::string> errors_;
    std::vector<uint32_t> cfifoWords_;
    std::vector<uint32_t> sfifoWords_;

    std::map<Unit, std::map<uint32_t, uint32_t>> shadows_;
    std::map<uint32_t, uint32_t> peTable_;
    uint32_t peTablePosition_ = 0;
    std::vector<uint32_t> iram_ = std::vector<uint32_t>(4 * 1024 * 3, 0);
    uint32_t intrStat_ = 0;
    uint32_t readback_ = 0;
    uint32_t portId_ = 0;
    bool lastXptWasEdgeScanStart_ = false;

    CommandDecoder cfifo_{*this, Stream::CFifo};
    SpcDecoder sfifo_{*this};

    std::map<uint32_t, std::deque<uint32_t>> scriptedReads_;
    std::map<unsigned long, std::deque<int>> ioctlFailures_;
    std::map<unsigned long, uint32_t> ioctlAnswers_;
    std::map<uint64_t, int> mmapFailures_;

    struct Aperture {
        uint8_t* cpu;
        size_t length;
    };
    std::map<uint32_t, Aperture> apertures_;  // by bus address

    bool fdOpen_ = false;
    int fdFlags_ = 0;
    int mmuMode_ = -1;
    int intrMode_ = -1;
    void* regWindow_ = nullptr;
    size_t regLength_ = 0;
    void* memWindow_ = nullptr;
    size_t memLength_ = 0;

    uint32_t spinOffset_ = 0xffffffffu;
    uint32_t spinValue_ = 0;
    unsigned spinCount_ = 0;
};

// The one simulated GPU of the process.
SimGpu& device();

}  // namespace simgpu
