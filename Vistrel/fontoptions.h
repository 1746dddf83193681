#pragma once

#include <string>

namespace vistrel {

// The font options of the command line, read by the text drawing.
extern std::string argvFontPath;  // default "./Font/ipag.ttf"; kept whole, whatever its length
extern int argvFontSpace;         // extra width per glyph in pixels, default 0
extern float argvFontStroke;      // outline width of text in pixels, default 1.0

// Sets the defaults, then takes "-fontpath:", "-fontspace:" and "-fontstroke:" from the
// arguments after the program name (the first prefix an argument contains wins; the value is
// the rest of the argument after the prefix's length). Other arguments are ignored.
void readFontOptions(int argc, char** argv);

// "FontPath: <path>, FontSpace: <n>, FontStroke:<f>\n\n", as printed at start-up.
std::string fontOptionsLine();

}  // namespace vistrel
