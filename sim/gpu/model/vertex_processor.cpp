#include "vertex_processor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cgl_packet.h"
#include "cgl_unitreg.h"
#include "filter_program.h"

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
constexpr uint32_t kEntryPaint = 49;

constexpr uint32_t kPaintSetShift = 13;  // LX_VP_CTRL0 bits 13-15 of the paint program
constexpr uint32_t kPaintKinds = 3;      // bits 0-1: 0 linear, 1 radial, 2 pattern
constexpr unsigned kPaintSets = 5;       // fill, stroke, image, glyph fill and image, glyph stroke

constexpr uint32_t kNoFlip = 0x80000000u;

// The device row offset of a sample point within its pixel. The origin constants measure it
// from the pixel's lower left corner as the surface's own y axis runs: on a flipped surface,
// whose device rows run top down, that corner is at the bottom of the device pixel, so an
// origin of 0 (filtered sampling) is the pixel's bottom edge there and its top edge
// otherwise; 0.5 is the centre either way.
double sampleRowOffset(double origin, bool flipped)
{
    return flipped ? 1 - origin : origin;
}

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

}  // namespace

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

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

void VertexProcessor::dmaIn(uint32_t first, uint32_t words, uint32_t image)
{
    if (first == 0 && words == kStaticWords)
        drawingLoaded_ = true;
    else if (first < kStaticWords)
        drawingLoaded_ = false;
    if (first < kStaticWords)
        filterProgram_ = first == 0 && image >= kProgramColourMatrix && image <= kProgramSeparable ? image : 0;
    if (first < kStaticWords) {
        // A reload forgets the cap and join selections and any subpath being gathered.
        cap_ = join_ = -1;
        subpathOpen_ = false;
        centre_.clear();
    }
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
        if (ctrl & 1u) {
            pathToDevice(what);
            derived_.glyphPaths = false;
        }
        if ((ctrl & 6u) && !derived_.pathToDevice.valid) {
            gpu_.protocolError(Stream::Gpu, what + ": paint matrices before a path-to-device matrix");
            return;
        }
        if (ctrl & 2u) {
            paintMatrix(derived_.fillPaintToDevice, LX_VCNST_OVG_FP2U1);
            setPaint(0, Projective().after(derived_.fillPaintToDevice.m), derived_.fillPaintToDevice.flipped);
        }
        if (ctrl & 4u) {
            paintMatrix(derived_.strokePaintToDevice, LX_VCNST_OVG_SP2U1);
            setPaint(1, Projective().after(derived_.strokePaintToDevice.m), derived_.strokePaintToDevice.flipped);
        }
        return;
    case kEntryPaintMatrices:
        if (!controlBits(what, 3u, ctrl))
            return;
        if (ctrl && !derived_.pathToDevice.valid) {
            gpu_.protocolError(Stream::Gpu, what + ": paint matrices before a path-to-device matrix");
            return;
        }
        if (ctrl & 1u) {
            paintMatrix(derived_.fillPaint, LX_VCNST_OVG_FP2U1);
            setPaint(0, Projective().after(derived_.fillPaint.m), derived_.fillPaint.flipped);
        }
        if (ctrl & 2u) {
            paintMatrix(derived_.strokePaint, LX_VCNST_OVG_SP2U1);
            setPaint(1, Projective().after(derived_.strokePaint.m), derived_.strokePaint.flipped);
        }
        return;
    case kEntryImageMatrices:
        if (!controlBits(what, kNoFlip | 3u, ctrl))
            return;
        if (ctrl & 1u) {
            imageToDevice(what);
            derived_.glyphImages = false;
        }
        if (ctrl & 2u) {
            if (!derived_.imageValid) {
                gpu_.protocolError(Stream::Gpu, what + ": an image paint matrix before an image matrix");
                return;
            }
            derived_.imagePaintToDevice = derived_.imageToDevice.after(constantRows(LX_VCNST_OVG_FP2U1));
            derived_.imagePaintToDeviceValid = true;
            setPaint(2, derived_.imagePaintToDevice, derived_.imageFlipped);
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
        setPaint(2, derived_.imagePaint, derived_.imageFlipped);
        return;
    case kEntryGlyphPaint:
        glyphPaint(what);
        return;
    default:
        break;
    }
    if (strokeSelection(entry))
        return;
    if (entry == kEntryStrokeEnd) {
        strokeEnd(what);
        return;
    }
    if (segmentWords(entry) || entry == kEntryImageQuad || entry == kEntryPaint || entry == kEntryStrokeStart ||
        strokeWords(entry) || entry == kEntryGlyphOffset)
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
    else if (entry == kEntryPaint)
        paintProgram(words, what);
    else if (entry == kEntryStrokeStart)
        strokeStart(words, what);
    else if (strokeWords(entry))
        strokeSegment(entry, words, what);
    else if (entry == kEntryGlyphOffset)
        glyphOffset(words, what);
    else if (entry == kEntryMatrices || entry == kEntryPaintMatrices || entry == kEntryImageMatrices ||
             entry == kEntryImagePaint || entry == kEntryStrokeEnd || isStrokeSelection(entry) ||
             entry == kEntryGlyphPaint)
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
    derived_.pathToDevice = toDevice(constantRows(LX_VCNST_OVG_PU2S1), flip, height);
    derived_.edgeScale = scale;
}

DerivedMatrix VertexProcessor::toDevice(Affine m, bool flip, double height)
{
    if (flip) {
        m.b = -m.b;
        m.d = -m.d;
        m.f = height - m.f;
    }
    return DerivedMatrix{true, m, flip};
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
    derived_.imageFlipped = flip;
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
    const bool glyph = derived_.glyphImages;
    if (glyph ? !derived_.glyphToDevice.valid : !derived_.imageValid) {
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
    const double ox = constant(LX_VCNST_OVG_IMG_ORIGIN, 0), originY = constant(LX_VCNST_OVG_IMG_ORIGIN, 1);
    if (!std::isfinite(ox) || !std::isfinite(originY)) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_IMG_ORIGIN " + number(ox) + ", " + number(originY) +
                                            " is no sample point");
        return;
    }
    const double oy = sampleRowOffset(originY, glyph ? derived_.glyphToDevice.flipped : derived_.imageFlipped);
    const Projective m = glyph ? Projective().after(derived_.glyphToDevice.m) : derived_.imageToDevice;
    const double scale = glyph ? derived_.glyphEdgeScale : derived_.imageEdgeScale;
    const Point corners[4] = {{0, 0}, {v[0], 0}, {v[0], v[1]}, {0, v[1]}};
    Point device[4];
    bool visible = true;
    for (int i = 0; i < 4; ++i) {
        double h[3];
        m.apply(corners[i], h);
        visible = visible && h[2] > 0;
        device[i] = Point{h[0] / h[2] * scale, h[1] / h[2] * scale};
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
        for (int k = 0; k < 3; ++k)
            writeFloat(regs[r][k], plane[k]);
    }
}

void VertexProcessor::writeFloat(uint32_t reg, double value)
{
    const float f = static_cast<float>(value);
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    gpu_.gpuRegister(Unit::RZ, reg, bits);
}

void VertexProcessor::setPaint(unsigned set, const Projective& m, bool flipped)
{
    derived_.paintSet[set] = m;
    derived_.paintSetFlipped[set] = flipped;
    derived_.paintSetValid[set] = true;
}

// The paint program. With N the inverse of the set's paint-to-device matrix (device pixels to
// paint space; a projective one is not modelled) and P = N (X, Y), each plane (F, A, B) gives
// F + A x + B y at pixel (x, y):
//   k 0, data (x0, y0, x1, y1): LX_RZ_LG_GF/_GA/_GB, the gradient parameter
//     (P - p0).(p1 - p0) / |p1 - p0|^2 at the pixel centre (x + 0.5, y + 0.5); all 0 when the
//     points coincide;
//   k 1, data (cx, cy, fx, fy): LX_RZ_RG_AF/_AA/_AB and _BF/_BA/_BB, P - f at the pixel centre
//     turned so that c - f lies on +x (unturned when c = f);
//   k 2, data (1 / width, 1 / height): LX_RZ_PP_SF/_SA/_SB and _TF/_TA/_TB, P.x / width and
//     P.y / height at (x, y) + LX_VCNST_OVG_PAT_ORIGIN.xy.
// A packet with a value that is not finite is dropped; a singular matrix leaves the planes.
void VertexProcessor::paintProgram(const std::vector<uint32_t>& words, const std::string& what)
{
    const uint32_t ctrl = gpu_.reg(Unit::VPCtrl, LX_VP_CTRL0);
    const uint32_t kind = ctrl & 3u, set = ctrl >> kPaintSetShift;
    if ((ctrl & ~(3u | 7u << kPaintSetShift)) || kind >= kPaintKinds || set >= kPaintSets) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_VP_CTRL0 " + hex(ctrl) + " has unknown bits");
        return;
    }
    const size_t expected = kind == 2 ? 2 : 4;
    if (words.size() != expected) {
        gpu_.protocolError(Stream::Gpu, what + ": " + std::to_string(words.size()) + " data words instead of " +
                                            std::to_string(expected));
        return;
    }
    if (!derived_.paintSetValid[set]) {
        gpu_.protocolError(Stream::Gpu, what + ": a paint program before its paint matrix");
        return;
    }
    double v[4] = {};
    for (size_t i = 0; i < words.size(); ++i) {
        float f;
        std::memcpy(&f, &words[i], sizeof f);
        if (!std::isfinite(f))
            return;
        v[i] = f;
    }
    const Projective& m = derived_.paintSet[set];
    if (m.m[2][0] != 0 || m.m[2][1] != 0) {
        gpu_.protocolError(Stream::Gpu, what + ": a projective paint matrix is not modelled");
        return;
    }
    Projective inverse;
    if (!m.inverse(inverse))
        return;
    // P = (a X + c Y + e, b X + d Y + f) / w with w constant.
    const double w = inverse.m[2][2];
    const double a = inverse.m[0][0] / w, c = inverse.m[0][1] / w, e = inverse.m[0][2] / w;
    const double b = inverse.m[1][0] / w, d = inverse.m[1][1] / w, f = inverse.m[1][2] / w;
    const auto plane = [this](const uint32_t regs[3], double at0, double dx, double dy, double ox, double oy) {
        writeFloat(regs[0], at0 + dx * ox + dy * oy);
        writeFloat(regs[1], dx);
        writeFloat(regs[2], dy);
    };
    switch (kind) {
    case 0: {
        const double gx = v[2] - v[0], gy = v[3] - v[1], len2 = gx * gx + gy * gy;
        const double k = len2 > 0 ? 1 / len2 : 0;
        const uint32_t regs[3] = {LX_RZ_LG_GF, LX_RZ_LG_GA, LX_RZ_LG_GB};
        plane(regs, ((e - v[0]) * gx + (f - v[1]) * gy) * k, (a * gx + b * gy) * k, (c * gx + d * gy) * k, 0.5, 0.5);
        return;
    }
    case 1: {
        double ux = v[0] - v[2], uy = v[1] - v[3];
        const double len = std::hypot(ux, uy);
        if (len > 0) {
            ux /= len;
            uy /= len;
        } else {
            ux = 1;
            uy = 0;
        }
        const uint32_t along[3] = {LX_RZ_RG_AF, LX_RZ_RG_AA, LX_RZ_RG_AB};
        const uint32_t across[3] = {LX_RZ_RG_BF, LX_RZ_RG_BA, LX_RZ_RG_BB};
        const double px = e - v[2], py = f - v[3];
        plane(along, px * ux + py * uy, a * ux + b * uy, c * ux + d * uy, 0.5, 0.5);
        plane(across, py * ux - px * uy, b * ux - a * uy, d * ux - c * uy, 0.5, 0.5);
        return;
    }
    default: {
        const double ox = constant(LX_VCNST_OVG_PAT_ORIGIN, 0), originY = constant(LX_VCNST_OVG_PAT_ORIGIN, 1);
        if (!std::isfinite(ox) || !std::isfinite(originY)) {
            gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_PAT_ORIGIN " + number(ox) + ", " + number(originY) +
                                                " is no sample point");
            return;
        }
        const double oy = sampleRowOffset(originY, derived_.paintSetFlipped[set]);
        const uint32_t sRegs[3] = {LX_RZ_PP_SF, LX_RZ_PP_SA, LX_RZ_PP_SB};
        const uint32_t tRegs[3] = {LX_RZ_PP_TF, LX_RZ_PP_TA, LX_RZ_PP_TB};
        plane(sRegs, e * v[0], a * v[0], c * v[0], ox, oy);
        plane(tRegs, f * v[1], b * v[1], d * v[1], ox, oy);
        return;
    }
    }
}

void VertexProcessor::paintMatrix(DerivedMatrix& out, uint32_t rows)
{
    out = DerivedMatrix{true, derived_.pathToDevice.m.after(constantRows(rows)), derived_.pathToDevice.flipped};
}

// The thresholds: the chord may stray constant `distance`.x and its square `squared`.x
// (LX_VCNST_OVG_DIV_FILL_TH2 and _TH1 for fills, _DIV_STROKE_TH2 and _TH1 for strokes); an arc
// piece spans at most the angle whose cosine is LX_VCNST_OVG_DIV_ANGLE.x.
bool VertexProcessor::flattening(uint32_t squaredIndex, uint32_t distanceIndex, bool arc, Flattening& out,
                                 const std::string& what)
{
    const double squared = constant(squaredIndex, 0);
    const double distance = constant(distanceIndex, 0);
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
    if (!segmentMatrix().valid) {
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
    if (!flattenSegment(n - 2, start, v + 2, LX_VCNST_OVG_DIV_FILL_TH1, LX_VCNST_OVG_DIV_FILL_TH2, points_, what))
        return;

    // Into subsample units; a point that leaves the number range drops the segment.
    Point previous = start;
    if (!device(previous))
        return;
    for (Point& p : points_)
        if (!device(p))
            return;
    for (const Point& p : points_) {
        edges_.add(previous.x, previous.y, p.x, p.y);
        previous = p;
    }
}

// A user point in subsample units; false when it leaves the number range.
bool VertexProcessor::device(Point& p) const
{
    const Point q = segmentMatrix().m.apply(p);
    p = Point{q.x * segmentScale(), q.y * segmentScale()};
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// The points after `start` of a segment told by its `words` after the start point, `v`: 2 a
// line, 4 a quadratic, 6 a cubic, 9 an arc; curves flattened by the thresholds in constants
// `squared` and `distance`. For a stroke (`ends` given) curve pieces also turn by no more than
// the round step, and `ends` gets the directions the segment leaves its start and reaches its
// end in.
bool VertexProcessor::flattenSegment(unsigned words, const Point& start, const double* v, uint32_t squared,
                                     uint32_t distance, std::vector<Point>& out, const std::string& what,
                                     EndDirections* ends)
{
    Flattening flat{0, 0};
    const bool arc = words == 9;
    // kind 9 small counter-clockwise, 10 small clockwise, 11 large counter-clockwise, 12 large
    // clockwise
    const double arcKind = arc ? v[8] : 0;
    if (arc && arcKind != 9 && arcKind != 10 && arcKind != 11 && arcKind != 12) {
        gpu_.protocolError(Stream::Gpu, what + ": unknown arc kind " + number(arcKind));
        return false;
    }
    if (words != 2 && !flattening(squared, distance, arc, flat, what))
        return false;
    if (ends) {
        // Checked at the subpath's end; a cosine out of range turns nothing here.
        const double cosine = constant(LX_VCNST_OVG_DIV_ANGLE, 2);
        if (cosine >= -1 && cosine <= 1)
            flat.maxTurn = std::acos(cosine);
    }
    EndDirections directions;
    switch (words) {
    case 2:
        out.push_back(Point{v[0], v[1]});
        directions.start = directions.end = Point{v[0] - start.x, v[1] - start.y};
        break;
    case 4: {
        const Point p[3] = {start, {v[0], v[1]}, {v[2], v[3]}};
        flattenQuadratic(p, flat, out);
        directions = quadraticDirections(p);
        break;
    }
    case 6: {
        const Point p[4] = {start, {v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}};
        flattenCubic(p, flat, out);
        directions = cubicDirections(p);
        break;
    }
    default: {
        const Arc arc{start, {v[0], v[1]}, {v[2], v[3]}, v[4], v[5], v[6], v[7], arcKind >= 11,
                      arcKind == 9 || arcKind == 11};
        flattenArc(arc, flat, out);
        directions = arcDirections(arc);
        break;
    }
    }
    if (ends)
        *ends = directions;
    return true;
}

}  // namespace simgpu
