// The configuration table through eglGetConfigAttrib, eglGetConfigs, eglChooseConfig and the
// error variable.
#include "egl_test_support.h"

#include <vector>

namespace egltest {
namespace {

class Configurations : public EglTest {
protected:
    void SetUp() override { initialize(); }

    std::vector<EGLConfig> all()
    {
        std::vector<EGLConfig> configs(30);
        EGLint count = 0;
        EXPECT_TRUE(eglGetConfigs(dpy, configs.data(), 30, &count));
        EXPECT_EQ(count, 30);
        return configs;
    }

    EGLint attrib(EGLConfig config, EGLint attribute)
    {
        EGLint value = -12345;
        EXPECT_TRUE(eglGetConfigAttrib(dpy, config, attribute, &value)) << std::hex << attribute;
        return value;
    }

    std::vector<EGLint> choose(const std::vector<EGLint>& attribs, EGLint size, EGLint* count)
    {
        std::vector<EGLConfig> configs(30, nullptr);
        *count = -1;
        EXPECT_TRUE(eglChooseConfig(dpy, attribs.data(), configs.data(), size, count));
        std::vector<EGLint> ids;
        for (EGLint i = 0; i < *count; ++i)
            ids.push_back(attrib(configs[static_cast<size_t>(i)], EGL_CONFIG_ID));
        return ids;
    }
};

// Columns that differ between rows: id, buffer, R, G, B, A, caveat, sample buffers, samples,
// surface type, luminance, alpha mask, buffer type, conformant.
struct Row {
    EGLint id, buffer, r, g, b, a, caveat, sampleBuffers, samples, surfaceType, luminance, alphaMask, bufferType,
        conformant;
};

constexpr EGLint NC = EGL_NON_CONFORMANT_CONFIG;
constexpr EGLint RGB = EGL_RGB_BUFFER;
constexpr EGLint LUM = EGL_LUMINANCE_BUFFER;

const Row kTable[30] = {
    {1, 16, 5, 6, 5, 0, EGL_NONE, 0, 0, 7, 0, 0, RGB, 2},  {2, 16, 5, 6, 5, 0, EGL_NONE, 0, 0, 7, 0, 4, RGB, 2},
    {3, 16, 5, 5, 5, 1, EGL_NONE, 0, 0, 5, 0, 0, RGB, 2},  {4, 16, 5, 5, 5, 1, EGL_NONE, 0, 0, 5, 0, 4, RGB, 2},
    {5, 16, 4, 4, 4, 4, EGL_NONE, 0, 0, 5, 0, 0, RGB, 2},  {6, 16, 4, 4, 4, 4, EGL_NONE, 0, 0, 5, 0, 4, RGB, 2},
    {7, 32, 8, 8, 8, 8, EGL_NONE, 0, 0, 7, 0, 0, RGB, 2},  {8, 32, 8, 8, 8, 8, EGL_NONE, 0, 0, 7, 0, 8, RGB, 2},
    {9, 32, 8, 8, 8, 0, EGL_NONE, 0, 0, 5, 0, 0, RGB, 2},  {10, 32, 8, 8, 8, 0, EGL_NONE, 0, 0, 5, 0, 8, RGB, 2},
    {11, 8, 0, 0, 0, 8, EGL_NONE, 0, 0, 5, 0, 0, RGB, 2},  {12, 8, 0, 0, 0, 8, EGL_NONE, 0, 0, 5, 0, 8, RGB, 2},
    {13, 8, 0, 0, 0, 0, EGL_NONE, 0, 0, 5, 8, 0, LUM, 2},  {14, 8, 0, 0, 0, 0, EGL_NONE, 0, 0, 5, 8, 8, LUM, 2},
    {15, 1, 0, 0, 0, 0, NC, 0, 0, 5, 1, 0, LUM, 0},        {16, 1, 0, 0, 0, 0, NC, 0, 0, 5, 1, 1, LUM, 0},
    {17, 16, 5, 6, 5, 0, NC, 1, 4, 7, 0, 0, RGB, 0},       {18, 16, 5, 6, 5, 0, NC, 1, 4, 7, 0, 4, RGB, 0},
    {19, 16, 5, 5, 5, 1, NC, 1, 4, 5, 0, 0, RGB, 0},       {20, 16, 5, 5, 5, 1, NC, 1, 4, 5, 0, 4, RGB, 0},
    {21, 16, 4, 4, 4, 4, NC, 1, 4, 5, 0, 0, RGB, 0},       {22, 16, 4, 4, 4, 4, NC, 1, 4, 5, 0, 4, RGB, 0},
    {23, 32, 8, 8, 8, 8, NC, 1, 4, 7, 0, 0, RGB, 0},       {24, 32, 8, 8, 8, 8, NC, 1, 4, 7, 0, 4, RGB, 0},
    {25, 32, 8, 8, 8, 0, NC, 1, 4, 5, 0, 0, RGB, 0},       {26, 32, 8, 8, 8, 0, NC, 1, 4, 5, 0, 4, RGB, 0},
    {27, 8, 0, 0, 0, 8, NC, 1, 4, 5, 0, 0, RGB, 0},        {28, 8, 0, 0, 0, 8, NC, 1, 4, 5, 0, 4, RGB, 0},
    {29, 8, 0, 0, 0, 0, NC, 1, 4, 5, 8, 0, LUM, 0},        {30, 8, 0, 0, 0, 0, NC, 1, 4, 5, 8, 4, LUM, 0},
};

TEST_F(Configurations, EveryAttributeOfEveryRow)
{
    std::vector<EGLConfig> configs = all();
    for (int i = 0; i < 30; ++i) {
        const Row& row = kTable[i];
        SCOPED_TRACE(row.id);
        const std::vector<std::pair<EGLint, EGLint>> expected = {
            {EGL_BUFFER_SIZE, row.buffer},
            {EGL_ALPHA_SIZE, row.a},
            {EGL_BLUE_SIZE, row.b},
            {EGL_GREEN_SIZE, row.g},
            {EGL_RED_SIZE, row.r},
            {EGL_DEPTH_SIZE, 0},
            {EGL_STENCIL_SIZE, 0},
            {EGL_CONFIG_CAVEAT, row.caveat},
            {EGL_CONFIG_ID, row.id},
            {EGL_LEVEL, 0},
            {EGL_MAX_PBUFFER_HEIGHT, 2048},
            {EGL_MAX_PBUFFER_PIXELS, 0x400000},
            {EGL_MAX_PBUFFER_WIDTH, 2048},
            {EGL_NATIVE_RENDERABLE, 0},
            {EGL_NATIVE_VISUAL_ID, 0},
            {EGL_NATIVE_VISUAL_TYPE, EGL_NONE},
            {EGL_SAMPLES, row.samples},
            {EGL_SAMPLE_BUFFERS, row.sampleBuffers},
            {EGL_SURFACE_TYPE, row.surfaceType},
            {EGL_TRANSPARENT_TYPE, EGL_NONE},
            {EGL_TRANSPARENT_BLUE_VALUE, -1},
            {EGL_TRANSPARENT_GREEN_VALUE, -1},
            {EGL_TRANSPARENT_RED_VALUE, -1},
            {EGL_BIND_TO_TEXTURE_RGB, 0},
            {EGL_BIND_TO_TEXTURE_RGBA, 0},
            {EGL_MIN_SWAP_INTERVAL, 1},
            {EGL_MAX_SWAP_INTERVAL, 1},
            {EGL_LUMINANCE_SIZE, row.luminance},
            {EGL_ALPHA_MASK_SIZE, row.alphaMask},
            {EGL_COLOR_BUFFER_TYPE, row.bufferType},
            {EGL_RENDERABLE_TYPE, EGL_OPENVG_BIT},
            {EGL_MATCH_NATIVE_PIXMAP, EGL_NONE},
            {EGL_CONFORMANT, row.conformant},
        };
        for (const auto& [attribute, value] : expected)
            EXPECT_EQ(attrib(configs[static_cast<size_t>(i)], attribute), value) << std::hex << attribute;
        for (EGLint bad : {0x3030, EGL_NONE, 0x301F, 0x3043}) {
            EGLint value = -7;
            EXPECT_FALSE(eglGetConfigAttrib(dpy, configs[static_cast<size_t>(i)], bad, &value));
            EXPECT_EQ(eglGetError(), EGL_BAD_ATTRIBUTE);
            EXPECT_EQ(value, -7);
        }
    }
}

TEST_F(Configurations, AttributeQueryChecksTheConfigurationAndTheOutput)
{
    EGLConfig first = all()[0];
    EGLint value = 0;
    EGLint notARow = 0;
    EXPECT_FALSE(eglGetConfigAttrib(dpy, &notARow, EGL_CONFIG_ID, &value));
    EXPECT_EQ(eglGetError(), EGL_BAD_CONFIG);
    EXPECT_FALSE(eglGetConfigAttrib(dpy, first, EGL_CONFIG_ID, nullptr));
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
}

TEST_F(Configurations, ChoiceCases)
{
    struct Case {
        const char* name;
        std::vector<EGLint> attribs;
        EGLint size;
        std::vector<EGLint> ids;
    } const cases[] = {
        {"configuration 8 alone", {EGL_CONFIG_ID, 8, EGL_NONE}, 1, {8}},
        {"configuration 1 as the display server asks", {EGL_CONFIG_ID, 1, EGL_NONE}, 1, {1}},
        {"configuration 2 as the display server asks", {EGL_CONFIG_ID, 2, EGL_NONE}, 1, {2}},
        {"an id with room for more still gives one", {EGL_CONFIG_ID, 8, EGL_NONE}, 30, {8}},
        {"size 0 writes no configuration", {EGL_CONFIG_ID, 8, EGL_NONE}, 0, {}},
        {"a negative size counts as 0", {EGL_CONFIG_ID, 8, EGL_NONE}, -3, {}},
        {"the empty list asks for OpenGL ES", {EGL_NONE}, 30, {}},
        {"OpenVG windows come in the exchange sort's order",
         {EGL_RENDERABLE_TYPE, 2, EGL_SURFACE_TYPE, 4, EGL_NONE},
         30,
         {11, 12, 27, 28, 3, 5, 1, 2, 6, 4, 21, 17, 19, 22, 20, 18, 7, 9, 8, 10, 23, 25, 24, 26}},
        {"the sorted list is cut at size", {EGL_RENDERABLE_TYPE, 2, EGL_SURFACE_TYPE, 4, EGL_NONE}, 3, {11, 12, 27}},
        {"a negative size cuts everything", {EGL_RENDERABLE_TYPE, 2, EGL_NONE}, -1, {}},
        {"an id that matches no row goes on to the filter",
         {EGL_CONFIG_ID, 0, EGL_RENDERABLE_TYPE, 2, EGL_LUMINANCE_SIZE, 1, EGL_COLOR_BUFFER_TYPE,
          EGL_LUMINANCE_BUFFER, EGL_NONE},
         30,
         {13, 14, 29, 30, 15, 16}},
        {"luminance rows by id",
         {EGL_CONFIG_ID, EGL_DONT_CARE, EGL_RENDERABLE_TYPE, 2, EGL_COLOR_BUFFER_TYPE, EGL_LUMINANCE_BUFFER,
          EGL_CONFORMANT, 2, EGL_NONE},
         30,
         {13, 14}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EGLint count = -1;
        EXPECT_EQ(choose(c.attribs, c.size, &count), c.ids);
        EXPECT_EQ(count, static_cast<EGLint>(c.ids.size()));
        EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    }
}

TEST_F(Configurations, ChoiceErrors)
{
    EGLConfig chosen = nullptr;
    EGLint count = -1;
    const EGLint tooHigh[] = {EGL_CONFIG_ID, 31, EGL_NONE};
    EXPECT_FALSE(eglChooseConfig(dpy, tooHigh, &chosen, 1, &count));
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
    const EGLint unknown[] = {0x3030, 1, EGL_NONE};
    EXPECT_FALSE(eglChooseConfig(dpy, unknown, &chosen, 1, &count));
    EXPECT_EQ(eglGetError(), EGL_BAD_ATTRIBUTE);
    const EGLint fine[] = {EGL_CONFIG_ID, 1, EGL_NONE};
    EXPECT_FALSE(eglChooseConfig(dpy, fine, &chosen, 1, nullptr));
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
    EXPECT_EQ(count, -1);
    EXPECT_TRUE(eglChooseConfig(dpy, fine, nullptr, 1, &count));
    EXPECT_EQ(count, 30);
}

TEST_F(Configurations, GetConfigsCountsAndCuts)
{
    struct Case {
        bool withArray;
        EGLint size, count;
    } const cases[] = {{false, 0, 30}, {true, 5, 5}, {true, 40, 30}, {true, 0, 0}, {true, -4, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<EGLConfig> configs(30, nullptr);
        EGLint count = -1;
        EXPECT_TRUE(eglGetConfigs(dpy, c.withArray ? configs.data() : nullptr, c.size, &count));
        EXPECT_EQ(count, c.count);
        for (EGLint i = 0; c.withArray && i < count; ++i)
            EXPECT_EQ(attrib(configs[static_cast<size_t>(i)], EGL_CONFIG_ID), i + 1);
        for (size_t i = static_cast<size_t>(count); c.withArray && i < configs.size(); ++i)
            EXPECT_EQ(configs[i], nullptr);
    }
    EXPECT_FALSE(eglGetConfigs(dpy, nullptr, 0, nullptr));
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
}

TEST_F(Configurations, TheLastErrorWinsAndReadingResetsIt)
{
    EGLint value = 0;
    EXPECT_FALSE(eglGetConfigAttrib(dpy, all()[0], 0x3030, &value));
    EXPECT_FALSE(eglGetConfigs(dpy, nullptr, 0, nullptr));
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
}

}  // namespace
}  // namespace egltest
