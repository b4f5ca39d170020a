// The drawing window over a recording surface, created before the session as
// the program creates it, laid out so that its drawing area is the letter
// page at 100 pixels per inch: pixel (x, y) shows the point (x / 100, 11 - y / 100).
#pragma once

#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "platform/device_context.h"
#include "support/drawing_fixture.h"
#include "support/recording_surface.h"
#include "view/draw_area.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class DrawAreaTest : public DrawingTest {
  protected:
    static constexpr int kBar = 16;
    static constexpr int kWidth = 850 + kBar, kHeight = 1100 + kBar;

    void SetUp() override {
        DrawingTest::SetUp();
        view::WindowHost host;
        host.show = [this] { ++shows; };
        host.setPointer = [this](view::MousePointer pointer) { pointers.push_back(pointer); };
        host.openPrinter = [this] { return openPrinter(); };
        host.unload = [this] { ++unloads; };
        host.endProgram = [this] { ++ends; };
        host.changed = [this] { ++changes; };
        host.chooseCommandFile = [this] { return chooseCommandFile(); };
        host.chooseSaveFile = [this](view::SavedForm form) { return chooseSaveFile(form); };
        host.openPdfFile = [this](const std::string& file) { return openPdfFile(file); };
        area.emplace();
        area->SetHost(std::move(host));
        shown.emplace(area->Handle(), surface);
        area->VScroll1.SetWidth(kBar);
        area->HScroll1.SetHeight(kBar);
        StartSession();
        area->Resize(kWidth, kHeight);
        area->Shown();
        surface.primitives.clear();
        shows = 0;
        changes = 0;
    }

    void TearDown() override {
        shown.reset();
        area.reset();
        DrawingTest::TearDown();
    }

    int32_t Screen() const { return builder::Session().ScreenHandle; }

    KqRect2 View() const {
        KqRect2 world;
        kq_get_vport_world(Screen(), builder::Session().ScreenViewport, world);
        return world;
    }

    // Refreshes since the last clear: each begins by painting the client area white.
    int Refreshes() const {
        int count = 0;
        for (const testsupport::RecordedPrimitive& primitive : surface.primitives) {
            const platform::DrawState& state = primitive.state;
            if (primitive.kind == testsupport::RecordedPrimitive::Kind::Polygon && state.pen.null &&
                !state.brush.null && state.brush.colour == platform::Rgb{255, 255, 255} &&
                primitive.points.size() == 4 && primitive.points[0].x == 0 &&
                primitive.points[0].y == 0) {
                ++count;
            }
        }
        return count;
    }

    void Drag(int fromX, int fromY, int toX, int toY) {
        area->MouseDown(view::kLeftButton, 0, fromX, fromY);
        area->MouseMove(view::kLeftButton, 0, toX, toY);
        area->MouseUp(view::kLeftButton, 0, toX, toY);
    }

    testsupport::RecordingSurface surface{kWidth, kHeight};
    std::optional<view::DrawArea> area;
    std::optional<platform::ScopedWindowSurface> shown;
    std::function<std::unique_ptr<view::PrintJob>()> openPrinter = [] { return nullptr; };
    std::function<std::optional<std::string>()> chooseCommandFile = [] { return std::nullopt; };
    std::function<std::optional<std::string>(view::SavedForm)> chooseSaveFile =
        [](view::SavedForm) { return std::nullopt; };
    std::function<std::unique_ptr<view::PrintJob>(const std::string&)> openPdfFile =
        [](const std::string&) { return nullptr; };
    int shows = 0, unloads = 0, ends = 0, changes = 0;
    std::vector<view::MousePointer> pointers;
};

} // namespace testsupport
