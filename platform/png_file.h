// A PNG writer with no library behind it: 8-bit RGB, the image data in
// stored (uncompressed) deflate blocks. Files are as large as the pixels,
// and every PNG reader takes them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// The bytes of a PNG of width x height pixels given as rows from the top,
// each pixel 0x00RRGGBB; `dotsPerInch` goes into the physical-size chunk.
std::vector<uint8_t> EncodePng(std::span<const uint32_t> pixels, int width, int height,
                               double dotsPerInch);

// Writes those bytes to `path`;
// false, with the reason in `error`, when that fails.
bool WritePngFile(const std::string& path, std::span<const uint32_t> pixels, int width, int height,
                  double dotsPerInch, std::string& error);

} // namespace platform
