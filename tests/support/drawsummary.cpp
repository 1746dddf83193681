#include "drawsummary.h"

#include <cmath>

namespace vnq::test {
namespace {

constexpr int kScreenHeight = 272;

int rounded(float value)
{
    return static_cast<int>(std::lround(value));
}

// The image's top-left corner on the screen: drawn flipped (the protocol's matrix) or as
// OpenVG places it, bottom-left at the matrix origin.
QString imageLine(const vistrel::DrawCall& call)
{
    const int x = rounded(call.matrix[6]);
    const int y = call.matrix[4] < 0 ? kScreenHeight - rounded(call.matrix[7])
                                     : kScreenHeight - rounded(call.matrix[7]) - call.height;
    if (call.format == VG_sRGB_565 && call.width == 480 && call.height == kScreenHeight && x == 0 && y == 0)
        return QStringLiteral("past");
    return QStringLiteral("image %1x%2 at %3,%4").arg(call.width).arg(call.height).arg(x).arg(y);
}

}  // namespace

QStringList summarizeDrawing(const std::vector<vistrel::DrawCall>& calls)
{
    QStringList lines;
    int glyphs = 0;
    QString glyphPlace;
    auto endText = [&] {
        if (glyphs > 0)
            lines << QStringLiteral("text %1 glyphs at %2").arg(glyphs).arg(glyphPlace);
        glyphs = 0;
    };
    for (const vistrel::DrawCall& call : calls) {
        const std::string& f = call.function;
        if (f == "vgDrawPath") {
            if (glyphs++ == 0)
                glyphPlace = QStringLiteral("%1,%2").arg(rounded(call.matrix[6])).arg(kScreenHeight - rounded(call.matrix[7]));
            continue;
        }
        if (f == "vgFlush") {  // the end of one text
            endText();
            continue;
        }
        if (f != "vgClear" && f != "vgGetPixels" && f != "vgDrawImage" && f != "vgLookup" && f != "eglSwapBuffers")
            continue;
        endText();
        if (f == "vgClear")
            lines << QStringLiteral("clear");
        else if (f == "vgGetPixels")
            lines << QStringLiteral("copy");
        else if (f == "vgDrawImage")
            lines << imageLine(call);
        else if (f == "vgLookup")
            lines << QStringLiteral("lookup alpha %1").arg(call.alphaTable.empty() ? -1 : call.alphaTable[255]);
        else
            lines << QStringLiteral("swap");
    }
    endText();
    return lines;
}

}  // namespace vnq::test
