// The display server's picture cache and text paths: LZ compression and decompression of the
// ABGR4444 content of a flat and of a photo-like full-screen picture, a picture's first draw
// (PNG decode, convert, compress, write) against a cached draw, and the paths of a
// 20-character Japanese label. Aim: the first draw of a flat full-screen picture under 1 s.
#include <benchmark/benchmark.h>

#include <stb/stb_image_write.h>

#include <QFile>
#include <QProcess>

#include <random>
#include <vector>

#include "drawport.h"
#include "fontoptions.h"
#include "fonttext.h"
#include "images.h"
#include "lz.h"
#include "ovg_init.h"
#include "recordingdrawport.h"
#include "tempboardroot.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes content4444(bool photo)
{
    Bytes content = {0xE0, 1, 0, 0, 0x10, 1, 0, 0};
    std::mt19937 random(3);
    for (int y = 0; y < 272; ++y)
        for (int x = 0; x < 480; ++x) {
            // Photo-like: smooth gradients with noise in the low bits.
            const unsigned p = photo ? ((x / 30) << 8 | (y / 17) << 4 | (random() % 16) | 0xF000) : 0xF642;
            content.push_back(static_cast<unsigned char>(p));
            content.push_back(static_cast<unsigned char>(p >> 8));
        }
    return content;
}

void BM_LzCompress(benchmark::State& state)
{
    Bytes in = content4444(state.range(0) != 0);
    Bytes out(LZ_CompressBound(static_cast<unsigned>(in.size())));
    for (auto _ : state)
        benchmark::DoNotOptimize(LZ_Compress(in.data(), out.data(), static_cast<unsigned>(in.size())));
}
BENCHMARK(BM_LzCompress)->Arg(0)->Arg(1)->ArgNames({"photo"})->Unit(benchmark::kMillisecond);

void BM_LzUncompress(benchmark::State& state)
{
    Bytes in = content4444(state.range(0) != 0);
    Bytes stream(LZ_CompressBound(static_cast<unsigned>(in.size())));
    stream.resize(LZ_Compress(in.data(), stream.data(), static_cast<unsigned>(in.size())));
    Bytes out(in.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(LZ_Uncompress(stream.data(), out.data(), static_cast<unsigned>(stream.size()),
                                               static_cast<unsigned>(out.size())));
}
BENCHMARK(BM_LzUncompress)->Arg(0)->Arg(1)->ArgNames({"photo"})->Unit(benchmark::kMillisecond);

// A full-screen picture drawn on the recording port, with its cache removed before every
// draw (first draw) or kept (cached draw).
void BM_PictureDraw(benchmark::State& state)
{
    const bool cached = state.range(0) != 0;
    vnq::test::TempBoardRoot root;
    vistrel::RecordingDrawPort port;
    vistrel::setDrawPort(&port);
    vistrel::vgImage4444 = port.vgCreateImage(VG_sABGR_4444, 480, 272, VG_IMAGE_QUALITY_NONANTIALIASED);
    std::vector<unsigned char> rgb(480 * 272 * 3, 0x80);
    const QString png = root.path(QStringLiteral("/flat.png"));
    stbi_write_png(png.toUtf8().constData(), 480, 272, 3, rgb.data(), 480 * 3);
    vistrel::gui_image_button(0, 0, "/flat.png");
    for (auto _ : state) {
        if (!cached)
            QFile::remove(png + QStringLiteral(".4444"));
        vistrel::gui_image_button(0, 0, "/flat.png");
        port.clearCalls();
    }
    vistrel::setDrawPort(nullptr);
}
BENCHMARK(BM_PictureDraw)->Arg(0)->Arg(1)->ArgNames({"cached"})->Unit(benchmark::kMillisecond);

void BM_JapaneseLabelPaths(benchmark::State& state)
{
    QProcess dpkg;
    dpkg.start(QStringLiteral("dpkg"), {QStringLiteral("-L"), QStringLiteral("fonts-ipafont-gothic")});
    dpkg.waitForFinished();
    for (const QString& line : QString::fromUtf8(dpkg.readAllStandardOutput()).split('\n'))
        if (line.endsWith(QLatin1String("/ipag.ttf")))
            vistrel::argvFontPath = line.toStdString();
    vistrel::RecordingDrawPort port;
    vistrel::setDrawPort(&port);
    if (vistrel::font_init() != 0) {
        state.SkipWithError("no font: install fonts-ipafont-gothic");
        return;
    }
    const char* label = "出勤退勤外出再入日替退解錠カードをタッチ";
    for (auto _ : state) {
        float width = 0;
        vistrel::font_set(24, &width, label);
        vistrel::font_draw(0, 0);
        port.clearCalls();
    }
    vistrel::font_fin();
    vistrel::setDrawPort(nullptr);
}
BENCHMARK(BM_JapaneseLabelPaths)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
