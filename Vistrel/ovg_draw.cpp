#include "ovg_init.h"

#include "drawport.h"

namespace vistrel {
namespace {

const VGfloat col_alpha[4] = {0.0f, 1.0f, 0.0f, 0.0f};

void setColourPaint(const VGfloat rgba[4], VGbitfield mode)
{
    DrawPort& port = drawPort();
    VGPaint paint = port.vgCreatePaint();
    port.vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_COLOR);
    port.vgSetParameterfv(paint, VG_PAINT_COLOR, 4, rgba);
    port.vgSetPaint(paint, mode);
    port.vgDestroyPaint(paint);
}

// Builds a path with shape, fills and strokes it with the colours given, then destroys it.
template <typename Shape>
void drawShape(const VGfloat* fill, const VGfloat* stroke, Shape shape)
{
    VGbitfield modes = (fill ? VG_FILL_PATH : 0) | (stroke ? VG_STROKE_PATH : 0);
    if (!modes)
        return;
    DrawPort& port = drawPort();
    VGPath path = port.vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1.0f, 0.0f, 0, 0,
                                    VG_PATH_CAPABILITY_ALL);
    shape(port, path);
    if (fill)
        set_fill_color(fill);
    if (stroke)
        set_stroke_color(stroke);
    port.vgDrawPath(path, modes);
    port.vgFlush();
    port.vgDestroyPath(path);
}

}  // namespace

void _clear_screen()
{
    DrawPort& port = drawPort();
    port.vgSetfv(VG_CLEAR_COLOR, 4, col_alpha);
    port.vgClear(0, 0, kScreenWidth, kScreenHeight);
}

void ovg_copy_temp()
{
    drawPort().vgGetPixels(vgImage565, 0, 0, 0, 0, kScreenWidth, kScreenHeight);
}

void ovg_past_temp()
{
    _set_matrix_mode(VG_MATRIX_IMAGE_USER_TO_SURFACE);
    drawPort().vgLoadIdentity();
    draw_image(0, 0, vgImage565);
}

void draw_image(int x, int y, VGImage image)
{
    DrawPort& port = drawPort();
    VGfloat saved[9];
    port.vgGetMatrix(saved);
    port.vgTranslate(static_cast<VGfloat>(x), static_cast<VGfloat>(y));
    port.vgDrawImage(image);
    port.vgLoadMatrix(saved);
}

void set_fill_color(const VGfloat rgba[4])
{
    setColourPaint(rgba, VG_FILL_PATH);
}

void set_stroke_color(const VGfloat rgba[4])
{
    setColourPaint(rgba, VG_STROKE_PATH);
}

void _set_matrix_mode(VGint mode)
{
    drawPort().vgSeti(VG_MATRIX_MODE, mode);
}

void setup_matrix_draw_image()
{
    DrawPort& port = drawPort();
    _set_matrix_mode(VG_MATRIX_IMAGE_USER_TO_SURFACE);
    port.vgLoadIdentity();
    port.vgTranslate(0.0f, static_cast<VGfloat>(kScreenHeight));
    port.vgScale(1.0f, -1.0f);
}

void setup_matrix_draw_path()
{
    DrawPort& port = drawPort();
    _set_matrix_mode(VG_MATRIX_PATH_USER_TO_SURFACE);
    port.vgLoadIdentity();
    port.vgTranslate(0.0f, static_cast<VGfloat>(kScreenHeight));
}

void _set_scissoring(const void* mask)
{
    drawPort().vgSeti(VG_SCISSORING, mask ? VG_TRUE : VG_FALSE);
}

void draw_rect(VGfloat x, VGfloat y, VGfloat w, VGfloat h, const VGfloat* fill, const VGfloat* stroke)
{
    drawShape(fill, stroke, [&](DrawPort& port, VGPath path) { port.vguRect(path, x, y, w, h); });
}

void draw_round_rect(VGfloat x, VGfloat y, VGfloat w, VGfloat h, VGfloat arcWidth, VGfloat arcHeight,
                     const VGfloat* fill, const VGfloat* stroke)
{
    drawShape(fill, stroke,
              [&](DrawPort& port, VGPath path) { port.vguRoundRect(path, x, y, w, h, arcWidth, arcHeight); });
}

}  // namespace vistrel
