// The Windows screen view's window: the menu bar, the client area shown from
// its backing DIB section (the surface GetDC hands out for the window), the
// two scroll bar controls, the mouse and the wheel. The behaviour is
// DrawArea's; this class turns the window's messages into its handlers and
// provides what it asks of the system.
#pragma once

#include "platform/device_context.h"
#include "platform/gdi_surface_windows.h"
#include "view/draw_area.h"
#include "view/win32/printing.h"

#include <windows.h>

#include <memory>
#include <optional>

namespace view::win32 {

class MainWindow {
  public:
    MainWindow();
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    DrawArea& Area() { return area_; }
    HWND Window() const { return window_; }

    void Show();
    // Runs the shortcut a key message stands for; false when it stands for none.
    bool RunShortcut(MSG& message);

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateScrollBars();
    void Resized(int width, int height);
    void Paint();
    void Scrolled(HWND bar, int request);
    void Mouse(UINT message, WPARAM wParam, LPARAM lParam);
    void Wheel(WPARAM wParam, LPARAM lParam);
    void Command(UINT id);
    bool SetCursorForClientArea();

    DrawArea area_;
    HWND window_ = nullptr;
    HWND hScroll1_ = nullptr, vScroll1_ = nullptr;
    HACCEL shortcuts_ = nullptr;
    std::unique_ptr<platform::DibSurface> backing_;
    std::optional<platform::ScopedWindowSurface> registered_;
    Printers printers_;
    MousePointer pointer_ = MousePointer::Default;
    int wheelDelta_ = 0; // turned but not yet a whole notch
};

} // namespace view::win32
