// A PNG writer with no library behind it: 8-bit RGB, each row filtered
// against the row above and compressed with deflate's fixed code, runs of a
// repeated byte as copies. A drawing, mostly white, shrinks to a few percent
// of its pixels; every PNG reader takes the files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace render {

// The bytes of a PNG of width x height pixels given as rows from the top,
// each pixel 0x00RRGGBB; `dotsPerInch` goes into the physical-size chunk.
std::vector<uint8_t> EncodePng(std::span<const uint32_t> pixels, int width, int height,
                               double dotsPerInch);

// Writes those bytes to `path`;
// false, with the reason in `error`, when that fails.
bool WritePngFile(const std::string& path, std::span<const uint32_t> pixels, int width, int height,
                  double dotsPerInch, std::string& error);

} // namespace render
