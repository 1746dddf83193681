#pragma once

// The vertex processor's drawing microcode, as a model of each entry's effect. The microcode
// itself is not modelled: an entry runs only while the drawing microcode's static part is in
// the instruction RAM, that is after a DMA of its 875 instructions to instruction 0 that no
// other DMA into those instructions has followed. Constants are the 0x43 writes, four 32-bit
// components each (the register field is constant x 4 + component), read as floats.
//   entry 0 (start word): LX_VP_CTRL0 bit 0 derives the path-to-device matrix from constants
//     62/63, flipped (y becomes LX_VCNST_OVG_SCSIZE - y) unless bit 31 is set, with edges in
//     subsample units (x LX_VCNST_OVG_AASCALE.x); bits 1 and 2 the paint-to-device matrices of
//     the paint program's sets 0 and 8192 from that matrix and constants 67/68 or 69/70.
//   entry 21 (start word): bits 0 and 1 the fill and stroke paint matrices from constants
//     67/68 or 69/70 with the current path-to-device matrix.
//   entries 875, 880, 887, 894 (data packets of 4, 6, 8 and 11 floats): one line, quadratic,
//     cubic or arc segment in user units, flattened and transformed into edges.
//   entry 7 (start word): bit 0 the projective image-to-device matrix from constants 64-66,
//     flipped and scaled like the path matrix; bit 1 the image paint set's paint-to-device
//     matrix from it and constants 67/68. Entry 28 (start word, LX_VP_CTRL0 0): the image paint
//     matrix from constants 67/68 with the current image matrix.
//   entry 947 (data: width, height, 1 / width, 1 / height): the image quad's four edges and the
//     LX_RZ_IMG_* planes of the normalised image coordinates at the sample points.
//   entry 49, the paint program (data: 4 words for k 0 and 1, 2 for k 2; LX_VP_CTRL0 =
//     set | k, set 0 fill, 8192 stroke, 16384 image, 24576 glyph fill and image glyph, 32768
//     glyph stroke): the paint planes of the rasterizer through
//     that set's paint-to-device matrix: k 0 the linear gradient parameter LX_RZ_LG_*, k 1 the
//     radial gradient's point relative to the focus LX_RZ_RG_*, k 2 the pattern coordinates
//     LX_RZ_PP_*.
//   entries 66, 64, 62 and 56, 58, 60 (start words): select the butt, round or square cap and
//     the miter, round or bevel join of the stroker, kept until another selection or a reload.
//   entries 901, 919, 926, 933, 940 (data packets of 2, 2, 4, 6 and 9 floats) and 912 (start
//     word): the stroker (stroker.cpp) gathers a subpath's centre line and widens it at its end.
//   entry 14 (data: dx, dy) and entry 35 (start word): the glyph entries (glyph_entries.cpp):
//     the glyph matrix from constants 71/72 after translate(dx, dy), which places the path
//     segments (LX_VP_CTRL0 bit 0) or the image quad (bit 1) until entry 0 or 7 derives its own
//     matrix again, and the glyph paint sets 24576 and 32768 of the paint program.
// Derived matrices change only when an entry that computes them runs.

#include <cstdint>
#include <string>
#include <vector>

#include "edge_scan.h"
#include "flatten.h"
#include "simgpu.h"
#include "stroke_outline.h"

namespace simgpu {

// A value as the entries' protocol errors print it.
std::string number(double v);

// The glyph entries.
constexpr uint32_t kEntryGlyphOffset = 14, kEntryGlyphPaint = 35;

// The stroker's entries.
constexpr uint32_t kEntryCapButt = 66, kEntryCapRound = 64, kEntryCapSquare = 62;
constexpr uint32_t kEntryJoinMiter = 56, kEntryJoinRound = 58, kEntryJoinBevel = 60;
constexpr uint32_t kEntryStrokeStart = 901, kEntryStrokeEnd = 912;
constexpr uint32_t kEntryStrokeLine = 919, kEntryStrokeQuadratic = 926, kEntryStrokeCubic = 933,
                   kEntryStrokeArc = 940;

inline bool isStrokeSelection(uint32_t entry)
{
    return entry == kEntryCapButt || entry == kEntryCapRound || entry == kEntryCapSquare || entry == kEntryJoinMiter ||
           entry == kEntryJoinRound || entry == kEntryJoinBevel;
}

// Data words of a stroke segment entry, 0 for any other entry.
inline unsigned strokeWords(uint32_t entry)
{
    switch (entry) {
    case kEntryStrokeLine: return 2;
    case kEntryStrokeQuadratic: return 4;
    case kEntryStrokeCubic: return 6;
    case kEntryStrokeArc: return 9;
    default: return 0;
    }
}

// x' = a x + c y + e, y' = b x + d y + f
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    Point apply(const Point& p) const { return Point{a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    // This map after `inner`.
    Affine after(const Affine& inner) const;
};

// (X, Y, W) = m (x, y, 1), rows m[0] to m[2].
struct Projective {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    void apply(const Point& p, double out[3]) const;
    // This map after the affine `inner`.
    Projective after(const Affine& inner) const;
    // The inverse, false when the map is singular.
    bool inverse(Projective& out) const;
};

// What the entries have derived; `valid` false until an entry computed it.
struct DerivedMatrix {
    bool valid = false;
    Affine m;
    bool flipped = false;  // y turned over: device rows run top down
};

struct VpDerived {
    DerivedMatrix pathToDevice;  // to device pixels, flipped as entry 0 found LX_VP_CTRL0
    double edgeScale = 1;        // subsample units a pixel, from the same run
    DerivedMatrix fillPaint, strokePaint;                    // entry 21
    DerivedMatrix fillPaintToDevice, strokePaintToDevice;    // entry 0, sets 0 and 8192
    bool imageValid = false;
    Projective imageToDevice;  // entry 7, to device pixels
    bool imageFlipped = false;  // its y turned over
    double imageEdgeScale = 1;
    bool imagePaintValid = false, imagePaintToDeviceValid = false;
    Projective imagePaint, imagePaintToDevice;  // entry 28; entry 7, set 16384
    // The paint program's paint-to-device matrix of each set (fill, stroke, image), as the
    // entry that last computed it left it.
    bool paintSetValid[5] = {};
    Projective paintSet[5];
    bool paintSetFlipped[5] = {};
    // Entry 14: the glyph matrix after the glyph's offset, to device pixels, with its edge
    // scale; while glyphPaths (glyphImages) it places the segments (the image quad) in place of
    // entry 0's (entry 7's) matrix.
    DerivedMatrix glyphToDevice;
    double glyphEdgeScale = 1;
    bool glyphPaths = false, glyphImages = false;
};

class VertexProcessor {
public:
    VertexProcessor(SimGpu& gpu, EdgeList& edges) : gpu_(gpu), edges_(edges) {}

    // The device copied `words` words into the instruction RAM from word `first`, from an image
    // whose first word names it (`image` = that word >> 24: 20 drawing, 21-23 the filters).
    void dmaIn(uint32_t first, uint32_t words, uint32_t image);
    // A VP constant component was written (register field constant x 4 + component).
    void constantWritten(uint32_t field);
    void start(uint32_t entry);
    void data(uint32_t entry, const std::vector<uint32_t>& words);

    bool drawingMicrocodeLoaded() const { return drawingLoaded_; }
    // The filter microcode at instruction 0 (filter_program.h), 0 for none.
    uint32_t filterProgram() const { return filterProgram_; }
    const VpDerived& derived() const { return derived_; }

private:
    bool runnable(uint32_t entry, const std::string& what);
    float constant(uint32_t index, unsigned component) const;
    Affine constantRows(uint32_t first) const;
    bool controlBits(const std::string& what, uint32_t known, uint32_t& value);
    void pathToDevice(const std::string& what);
    void paintMatrix(DerivedMatrix& out, uint32_t rows);
    void segment(uint32_t entry, const std::vector<uint32_t>& words, const std::string& what);
    bool edgeScale(const std::string& what, double& scale, double& height, bool& flip) const;
    // A user-to-surface matrix as it maps to device rows: turned over (y -> height - y) when flipped.
    static DerivedMatrix toDevice(Affine m, bool flip, double height);
    void imageToDevice(const std::string& what);
    void imageQuad(const std::vector<uint32_t>& words, const std::string& what);
    void paintProgram(const std::vector<uint32_t>& words, const std::string& what);
    void setPaint(unsigned set, const Projective& m, bool flipped);
    void writeFloat(uint32_t reg, double value);
    bool flattening(uint32_t squared, uint32_t distance, bool arc, Flattening& out, const std::string& what);
    bool flattenSegment(unsigned words, const Point& start, const double* v, uint32_t squared, uint32_t distance,
                        std::vector<Point>& out, const std::string& what, EndDirections* ends = nullptr);
    bool device(Point& p) const;
    // The matrix and edge scale that place segments now: entry 0's, or entry 14's during a
    // glyph run.
    const DerivedMatrix& segmentMatrix() const
    {
        return derived_.glyphPaths ? derived_.glyphToDevice : derived_.pathToDevice;
    }
    double segmentScale() const { return derived_.glyphPaths ? derived_.glyphEdgeScale : derived_.edgeScale; }

    // The glyph entries (glyph_entries.cpp).
    void glyphOffset(const std::vector<uint32_t>& words, const std::string& what);
    void glyphPaint(const std::string& what);

    // The stroker (stroker.cpp).
    bool strokeSelection(uint32_t entry);
    void strokeStart(const std::vector<uint32_t>& words, const std::string& what);
    void strokeSegment(uint32_t entry, const std::vector<uint32_t>& words, const std::string& what);
    void strokeEnd(const std::string& what);
    bool loadDashState(const std::string& what);
    bool strokeStyle(StrokeStyle& style, const std::string& what);
    bool dashPattern(DashPattern& pattern, const std::string& what);

    SimGpu& gpu_;
    EdgeList& edges_;
    bool drawingLoaded_ = false;
    uint32_t filterProgram_ = 0;
    VpDerived derived_;
    std::vector<Point> points_;

    // The stroker's state: selections (none after a reload), the dash walk that runs on across
    // subpaths until constant 43, 45 or 50 is written, and the subpath being gathered.
    int cap_ = -1, join_ = -1;
    bool dashWritten_ = true;
    DashState dash_{0, 0, true};
    bool subpathOpen_ = false, subpathDropped_ = false;
    Point current_{0, 0};
    std::vector<CentrePoint> centre_;
};

}  // namespace simgpu
