// Picture names a client should not send: a FIFO, a device or a directory where a picture or
// its cache file belongs, and names that climb out of the board root. Each is a missing
// picture; the server never waits on one, never reads outside the root and never writes a
// cache file there.
#include "images.h"

#include "drawingsurface.h"
#include "drawsummary.h"

#include <stb/stb_image_write.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vistrel;
using vnq::test::summarizeDrawing;

namespace {

// Watches a FIFO from a thread: whenever someone opens it for reading, opens it for writing
// and closes it again, so a reader that would wait for a writer gets an end of file and goes
// on; tells afterwards whether that ever happened.
class FifoRescuer {
public:
    explicit FifoRescuer(std::string path)
        : m_path(std::move(path))
        , m_thread([this] { watch(); })
    {
    }
    ~FifoRescuer() { stop(); }

    // Stops watching; whether a reader ever opened the FIFO.
    bool stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_opened;
    }

private:
    void watch()
    {
        while (!m_stop) {
            // Without a reader this fails at once (ENXIO); with one it opens.
            const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                m_opened = true;
                ::close(fd);
            }
            std::this_thread::yield();
        }
    }

    std::string m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_opened{false};
    std::thread m_thread;
};

class PictureNames : public DrawingSurface {
protected:
    void SetUp() override
    {
        DrawingSurface::SetUp();
        ASSERT_TRUE(root.makeDir("/VnQo/app/Parts"));
        ASSERT_TRUE(root.makeDir("/VnQo/app/App"));
        previousDirectory = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(root.path("/VnQo/app/App")));
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDirectory);
        DrawingSurface::TearDown();
    }

    static bool writePng(const QString& file)
    {
        const std::vector<unsigned char> pixels(4 * 4 * 4, 0x80);
        return stbi_write_png(file.toUtf8().constData(), 4, 4, 4, pixels.data(), 4 * 4) != 0;
    }

    // Draws the named picture; what it printed.
    std::string draw(const char* name)
    {
        port.clearCalls();
        testing::internal::CaptureStdout();
        gui_image_button(3, 4, name);
        return testing::internal::GetCapturedStdout();
    }

    QStringList drawn() const { return summarizeDrawing(port.calls()); }

    static std::string missing(const std::string& name) { return "Failed load image(" + name + ")\n"; }

    QString previousDirectory;
};

TEST_F(PictureNames, FifoPictureOrCacheFileIsMissingAndNeverOpened)
{
    ASSERT_TRUE(writePng(root.path("/VnQo/app/Parts/b.png")));
    const struct {
        const char* name;
        const char* fifo;  // the board path made a FIFO
    } cases[] = {
        {"/dev/input/event0", "/dev/input/event0"},
        {"../../../dev/input/event0", "/dev/input/event0"},
        {"../Parts/a.png", "/VnQo/app/Parts/a.png"},
        {"../Parts/b.png", "/VnQo/app/Parts/b.png.4444"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string fifo = root.path(c.fifo).toStdString();
        ASSERT_TRUE(root.makeDir(QFileInfo(root.path(c.fifo)).path().mid(root.root().size())));
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::string printed;
        {
            FifoRescuer rescuer(fifo);
            printed = draw(c.name);
            EXPECT_FALSE(rescuer.stop()) << "the FIFO was opened";
        }
        EXPECT_EQ(printed, missing(c.name));
        EXPECT_TRUE(drawn().isEmpty());
        struct stat info;
        ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
        ASSERT_EQ(::unlink(fifo.c_str()), 0);
    }
}

TEST_F(PictureNames, DirectoryPictureOrCacheFileIsMissingAndKept)
{
    ASSERT_TRUE(root.makeDir("/VnQo/app/Parts/d.png"));
    ASSERT_TRUE(writePng(root.path("/VnQo/app/Parts/e.png")));
    ASSERT_TRUE(root.makeDir("/VnQo/app/Parts/e.png.4444"));
    for (const char* name : {"../Parts/d.png", "../Parts", "../Parts/e.png", "/VnQo/app/Parts/e.png"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(draw(name), missing(name));
        EXPECT_TRUE(drawn().isEmpty());
    }
    EXPECT_TRUE(QFileInfo(root.path("/VnQo/app/Parts/e.png.4444")).isDir());
    EXPECT_FALSE(root.exists("/VnQo/app/Parts/d.png.4444"));
    EXPECT_FALSE(root.exists("/VnQo/app/Parts.4444"));
}

TEST_F(PictureNames, NamesThatLeaveTheBoardRootAreMissing)
{
    QTemporaryDir outside(QStringLiteral("/tmp/vnq-outside-XXXXXX"));
    ASSERT_TRUE(outside.isValid());
    ASSERT_TRUE(writePng(outside.filePath(QStringLiteral("x.png"))));
    // As many ".." as it takes from the working directory to "/", and some more.
    const std::string up = QString(QStringLiteral("../")).repeated(QDir::currentPath().count('/') + 3).toStdString();
    const std::string relative = up + outside.path().mid(1).toStdString() + "/x.png";
    // From <root>/VnQo/app/App four steps up is the directory that holds both the root and
    // the other directory.
    const std::string besideRoot = "../../../../" + QFileInfo(outside.path()).fileName().toStdString() + "/x.png";
    const std::string absolute = "/../../../.." + outside.path().toStdString() + "/x.png";
    for (const std::string& name : {relative, besideRoot, absolute}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(draw(name.c_str()), missing(name));
        EXPECT_TRUE(drawn().isEmpty());
    }
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"x.png"});

    // A name that climbs but stays inside the root is an ordinary picture.
    ASSERT_TRUE(writePng(root.path("/VnQo/app/Parts/c.png")));
    for (const char* name : {"../../app/./Parts/c.png", "/VnQo/../VnQo/app/Parts/c.png"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(draw(name), "");
        EXPECT_EQ(drawn(), QStringList{"image 4x4 at 3,4"});
    }
    EXPECT_TRUE(root.exists("/VnQo/app/Parts/c.png.4444"));
}

}  // namespace
