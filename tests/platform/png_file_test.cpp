#include "platform/png_file.h"

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

TEST(PngFile, SmallImageCarriesItsRowsAsStoredBytes) {
    const std::vector<uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF,
                                          0xFFFFFF, 0x000000, 0x123456};
    const std::vector<uint8_t> png = platform::EncodePng(pixels, 3, 2, 100);

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

    // zlib header, one final stored block of 2 rows x (filter byte + 9), Adler-32.
    const auto [data, dataLength] = FindChunk(png, "IDAT");
    ASSERT_EQ(dataLength, 2u + 5u + 20u + 4u);
    EXPECT_EQ(png[data + 2], 1); // final, stored
    EXPECT_EQ(png[data + 3] | png[data + 4] << 8, 20);
    EXPECT_EQ((png[data + 5] | png[data + 6] << 8) ^ 0xFFFF, 20);
    const std::vector<uint8_t> rows(png.begin() + data + 7, png.begin() + data + 27);
    EXPECT_EQ(rows, (std::vector<uint8_t>{0, 0xFF, 0,    0,    0, 0xFF, 0, 0,    0,    0xFF, //
                                          0, 0xFF, 0xFF, 0xFF, 0, 0,    0, 0x12, 0x34, 0x56}));

    // The closing chunk has the one CRC every PNG ends with.
    ASSERT_GE(png.size(), 12u);
    EXPECT_EQ(BigEndian(png, png.size() - 4), 0xAE426082u);
}

TEST(PngFile, LargeImageIsSplitIntoFullStoredBlocks) {
    const int width = 200, height = 200; // 200 x 601 bytes of rows: two blocks
    const std::vector<uint32_t> pixels(width * height, 0xFFFFFF);
    const std::vector<uint8_t> png = platform::EncodePng(pixels, width, height, 100);
    const auto [data, dataLength] = FindChunk(png, "IDAT");
    const size_t raw = size_t{height} * (1 + 3 * width);
    EXPECT_EQ(dataLength, 2 + raw + 2 * 5 + 4);
    EXPECT_EQ(png[data + 2], 0); // not the last block
    EXPECT_EQ(png[data + 3] | png[data + 4] << 8, 65535);
    const size_t second = data + 2 + 5 + 65535;
    EXPECT_EQ(png[second], 1);
    EXPECT_EQ(png[second + 1] | png[second + 2] << 8, static_cast<int>(raw - 65535));
}

TEST(PngFile, AnUnwritableFileIsReported) {
    const std::vector<uint32_t> pixels(4, 0);
    std::string error;
    EXPECT_FALSE(platform::WritePngFile("/nonexistent-folder/page.png", pixels, 2, 2, 100, error));
    EXPECT_NE(error.find("/nonexistent-folder/page.png: "), std::string::npos) << error;
}

} // namespace
