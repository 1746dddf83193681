#include "fonttext.h"

#include "drawport.h"
#include "fontoptions.h"
#include "ovg_init.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vistrel {

glyph_record_s glyph_string[kMaxGlyphs];
int glyph_string_len = 0;
int ftsize = -1;

namespace {

FT_Library ftlib = nullptr;
FT_Face ftface = nullptr;

constexpr unsigned kGetaMark = 0x3013;
constexpr int kNativePx = 36;
constexpr float kUnitsAtNative = kNativePx * 64.0f;

// The tallest text that is drawn: far beyond any screen, yet small enough that its glyph paths
// stay within the range the rasteriser works in. A taller text is measured but not drawn.
constexpr long long kMaxDrawnPx = 4096;

// How far from the screen a glyph may lie and still be drawn (clipped away, as any glyph that
// misses the screen): farther ones can never show, and the rasteriser is spared their
// coordinates.
constexpr float kFarOffScreen = 65536.0f;

// Whether a glyph of a text px pixels high, with its origin at (x, y) and the advance given,
// lies near enough to the screen to be drawn: its outline lies within twice its height of the
// line from its origin to its end. Positions that are not finite never do.
bool glyphNearScreen(float x, float y, const glyph_record_s& glyph, int px)
{
    const float reach = 2.0f * static_cast<float>(std::llabs(px)) + std::abs(argvFontStroke) + kFarOffScreen;
    const float left = std::min(x, x + glyph.advanceX) - reach;
    const float right = std::max(x, x + glyph.advanceX) + reach;
    const float bottom = std::min(y, y + glyph.advanceY) - reach;
    const float top = std::max(y, y + glyph.advanceY) + reach;
    return right >= 0.0f && left <= static_cast<float>(kScreenWidth) && top >= 0.0f &&
           bottom <= static_cast<float>(kScreenHeight);
}

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// An outline as OpenVG segments and coordinates, scaled from 26.6 units at 36 px to px.
struct PathBuilder {
    float scale;
    std::vector<VGubyte> segments;
    std::vector<VGfloat> coordinates;

    void add(VGubyte segment, std::initializer_list<const FT_Vector*> points)
    {
        segments.push_back(segment);
        for (const FT_Vector* p : points) {
            coordinates.push_back(static_cast<VGfloat>(p->x) * scale);
            coordinates.push_back(static_cast<VGfloat>(p->y) * scale);
        }
    }
};

int moveTo(const FT_Vector* to, void* user)
{
    static_cast<PathBuilder*>(user)->add(VG_MOVE_TO_ABS, {to});
    return 0;
}
int lineTo(const FT_Vector* to, void* user)
{
    static_cast<PathBuilder*>(user)->add(VG_LINE_TO_ABS, {to});
    return 0;
}
int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    static_cast<PathBuilder*>(user)->add(VG_QUAD_TO_ABS, {control, to});
    return 0;
}
int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    static_cast<PathBuilder*>(user)->add(VG_CUBIC_TO_ABS, {control1, control2, to});
    return 0;
}

const FT_Outline_Funcs kOutlineFuncs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};

// The path of the loaded glyph's outline at height px, or none when it cannot be converted.
VGPath outlinePath(const FT_Outline& outline, int px)
{
    DrawPort& port = drawPort();
    VGPath path = port.vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1.0f, 0.0f, 0, outline.n_points,
                                    VG_PATH_CAPABILITY_ALL);
    PathBuilder builder{static_cast<float>(px) / kUnitsAtNative, {}, {}};
    FT_Outline copy = outline;
    if (path == VG_INVALID_HANDLE || FT_Outline_Decompose(&copy, &kOutlineFuncs, &builder) != 0) {
        if (path != VG_INVALID_HANDLE)
            port.vgDestroyPath(path);
        return VG_INVALID_HANDLE;
    }
    // A blank (a space) has no contour: its path stays empty, as OpenVG takes no empty append.
    if (!builder.segments.empty())
        port.vgAppendPathData(path, static_cast<VGint>(builder.segments.size()), builder.segments.data(),
                              builder.coordinates.data());
    return path;
}

void freeGlyphs()
{
    for (int i = 0; i < glyph_string_len; ++i) {
        if (glyph_string[i].handle != VG_INVALID_HANDLE)
            drawPort().vgDestroyPath(glyph_string[i].handle);
    }
    glyph_string_len = 0;
}

}  // namespace

int font_utf8_decode(const char* text, unsigned* code)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const unsigned char c = s[0];
    if (c == 0) {
        *code = 0;
        return 0;
    }
    if (c < 0x80) {
        *code = c;
        return 1;
    }
    // The bytes after the lead byte that come before the NUL.
    int available = 0;
    while (available < 5 && s[1 + available] != 0)
        ++available;
    if ((c & 0xE0) == 0xC0 && available >= 1) {
        *code = (c & 0x1Fu) << 6 | (s[1] & 0x3Fu);
        return 2;
    }
    if ((c & 0xF0) == 0xE0 && available >= 2) {
        *code = (c & 0x0Fu) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu);
        return 3;
    }
    if ((c & 0xF8) == 0xF0 && available >= 3 && isContinuation(s[1]) && isContinuation(s[2]) &&
        isContinuation(s[3])) {
        *code = (c & 0x07u) << 18 | (s[1] & 0x3Fu) << 12 | (s[2] & 0x3Fu) << 6 | (s[3] & 0x3Fu);
        return 4;
    }
    unsigned char after[5] = {};
    for (int i = 0; i < available; ++i)
        after[i] = s[1 + i];
    std::printf("ここに来るのは変？ 0x%02x,0x%02x,0x%02x,0x%02x,0x%02x,0x%02x\n", c, after[0], after[1], after[2],
                after[3], after[4]);
    std::fflush(stdout);
    *code = kGetaMark;
    return 1 + (available < 3 ? available : 3);
}

int font_init()
{
    glyph_string_len = 0;
    ftsize = -1;
    const char* failure = nullptr;
    if (FT_Init_FreeType(&ftlib) != 0) {
        ftlib = nullptr;
        failure = "failed to initialize freetype";
    } else if (FT_New_Face(ftlib, argvFontPath.c_str(), 0, &ftface) != 0) {
        ftface = nullptr;
        failure = "failed to load ";
    } else if (FT_Select_Charmap(ftface, FT_ENCODING_UNICODE) != 0) {
        failure = "failed to select an unicode charmap";
    } else if (FT_Set_Pixel_Sizes(ftface, kNativePx, kNativePx) != 0) {
        failure = "failed to set pixel sizes";
    }
    if (!failure)
        return 0;
    std::printf("%s\n", failure);
    std::fflush(stdout);
    font_fin();
    return -1;
}

void font_fin()
{
    if (ftface)
        FT_Done_Face(ftface);
    ftface = nullptr;
    if (ftlib)
        FT_Done_FreeType(ftlib);
    ftlib = nullptr;
    freeGlyphs();
}

void font_set(int px, float* width, const char* text)
{
    freeGlyphs();
    ftsize = px;
    float measured = 0.0f;
    const float scale = static_cast<float>(px) / kUnitsAtNative;
    unsigned code = 0;
    for (int taken; (taken = font_utf8_decode(text, &code)) > 0; text += taken) {
        const char firstByte = text[0];
        FT_UInt index = ftface ? FT_Get_Char_Index(ftface, code) : 0;
        if (ftface && index == 0)
            index = FT_Get_Char_Index(ftface, taken == 1 ? 0x20 : kGetaMark);
        if (!ftface || FT_Load_Glyph(ftface, index, FT_LOAD_DEFAULT) != 0) {
            std::printf("failed to load glyph '%c'\n", firstByte);
            std::fflush(stdout);
            break;
        }
        const FT_GlyphSlot glyph = ftface->glyph;
        if (glyph->format == FT_GLYPH_FORMAT_BITMAP)
            continue;
        if (glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
            std::printf("unsupported format for glyph '%c'\n", firstByte);
            std::fflush(stdout);
            continue;
        }
        const float advanceX = static_cast<float>(glyph->advance.x) * scale;
        const float advanceY = static_cast<float>(glyph->advance.y) * scale;
        if (glyph_string_len < kMaxGlyphs) {
            const VGPath path = outlinePath(glyph->outline, px);
            if (path == VG_INVALID_HANDLE) {
                std::printf("failed to add glyph '%c'\n", firstByte);
                std::fflush(stdout);
            }
            glyph_string[glyph_string_len++] = {1, path, 0.0f, 0.0f, advanceX, advanceY};
        }
        measured += advanceX + static_cast<float>(argvFontSpace);
    }
    *width = measured;
}

void font_draw(float x, float y)
{
    DrawPort& port = drawPort();
    // Heights and positions come from a client's message: glyphs far off the screen, or of a
    // height beyond any screen, are not drawn.
    const bool drawable = std::llabs(ftsize) <= kMaxDrawnPx;
    for (int i = 0; i < glyph_string_len; ++i) {
        const glyph_record_s& glyph = glyph_string[i];
        if (glyph.handle != VG_INVALID_HANDLE && drawable &&
            glyphNearScreen(x - glyph.originX, y - glyph.originY, glyph, ftsize)) {
            _set_matrix_mode(VG_MATRIX_PATH_USER_TO_SURFACE);
            port.vgLoadIdentity();
            port.vgTranslate(x - glyph.originX, y - glyph.originY);
            port.vgSetf(VG_STROKE_LINE_WIDTH, argvFontStroke);
            port.vgDrawPath(glyph.handle, VG_FILL_PATH | VG_STROKE_PATH);
        }
        x += glyph.advanceX;
        y += glyph.advanceY;
    }
    port.vgFlush();
    freeGlyphs();
}

void gui_text(int x, int y, const float* rgba, const char* text, int px, int mode, float* offx, float* offy)
{
    set_fill_color(rgba);
    set_stroke_color(rgba);
    setup_matrix_draw_path();
    float w = 0.0f;
    font_set(px, &w, text);
    const float fx = static_cast<float>(x);
    // In 64 bits: y and px may each lie anywhere in the int range.
    const float baseline = static_cast<float>(static_cast<long long>(kScreenHeight) - y - px);
    switch (mode) {
    case 0:
        font_draw(fx, baseline);
        *offx = fx + w;
        break;
    case 1:
        font_draw(fx - w / 2, baseline);
        *offx = fx + w / 2;
        break;
    case 2:
        font_draw(fx - w, baseline);
        *offx = fx - w;
        break;
    case 3:
        font_draw(fx + *offx, baseline - *offy);
        *offx = *offx + fx + w;
        break;
    case 4:
        font_draw(fx - w / 2 + *offx, baseline - *offy);
        *offx = *offx + fx + w / 2;
        break;
    case 5:
        font_draw(fx - w + *offx, baseline - *offy);
        *offx = *offx + fx - w;
        break;
    default:
        font_draw(fx, baseline);
        break;
    }
    *offy = static_cast<float>(y);
}

}  // namespace vistrel
