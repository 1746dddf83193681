// The four vertex-processor microcode images. The real images come with the GPU; these
// placeholders have the real sizes (three words per instruction) and a recognisable content:
// word i of image n is (n << 24) | i.
#include <cstddef>

#include "cgl.h"

namespace {

template <word32 Number, std::size_t Instructions>
struct PlaceholderImage {
    word32 words[Instructions * CGL_VP_INST_WORDS];
    constexpr PlaceholderImage() : words()
    {
        for (std::size_t i = 0; i < Instructions * CGL_VP_INST_WORDS; ++i)
            words[i] = (Number << 24) | static_cast<word32>(i);
    }
};

constexpr PlaceholderImage<CGL_UCODE_DRAW, 4011> kDraw;
constexpr PlaceholderImage<CGL_UCODE_MTX, 78> kMtx;
constexpr PlaceholderImage<CGL_UCODE_CONV, 241> kConv;
constexpr PlaceholderImage<CGL_UCODE_SPCONV, 201> kSpconv;

}  // namespace

extern "C" {

const word32* const vgucode_draw = kDraw.words;
const word32* const vgucode_mtx = kMtx.words;
const word32* const vgucode_conv = kConv.words;
const word32* const vgucode_spconv = kSpconv.words;

const UcodeEntry_t CglVGUcodeTable[CGL_UCODE_COUNT] = {
    {kDraw.words, 0, 4011, 0},
    {kMtx.words, 0, 78, 0},
    {kConv.words, 0, 241, 0},
    {kSpconv.words, 0, 201, 0},
};

}
