#include "fontoptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vistrel;

namespace {

void readArguments(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "Vistrel");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    readFontOptions(static_cast<int>(arguments.size()), argv.data());
}

}  // namespace

TEST(FontOptions, CommandLineSetsPathSpaceAndStroke)
{
    const std::string longPath = "/" + std::string(295, 'p') + ".ttf";
    struct Case {
        std::vector<std::string> arguments;
        std::string path;
        int space;
        float stroke;
    } cases[] = {
        {{}, "./Font/ipag.ttf", 0, 1.0f},
        {{"-fontspace:3", "-fontstroke:2"}, "./Font/ipag.ttf", 3, 2.0f},
        {{"-fontpath:/a.ttf"}, "/a.ttf", 0, 1.0f},
        {{"-fontpath:" + longPath}, longPath, 0, 1.0f},
        {{"other", "-fontspace:-2"}, "./Font/ipag.ttf", -2, 1.0f},
    };
    for (const Case& c : cases) {
        // A run after one with other options starts again from the defaults.
        readArguments({"-fontpath:/old.ttf", "-fontspace:9"});
        readArguments(c.arguments);
        EXPECT_EQ(argvFontPath, c.path);
        EXPECT_EQ(argvFontSpace, c.space);
        EXPECT_FLOAT_EQ(argvFontStroke, c.stroke);
    }
    EXPECT_EQ(longPath.size(), 300u);
}

TEST(FontOptions, StartUpLineShowsTheOptions)
{
    readArguments({});
    EXPECT_EQ(fontOptionsLine(), "FontPath: ./Font/ipag.ttf, FontSpace: 0, FontStroke:1.000000\n\n");
    readArguments({"-fontspace:3", "-fontstroke:2", "-fontpath:/a.ttf"});
    EXPECT_EQ(fontOptionsLine(), "FontPath: /a.ttf, FontSpace: 3, FontStroke:2.000000\n\n");
}
