#include "images.h"

#include "boardpath.h"
#include "drawport.h"
#include "lz.h"
#include "ovg_init.h"
#include "srvlog.h"

#include <stb/stb_image.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

namespace vistrel {
namespace {

constexpr int kHeaderWords = 4;  // width and height, int32 little-endian each
constexpr long kMaxPixels = static_cast<long>(kScreenWidth) * kScreenHeight;

uint16_t packAbgr4444(const unsigned char* rgba)
{
    return static_cast<uint16_t>((rgba[3] >> 4) << 12 | (rgba[2] >> 4) << 8 | (rgba[1] >> 4) << 4 | (rgba[0] >> 4));
}

void putInt32(unsigned char* at, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i));
}

int32_t getInt32(const unsigned char* at)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(at[i]) << (8 * i);
    return static_cast<int32_t>(value);
}

unsigned char* workBytes()
{
    return reinterpret_cast<unsigned char*>(shortImageBuffer);
}

bool writeFileAtomically(const std::string& path, const unsigned char* data, size_t size)
{
    const std::string temporary = path + ".tmp." + std::to_string(getpid());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    size_t written = 0;
    while (written < size) {
        ssize_t n = ::write(fd, data + written, size - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<size_t>(n);
    }
    const bool ok = written == size && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

CacheFileWriter& cacheWriter()
{
    static CacheFileWriter writer = writeFileAtomically;
    return writer;
}

// Whether a width x height picture with its top-left pixel at screen (x, y) covers any pixel
// of the screen; in 64 bits, since the position comes from a client's message.
bool reachesScreen(int x, int y, int width, int height)
{
    return static_cast<long long>(x) + width > 0 && x < kScreenWidth && static_cast<long long>(y) + height > 0 &&
           y < kScreenHeight;
}

// Puts the width x height pixels held in the work buffer (after its header) on the screen. A
// picture wholly off the screen is not drawn; a full-screen one still becomes the work image.
void drawWorkBuffer(int x, int y, int width, int height)
{
    DrawPort& port = drawPort();
    const uint16_t* pixels = shortImageBuffer + kHeaderWords;
    const bool onScreen = reachesScreen(x, y, width, height);
    if (width == kScreenWidth && height == kScreenHeight) {
        port.vgImageSubData(vgImage4444, pixels, kScreenWidth * 2, VG_sABGR_4444, 0, 0, width, height);
        setup_matrix_draw_image();
        if (onScreen)
            draw_image(x, y, vgImage4444);
        return;
    }
    if (!onScreen)
        return;
    VGImage image = port.vgCreateImage(VG_sABGR_4444, width, height, VG_IMAGE_QUALITY_NONANTIALIASED);
    port.vgImageSubData(image, pixels, width * 2, VG_sABGR_4444, 0, 0, width, height);
    setup_matrix_draw_image();
    draw_image(x, y, image);
    port.vgDestroyImage(image);
}

// Fills the work buffer with the picture's cache content; its size in bytes.
size_t buildContent(int width, int height, const unsigned char* rgba)
{
    putInt32(workBytes(), width);
    putInt32(workBytes() + 4, height);
    const long pixels = static_cast<long>(width) * height;
    for (long i = 0; i < pixels; ++i)
        shortImageBuffer[kHeaderWords + i] = packAbgr4444(rgba + 4 * i);
    return static_cast<size_t>(pixels + kHeaderWords) * 2;
}

enum class Opened { Missing, NotRegular, Failed, Open };

// Opens a picture or cache file for reading, only when it is a regular file: anything else
// (a FIFO, a device, a directory) is never opened, and the open itself never waits, so a
// file swapped for a FIFO in between is not read either.
Opened openRegularFile(const std::string& path, FILE** file, struct stat* info)
{
    *file = nullptr;
    if (::stat(path.c_str(), info) != 0)
        return Opened::Missing;
    if (!S_ISREG(info->st_mode))
        return Opened::NotRegular;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Opened::Missing;
    if (fstat(fd, info) != 0) {
        ::close(fd);
        return Opened::Failed;
    }
    if (!S_ISREG(info->st_mode)) {
        ::close(fd);
        return Opened::NotRegular;
    }
    *file = fdopen(fd, "rb");
    if (!*file) {
        ::close(fd);
        return Opened::Failed;
    }
    return Opened::Open;
}

void reportMissingPicture(const char* path)
{
    std::printf("Failed load image(%s)\n", path);
    std::fflush(stdout);
}

enum class CacheRead { Missing, NotRegular, Failed, Bad, Loaded };

// Reads and decodes the cache file into the work buffer.
CacheRead readCache(const std::string& cachePath, int& width, int& height)
{
    FILE* file = nullptr;
    struct stat info;
    switch (openRegularFile(cachePath, &file, &info)) {
    case Opened::Missing:
        return CacheRead::Missing;
    case Opened::NotRegular:
        return CacheRead::NotRegular;
    case Opened::Failed:
        VISTREL_SRV_ERR() << "Failed fstat " << cachePath.c_str();
        return CacheRead::Failed;
    case Opened::Open:
        break;
    }
    const size_t size = static_cast<size_t>(info.st_size);
    std::vector<unsigned char> stream(size + 8);
    const size_t got = std::fread(stream.data(), 1, size, file);
    std::fclose(file);
    if (got == 0 || got != size) {
        VISTREL_SRV_ERR() << "Failed read " << static_cast<long long>(got) << static_cast<long long>(size)
                          << cachePath.c_str();
        return CacheRead::Bad;
    }
    const unsigned capacity = sizeof shortImageBuffer;
    const int decoded = LZ_Uncompress(stream.data(), workBytes(), static_cast<unsigned>(size), capacity);
    if (decoded >= 8) {
        width = getInt32(workBytes());
        height = getInt32(workBytes() + 4);
        if (width >= 1 && height >= 1 && static_cast<long>(width) * height <= kMaxPixels &&
            decoded == 8 + width * height * 2)
            return CacheRead::Loaded;
    }
    VISTREL_SRV_ERR() << "bad cache file" << cachePath.c_str() << "decoded" << decoded << "bytes";
    return CacheRead::Bad;
}

// Decodes the PNG into the work buffer and writes its cache file; false when nothing can be
// drawn.
bool convertPicture(const char* path, const std::string& file, const std::string& cachePath, int& width,
                    int& height)
{
    FILE* png = nullptr;
    struct stat info;
    if (openRegularFile(file, &png, &info) != Opened::Open) {
        reportMissingPicture(path);
        return false;
    }
    int channels = 0;
    if (!stbi_info_from_file(png, &width, &height, &channels)) {
        std::fclose(png);
        reportMissingPicture(path);
        return false;
    }
    if (static_cast<long>(width) * height > kMaxPixels) {
        std::fclose(png);
        VISTREL_SRV_ERR() << "picture too large:" << width << "x" << height << path;
        return false;
    }
    unsigned char* rgba = stbi_load_from_file(png, &width, &height, &channels, 4);
    std::fclose(png);
    if (!rgba) {
        reportMissingPicture(path);
        return false;
    }
    if (!create4444files(cachePath.c_str(), width, height, rgba)) {
        static std::set<std::string> reported;
        if (reported.insert(cachePath).second)
            VISTREL_SRV_ERR() << "cannot write the cache file" << cachePath.c_str();
    }
    stbi_image_free(rgba);
    return true;
}

}  // namespace

void setCacheFileWriter(CacheFileWriter writer)
{
    cacheWriter() = writer ? std::move(writer) : CacheFileWriter(writeFileAtomically);
}

bool create4444files(const char* cachePath, int width, int height, const unsigned char* rgba)
{
    const size_t size = buildContent(width, height, rgba);
    std::vector<unsigned char> stream(LZ_CompressBound(static_cast<unsigned>(size)));
    const unsigned length = LZ_Compress(workBytes(), stream.data(), static_cast<unsigned>(size));
    return cacheWriter()(cachePath, stream.data(), length);
}

void gui_parts_init() {}

void gui_image_button(int x, int y, const char* path)
{
    // A name that leads out of the board root is a missing picture: nothing outside the root
    // is read, and no cache file is written there.
    const std::string file = boardFileInside(QString::fromUtf8(path)).toStdString();
    if (file.empty()) {
        reportMissingPicture(path);
        return;
    }
    const std::string cachePath = file + ".4444";
    int width = 0, height = 0;
    switch (readCache(cachePath, width, height)) {
    case CacheRead::Loaded:
        drawWorkBuffer(x, y, width, height);
        return;
    case CacheRead::NotRegular:
        // Something else stands where the cache file belongs; it is left alone.
        reportMissingPicture(path);
        return;
    case CacheRead::Failed:
        return;
    case CacheRead::Bad:
        std::remove(cachePath.c_str());
        break;
    case CacheRead::Missing:
        break;
    }
    if (convertPicture(path, file, cachePath, width, height))
        drawWorkBuffer(x, y, width, height);
}

}  // namespace vistrel
