#pragma once

#include <functional>
#include <string>

namespace vistrel {

// Draws the PNG picture at path (an absolute path is a board path, a relative one is taken from
// the working directory) with its top-left pixel at screen (x, y), at its own size. The first
// draw converts it to ABGR4444 pixels and keeps them beside it, LZ-compressed, as
// path + ".4444"; later draws read only that cache file. A cache file that does not hold a
// whole picture is removed and made again from the PNG. Only regular files inside the board
// root are read: a name that leads out of the root, or a picture or cache file that is a FIFO,
// a device or a directory, is a missing picture.
void gui_image_button(int x, int y, const char* path);

// Writes the cache file of a width x height picture of 8-bit RGBA pixels (rows from the top)
// by way of a temporary file in the same directory; false when it could not be written.
bool create4444files(const char* cachePath, int width, int height, const unsigned char* rgba);

void gui_parts_init();

// Writes a whole file under its final name; tests replace it to make cache writes fail (null
// restores the default).
using CacheFileWriter = std::function<bool(const std::string& path, const unsigned char* data, size_t size)>;
void setCacheFileWriter(CacheFileWriter writer);

}  // namespace vistrel
