#include "fb_info.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
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

}  // namespace simfb
