#include "fb_info.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace simfb {
namespace {

struct Field {
    const char* key;
    uint32_t FbInfo::*plain;
    BitField FbInfo::*bits;
    uint32_t BitField::*part;
};

const Field kFields[] = {
    {"xres", &FbInfo::xres, nullptr, nullptr},
    {"yres", &FbInfo::yres, nullptr, nullptr},
    {"bits_per_pixel", &FbInfo::bitsPerPixel, nullptr, nullptr},
    {"line_length", &FbInfo::lineLength, nullptr, nullptr},
    {"smem_start", &FbInfo::smemStart, nullptr, nullptr},
    {"smem_len", &FbInfo::smemLen, nullptr, nullptr},
    {"osd_offset", &FbInfo::osdOffset, nullptr, nullptr},
    {"red_offset", nullptr, &FbInfo::red, &BitField::offset},
    {"red_length", nullptr, &FbInfo::red, &BitField::length},
    {"green_offset", nullptr, &FbInfo::green, &BitField::offset},
    {"green_length", nullptr, &FbInfo::green, &BitField::length},
    {"blue_offset", nullptr, &FbInfo::blue, &BitField::offset},
    {"blue_length", nullptr, &FbInfo::blue, &BitField::length},
    {"transp_offset", nullptr, &FbInfo::transp, &BitField::offset},
    {"transp_length", nullptr, &FbInfo::transp, &BitField::length},
};

uint32_t& fieldOf(FbInfo& info, const Field& f)
{
    return f.plain ? info.*f.plain : (info.*f.bits).*f.part;
}

// A colour field of `length` bits widened to 8 bits by repeating its bits.
uint8_t widen(uint32_t value, uint32_t length)
{
    if (length == 0)
        return 0;
    if (length >= 8)
        return static_cast<uint8_t>(value >> (length - 8));
    uint32_t out = 0;
    uint32_t bits = 0;
    while (bits < 8) {
        out = (out << length) | value;
        bits += length;
    }
    return static_cast<uint8_t>(out >> (bits - 8));
}

uint8_t field(uint32_t pixel, const BitField& f)
{
    const uint32_t mask = f.length >= 32 ? 0xFFFFFFFFu : (1u << f.length) - 1;
    return widen((pixel >> f.offset) & mask, f.length);
}

}  // namespace

FbInfo boardScreen(uint32_t xres, uint32_t yres, uint32_t bitsPerPixel)
{
    FbInfo info;
    info.xres = xres;
    info.yres = yres;
    info.bitsPerPixel = bitsPerPixel;
    info.lineLength = xres * (bitsPerPixel / 8);
    info.smemStart = kDefaultSmemStart;
    info.osdOffset = info.lineLength * yres;
    info.smemLen = 2 * info.osdOffset;
    if (bitsPerPixel == 32) {
        info.red = {16, 8};
        info.green = {8, 8};
        info.blue = {0, 8};
        info.transp = {24, 8};
    } else {
        info.red = {11, 5};
        info.green = {5, 6};
        info.blue = {0, 5};
    }
    return info;
}

std::string formatFbInfo(const FbInfo& info)
{
    FbInfo copy = info;
    std::string out;
    for (const Field& f : kFields) {
        char line[64];
        uint32_t value = fieldOf(copy, f);
        if (f.plain == &FbInfo::smemStart)
            std::snprintf(line, sizeof line, "%s 0x%08x\n", f.key, value);
        else
            std::snprintf(line, sizeof line, "%s %u\n", f.key, value);
        out += line;
    }
    if (info.vsyncHz != 0)
        out += "vsync_hz " + std::to_string(info.vsyncHz) + "\n";
    return out;
}

bool parseFbInfo(const std::string& text, FbInfo& info)
{
    std::map<std::string, uint32_t> values;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        std::istringstream words(line);
        std::string key, number;
        if (!(words >> key >> number))
            return false;
        char* end = nullptr;
        unsigned long value = std::strtoul(number.c_str(), &end, 0);
        if (*end != '\0' || value > 0xFFFFFFFFul)
            return false;
        values[key] = static_cast<uint32_t>(value);
    }
    FbInfo parsed;
    for (const Field& f : kFields) {
        auto it = values.find(f.key);
        if (it == values.end())
            return false;
        fieldOf(parsed, f) = it->second;
    }
    auto hz = values.find("vsync_hz");
    if (hz != values.end())
        parsed.vsyncHz = hz->second;
    info = parsed;
    return true;
}

bool readFbInfo(const std::string& path, FbInfo& info)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::stringstream text;
    text << in.rdbuf();
    return parseFbInfo(text.str(), info);
}

bool writeFramebuffer(const std::string& fbPath, const FbInfo& info)
{
    {
        std::ofstream fb(fbPath, std::ios::binary | std::ios::trunc);
        if (!fb)
            return false;
        const std::string zeros(info.smemLen, '\0');
        if (!fb.write(zeros.data(), static_cast<std::streamsize>(zeros.size())))
            return false;
    }
    std::ofstream sidecar(fbPath + ".info", std::ios::trunc);
    sidecar << formatFbInfo(info);
    return static_cast<bool>(sidecar);
}

bool readPlane(const std::vector<uint8_t>& memory, const FbInfo& info, bool osd, ScreenPixels& out,
               std::string* error)
{
    const uint32_t bytesPerPixel = info.bitsPerPixel / 8;
    if (bytesPerPixel < 1 || bytesPerPixel > 4 || info.bitsPerPixel % 8 != 0) {
        *error = "unsupported depth " + std::to_string(info.bitsPerPixel);
        return false;
    }
    const uint64_t plane = osd ? info.osdOffset : 0;
    const uint64_t end = plane + static_cast<uint64_t>(info.lineLength) * info.yres;
    if (info.xres == 0 || info.yres == 0 || static_cast<uint64_t>(info.xres) * bytesPerPixel > info.lineLength ||
        end > memory.size()) {
        *error = "framebuffer file shorter than its description";
        return false;
    }
    out.width = info.xres;
    out.height = info.yres;
    out.values.assign(static_cast<size_t>(info.xres) * info.yres, 0);
    for (uint32_t y = 0; y < info.yres; ++y) {
        const uint8_t* line = memory.data() + plane + static_cast<uint64_t>(y) * info.lineLength;
        for (uint32_t x = 0; x < info.xres; ++x) {
            uint32_t pixel = 0;
            for (uint32_t b = 0; b < bytesPerPixel; ++b)
                pixel |= static_cast<uint32_t>(line[x * bytesPerPixel + b]) << (8 * b);
            out.values[static_cast<size_t>(y) * info.xres + x] = pixel;
        }
    }
    return true;
}

bool readScreen(const std::string& fbPath, const FbInfo& info, bool osd, ScreenPixels& out, std::string* error)
{
    std::ifstream file(fbPath, std::ios::binary);
    if (!file) {
        *error = "no framebuffer file at " + fbPath;
        return false;
    }
    const std::vector<uint8_t> memory((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!readPlane(memory, info, osd, out, error)) {
        *error += ": " + fbPath;
        return false;
    }
    return true;
}

void pixelToRgb(uint32_t value, const FbInfo& info, uint8_t rgb[3])
{
    rgb[0] = field(value, info.red);
    rgb[1] = field(value, info.green);
    rgb[2] = field(value, info.blue);
}

}  // namespace simfb
