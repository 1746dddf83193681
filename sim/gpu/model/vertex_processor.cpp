#include "vertex_processor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cgl_packet.h"
#include "cgl_unitreg.h"

namespace simgpu {
namespace {

constexpr uint32_t kStaticWords = 875 * CGL_VP_INST_WORDS;  // the drawing microcode's static part

constexpr uint32_t kEntryMatrices = 0;
constexpr uint32_t kEntryPaintMatrices = 21;
constexpr uint32_t kEntryLine = 875;
constexpr uint32_t kEntryQuadratic = 880;
constexpr uint32_t kEntryCubic = 887;
constexpr uint32_t kEntryArc = 894;

constexpr uint32_t kNoFlip = 0x80000000u;

// Data words of each segment entry.
unsigned segmentWords(uint32_t entry)
{
    switch (entry) {
    case kEntryLine: return 4;
    case kEntryQuadratic: return 6;
    case kEntryCubic: return 8;
    case kEntryArc: return 11;
    default: return 0;
    }
}

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

}  // namespace

Affine Affine::after(const Affine& in) const
{
    Affine out;
    out.a = a * in.a + c * in.b;
    out.b = b * in.a + d * in.b;
    out.c = a * in.c + c * in.d;
    out.d = b * in.c + d * in.d;
    out.e = a * in.e + c * in.f + e;
    out.f = b * in.e + d * in.f + f;
    return out;
}

void VertexProcessor::dmaIn(uint32_t first, uint32_t words)
{
    if (first == 0 && words == kStaticWords)
        drawingLoaded_ = true;
    else if (first < kStaticWords)
        drawingLoaded_ = false;
}

float VertexProcessor::constant(uint32_t index, unsigned component) const
{
    const uint32_t bits = gpu_.reg(Unit::VPConst, index * 4 + component);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Two constants holding the first two rows of a matrix: (a, c, e) and (b, d, f).
Affine VertexProcessor::constantRows(uint32_t first) const
{
    Affine m;
    m.a = constant(first, 0);
    m.c = constant(first, 1);
    m.e = constant(first, 2);
    m.b = constant(first + 1, 0);
    m.d = constant(first + 1, 1);
    m.f = constant(first + 1, 2);
    return m;
}

bool VertexProcessor::runnable(uint32_t entry, const std::string& what)
{
    if (drawingLoaded_)
        return true;
    gpu_.protocolError(Stream::Gpu, what + ": entry " + std::to_string(entry) +
                                        " runs without the drawing microcode in the instruction RAM");
    return false;
}

bool VertexProcessor::controlBits(const std::string& what, uint32_t known, uint32_t& value)
{
    value = gpu_.reg(Unit::VPCtrl, LX_VP_CTRL0);
    if ((value & ~known) == 0)
        return true;
    gpu_.protocolError(Stream::Gpu, what + ": LX_VP_CTRL0 " + hex(value) + " has unknown bits");
    return false;
}

void VertexProcessor::start(uint32_t entry)
{
    const std::string what = "VP entry " + std::to_string(entry);
    if (!runnable(entry, what))
        return;
    uint32_t ctrl = 0;
    switch (entry) {
    case kEntryMatrices:
        if (!controlBits(what, kNoFlip | 7u, ctrl))
            return;
        if (ctrl & 1u)
            pathToDevice(what);
        if ((ctrl & 6u) && !derived_.pathToDevice.valid) {
            gpu_.protocolError(Stream::Gpu, what + ": paint matrices before a path-to-device matrix");
            return;
        }
        if (ctrl & 2u)
            paintMatrix(derived_.fillPaintToDevice, LX_VCNST_OVG_FP2U1);
        if (ctrl & 4u)
            paintMatrix(derived_.strokePaintToDevice, LX_VCNST_OVG_SP2U1);
        return;
    case kEntryPaintMatrices:
        if (!controlBits(what, 3u, ctrl))
            return;
        if (ctrl && !derived_.pathToDevice.valid) {
            gpu_.protocolError(Stream::Gpu, what + ": paint matrices before a path-to-device matrix");
            return;
        }
        if (ctrl & 1u)
            paintMatrix(derived_.fillPaint, LX_VCNST_OVG_FP2U1);
        if (ctrl & 2u)
            paintMatrix(derived_.strokePaint, LX_VCNST_OVG_SP2U1);
        return;
    default:
        break;
    }
    if (segmentWords(entry))
        gpu_.protocolError(Stream::Gpu, what + ": a start word without segment data");
    else
        gpu_.protocolError(Stream::Gpu, what + ": unknown entry");
}

void VertexProcessor::data(uint32_t entry, const std::vector<uint32_t>& words)
{
    const std::string what = "VP entry " + std::to_string(entry);
    if (!runnable(entry, what))
        return;
    if (segmentWords(entry))
        segment(entry, words, what);
    else if (entry == kEntryMatrices || entry == kEntryPaintMatrices)
        gpu_.protocolError(Stream::Gpu, what + ": a data packet for an entry that takes none");
    else
        gpu_.protocolError(Stream::Gpu, what + ": unknown entry");
}

void VertexProcessor::pathToDevice(const std::string& what)
{
    const double scale = constant(LX_VCNST_OVG_AASCALE, 0);
    const double height = constant(LX_VCNST_OVG_SCSIZE, 0);
    const bool flip = !(gpu_.reg(Unit::VPCtrl, LX_VP_CTRL0) & kNoFlip);
    if (!(scale > 0) || !std::isfinite(scale)) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_AASCALE.x " + number(scale) + " is no scale");
        return;
    }
    if (flip && !std::isfinite(height)) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_SCSIZE.x " + number(height) + " is no height");
        return;
    }
    Affine m = constantRows(LX_VCNST_OVG_PU2S1);
    if (flip) {
        m.b = -m.b;
        m.d = -m.d;
        m.f = height - m.f;
    }
    derived_.pathToDevice = DerivedMatrix{true, m};
    derived_.edgeScale = scale;
}

void VertexProcessor::paintMatrix(DerivedMatrix& out, uint32_t rows)
{
    out = DerivedMatrix{true, derived_.pathToDevice.m.after(constantRows(rows))};
}

// The thresholds: the chord may stray LX_VCNST_OVG_DIV_FILL_TH2.x and its square
// LX_VCNST_OVG_DIV_FILL_TH1.x; an arc piece spans at most the angle whose cosine is
// LX_VCNST_OVG_DIV_ANGLE.x.
bool VertexProcessor::flattening(bool arc, Flattening& out, const std::string& what)
{
    const double squared = constant(LX_VCNST_OVG_DIV_FILL_TH1, 0);
    const double distance = constant(LX_VCNST_OVG_DIV_FILL_TH2, 0);
    if (!(squared >= 0) || !(distance >= 0)) {
        gpu_.protocolError(Stream::Gpu, what + ": subdivision thresholds " + number(squared) + " and " +
                                            number(distance) + " are not distances");
        return false;
    }
    out.tolerance = std::min(distance, std::sqrt(squared));
    out.maxArcStep = 0;
    if (arc) {
        const double cosine = constant(LX_VCNST_OVG_DIV_ANGLE, 0);
        if (!(cosine >= -1 && cosine <= 1)) {
            gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_DIV_ANGLE.x " + number(cosine) + " is no cosine");
            return false;
        }
        out.maxArcStep = std::acos(cosine);
    }
    return true;
}

void VertexProcessor::segment(uint32_t entry, const std::vector<uint32_t>& words, const std::string& what)
{
    const unsigned n = segmentWords(entry);
    if (words.size() != n) {
        gpu_.protocolError(Stream::Gpu, what + ": " + std::to_string(words.size()) + " data words instead of " +
                                            std::to_string(n));
        return;
    }
    if (!derived_.pathToDevice.valid) {
        gpu_.protocolError(Stream::Gpu, what + ": a segment before a path-to-device matrix");
        return;
    }
    double v[11] = {};
    for (unsigned i = 0; i < n; ++i) {
        float f;
        std::memcpy(&f, &words[i], sizeof f);
        if (!std::isfinite(f))
            return;  // a segment with a non-finite value is dropped
        v[i] = f;
    }
    const Point start{v[0], v[1]};
    points_.clear();
    Flattening flat{0, 0};
    switch (entry) {
    case kEntryLine:
        points_.push_back(Point{v[2], v[3]});
        break;
    case kEntryQuadratic: {
        const Point p[3] = {start, {v[2], v[3]}, {v[4], v[5]}};
        if (!flattening(false, flat, what))
            return;
        flattenQuadratic(p, flat, points_);
        break;
    }
    case kEntryCubic: {
        const Point p[4] = {start, {v[2], v[3]}, {v[4], v[5]}, {v[6], v[7]}};
        if (!flattening(false, flat, what))
            return;
        flattenCubic(p, flat, points_);
        break;
    }
    default: {
        // kind 9 small counter-clockwise, 10 small clockwise, 11 large counter-clockwise,
        // 12 large clockwise
        const double kind = v[10];
        if (kind != 9 && kind != 10 && kind != 11 && kind != 12) {
            gpu_.protocolError(Stream::Gpu, what + ": unknown arc kind " + number(kind));
            return;
        }
        if (!flattening(true, flat, what))
            return;
        const Arc arc{start, {v[2], v[3]}, {v[4], v[5]}, v[6], v[7], v[8], v[9], kind >= 11, kind == 9 || kind == 11};
        flattenArc(arc, flat, points_);
        break;
    }
    }

    // Into subsample units; a point that leaves the number range drops the segment.
    const Affine& m = derived_.pathToDevice.m;
    const double s = derived_.edgeScale;
    Point previous = m.apply(start);
    previous = Point{previous.x * s, previous.y * s};
    if (!std::isfinite(previous.x) || !std::isfinite(previous.y))
        return;
    for (Point& p : points_) {
        const Point q = m.apply(p);
        p = Point{q.x * s, q.y * s};
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return;
    }
    for (const Point& p : points_) {
        edges_.add(previous.x, previous.y, p.x, p.y);
        previous = p;
    }
}

}  // namespace simgpu
