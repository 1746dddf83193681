// The typical screen of the display server (typicalscreen.h) drawn in this process, like with
// like, and the display server's own handling of its message in process:
// - BM_VistrelDrawFromDecodedPictures: the display server's drawing alone, on its OpenVG port
//   over the simulated GPU, from pictures decoded once into images: the 13 pictures drawn as
//   it draws them, the 20 labels through its own text code (glyph outlines made into paths,
//   filled and stroked), until the GPU has finished; no message, no file, no swap.
// - BM_CairoDrawFromDecodedPictures: the same screen drawn by cairo on an RGB16_565 image
//   surface from the same pictures decoded once and the same FreeType outlines as cairo paths,
//   filled and stroked; its counter vistrel_over_cairo is the ratio of the two means (goal: 1.5
//   at most).
// - BM_VistrelMessageInProcess: the display server's whole handling of the message in this
//   process: parsing it, reading and decompressing each cached picture, drawing, swapping to
//   the simulated framebuffer (no vertical sync); no socket and no other process (for the round
//   trip to the program, see bench_vistrel).
#include <benchmark/benchmark.h>

#include <VG/openvg.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <stb/stb_image.h>

#include <QDir>

#include <chrono>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "fontoptions.h"
#include "fonttext.h"
#include "framebufferroot.h"
#include "guimodule.h"
#include "ovg_init.h"
#include "ovgdrawport.h"
#include "packagedfont.h"
#include "typicalscreen.h"
#include "vx_fbdev.h"

namespace {

using namespace typicalscreen;

// A decoded picture, RGBA 8888 as stb_image gives it, and where the screen shows it.
struct DecodedPicture {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<unsigned char> rgba;
};

// The screen's pictures decoded once from the PNG files in dir.
std::vector<DecodedPicture> decodePictures(const QString& dir)
{
    std::vector<DecodedPicture> pictures;
    auto load = [&](const QString& file, int x, int y) {
        int w = 0, h = 0, channels = 0;
        unsigned char* rgba = stbi_load((dir + file).toUtf8().constData(), &w, &h, &channels, 4);
        if (!rgba)
            return;
        pictures.push_back({x, y, w, h, std::vector<unsigned char>(rgba, rgba + size_t(w) * h * 4)});
        stbi_image_free(rgba);
    };
    load(QStringLiteral("full.png"), 0, 0);
    for (int i = 0; i < kPictures; ++i)
        load(QStringLiteral("p%1.png").arg(i), pictureX(i), pictureY(i));
    return pictures;
}

// The display server in this process on its OpenVG port, in a board root with a simulated
// 480 x 272 RGB565 screen that never waits for a vertical sync, the typical screen's pictures
// in /VnQo/app/Parts with their caches written. Made once for the run.
class DisplayInProcess {
public:
    DisplayInProcess()
    {
        vistrel::argvFontPath = packagedFont();
        if (vistrel::argvFontPath.empty()) {
            error = "no font: install fonts-ipafont-gothic";
            return;
        }
        root.makeDir(QStringLiteral("/tmp"));
        root.makeDir(QStringLiteral("/var/tmp"));
        root.makeDir(QStringLiteral("/VnQo/app/Parts"));
        root.writeFile(QStringLiteral("/VnQo/app/App/start.xml"), "<items><action>Clear</action><action>Flash</action></items>");
        const QString parts = root.path(QStringLiteral("/VnQo/app/Parts/"));
        if (!writePictures(parts) || !QDir::setCurrent(root.path(QStringLiteral("/VnQo/app/App")))) {
            error = "cannot lay out the board root";
            return;
        }
        pictures = decodePictures(parts);
        vistrel::setDrawPort(&port);
        if (vistrel::init_ovg() != 0) {
            error = "init_ovg failed";
            return;
        }
        module = vistrel::GuiModule::getInstance(QStringLiteral("/tmp/vistrel.uds"));
        // The first showing writes each picture's cache; later ones read it.
        module->messageReceived(QString::fromUtf8(typicalScreen()));
    }

    vnq::test::FramebufferBoardRoot root;
    vistrel::OvgDrawPort port;
    vistrel::GuiModule* module = nullptr;
    std::vector<DecodedPicture> pictures;
    const char* error = nullptr;
};

DisplayInProcess& display()
{
    static DisplayInProcess d;
    return d;
}

double vistrelDrawMeanS = 0;

void BM_VistrelDrawFromDecodedPictures(benchmark::State& state)
{
    DisplayInProcess& d = display();
    if (d.error) {
        state.SkipWithError(d.error);
        return;
    }
    // The pictures as the display server keeps them on the GPU (sABGR_4444), made once.
    std::vector<VGImage> images;
    for (const DecodedPicture& p : d.pictures) {
        std::vector<uint16_t> abgr(size_t(p.w) * p.h);
        for (size_t i = 0; i < abgr.size(); ++i) {
            const unsigned char* c = &p.rgba[i * 4];
            abgr[i] = uint16_t((c[3] >> 4) << 12 | (c[2] >> 4) << 8 | (c[1] >> 4) << 4 | (c[0] >> 4));
        }
        const VGImage image = d.port.vgCreateImage(VG_sABGR_4444, p.w, p.h, VG_IMAGE_QUALITY_NONANTIALIASED);
        d.port.vgImageSubData(image, abgr.data(), p.w * 2, VG_sABGR_4444, 0, 0, p.w, p.h);
        images.push_back(image);
    }
    vgFinish();
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        vistrel::setup_matrix_draw_image();
        for (size_t i = 0; i < images.size(); ++i)
            vistrel::draw_image(d.pictures[i].x, d.pictures[i].y, images[i]);
        float offx = 0, offy = 0;
        for (const Label& l : kLabels) {
            const float rgba[4] = {l.r / 255.0f, l.g / 255.0f, l.b / 255.0f, 1.0f};
            vistrel::gui_text(l.x, l.y, rgba, l.text, l.px, 0, &offx, &offy);
        }
        vgFinish();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    for (VGImage image : images)
        d.port.vgDestroyImage(image);
    vistrelDrawMeanS = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
    state.counters["mean_ms"] = vistrelDrawMeanS * 1e3;
}
BENCHMARK(BM_VistrelDrawFromDecodedPictures)->Unit(benchmark::kMillisecond);

// The cairo reference.
struct CairoPicture {
    cairo_surface_t* surface = nullptr;
    int x = 0, y = 0;
};

// A decoded picture as a premultiplied cairo surface.
cairo_surface_t* premultipliedSurface(const DecodedPicture& picture)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.w, picture.h);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < picture.h; ++y)
        for (int x = 0; x < picture.w; ++x) {
            const unsigned char* p = &picture.rgba[(size_t(y) * picture.w + x) * 4];
            const unsigned a = p[3];
            const uint32_t premultiplied = a << 24 | (p[0] * a / 255) << 16 | (p[1] * a / 255) << 8 | (p[2] * a / 255);
            std::memcpy(data + y * stride + x * 4, &premultiplied, 4);
        }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// FreeType outlines as cairo paths, y flipped about the baseline at (x, y).
struct OutlineSink {
    cairo_t* cr;
    double x, y;
    FT_Vector last;
};

int moveTo(const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    cairo_close_path(s->cr);
    cairo_move_to(s->cr, s->x + to->x / 64.0, s->y - to->y / 64.0);
    s->last = *to;
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    cairo_line_to(s->cr, s->x + to->x / 64.0, s->y - to->y / 64.0);
    s->last = *to;
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    const double x0 = s->last.x / 64.0, y0 = s->last.y / 64.0;
    const double cx = control->x / 64.0, cy = control->y / 64.0, x3 = to->x / 64.0, y3 = to->y / 64.0;
    const double x1 = x0 + 2.0 / 3 * (cx - x0), y1 = y0 + 2.0 / 3 * (cy - y0);
    const double x2 = x3 + 2.0 / 3 * (cx - x3), y2 = y3 + 2.0 / 3 * (cy - y3);
    cairo_curve_to(s->cr, s->x + x1, s->y - y1, s->x + x2, s->y - y2, s->x + x3, s->y - y3);
    s->last = *to;
    return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    cairo_curve_to(s->cr, s->x + c1->x / 64.0, s->y - c1->y / 64.0, s->x + c2->x / 64.0, s->y - c2->y / 64.0,
                   s->x + to->x / 64.0, s->y - to->y / 64.0);
    s->last = *to;
    return 0;
}

void drawLabel(cairo_t* cr, FT_Face face, const Label& l)
{
    static const FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
    FT_Set_Pixel_Sizes(face, FT_UInt(l.px), FT_UInt(l.px));
    OutlineSink sink{cr, double(l.x), double(l.y + l.px), {}};
    const QString text = QString::fromUtf8(l.text);
    for (const uint code : text.toUcs4()) {
        if (FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
            continue;
        cairo_new_sub_path(cr);
        FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
        cairo_close_path(cr);
        sink.x += face->glyph->advance.x / 64.0;
    }
    cairo_set_source_rgb(cr, l.r / 255.0, l.g / 255.0, l.b / 255.0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void BM_CairoDrawFromDecodedPictures(benchmark::State& state)
{
    DisplayInProcess& d = display();
    if (d.error) {
        state.SkipWithError(d.error);
        return;
    }
    std::vector<CairoPicture> pictures;
    for (const DecodedPicture& p : d.pictures)
        pictures.push_back({premultipliedSurface(p), p.x, p.y});
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, packagedFont().c_str(), 0, &face) != 0) {
        state.SkipWithError("no font: install fonts-ipafont-gothic");
        return;
    }
    cairo_surface_t* screen = cairo_image_surface_create(CAIRO_FORMAT_RGB16_565, 480, 272);
    cairo_t* cr = cairo_create(screen);
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const CairoPicture& p : pictures) {
            cairo_set_source_surface(cr, p.surface, p.x, p.y);
            cairo_paint(cr);
        }
        for (const Label& l : kLabels)
            drawLabel(cr, face, l);
        cairo_surface_flush(screen);
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const double mean = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
    state.counters["mean_ms"] = mean * 1e3;
    if (vistrelDrawMeanS > 0)
        state.counters["vistrel_over_cairo"] = vistrelDrawMeanS / mean;
    state.counters["goal_ratio"] = 1.5;
    cairo_destroy(cr);
    cairo_surface_destroy(screen);
    for (CairoPicture& p : pictures)
        cairo_surface_destroy(p.surface);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
BENCHMARK(BM_CairoDrawFromDecodedPictures)->Unit(benchmark::kMillisecond);

void BM_VistrelMessageInProcess(benchmark::State& state)
{
    DisplayInProcess& d = display();
    if (d.error) {
        state.SkipWithError(d.error);
        return;
    }
    const QString screen = QString::fromUtf8(typicalScreen());
    for (auto _ : state)
        d.module->messageReceived(screen);
}
BENCHMARK(BM_VistrelMessageInProcess)->Unit(benchmark::kMillisecond);

}  // namespace
