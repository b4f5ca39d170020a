// A PNG writer: 8-bit RGB, each row filtered against the row above and
// deflated by zlib as it is made, so no second copy of the picture is held. A
// drawing, mostly white, shrinks to about one percent of its pixels; every
// PNG reader takes the files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace render {

// The bytes of a PNG of width x height pixels given as rows from the top,
// each pixel 0x00RRGGBB; `dotsPerInch` goes into the physical-size chunk.
// Throws std::bad_alloc when memory runs out.
std::vector<uint8_t> EncodePng(std::span<const uint32_t> pixels, int width, int height,
                               double dotsPerInch);

// Writes those bytes to `path`;
// false, with the reason in `error`, when that fails.
bool WritePngFile(const std::string& path, std::span<const uint32_t> pixels, int width, int height,
                  double dotsPerInch, std::string& error);

} // namespace render
