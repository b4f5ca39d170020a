// The Windows screen view's window: the menu bar, the client area shown from
// its backing DIB section (the surface GetDC hands out for the window), the
// two scroll bar controls, the mouse, the wheel and the keys, the status bar,
// message boxes, and the watch on the command file shown. The behaviour is
// DrawArea's; this class turns the window's messages into its handlers and
// provides what it asks of the system.
#pragma once

#include "platform/device_context.h"
#include "platform/message_box.h"
#include "view/draw_area.h"
#include "view/win32/folder_watch.h"
#include "view/win32/printing.h"
#include "view/win32/status_bar.h"
#include "view/win32/window_bitmap.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

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
    // Dispatches the thread's messages until the window is gone, and reads
    // the command file again when its folder says it changed; the exit status.
    int RunMessageLoop();

  private:
    // Runs the shortcut or the navigation key a key message stands for;
    // false when it stands for none.
    bool RunKey(MSG& message);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateScrollBars();
    void Resized(int width, int clientHeight);
    void Paint();
    void Scrolled(HWND bar, int request);
    void Mouse(UINT message, WPARAM wParam, LPARAM lParam);
    void Wheel(WPARAM wParam, LPARAM lParam);
    void PointerLeft();
    void Command(UINT id);
    bool SetCursorForClientArea();
    // Title, prompt, note, incomplete mark and pointer place as the window now is.
    void ShowState();
    void ShowPointerPlace();
    // The folder of the file shown has changed: a quiet moment later, read again.
    void FolderChanged();
    void Timer(UINT_PTR id);
    void ReloadChangedDrawing();
    platform::MessageAnswer Ask(const platform::MessageRequest& request);

    DrawArea area_;
    HWND window_ = nullptr;
    HWND hScroll1_ = nullptr, vScroll1_ = nullptr;
    HACCEL shortcuts_ = nullptr;
    std::unique_ptr<WindowBitmap> backing_;
    std::optional<platform::ScopedWindowSurface> registered_;
    Printers printers_;
    MousePointer pointer_ = MousePointer::Default;
    StatusBar status_;
    std::optional<POINT> pointerAt_; // in the client area, while it is there
    std::string note_;               // what the status bar says for a while
    FolderWatch watch_;
    platform::MessageSink previousSink_;
};

} // namespace view::win32
