#pragma once

#include <VG/openvg.h>

namespace vistrel {

constexpr int kMaxGlyphs = 128;

// One glyph of the text being built.
struct glyph_record_s {
    int kind;  // 1: a path
    VGPath handle;  // none when the outline could not be converted
    float originX, originY;
    float advanceX, advanceY;
};
extern glyph_record_s glyph_string[kMaxGlyphs];
extern int glyph_string_len;
extern int ftsize;

// Opens face 0 of argvFontPath at 36 x 36 pixels with its Unicode charmap: 0, or -1 with a
// line saying which step failed (and everything released).
int font_init();
void font_fin();
// Builds the glyph paths of the UTF-8 text at height px; *width gets the measured width
// (each glyph's advance plus argvFontSpace, also past the 128 glyphs that are kept).
void font_set(int px, float* width, const char* text);
// Draws the glyphs built last with the first one's origin at (x, y), OpenVG coordinates
// (y upwards), then frees them.
void font_draw(float x, float y);
// Draws one label with its top at protocol (x, y), aligned by mode (0 to 5), and updates the
// end position of the last text (*offx, *offy).
void gui_text(int x, int y, const float* rgba, const char* text, int px, int mode, float* offx, float* offy);

// Decodes one character of NUL-terminated UTF-8 text into *code; returns the bytes it takes
// (0 at the NUL). Never reads past the NUL. A malformed or cut sequence gives U+3013 and a
// "ここに来るのは変？" line.
int font_utf8_decode(const char* text, unsigned* code);

}  // namespace vistrel
