// The PNG files the Windows viewer writes (render/png_file), read back by
// an independent reader: Qt's, over libpng.
#include "render/png_file.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

QImage Decoded(const std::vector<uint32_t>& pixels, int width, int height) {
    const std::vector<uint8_t> png = render::EncodePng(pixels, width, height, 100);
    return QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
}

void ExpectPixels(const QImage& image, const std::vector<uint32_t>& pixels, int width, int height) {
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.width(), width);
    ASSERT_EQ(image.height(), height);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t expected = pixels[static_cast<size_t>(y) * width + x];
            if ((image.pixel(x, y) & 0xFFFFFF) != expected) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(PngReader, ReadsBackEveryPixelOfADrawing) {
    // White with long runs, lines, a repeated row, and a patch of noise.
    const int width = 700, height = 90;
    std::vector<uint32_t> pixels(size_t{width} * height, 0xFFFFFF);
    for (int x = 10; x < 690; ++x)
        pixels[size_t{20} * width + x] = pixels[size_t{21} * width + x] = 0x000000;
    for (int y = 0; y < height; ++y)
        pixels[static_cast<size_t>(y) * width + 350] = 0x1F3A5C;
    std::mt19937 noise(7);
    for (int y = 40; y < 60; ++y) {
        for (int x = 100; x < 160; ++x)
            pixels[static_cast<size_t>(y) * width + x] = noise() & 0xFFFFFF;
    }
    ExpectPixels(Decoded(pixels, width, height), pixels, width, height);
}

TEST(PngReader, ReadsBackNoiseInRowsWiderThanAPieceOfDeflatesOutput) {
    // Deflate cannot shrink noise: each row (75 KB) comes out in several pieces.
    const int width = 25000, height = 4;
    std::vector<uint32_t> pixels(size_t{width} * height);
    std::mt19937 noise(11);
    for (uint32_t& pixel : pixels)
        pixel = noise() & 0xFFFFFF;
    ExpectPixels(Decoded(pixels, width, height), pixels, width, height);
}

TEST(PngReader, ReadsBackOnePixel) {
    const std::vector<uint32_t> pixels = {0x808182};
    ExpectPixels(Decoded(pixels, 1, 1), pixels, 1, 1);
}

} // namespace
