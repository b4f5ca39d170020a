#include "render/png_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

uint32_t BigEndian(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 |
           uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

// The chunk of that type: where its data begins and how long it is.
std::pair<size_t, uint32_t> FindChunk(const std::vector<uint8_t>& png, const std::string& type) {
    for (size_t at = 8; at + 8 <= png.size();) {
        const uint32_t length = BigEndian(png, at);
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == type) {
            return {at + 8, length};
        }
        at += 12 + length;
    }
    return {0, 0};
}

TEST(PngFile, TheChunksDescribeTheImage) {
    const std::vector<uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF,
                                          0xFFFFFF, 0x000000, 0x123456};
    const std::vector<uint8_t> png = render::EncodePng(pixels, 3, 2, 100);

    const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    const auto [header, headerLength] = FindChunk(png, "IHDR");
    ASSERT_EQ(headerLength, 13u);
    EXPECT_EQ(BigEndian(png, header), 3u);
    EXPECT_EQ(BigEndian(png, header + 4), 2u);
    EXPECT_EQ(png[header + 8], 8); // bits per sample
    EXPECT_EQ(png[header + 9], 2); // RGB

    // 100 dots per inch: 3937 per metre.
    const auto [physical, physicalLength] = FindChunk(png, "pHYs");
    ASSERT_EQ(physicalLength, 9u);
    EXPECT_EQ(BigEndian(png, physical), 3937u);

    const auto [data, dataLength] = FindChunk(png, "IDAT");
    ASSERT_GT(dataLength, 6u);
    EXPECT_EQ(png[data], 0x78); // zlib, deflate

    // The closing chunk has the one CRC every PNG ends with.
    ASSERT_GE(png.size(), 12u);
    EXPECT_EQ(BigEndian(png, png.size() - 4), 0xAE426082u);
}

TEST(PngFile, AWhitePageWithALineIsSmall) {
    const int width = 850, height = 1100;
    std::vector<uint32_t> pixels(size_t{width} * height, 0xFFFFFF);
    for (int x = 50; x < 800; ++x)
        pixels[size_t{500} * width + x] = 0;
    const std::vector<uint8_t> png = render::EncodePng(pixels, width, height, 100);
    // Three bytes a pixel uncompressed: 2.8 MB.
    EXPECT_LT(png.size(), 40000u);
}

TEST(PngFile, AnUnwritableFileIsReported) {
    const std::vector<uint32_t> pixels(4, 0);
    std::string error;
    EXPECT_FALSE(render::WritePngFile("/nonexistent-folder/page.png", pixels, 2, 2, 100, error));
    EXPECT_NE(error.find("/nonexistent-folder/page.png: "), std::string::npos) << error;
}

} // namespace
