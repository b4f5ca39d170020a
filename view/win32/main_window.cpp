#include "view/win32/main_window.h"

#include "view/event_guard.h"
#include "view/win32/menu.h"
#include "view/win32/open_dialog.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace view::win32 {

namespace {

constexpr const wchar_t* kWindowClass = L"plotdxf Screen View";
constexpr const wchar_t* kCaption = L"Screen View";
// How long the command file's folder must stay quiet before the file is read
// again, and how long the note that it was stays in the status bar.
constexpr UINT kReloadDelayMs = 300;
constexpr UINT kReloadNoteMs = 15000;
enum : UINT_PTR { kReloadTimer = 1, kNoteTimer = 2 };

static_assert(WHEEL_DELTA == kWheelNotch, "the wheel reports eighths of a degree");

std::optional<NavigationKey> NavigationKeyOf(WPARAM key) {
    switch (key) {
    case VK_LEFT:
        return NavigationKey::Left;
    case VK_RIGHT:
        return NavigationKey::Right;
    case VK_UP:
        return NavigationKey::Up;
    case VK_DOWN:
        return NavigationKey::Down;
    case VK_PRIOR:
        return NavigationKey::PageUp;
    case VK_NEXT:
        return NavigationKey::PageDown;
    case VK_ESCAPE:
        return NavigationKey::Escape;
    default:
        return std::nullopt;
    }
}

// The name of a file without its folder, as the title shows it.
std::wstring FileNameOf(const std::string& file) {
    return std::filesystem::path(platform::Widen(file)).filename().wstring();
}

std::string TimeOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    return text.data();
}

int16_t ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return kLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return kRightButton;
    default:
        return kMiddleButton;
    }
}

int16_t ButtonsHeld(WPARAM keys) {
    int16_t held = 0;
    if (keys & MK_LBUTTON) held |= kLeftButton;
    if (keys & MK_RBUTTON) held |= kRightButton;
    if (keys & MK_MBUTTON) held |= kMiddleButton;
    return held;
}

int16_t ShiftKeys(WPARAM keys) {
    int16_t shift = 0;
    if (keys & MK_SHIFT) shift |= 1;
    if (keys & MK_CONTROL) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

// The control that shows a bar's model: its range, thumb and value.
void ShowModel(HWND bar, const ScrollBarModel& model) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = model.Min();
    // The thumb is the view's share of the bar; its start goes up to Max.
    info.nMax = model.Max() + model.Span() - 1;
    info.nPage = static_cast<UINT>(model.Span());
    info.nPos = model.Value();
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

void Place(HWND bar, const ScrollBarModel& model) {
    MoveWindow(bar, static_cast<int>(model.Left()), static_cast<int>(model.Top()),
               static_cast<int>(model.Width()), static_cast<int>(model.Height()), TRUE);
}

// Where a bar's request takes its value; nullopt for a request that changes
// nothing (a thumb being dragged changes the value only when let go).
std::optional<int> Requested(const ScrollBarModel& model, int request, int thumb) {
    switch (request) {
    case SB_LINEUP:
        return model.Value() - model.SmallChange();
    case SB_LINEDOWN:
        return model.Value() + model.SmallChange();
    case SB_PAGEUP:
        return model.Value() - model.LargeChange();
    case SB_PAGEDOWN:
        return model.Value() + model.LargeChange();
    case SB_THUMBPOSITION:
        return thumb;
    case SB_TOP:
        return model.Min();
    case SB_BOTTOM:
        return model.Max();
    default:
        return std::nullopt;
    }
}

} // namespace

MainWindow::MainWindow() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hCursor = nullptr;       // chosen on WM_SETCURSOR
    windowClass.hbrBackground = nullptr; // the backing bitmap covers the client area
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    // Most of the screen's height, for a portrait page.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int height = (work.bottom - work.top) * 5 / 6;
    const int width = (work.bottom - work.top) * 2 / 3;

    shortcuts_ = CreateShortcuts();
    window_ = CreateWindowExW(0, kWindowClass, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, width, height, nullptr, CreateMenuBar(),
                              instance, this);

    WindowHost host;
    host.show = [this] {
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    };
    host.setPointer = [this](MousePointer pointer) {
        pointer_ = pointer;
        POINT at{};
        GetCursorPos(&at);
        if (WindowFromPoint(at) == window_) SetCursorForClientArea();
    };
    host.printerDialog = [this] { printers_.ShowSetupDialog(window_); };
    host.openPrinter = [this] { return printers_.Open(); };
    host.unload = [this] { ShowWindow(window_, SW_HIDE); };
    host.changed = [this] { ShowState(); };
    host.chooseCommandFile = [this] { return ChooseCommandFile(window_, area_.DrawingFile()); };
    host.chooseSaveFile = [this](SavedForm form) {
        return ChooseSaveFile(window_, area_.DrawingFile(), form);
    };
    host.openPdfFile = [](const std::string& pdfFile) { return Printers::OpenPdfFile(pdfFile); };
    area_.SetHost(std::move(host));
    area_.Load();

    // Unattended, boxes go to stderr as they always have.
    const char* unattended = std::getenv(platform::kUnattendedVariable);
    if (!unattended || !*unattended) {
        previousSink_ = platform::SetMessageSink(
            [this](const platform::MessageRequest& request) { return Ask(request); });
    }
}

MainWindow::~MainWindow() {
    platform::SetMessageSink(std::move(previousSink_));
    registered_.reset();
    if (window_) DestroyWindow(window_);
    if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
}

void MainWindow::Show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    Guarded([this] { area_.Shown(); });
}

int MainWindow::RunMessageLoop() {
    for (;;) {
        const HANDLE signal = watch_.Signal();
        // Wakes for messages already queued too, not only for those new since the last look.
        const DWORD woken = MsgWaitForMultipleObjectsEx(signal ? 1 : 0, &signal, INFINITE,
                                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (signal && woken == WAIT_OBJECT_0) {
            FolderChanged();
            continue;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            if (RunKey(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool MainWindow::RunKey(MSG& message) {
    if (TranslateAcceleratorW(window_, shortcuts_, &message)) return true;
    // The keys that pan and cancel, wherever the focus is in the window.
    if (message.message != WM_KEYDOWN ||
        (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
        return false;
    }
    const std::optional<NavigationKey> key = NavigationKeyOf(message.wParam);
    if (!key) return false;
    Guarded([&] { area_.KeyDown(*key); });
    return true;
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(creation->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateScrollBars();
        status_.Create(window_);
        return 0;
    case WM_SIZE:
        Resized(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the backing bitmap paints every pixel
    case WM_PAINT:
        Paint();
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        Scrolled(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        Mouse(message, wParam, lParam);
        return 0;
    case WM_MOUSELEAVE:
        PointerLeft();
        return 0;
    case WM_MOUSEWHEEL:
        Wheel(wParam, lParam);
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == window_ && LOWORD(lParam) == HTCLIENT &&
            SetCursorForClientArea()) {
            return TRUE;
        }
        break;
    case WM_TIMER:
        Timer(wParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 || HIWORD(wParam) == 1) Command(LOWORD(wParam)); // menu, shortcut
        return 0;
    case WM_CLOSE:
        Guarded([this] { area_.Terminate(); });
        DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        registered_.reset();
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::CreateScrollBars() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    hScroll1_ = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 0, 0,
                                0, window_, nullptr, instance, nullptr);
    vScroll1_ = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 0,
                                0, window_, nullptr, instance, nullptr);
    area_.VScroll1.SetWidth(GetSystemMetrics(SM_CXVSCROLL));
    area_.HScroll1.SetHeight(GetSystemMetrics(SM_CYHSCROLL));
    ShowModel(hScroll1_, area_.HScroll1);
    ShowModel(vScroll1_, area_.VScroll1);
}

void MainWindow::Resized(int width, int clientHeight) {
    // The status bar along the bottom; the drawing and its bars above it.
    status_.Resize(width);
    const int height = std::max(0, clientHeight - status_.Height());
    // A new white backing bitmap of the new size, handed out from now on.
    registered_.reset();
    backing_ = std::make_unique<WindowBitmap>(width, height);
    registered_.emplace(area_.Handle(), *backing_);
    Guarded([&] { area_.Resize(width, height); });
    Place(hScroll1_, area_.HScroll1);
    Place(vScroll1_, area_.VScroll1);
}

void MainWindow::Paint() {
    PAINTSTRUCT paint;
    const HDC screen = BeginPaint(window_, &paint);
    if (backing_) {
        GdiFlush();
        const RECT& dirty = paint.rcPaint;
        BitBlt(screen, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
               backing_->Dc(), dirty.left, dirty.top, SRCCOPY);
    }
    EndPaint(window_, &paint);
}

void MainWindow::Scrolled(HWND bar, int request) {
    const bool horizontal = bar == hScroll1_;
    if (!horizontal && bar != vScroll1_) return;
    ScrollBarModel& model = horizontal ? area_.HScroll1 : area_.VScroll1;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(bar, SB_CTL, &info);
    const std::optional<int> value = Requested(model, request, info.nTrackPos);
    if (!value) return;
    const int clamped =
        std::clamp(*value, static_cast<int>(model.Min()), static_cast<int>(model.Max()));
    Guarded([&] { model.SetValue(static_cast<int16_t>(clamped)); });
    // The view has moved, and the bar with it (or it could not: back it goes).
    ShowModel(bar, model);
}

void MainWindow::Mouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto x = static_cast<float>(GET_X_LPARAM(lParam));
    const auto y = static_cast<float>(GET_Y_LPARAM(lParam));
    const int16_t shift = ShiftKeys(wParam);
    if (message == WM_MOUSEMOVE) {
        Guarded([&] { area_.MouseMove(ButtonsHeld(wParam), shift, x, y); });
        // Told when the pointer leaves, to clear its place.
        TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, window_, 0};
        TrackMouseEvent(&leave);
        pointerAt_ = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ShowPointerPlace();
        return;
    }
    const bool press =
        message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    // While a button is held the window keeps the mouse, beyond its edges too.
    if (press) {
        SetCapture(window_);
    } else if (ButtonsHeld(wParam) == 0) {
        ReleaseCapture();
    }
    Guarded([&] {
        const int16_t button = ButtonOf(message);
        if (press) {
            area_.MouseDown(button, shift, x, y);
            return;
        }
        // A point zoom does not show itself; the view it made is shown here.
        const bool pointZoom = button == kLeftButton && area_.PointZoomArmed();
        area_.MouseUp(button, shift, x, y);
        if (pointZoom) area_.Refresh();
    });
}

void MainWindow::Wheel(WPARAM wParam, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; // screen coordinates
    ScreenToClient(window_, &at);
    Guarded([&] {
        area_.MouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), static_cast<float>(at.x),
                         static_cast<float>(at.y));
    });
}

void MainWindow::PointerLeft() {
    pointerAt_.reset();
    ShowPointerPlace();
}

void MainWindow::Command(UINT id) {
    const MenuHandler handler = HandlerOf(id);
    if (!handler) return;
    note_.clear(); // a command is a new step: the last one's note is done
    Guarded([&] { (area_.*handler)(); });
    ShowState();
}

void MainWindow::ShowState() {
    const std::string& file = area_.DrawingFile();
    const std::wstring title = file.empty() ? kCaption : FileNameOf(file) + L" - " + kCaption;
    SetWindowTextW(window_, title.c_str());
    status_.ShowMessage(area_.Prompt(), note_.empty() ? area_.DrawingNotice() : note_);
    status_.ShowIncomplete(area_.IncompleteMark());
    ShowPointerPlace(); // the view may have moved under the pointer
    ShowModel(hScroll1_, area_.HScroll1);
    ShowModel(vScroll1_, area_.VScroll1);
    if (!file.empty()) watch_.WatchFolderOf(file);
}

void MainWindow::ShowPointerPlace() {
    // Only the drawing area shows the drawing: not the bars, not their corner.
    const bool onDrawing = pointerAt_ && pointerAt_->x >= 0 && pointerAt_->y >= 0 &&
                           pointerAt_->x < area_.VScroll1.Left() &&
                           pointerAt_->y < area_.HScroll1.Top();
    status_.ShowPosition(onDrawing ? area_.WorldAt(pointerAt_->x, pointerAt_->y) : std::nullopt);
}

void MainWindow::FolderChanged() {
    watch_.Rearm();
    // A burst of writes is read once, when it is over: each change starts the wait again.
    SetTimer(window_, kReloadTimer, kReloadDelayMs, nullptr);
}

void MainWindow::Timer(UINT_PTR id) {
    KillTimer(window_, id);
    if (id == kReloadTimer) {
        ReloadChangedDrawing();
    } else if (id == kNoteTimer) {
        note_.clear();
        ShowState();
    }
}

void MainWindow::ReloadChangedDrawing() {
    // Not under a box or dialog (the reload's own error box among them): later.
    if (!IsWindowEnabled(window_)) {
        SetTimer(window_, kReloadTimer, kReloadDelayMs, nullptr);
        return;
    }
    bool reloaded = false;
    Guarded([this, &reloaded] { reloaded = area_.ReloadIfChanged(); });
    if (!reloaded) return;
    const std::wstring name = FileNameOf(area_.DrawingFile());
    note_ = area_.ReloadNote(platform::Narrow(name).value_or("the drawing"), TimeOfDay());
    SetTimer(window_, kNoteTimer, kReloadNoteMs, nullptr);
    ShowState();
}

platform::MessageAnswer MainWindow::Ask(const platform::MessageRequest& request) {
    // The system's box, with what more there is to say below the text.
    platform::MessageRequest box = request;
    if (!request.detail.empty()) box.text += "\n\n" + request.detail;
    return platform::ShowSystemMessageBox(box);
}

bool MainWindow::SetCursorForClientArea() {
    SetCursor(LoadCursorW(nullptr, pointer_ == MousePointer::SizeAll
                                       ? reinterpret_cast<LPCWSTR>(IDC_SIZEALL)
                                       : reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    return true;
}

} // namespace view::win32
