#pragma once

#include "recordingdrawport.h"

#include <QStringList>

#include <vector>

namespace vnq::test {

// The display server's recorded drawing as short lines, one per visible step:
//   "clear"                      vgClear
//   "copy"                       vgGetPixels (the screen saved into an image)
//   "past"                       the saved 480x272 RGB565 screen drawn at the origin
//   "image 100x50 at 37,41"      any other image, top-left corner in screen pixels
//   "lookup alpha 55"            vgLookup, with its alpha table's value for 255
//   "text 3 glyphs at 10,56"     the path draws up to a flush: the first glyph's origin (on
//                                the baseline) from its path matrix, in screen pixels
//   "swap"                       eglSwapBuffers
// Calls that only set state are left out.
QStringList summarizeDrawing(const std::vector<vistrel::DrawCall>& calls);

}  // namespace vnq::test
