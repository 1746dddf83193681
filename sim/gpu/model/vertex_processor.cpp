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
constexpr uint32_t kEntryImageMatrices = 7;
constexpr uint32_t kEntryImagePaint = 28;
constexpr uint32_t kEntryImageQuad = 947;

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

void Projective::apply(const Point& p, double out[3]) const
{
    for (int r = 0; r < 3; ++r)
        out[r] = m[r][0] * p.x + m[r][1] * p.y + m[r][2];
}

Projective Projective::after(const Affine& in) const
{
    const double n[3][3] = {{in.a, in.c, in.e}, {in.b, in.d, in.f}, {0, 0, 1}};
    Projective out;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out.m[r][c] = m[r][0] * n[0][c] + m[r][1] * n[1][c] + m[r][2] * n[2][c];
    return out;
}

bool Projective::inverse(Projective& out) const
{
    const auto cofactor = [this](int r, int c) {
        const int r0 = (r + 1) % 3, r1 = (r + 2) % 3, c0 = (c + 1) % 3, c1 = (c + 2) % 3;
        return m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0];
    };
    const double det = m[0][0] * cofactor(0, 0) + m[0][1] * cofactor(0, 1) + m[0][2] * cofactor(0, 2);
    if (det == 0 || !std::isfinite(det))
        return false;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out.m[r][c] = cofactor(c, r) / det;
    return true;
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
    case kEntryImageMatrices:
        if (!controlBits(what, kNoFlip | 3u, ctrl))
            return;
        if (ctrl & 1u)
            imageToDevice(what);
        if (ctrl & 2u) {
            if (!derived_.imageValid) {
                gpu_.protocolError(Stream::Gpu, what + ": an image paint matrix before an image matrix");
                return;
            }
            derived_.imagePaintToDevice = derived_.imageToDevice.after(constantRows(LX_VCNST_OVG_FP2U1));
            derived_.imagePaintToDeviceValid = true;
        }
        return;
    case kEntryImagePaint:
        if (!controlBits(what, 0, ctrl))
            return;
        if (!derived_.imageValid) {
            gpu_.protocolError(Stream::Gpu, what + ": an image paint matrix before an image matrix");
            return;
        }
        derived_.imagePaint = derived_.imageToDevice.after(constantRows(LX_VCNST_OVG_FP2U1));
        derived_.imagePaintValid = true;
        return;
    default:
        break;
    }
    if (segmentWords(entry) || entry == kEntryImageQuad)
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
    else if (entry == kEntryImageQuad)
        imageQuad(words, what);
    else if (entry == kEntryMatrices || entry == kEntryPaintMatrices || entry == kEntryImageMatrices ||
             entry == kEntryImagePaint)
        gpu_.protocolError(Stream::Gpu, what + ": a data packet for an entry that takes none");
    else
        gpu_.protocolError(Stream::Gpu, what + ": unknown entry");
}

// The edge scale LX_VCNST_OVG_AASCALE.x and, unless LX_VP_CTRL0 bit 31 is set, the height
// LX_VCNST_OVG_SCSIZE.x that y is turned over.
bool VertexProcessor::edgeScale(const std::string& what, double& scale, double& height, bool& flip) const
{
    scale = constant(LX_VCNST_OVG_AASCALE, 0);
    height = constant(LX_VCNST_OVG_SCSIZE, 0);
    flip = !(gpu_.reg(Unit::VPCtrl, LX_VP_CTRL0) & kNoFlip);
    if (!(scale > 0) || !std::isfinite(scale)) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_AASCALE.x " + number(scale) + " is no scale");
        return false;
    }
    if (flip && !std::isfinite(height)) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_SCSIZE.x " + number(height) + " is no height");
        return false;
    }
    return true;
}

void VertexProcessor::pathToDevice(const std::string& what)
{
    double scale, height;
    bool flip;
    if (!edgeScale(what, scale, height, flip))
        return;
    Affine m = constantRows(LX_VCNST_OVG_PU2S1);
    if (flip) {
        m.b = -m.b;
        m.d = -m.d;
        m.f = height - m.f;
    }
    derived_.pathToDevice = DerivedMatrix{true, m};
    derived_.edgeScale = scale;
}

// Rows 64-66 hold (m0, m3, m6), (m1, m4, m7), (m2, m5, m8); turning y over makes the second
// row height x the third minus itself.
void VertexProcessor::imageToDevice(const std::string& what)
{
    double scale, height;
    bool flip;
    if (!edgeScale(what, scale, height, flip))
        return;
    Projective p;
    for (uint32_t r = 0; r < 3; ++r)
        for (unsigned c = 0; c < 3; ++c)
            p.m[r][c] = constant(LX_VCNST_OVG_IU2S1 + r, c);
    if (flip)
        for (int c = 0; c < 3; ++c)
            p.m[1][c] = height * p.m[2][c] - p.m[1][c];
    derived_.imageToDevice = p;
    derived_.imageEdgeScale = scale;
    derived_.imageValid = true;
}

// The image rectangle (0, 0) to (width, height) through the image matrix: four edges, none
// when a corner has w <= 0. The planes give, at pixel (x, y), F + A x + B y: the inverse map at
// (x, y) + LX_VCNST_OVG_IMG_ORIGIN.xy, its s and t rows times 1 / width and 1 / height, its w
// row as it is (LX_RZ_IMG_SF/_SA/_SB, _TF/_TA/_TB, _IWF/_IWA/_IWB, floats). A singular matrix
// leaves the planes as they were.
void VertexProcessor::imageQuad(const std::vector<uint32_t>& words, const std::string& what)
{
    if (words.size() != 4) {
        gpu_.protocolError(Stream::Gpu, what + ": " + std::to_string(words.size()) + " data words instead of 4");
        return;
    }
    if (!derived_.imageValid) {
        gpu_.protocolError(Stream::Gpu, what + ": an image quad before an image matrix");
        return;
    }
    double v[4] = {};
    for (unsigned i = 0; i < 4; ++i) {
        float f;
        std::memcpy(&f, &words[i], sizeof f);
        if (!std::isfinite(f))
            return;
        v[i] = f;
    }
    const double ox = constant(LX_VCNST_OVG_IMG_ORIGIN, 0), oy = constant(LX_VCNST_OVG_IMG_ORIGIN, 1);
    if (!std::isfinite(ox) || !std::isfinite(oy)) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_IMG_ORIGIN " + number(ox) + ", " + number(oy) +
                                            " is no sample point");
        return;
    }
    const Projective& m = derived_.imageToDevice;
    const Point corners[4] = {{0, 0}, {v[0], 0}, {v[0], v[1]}, {0, v[1]}};
    Point device[4];
    bool visible = true;
    for (int i = 0; i < 4; ++i) {
        double h[3];
        m.apply(corners[i], h);
        visible = visible && h[2] > 0;
        device[i] = Point{h[0] / h[2] * derived_.imageEdgeScale, h[1] / h[2] * derived_.imageEdgeScale};
        visible = visible && std::isfinite(device[i].x) && std::isfinite(device[i].y);
    }
    if (visible)
        for (int i = 0; i < 4; ++i)
            edges_.add(device[i].x, device[i].y, device[(i + 1) % 4].x, device[(i + 1) % 4].y);

    Projective inverse;
    if (!m.inverse(inverse))
        return;
    const uint32_t regs[3][3] = {{LX_RZ_IMG_SF, LX_RZ_IMG_SA, LX_RZ_IMG_SB},
                                 {LX_RZ_IMG_TF, LX_RZ_IMG_TA, LX_RZ_IMG_TB},
                                 {LX_RZ_IMG_IWF, LX_RZ_IMG_IWA, LX_RZ_IMG_IWB}};
    const double norm[3] = {v[2], v[3], 1};
    for (int r = 0; r < 3; ++r) {
        const double a = inverse.m[r][0] * norm[r], b = inverse.m[r][1] * norm[r];
        const double f = (inverse.m[r][0] * ox + inverse.m[r][1] * oy + inverse.m[r][2]) * norm[r];
        const double plane[3] = {f, a, b};
        for (int k = 0; k < 3; ++k) {
            const float value = static_cast<float>(plane[k]);
            uint32_t bits;
            std::memcpy(&bits, &value, sizeof bits);
            gpu_.gpuRegister(Unit::RZ, regs[r][k], bits);
        }
    }
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
