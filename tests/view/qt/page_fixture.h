// A command file interpreted in a fresh folder (kqhatch.pat beside it) and
// its page rendered as the viewer renders it, with pixel probes in inches.
#pragma once

#include "support/temp_folder.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace testsupport {

class PageTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 850, kHeight = 1100; // 100 pixels per inch

    void SetUp() override;
    void TearDown() override;

    // Writes the lines (CR LF added) as tempdxf.txt and opens the session on it.
    void Interpret(std::initializer_list<std::string_view> lines);
    // Interprets the lines and renders the page into a PNG, read back.
    QImage Render(std::initializer_list<std::string_view> lines);

    // The pixel of a point of the page, in inches.
    static QPoint Pixel(double x, double y);
    // Pixels of `image` darker than mid grey within `area`.
    static int InkIn(const QImage& image, const QRect& area);
    // The smallest rectangle holding every dark pixel of `area`; empty when none.
    static QRect InkBounds(const QImage& image, const QRect& area);

    TempFolder folder;
};

} // namespace testsupport
