#include "fontoptions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vistrel {

std::string argvFontPath;
int argvFontSpace = 0;
float argvFontStroke = 1.0f;

void readFontOptions(int argc, char** argv)
{
    static const char kPath[] = "-fontpath:";
    static const char kSpace[] = "-fontspace:";
    static const char kStroke[] = "-fontstroke:";

    argvFontPath = "./Font/ipag.ttf";
    argvFontSpace = 0;
    argvFontStroke = 1.0f;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strstr(arg, kPath))
            argvFontPath = arg + std::strlen(kPath);
        else if (std::strstr(arg, kSpace))
            argvFontSpace = static_cast<int>(std::strtol(arg + std::strlen(kSpace), nullptr, 10));
        else if (std::strstr(arg, kStroke))
            argvFontStroke = static_cast<float>(std::strtod(arg + std::strlen(kStroke), nullptr));
    }
}

std::string fontOptionsLine()
{
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, ", FontSpace: %d, FontStroke:%f\n\n", argvFontSpace,
                  static_cast<double>(argvFontStroke));
    return "FontPath: " + argvFontPath + numbers;
}

}  // namespace vistrel
