#include "lz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

using Bytes = std::vector<unsigned char>;

namespace {

// The coder's search written out plainly, as the reference the fast search must equal.
Bytes referenceCompress(const Bytes& in)
{
    Bytes out;
    if (in.empty())
        return out;
    unsigned counts[256] = {};
    for (unsigned char b : in)
        ++counts[b];
    unsigned marker = 0;
    for (unsigned v = 1; v < 256; ++v)
        if (counts[v] < counts[marker])
            marker = v;
    out.push_back(static_cast<unsigned char>(marker));
    auto literal = [&](unsigned char b) {
        out.push_back(b);
        if (b == marker)
            out.push_back(0);
    };
    auto varSize = [&](unsigned v) {
        unsigned char buf[5];
        int n = _LZ_WriteVarSize(v, buf);
        out.insert(out.end(), buf, buf + n);
    };
    const unsigned insize = static_cast<unsigned>(in.size());
    unsigned pos = 0, left = insize;
    do {
        const unsigned window = pos < 100000 ? pos : 100000;
        unsigned best = 3, bestD = 0;
        for (unsigned d = 3; d <= window; ++d) {
            if (in[pos - d] != in[pos])
                continue;
            const unsigned limit = d < left ? d : left;
            unsigned len = 0;
            while (len < limit && in[pos - d + len] == in[pos + len])
                ++len;
            if (len > best) {
                best = len;
                bestD = d;
            }
        }
        const bool use = bestD != 0 && (best >= 8 || (best == 4 && bestD <= 127) || (best == 5 && bestD <= 16383) ||
                                        (best == 6 && bestD <= 2097151) || (best == 7 && bestD <= 268435455));
        if (use) {
            out.push_back(static_cast<unsigned char>(marker));
            varSize(best);
            varSize(bestD);
            pos += best;
            left -= best;
        } else {
            literal(in[pos]);
            ++pos;
            --left;
        }
    } while (left > 3);
    for (; pos < insize; ++pos)
        literal(in[pos]);
    return out;
}

Bytes compress(Bytes in)
{
    Bytes out(LZ_CompressBound(static_cast<unsigned>(in.size())) + 1, 0xEE);
    out.resize(LZ_Compress(in.data(), out.data(), static_cast<unsigned>(in.size())));
    return out;
}

// Decodes into a buffer of exactly capacity bytes (so ASan sees any write past it).
int uncompress(Bytes stream, unsigned capacity, Bytes* decoded = nullptr)
{
    std::vector<unsigned char> out(capacity);
    int n = LZ_Uncompress(stream.data(), out.data(), static_cast<unsigned>(stream.size()), capacity);
    if (decoded && n >= 0)
        decoded->assign(out.begin(), out.begin() + n);
    return n;
}

Bytes repeatAt(unsigned offset, unsigned length)
{
    // Distinct bytes (a counter of two bytes) except one repeat of length bytes offset back.
    Bytes in;
    for (unsigned i = 0; in.size() < offset; ++i) {
        in.push_back(static_cast<unsigned char>(1 + i % 251));
        in.push_back(static_cast<unsigned char>(1 + (i / 251) % 251));
    }
    in.resize(offset);
    for (unsigned i = 0; i < length; ++i)
        in.push_back(in[i]);
    return in;
}

}  // namespace

TEST(LzCoder, ExactStreams)
{
    const Bytes abc = {'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b', 'c'};
    EXPECT_EQ(compress(abc), (Bytes{0x00, 0x61, 0x62, 0x63, 0x61, 0x62, 0x63, 0x00, 0x06, 0x06}));
    EXPECT_EQ(compress({}), Bytes{});
    // Every byte value but 0x07 occurs; 0x07 and the ties below it: the smallest least frequent.
    Bytes allButSeven;
    for (int v = 0; v < 256; ++v)
        if (v != 7)
            allButSeven.push_back(static_cast<unsigned char>(v));
    EXPECT_EQ(compress(allButSeven)[0], 0x07);
    // Every value twice but 9 and 4 once: the smaller of the two.
    Bytes twice;
    for (int v = 0; v < 512; ++v)
        if (v != 9 && v != 4)
            twice.push_back(static_cast<unsigned char>(v % 256));
    EXPECT_EQ(compress(twice)[0], 4);
    // Every value once: marker 0, which travels as 00 00.
    Bytes once(allButSeven);
    once.insert(once.begin() + 7, 7);
    const Bytes out = compress(once);
    ASSERT_EQ(out.size(), 258u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), (Bytes{0x00, 0x00, 0x00, 0x01}));
    Bytes decoded;
    EXPECT_EQ(uncompress(out, 256, &decoded), 256);
    EXPECT_EQ(decoded, once);
}

TEST(LzCoder, VariableSizeIntegers)
{
    const struct {
        unsigned value;
        Bytes bytes;
    } cases[] = {
        {0, {0x00}},
        {127, {0x7F}},
        {128, {0x81, 0x00}},
        {16383, {0xFF, 0x7F}},
        {16384, {0x81, 0x80, 0x00}},
        {(1u << 21) - 1, {0xFF, 0xFF, 0x7F}},
        {1u << 21, {0x81, 0x80, 0x80, 0x00}},
        {(1u << 28) - 1, {0xFF, 0xFF, 0xFF, 0x7F}},
        {1u << 28, {0x81, 0x80, 0x80, 0x80, 0x00}},
        {0xFFFFFFFFu, {0x8F, 0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const auto& c : cases) {
        unsigned char buf[8] = {};
        const int n = _LZ_WriteVarSize(c.value, buf);
        EXPECT_EQ(Bytes(buf, buf + n), c.bytes) << c.value;
    }
}

TEST(LzCoder, CopiesAreTakenWhereTheyPayOffAndNeverOutgrowTheirOffset)
{
    const struct {
        unsigned offset, length;
        bool copied;
    } cases[] = {
        {127, 4, true}, {128, 4, false}, {16383, 5, true}, {16384, 5, false},
        {100000, 8, true}, {100001, 8, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        const Bytes in = repeatAt(c.offset, c.length);
        const Bytes out = compress(in);
        if (c.offset < 20000) {  // the plain scan is too slow for the largest window
            EXPECT_EQ(out, referenceCompress(in));
        }
        // Literals only: the marker (absent from the input) never appears after byte 0.
        const bool copied = std::count(out.begin() + 1, out.end(), out[0]) > 0;
        EXPECT_EQ(copied, c.copied);
        unsigned char offsetBytes[5];
        const unsigned copySize = 2 + static_cast<unsigned>(_LZ_WriteVarSize(c.offset, offsetBytes));
        EXPECT_EQ(out.size(), 1 + c.offset + (copied ? copySize : c.length));
    }
    // A run: each copy at most as long as its offset (1, 2, 4, 8, ... bytes back).
    EXPECT_EQ(compress(Bytes(16, 'x')), (Bytes{0x00, 'x', 'x', 'x', 'x', 0x00, 0x04, 0x04, 0x00, 0x08, 0x08}));
}

TEST(LzCoder, EqualsTheReferenceAndRoundTrips)
{
    std::mt19937 random(7);
    auto randomBytes = [&](size_t n, int values) {
        Bytes b(n);
        for (auto& v : b)
            v = static_cast<unsigned char>(random() % values);
        return b;
    };
    auto periodic = [](size_t n, size_t period) {
        Bytes b(n);
        for (size_t i = 0; i < n; ++i)
            b[i] = static_cast<unsigned char>((i % period) * 37 + 1);
        return b;
    };
    // The 4444 content of a small drawn picture: header, flat background, a bordered box.
    Bytes picture = {100, 0, 0, 0, 50, 0, 0, 0};
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) {
            const uint16_t p = (x > 20 && x < 80 && y > 10 && y < 40) ? ((x == 21 || y == 11) ? 0xF000 : 0xF8C4) : 0xF0F0;
            picture.push_back(p & 0xFF);
            picture.push_back(p >> 8);
        }
    // Runs of bytes and of 2-byte pixels of random lengths, some broken by a single byte.
    Bytes runs;
    while (runs.size() < 20000) {
        const unsigned char a = static_cast<unsigned char>(random() % 4), b = static_cast<unsigned char>(random() % 4);
        const size_t length = random() % 300;
        for (size_t i = 0; i < length; ++i)
            runs.push_back(i % 2 ? b : a);
        if (random() % 3 == 0)
            runs.push_back(static_cast<unsigned char>(random()));
    }
    const std::vector<Bytes> inputs = {
        {7}, {7, 7}, {1, 2, 3}, Bytes(300, 0), periodic(5000, 2), periodic(5000, 3), periodic(5000, 7),
        periodic(3000, 128), randomBytes(4000, 256), randomBytes(4000, 3), picture, runs,
    };
    for (const Bytes& in : inputs) {
        SCOPED_TRACE(in.size());
        const Bytes out = compress(in);
        EXPECT_EQ(out, referenceCompress(in));
        Bytes decoded;
        EXPECT_EQ(uncompress(out, static_cast<unsigned>(in.size())), static_cast<int>(in.size()));
        uncompress(out, static_cast<unsigned>(in.size()), &decoded);
        EXPECT_EQ(decoded, in);
    }
}

TEST(LzCoder, DamagedStreamsAreRefusedWithinTheBuffer)
{
    EXPECT_EQ(uncompress({}, 0), 0);
    EXPECT_EQ(uncompress({0x09}, 0), 0);  // only the marker
    const struct {
        const char* what;
        Bytes stream;
        unsigned capacity;
    } cases[] = {
        {"offset before the start", {0x00, 'a', 'b', 0x00, 0x04, 0x03}, 64},
        {"offset zero", {0x00, 'a', 0x00, 0x01, 0x00}, 64},
        {"copy past the capacity", {0x00, 'a', 'b', 'c', 0x00, 0x08, 0x03}, 10},
        {"literal past the capacity", {0x00, 'a', 'b', 'c'}, 2},
        {"marker literal past the capacity", {0x00, 'a', 0x00, 0x00}, 1},
        {"marker at the end", {0x00, 'a', 0x00}, 64},
        {"length cut off", {0x00, 'a', 0x00, 0x84}, 64},
        {"offset missing", {0x00, 'a', 'b', 'c', 0x00, 0x04}, 64},
        {"integer over five bytes", {0x00, 'a', 0x00, 0x81, 0x80, 0x80, 0x80, 0x80, 0x00, 0x01}, 64},
    };
    for (const auto& c : cases)
        EXPECT_EQ(uncompress(c.stream, c.capacity), -1) << c.what;
}
