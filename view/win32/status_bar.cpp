#include "view/win32/status_bar.h"

#include "platform/printable_text.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace view::win32 {

namespace {

enum Part { kMessagePart, kIncompletePart, kPositionPart, kPartCount };

// Pixels of the place part ("X 12.345 in   Y 67.890 in" and the size grip)
// and of the incomplete mark at least.
constexpr int kPositionWidth = 210;
constexpr int kSmallestIncompleteWidth = 200;

} // namespace

void StatusBar::Create(HWND parent) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                           0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

int StatusBar::Height() const {
    RECT bounds{};
    if (bar_) GetWindowRect(bar_, &bounds);
    return bounds.bottom - bounds.top;
}

void StatusBar::Resize(int width) {
    width_ = width;
    SendMessageW(bar_, WM_SIZE, 0, 0); // the control docks itself to the bottom edge
    LayOutParts();
}

void StatusBar::LayOutParts() {
    // The message takes what is left; the incomplete mark two fifths of the
    // width while there is one, else nothing.
    const int position = std::max(0, width_ - kPositionWidth);
    const int incomplete = incomplete_ ? std::max(kSmallestIncompleteWidth, width_ * 2 / 5) : 0;
    const std::array<int, kPartCount> rightEdges = {std::max(0, position - incomplete), position,
                                                    -1};
    SendMessageW(bar_, SB_SETPARTS, kPartCount, reinterpret_cast<LPARAM>(rightEdges.data()));
}

void StatusBar::SetPartText(int part, const std::string& text) {
    const std::wstring wide = platform::Widen(platform::PrintableText(text));
    SendMessageW(bar_, SB_SETTEXTW, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(wide.c_str()));
}

void StatusBar::ShowMessage(const std::string& prompt, const std::string& note) {
    SetPartText(kMessagePart, prompt.empty() ? note : prompt);
}

void StatusBar::ShowIncomplete(const std::string& mark) {
    if (incomplete_ != !mark.empty()) {
        incomplete_ = !mark.empty();
        LayOutParts();
    }
    SetPartText(kIncompletePart, mark);
}

void StatusBar::ShowPosition(std::optional<KqPoint2> inches) {
    std::array<char, 64> text{};
    if (inches) {
        std::snprintf(text.data(), text.size(), "X %.3f in   Y %.3f in", inches->x, inches->y);
    }
    SetPartText(kPositionPart, text.data());
}

} // namespace view::win32
