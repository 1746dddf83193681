// The touch reader thread on a scripted source, and the simulated feed's FIFO source.
#include "touchdriver.h"
#include "touchqueue.h"
#include "touchsource.h"

#include "messagecapture.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace vistrel;
using namespace std::chrono_literals;
using vnq::test::MessageCapture;
using vnq::test::TempBoardRoot;

namespace {

// What the scripted sources share with the test: samples to hand out, a failing switch, and
// what the reader did with them.
struct Script {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<ts_sample> samples;
    bool failing = false;
    bool configureFails = false;
    int openSources = 0;
    int idleReads = 0;
    int failedReads = 0;
    int wakeFd = -1;  // the newest source's descriptor end the test writes to

    // Hands the reader more samples (or, failing, just a readable descriptor).
    void feed(const std::vector<ts_sample>& more)
    {
        std::lock_guard<std::mutex> guard(lock);
        samples.insert(samples.end(), more.begin(), more.end());
        idleReads = 0;
        const char byte = 'w';
        EXPECT_EQ(::write(wakeFd, &byte, 1), 1);
    }
    template <typename Done>
    bool waitUntil(Done done)
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, 5s, done);
    }
};

class ScriptedSource : public TouchSource {
public:
    explicit ScriptedSource(std::shared_ptr<Script> script) : m_script(std::move(script)) {}
    ~ScriptedSource() override { close(); }
    bool open(const std::string&) override
    {
        std::lock_guard<std::mutex> guard(m_script->lock);
        if (::pipe2(m_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
            return false;
        ++m_script->openSources;
        m_script->wakeFd = m_pipe[1];
        return true;
    }
    bool configure() override { return !m_script->configureFails; }
    int read(ts_sample* sample) override
    {
        std::lock_guard<std::mutex> guard(m_script->lock);
        m_script->changed.notify_all();
        if (m_script->failing) {
            ++m_script->failedReads;  // the descriptor stays readable, as a broken device's does
            errno = EIO;
            return -1;
        }
        if (m_script->samples.empty()) {
            char drain[64];
            while (::read(m_pipe[0], drain, sizeof drain) > 0) {
            }
            ++m_script->idleReads;
            return 0;
        }
        *sample = m_script->samples.front();
        m_script->samples.pop_front();
        return 1;
    }
    int fd() const override { return m_pipe[0]; }
    void close() override
    {
        if (m_pipe[0] < 0)
            return;
        std::lock_guard<std::mutex> guard(m_script->lock);
        ::close(m_pipe[0]);
        ::close(m_pipe[1]);
        m_pipe[0] = m_pipe[1] = -1;
        --m_script->openSources;
        m_script->changed.notify_all();
    }

private:
    std::shared_ptr<Script> m_script;
    int m_pipe[2] = {-1, -1};
};

ts_sample sample(int x, bool down, long seconds = 1700000000)
{
    ts_sample s{};
    s.x = x;
    s.pressure = down ? 200 : 0;
    s.tv.tv_sec = seconds;
    s.tv.tv_usec = 0;  // whole seconds are valid time stamps
    return s;
}

// The queue's contents, oldest first: x of each sample, -1 for one reported as none.
std::vector<int> drainQueue()
{
    std::vector<int> taken;
    ts_sample s;
    for (int i = 0; i < kTouchQueueSlots; ++i)
        taken.push_back(get_data_ts_drv(&s) == 0 ? s.x : -1);
    while (!taken.empty() && taken.back() == -1)
        taken.pop_back();
    return taken;
}

class ReaderThread : public ::testing::Test {
protected:
    void SetUp() override
    {
        setTouchSourceMaker([this] { return std::make_unique<ScriptedSource>(script); });
    }
    void TearDown() override
    {
        fin_ts_drv();
        setTouchSourceMaker(nullptr);
    }
    // Feeds the samples and waits until the reader has taken them all.
    void feedAndSettle(const std::vector<ts_sample>& samples)
    {
        script->feed(samples);
        ASSERT_TRUE(script->waitUntil([this] { return script->idleReads > 0; }));
    }

    TempBoardRoot root;
    std::shared_ptr<Script> script = std::make_shared<Script>();
};

}  // namespace

TEST_F(ReaderThread, QueuesWhatTheThinningKeeps)
{
    struct Case {
        const char* name;
        std::vector<ts_sample> samples;
        std::vector<int> queued;
    };
    std::vector<Case> cases;
    {
        Case hold{"press then a steady hold", {}, {0, 22, 44}};
        for (int i = 0; i < 50; ++i)
            hold.samples.push_back(sample(i, true));
        cases.push_back(hold);

        Case tap{"press and release within 21 samples", {}, {0, 6}};
        for (int i = 0; i < 6; ++i)
            tap.samples.push_back(sample(i, true));
        tap.samples.push_back(sample(6, false));
        cases.push_back(tap);

        Case flood{"300 samples while nobody takes", {}, {}};
        for (int i = 0; i < 300; ++i)
            flood.samples.push_back(sample(i, i % 2 == 0));  // every one a change of state
        for (int i = 300 - (kTouchQueueSlots - 1); i < 300; ++i)
            flood.queued.push_back(i);
        cases.push_back(flood);

        cases.push_back({"an all-zero time stamp is consumed as none",
                         {sample(0, true), sample(1, false, 0), sample(2, true)},
                         {0, -1, 2}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(init_ts_drv(), 0);
        feedAndSettle(c.samples);
        EXPECT_EQ(drainQueue(), c.queued);
        fin_ts_drv();
    }
}

TEST_F(ReaderThread, StopsPromptlyWhileWaitingForInput)
{
    ASSERT_EQ(init_ts_drv(), 0);
    feedAndSettle({});  // the reader now waits in poll()
    auto stopped = std::async(std::launch::async, fin_ts_drv);
    ASSERT_EQ(stopped.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(script->openSources, 0);
}

TEST_F(ReaderThread, ReinitTwiceLeavesOneReader)
{
    ASSERT_EQ(init_ts_drv(), 0);
    for (int reinit = 0; reinit < 2; ++reinit) {
        fin_ts_drv();
        ASSERT_EQ(init_ts_drv(), 0);
    }
    EXPECT_EQ(script->openSources, 1);
    feedAndSettle({sample(7, true)});
    EXPECT_EQ(drainQueue(), std::vector<int>{7});
}

TEST_F(ReaderThread, FailedInitReleasesWhatItOpened)
{
    script->configureFails = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(init_ts_drv(), -2);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(script->openSources, 0);
    ts_sample s;
    EXPECT_EQ(get_data_ts_drv(&s), -1);

    script->configureFails = false;
    ASSERT_EQ(init_ts_drv(), 0);
    feedAndSettle({sample(3, true)});
    EXPECT_EQ(drainQueue(), std::vector<int>{3});
}

TEST_F(ReaderThread, FailingDevicePausesBetweenReadsAndLogsOnce)
{
    MessageCapture log;
    ASSERT_EQ(init_ts_drv(), 0);
    const auto start = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::mutex> guard(script->lock);
        script->failing = true;
    }
    script->feed({});
    // A real thread blocked in poll(): only real time lets it show whether it pauses. It
    // is given as long as it takes to fail three times; whenever that is, it cannot have
    // read more than once per 100 ms pause since the start (a spinning core would have).
    {
        std::unique_lock<std::mutex> guard(script->lock);
        ASSERT_TRUE(script->changed.wait_for(guard, 10s, [&] { return script->failedReads >= 3; }));
        const auto pauses = (std::chrono::steady_clock::now() - start) / 100ms;
        EXPECT_LE(script->failedReads, pauses + 1);
        script->failing = false;
    }
    // The device recovers: its samples flow again.
    feedAndSettle({sample(9, true)});
    EXPECT_EQ(drainQueue(), std::vector<int>{9});
    EXPECT_EQ(log.matching(QStringLiteral("touch read failed")).size(), 1);
}

TEST(FifoTouchSource, SplitLinesBadLinesAndWritersThatComeAndGo)
{
    TempBoardRoot root;
    const std::string fifo = root.path(QStringLiteral("/feed")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    MessageCapture log;
    auto source = makeFifoTouchSource();
    ASSERT_TRUE(source->open(fifo));
    ASSERT_TRUE(source->configure());
    const auto samplesAfter = [&](int writer, const char* text) {
        if (*text) {
            EXPECT_EQ(::write(writer, text, std::strlen(text)), static_cast<ssize_t>(std::strlen(text)));
        }
        std::vector<std::string> got;
        ts_sample s;
        int result;
        while ((result = source->read(&s)) > 0) {
            EXPECT_GT(s.tv.tv_sec, 0);
            got.push_back(std::to_string(s.x) + " " + std::to_string(s.y) + " " + std::to_string(s.pressure));
        }
        EXPECT_EQ(result, 0);  // nothing more for now, not an error
        return got;
    };
    using Lines = std::vector<std::string>;

    const int first = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(first, 0);
    EXPECT_EQ(samplesAfter(first, "10 20 200\n30 4"), Lines{"10 20 200"});
    EXPECT_EQ(samplesAfter(first, "0 0\nnot a sample\n1 2\n1 2 3 4\n"), Lines{"30 40 0"});
    ::close(first);
    EXPECT_EQ(samplesAfter(-1, ""), Lines{});  // the writer's close is no end of file

    const int second = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(second, 0);
    EXPECT_EQ(samplesAfter(second, "8 9 200\n"), Lines{"8 9 200"});
    ::close(second);
    EXPECT_EQ(log.matching(QStringLiteral("touch feed line skipped")).size(), 3);
    source->close();
}

// tslib's own TouchKit serial module, fed through a pseudo-terminal: five-byte packets of a
// header (0x80, bit 0 set while touched) and X and Y as 4 + 7 bits.
TEST(TslibTouchSource, ReadsAPressAndAReleaseThroughTheTouchKitModule)
{
    TempBoardRoot root;
    ASSERT_TRUE(root.writeFile(QStringLiteral("/ts.conf"), QByteArray("module_raw touchkit\n")));
    const QByteArray conf = root.path(QStringLiteral("/ts.conf")).toLocal8Bit();
    const QByteArray previous = qgetenv("TSLIB_CONFFILE");
    qputenv("TSLIB_CONFFILE", conf);
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    auto source = makeTslibTouchSource();
    const bool opened = source->open(::ptsname(master));
    const bool configured = opened && source->configure();
    EXPECT_TRUE(opened && configured);
    std::vector<std::string> got;
    if (configured) {
        const auto packet = [](bool touched, int x, int y) {
            return std::string{char(0x80 | (touched ? 1 : 0)), char(x >> 7), char(x & 0x7f), char(y >> 7),
                               char(y & 0x7f)};
        };
        ts_sample first;
        EXPECT_EQ(source->read(&first), 0);  // the module sets the line up (raw, flushed) at its first read
        const std::string bytes = packet(true, 300, 1000) + packet(false, 300, 1000);
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        for (int i = 0; i < 100 && got.size() < 2; ++i) {
            pollfd ready{source->fd(), POLLIN, 0};
            ::poll(&ready, 1, 50);
            ts_sample s;
            while (got.size() < 2 && source->read(&s) > 0)
                got.push_back(std::to_string(s.x) + " " + std::to_string(s.y) + (s.pressure ? " down" : " up"));
        }
    }
    source->close();
    ::close(master);
    if (previous.isNull())
        qunsetenv("TSLIB_CONFFILE");
    else
        qputenv("TSLIB_CONFFILE", previous);
    EXPECT_EQ(got, (std::vector<std::string>{"300 1000 down", "300 1000 up"}));
}
