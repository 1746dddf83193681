// vnq_make_sounds <output dir>
//
// Writes the terminal's sounds as <output dir>/<level>/{BUTTON,ERROR,IN,OUT}.wav for the
// volume levels 1 to 3 (level 0 plays nothing, so it has no files): RIFF/WAVE, PCM, 16-bit,
// mono, 22050 Hz. Each sound is a sequence of sine tones and pauses; every tone fades in and
// out over 5 ms so it starts and ends without a click. A file whose bytes would not change is
// left alone, so its time stamp shows when the sound last changed.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int SampleRate = 22050;
constexpr double FadeMs = 5.0;
constexpr double Pi = 3.14159265358979323846;

// One step of a sound: a tone of the given frequency, or a pause when the frequency is 0.
struct Step {
    double hz;
    double ms;
};

struct Sound {
    const char* name;
    std::vector<Step> steps;
};

// Peak amplitude of each level as a fraction of full scale.
struct Level {
    int number;
    double peak;
};

const std::vector<Sound>& sounds()
{
    static const std::vector<Sound> all = {
        {"BUTTON", {{1000, 60}}},
        {"ERROR", {{400, 150}, {0, 80}, {400, 150}}},
        {"IN", {{523, 120}, {659, 120}, {784, 120}}},
        {"OUT", {{784, 120}, {659, 120}, {523, 120}}},
    };
    return all;
}

const Level levels[] = {{1, 0.25}, {2, 0.50}, {3, 0.90}};

int samplesFor(double ms)
{
    return static_cast<int>(std::lround(ms * SampleRate / 1000.0));
}

void appendStep(std::vector<int16_t>& pcm, const Step& step, double peak)
{
    const int count = samplesFor(step.ms);
    const int fade = samplesFor(FadeMs);
    for (int i = 0; i < count; ++i) {
        double value = 0.0;
        if (step.hz > 0) {
            double envelope = 1.0;
            if (i < fade)
                envelope = double(i) / fade;
            else if (count - 1 - i < fade)
                envelope = double(count - 1 - i) / fade;
            value = peak * envelope * std::sin(2.0 * Pi * step.hz * i / SampleRate);
        }
        pcm.push_back(static_cast<int16_t>(std::lround(value * 32767.0)));
    }
}

void put16(std::string& out, uint16_t v)
{
    out.push_back(char(v & 0xff));
    out.push_back(char(v >> 8));
}

void put32(std::string& out, uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char((v >> shift) & 0xff));
}

std::string waveFile(const std::vector<int16_t>& pcm)
{
    const uint32_t dataBytes = uint32_t(pcm.size() * 2);
    std::string out;
    out += "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVE";
    out += "fmt ";
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, SampleRate);
    put32(out, SampleRate * 2);  // bytes per second
    put16(out, 2);               // bytes per frame
    put16(out, 16);              // bits per sample
    out += "data";
    put32(out, dataBytes);
    for (int16_t s : pcm)
        put16(out, uint16_t(s));
    return out;
}

bool sameContent(const std::string& path, const std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return old == bytes;
}

bool writeIfChanged(const std::string& path, const std::string& bytes)
{
    if (sameContent(path, bytes))
        return true;
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        if (!out)
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

bool makeDirectory(const std::string& path)
{
    return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vnq_make_sounds <output dir>\n");
        return 2;
    }
    const std::string root = argv[1];
    if (!makeDirectory(root)) {
        std::fprintf(stderr, "vnq_make_sounds: cannot create %s\n", root.c_str());
        return 1;
    }
    for (const Level& level : levels) {
        const std::string dir = root + "/" + std::to_string(level.number);
        if (!makeDirectory(dir)) {
            std::fprintf(stderr, "vnq_make_sounds: cannot create %s\n", dir.c_str());
            return 1;
        }
        for (const Sound& sound : sounds()) {
            std::vector<int16_t> pcm;
            for (const Step& step : sound.steps)
                appendStep(pcm, step, level.peak);
            const std::string path = dir + "/" + sound.name + ".wav";
            if (!writeIfChanged(path, waveFile(pcm))) {
                std::fprintf(stderr, "vnq_make_sounds: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    return 0;
}
