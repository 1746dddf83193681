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
// Derived matrices change only when an entry that computes them runs.

#include <cstdint>
#include <string>
#include <vector>

#include "edge_scan.h"
#include "flatten.h"
#include "simgpu.h"

namespace simgpu {

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
};

struct VpDerived {
    DerivedMatrix pathToDevice;  // to device pixels, flipped as entry 0 found LX_VP_CTRL0
    double edgeScale = 1;        // subsample units a pixel, from the same run
    DerivedMatrix fillPaint, strokePaint;                    // entry 21
    DerivedMatrix fillPaintToDevice, strokePaintToDevice;    // entry 0, sets 0 and 8192
    bool imageValid = false;
    Projective imageToDevice;  // entry 7, to device pixels
    double imageEdgeScale = 1;
    bool imagePaintValid = false, imagePaintToDeviceValid = false;
    Projective imagePaint, imagePaintToDevice;  // entry 28; entry 7, set 16384
};

class VertexProcessor {
public:
    VertexProcessor(SimGpu& gpu, EdgeList& edges) : gpu_(gpu), edges_(edges) {}

    // The device copied `words` words into the instruction RAM from word `first`.
    void dmaIn(uint32_t first, uint32_t words);
    void start(uint32_t entry);
    void data(uint32_t entry, const std::vector<uint32_t>& words);

    bool drawingMicrocodeLoaded() const { return drawingLoaded_; }
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
    void imageToDevice(const std::string& what);
    void imageQuad(const std::vector<uint32_t>& words, const std::string& what);
    bool flattening(bool arc, Flattening& out, const std::string& what);

    SimGpu& gpu_;
    EdgeList& edges_;
    bool drawingLoaded_ = false;
    VpDerived derived_;
    std::vector<Point> points_;
};

}  // namespace simgpu
