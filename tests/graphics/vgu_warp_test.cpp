// The VGU warps: the projective maps between the unit square and a quad, checked by where
// they send the corners.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <VG/openvg.h>
#include <VG/vgu.h>

namespace {

struct Point {
    double x, y;
};

struct Quad {
    Point p[4];  // corners for (0,0), (1,0), (0,1), (1,1) of the square
};

const Quad kSquare{{{0, 0}, {1, 0}, {0, 1}, {1, 1}}};

// The matrix is column-major: x' = m0 x + m3 y + m6, y' = m1 x + m4 y + m7, w = m2 x + m5 y + m8.
Point apply(const VGfloat m[9], Point p)
{
    const double w = m[2] * p.x + m[5] * p.y + m[8];
    return {(m[0] * p.x + m[3] * p.y + m[6]) / w, (m[1] * p.x + m[4] * p.y + m[7]) / w};
}

void expectMaps(const VGfloat m[9], const Quad& from, const Quad& to)
{
    for (int i = 0; i < 4; i++) {
        const Point got = apply(m, from.p[i]);
        EXPECT_NEAR(got.x, to.p[i].x, 1e-4) << "corner " << i;
        EXPECT_NEAR(got.y, to.p[i].y, 1e-4) << "corner " << i;
    }
}

VGUErrorCode squareToQuad(const Quad& q, VGfloat* m)
{
    return vguComputeWarpSquareToQuad(q.p[0].x, q.p[0].y, q.p[1].x, q.p[1].y, q.p[2].x, q.p[2].y,
                                      q.p[3].x, q.p[3].y, m);
}

VGUErrorCode quadToSquare(const Quad& q, VGfloat* m)
{
    return vguComputeWarpQuadToSquare(q.p[0].x, q.p[0].y, q.p[1].x, q.p[1].y, q.p[2].x, q.p[2].y,
                                      q.p[3].x, q.p[3].y, m);
}

VGUErrorCode quadToQuad(const Quad& dst, const Quad& src, VGfloat* m)
{
    return vguComputeWarpQuadToQuad(dst.p[0].x, dst.p[0].y, dst.p[1].x, dst.p[1].y, dst.p[2].x,
                                    dst.p[2].y, dst.p[3].x, dst.p[3].y, src.p[0].x, src.p[0].y,
                                    src.p[1].x, src.p[1].y, src.p[2].x, src.p[2].y, src.p[3].x,
                                    src.p[3].y, m);
}

const Quad kQuads[] = {
    kSquare,
    {{{10, 20}, {110, 20}, {10, 70}, {110, 70}}},    // axis-aligned rectangle
    {{{0, 0}, {40, 10}, {10, 30}, {50, 40}}},        // parallelogram
    {{{5, 5}, {100, 0}, {0, 80}, {120, 140}}},       // general projective quad
    {{{100, 0}, {0, 0}, {100, 50}, {0, 50}}},        // mirrored
};

TEST(VguWarp, MapsCornersBothWaysAndBetweenQuads)
{
    for (const Quad& q : kQuads) {
        SCOPED_TRACE(::testing::Message() << q.p[3].x << "," << q.p[3].y);
        VGfloat m[9];
        ASSERT_EQ(squareToQuad(q, m), VGU_NO_ERROR);
        expectMaps(m, kSquare, q);
        ASSERT_EQ(quadToSquare(q, m), VGU_NO_ERROR);
        expectMaps(m, q, kSquare);
        for (const Quad& other : kQuads) {
            ASSERT_EQ(quadToQuad(other, q, m), VGU_NO_ERROR);
            expectMaps(m, q, other);
        }
    }
}

TEST(VguWarp, ParallelogramGivesAnAffineMatrix)
{
    VGfloat m[9];
    ASSERT_EQ(squareToQuad(kQuads[2], m), VGU_NO_ERROR);
    const VGfloat expected[9] = {40, 10, 0, 10, 30, 0, 0, 0, 1};
    for (int i = 0; i < 9; i++)
        EXPECT_FLOAT_EQ(m[i], expected[i]) << i;
}

TEST(VguWarp, RefusesDegenerateQuadsAndBadMatrixPointers)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Quad degenerate[] = {
        {{{3, 3}, {3, 3}, {3, 3}, {3, 3}}},          // a point
        {{{0, 0}, {1, 1}, {2, 2}, {3, 3}}},          // a line
        {{{0, 0}, {1, 0}, {nan, 1}, {1, 1}}},        // no warp through a NaN corner
        {{{inf, 0}, {1, 0}, {0, 1}, {1, 1}}},
    };
    for (const Quad& q : degenerate) {
        VGfloat m[9] = {7, 7, 7, 7, 7, 7, 7, 7, 7};
        EXPECT_EQ(squareToQuad(q, m), VGU_BAD_WARP_ERROR);
        EXPECT_EQ(quadToSquare(q, m), VGU_BAD_WARP_ERROR);
        EXPECT_EQ(quadToQuad(kSquare, q, m), VGU_BAD_WARP_ERROR);
        EXPECT_EQ(quadToQuad(q, kSquare, m), VGU_BAD_WARP_ERROR);
        EXPECT_EQ(m[0], 7) << "a refused warp leaves the matrix alone";
    }

    alignas(4) unsigned char bytes[40];
    auto* misaligned = reinterpret_cast<VGfloat*>(bytes + 2);
    for (VGfloat* m : {static_cast<VGfloat*>(nullptr), misaligned}) {
        EXPECT_EQ(squareToQuad(kSquare, m), VGU_ILLEGAL_ARGUMENT_ERROR);
        EXPECT_EQ(quadToSquare(kSquare, m), VGU_ILLEGAL_ARGUMENT_ERROR);
        EXPECT_EQ(quadToQuad(kSquare, kSquare, m), VGU_ILLEGAL_ARGUMENT_ERROR);
    }
}

}  // namespace
