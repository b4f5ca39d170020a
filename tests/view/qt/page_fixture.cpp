#include "view/qt/page_fixture.h"

#include "driver/batch_run.h"
#include "support/module_reset.h"
#include "view/draw_area.h"
#include "view/qt/headless.h"

#include <filesystem>

namespace testsupport {

namespace {
constexpr int kDarkest = 128;
}

void PageTest::SetUp() {
    ResetAllModules();
    std::filesystem::copy_file(std::filesystem::path(PLOTDXF_SOURCE_DIR) / "data" / "kqhatch.pat",
                               folder.Path() / "kqhatch.pat");
}

void PageTest::TearDown() {
    ResetAllModules();
}

void PageTest::Interpret(std::initializer_list<std::string_view> lines) {
    std::string file;
    for (std::string_view line : lines)
        file.append(line).append("\r\n");
    folder.Write("tempdxf.txt", file);
    const view::DrawArea window; // the session binds its display to this window
    driver::PrepareDrawing();
}

QImage PageTest::Render(std::initializer_list<std::string_view> lines) {
    Interpret(lines);
    const std::string path = (folder.Path() / "page.png").string();
    std::string error;
    EXPECT_TRUE(view::WritePagePicture(view::PictureFormat::Png, path, kWidth, kHeight, error))
        << error;
    return QImage(QString::fromStdString(path));
}

QPoint PageTest::Pixel(double x, double y) {
    return QPoint(static_cast<int>(x * 100), static_cast<int>(kHeight - y * 100));
}

int PageTest::InkIn(const QImage& image, const QRect& area) {
    int ink = 0;
    const QRect inside = area.normalized() & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (qGray(image.pixel(x, y)) < kDarkest) ++ink;
        }
    }
    return ink;
}

QRect PageTest::InkBounds(const QImage& image, const QRect& area) {
    QRect bounds;
    const QRect inside = area.normalized() & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (qGray(image.pixel(x, y)) < kDarkest) bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace testsupport
