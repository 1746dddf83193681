// The vertex processor's stroke entries: the cap and join selections, a subpath's centre line
// gathered from its start (901) through its segments (919, 926, 933, 940) to its end (912),
// where it is widened (stroke_outline.h) in user units and the pieces go through the
// path-to-device matrix into edges.
#include <cmath>
#include <cstring>

#include "cgl_unitreg.h"
#include "vertex_processor.h"

namespace simgpu {
namespace {

constexpr uint32_t kClosed = 1;  // LX_VP_CTRL0 at entry 912: closed, or a subpath without length

bool finiteFloats(const std::vector<uint32_t>& words, double* out)
{
    for (size_t i = 0; i < words.size(); ++i) {
        float f;
        std::memcpy(&f, &words[i], sizeof f);
        if (!std::isfinite(f))
            return false;
        out[i] = f;
    }
    return true;
}

}  // namespace

void VertexProcessor::constantWritten(uint32_t field)
{
    const uint32_t index = field / 4;
    if (index == LX_VCNST_OVG_DASH_IDX || index == LX_VCNST_OVG_DASH_REST || index == LX_VCNST_OVG_STROKE_ON)
        dashWritten_ = true;
}

bool VertexProcessor::strokeSelection(uint32_t entry)
{
    switch (entry) {
    case kEntryCapButt: cap_ = static_cast<int>(Cap::Butt); return true;
    case kEntryCapRound: cap_ = static_cast<int>(Cap::Round); return true;
    case kEntryCapSquare: cap_ = static_cast<int>(Cap::Square); return true;
    case kEntryJoinMiter: join_ = static_cast<int>(Join::Miter); return true;
    case kEntryJoinRound: join_ = static_cast<int>(Join::Round); return true;
    case kEntryJoinBevel: join_ = static_cast<int>(Join::Bevel); return true;
    default: return false;
    }
}

// The dash walk from LX_VCNST_OVG_DASH_IDX (constant and component of the pattern value, two
// integers), _DASH_REST (length left of it) and _STROKE_ON (1.0 drawn, 0.0 a gap).
bool VertexProcessor::loadDashState(const std::string& what)
{
    const int32_t c = static_cast<int32_t>(gpu_.reg(Unit::VPConst, LX_VCNST_OVG_DASH_IDX * 4));
    const int32_t k = static_cast<int32_t>(gpu_.reg(Unit::VPConst, LX_VCNST_OVG_DASH_IDX * 4 + 1));
    const double rest = constant(LX_VCNST_OVG_DASH_REST, 0);
    const double on = constant(LX_VCNST_OVG_STROKE_ON, 0);
    if (c < 0 || c > 3 || k < 0 || k > 3 || !(rest >= 0) || !std::isfinite(rest) || (on != 0 && on != 1)) {
        gpu_.protocolError(Stream::Gpu, what + ": dash state " + std::to_string(c) + ", " + std::to_string(k) + ", " +
                                            number(rest) + ", " + number(on) + " is unknown");
        return false;
    }
    dash_ = DashState{static_cast<unsigned>(c * 4 + k), rest, on == 1};
    dashWritten_ = false;
    return true;
}

void VertexProcessor::strokeStart(const std::vector<uint32_t>& words, const std::string& what)
{
    if (words.size() != 2) {
        gpu_.protocolError(Stream::Gpu, what + ": " + std::to_string(words.size()) + " data words instead of 2");
        return;
    }
    if (!segmentMatrix().valid) {
        gpu_.protocolError(Stream::Gpu, what + ": a subpath before a path-to-device matrix");
        return;
    }
    if (subpathOpen_)
        gpu_.protocolError(Stream::Gpu, what + ": a subpath starts before the last one ended; that one is dropped");
    double v[2];
    subpathOpen_ = true;
    // A start that is not finite drops the subpath.
    subpathDropped_ = !finiteFloats(words, v) || (dashWritten_ && !loadDashState(what));
    centre_.clear();
    if (subpathDropped_)
        return;
    current_ = Point{v[0], v[1]};
    centre_.push_back(CentrePoint{current_, true});
}

void VertexProcessor::strokeSegment(uint32_t entry, const std::vector<uint32_t>& words, const std::string& what)
{
    const unsigned n = strokeWords(entry);
    if (words.size() != n) {
        gpu_.protocolError(Stream::Gpu, what + ": " + std::to_string(words.size()) + " data words instead of " +
                                            std::to_string(n));
        return;
    }
    if (!subpathOpen_) {
        gpu_.protocolError(Stream::Gpu, what + ": a stroke segment outside a subpath");
        return;
    }
    double v[9];
    if (subpathDropped_ || !finiteFloats(words, v))
        return;  // a segment with a value that is not finite is dropped
    points_.clear();
    EndDirections ends;
    if (!flattenSegment(n, current_, v, LX_VCNST_OVG_DIV_STROKE_TH1, LX_VCNST_OVG_DIV_STROKE_TH2, points_, what,
                        &ends))
        return;
    // The segment's own directions at its ends, for the joins and caps there.
    if (!points_.empty() && (ends.start.x != 0 || ends.start.y != 0))
        centre_.back().leaving = ends.start;
    for (size_t i = 0; i < points_.size(); ++i) {
        const bool last = i + 1 == points_.size();
        centre_.push_back(CentrePoint{points_[i], last, last ? ends.end : Point{0, 0}});
    }
    if (!points_.empty())
        current_ = points_.back();
}

// Half the width LX_VCNST_OVG_STROKE_PARAM.x, the squared miter bound .y, the round pieces'
// step acos(LX_VCNST_OVG_DIV_ANGLE.z) and the cosine LX_VCNST_JOIN_ANGLE_TH.x above which a
// turn takes no round pieces.
bool VertexProcessor::strokeStyle(StrokeStyle& style, const std::string& what)
{
    if (cap_ < 0 || join_ < 0) {
        gpu_.protocolError(Stream::Gpu, what + ": a stroke without a cap and a join selected");
        return false;
    }
    const double half = constant(LX_VCNST_OVG_STROKE_PARAM, 0), miter = constant(LX_VCNST_OVG_STROKE_PARAM, 1);
    const double cosine = constant(LX_VCNST_OVG_DIV_ANGLE, 2), flat = constant(LX_VCNST_JOIN_ANGLE_TH, 0);
    if (!(half >= 0) || !std::isfinite(half) || !(miter >= 0)) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_STROKE_PARAM " + number(half) + ", " + number(miter) +
                                            " is no width and miter bound");
        return false;
    }
    if (!(cosine >= -1 && cosine <= 1) || std::isnan(flat)) {
        gpu_.protocolError(Stream::Gpu, what + ": round-piece thresholds " + number(cosine) + " and " + number(flat) +
                                            " are unknown");
        return false;
    }
    style = StrokeStyle{half, miter, static_cast<Cap>(cap_), static_cast<Join>(join_), std::acos(cosine), flat};
    return true;
}

// The pattern LX_VCNST_OVG_DASH_PATTERN0 to _3, four values a constant, up to the value
// LX_VCNST_OVG_MAX_DASH_IDX names (constant and component, two integers); the walk's index
// must lie within it.
bool VertexProcessor::dashPattern(DashPattern& pattern, const std::string& what)
{
    const int32_t c = static_cast<int32_t>(gpu_.reg(Unit::VPConst, LX_VCNST_OVG_MAX_DASH_IDX * 4));
    const int32_t k = static_cast<int32_t>(gpu_.reg(Unit::VPConst, LX_VCNST_OVG_MAX_DASH_IDX * 4 + 1));
    if (c < 0 || c > 3 || k < 0 || k > 3 || dash_.index > static_cast<unsigned>(c * 4 + k)) {
        gpu_.protocolError(Stream::Gpu, what + ": last dash " + std::to_string(c) + ", " + std::to_string(k) +
                                            " is unknown or before the current one");
        return false;
    }
    pattern.values.clear();
    double sum = 0;
    for (int i = 0; i <= c * 4 + k; ++i) {
        const double value = constant(LX_VCNST_OVG_DASH_PATTERN0 + i / 4, i % 4);
        if (!(value >= 0) || !std::isfinite(value)) {
            gpu_.protocolError(Stream::Gpu, what + ": dash length " + number(value) + " is unknown");
            return false;
        }
        sum += value;
        pattern.values.push_back(value);
    }
    if (!(sum > 0)) {
        gpu_.protocolError(Stream::Gpu, what + ": a dash pattern without length");
        return false;
    }
    return true;
}

void VertexProcessor::strokeEnd(const std::string& what)
{
    uint32_t ctrl = 0;
    if (!controlBits(what, kClosed, ctrl))
        return;
    if (!subpathOpen_) {
        gpu_.protocolError(Stream::Gpu, what + ": a subpath end without its start");
        return;
    }
    subpathOpen_ = false;
    if (subpathDropped_)
        return;
    StrokeStyle style;
    DashPattern pattern;
    const double dashed = constant(LX_VCNST_OVG_DASH_EN, 0);
    if (dashed != 0 && dashed != 1) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_VCNST_OVG_DASH_EN " + number(dashed) + " is unknown");
        return;
    }
    if (!strokeStyle(style, what) || (dashed == 1 && !dashPattern(pattern, what)))
        return;
    std::vector<Polygon> polygons;
    strokeSubpath(centre_, ctrl == kClosed, style, dashed == 1 ? &pattern : nullptr, dash_, polygons);
    centre_.clear();
    for (Polygon& polygon : polygons) {
        bool finite = true;
        for (Point& p : polygon)
            finite = device(p) && finite;
        if (!finite)
            continue;  // a piece that leaves the number range is dropped
        for (size_t i = 0; i < polygon.size(); ++i) {
            const Point& a = polygon[i];
            const Point& b = polygon[(i + 1) % polygon.size()];
            edges_.add(a.x, a.y, b.x, b.y);
        }
    }
}

}  // namespace simgpu
