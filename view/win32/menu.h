// The menu bar of the Windows screen view: captions with their access
// letters, separators and Ctrl shortcuts, and the handler each item runs.
#pragma once

#include "view/draw_area.h"

#include <windows.h>

#include <span>

namespace view::win32 {

using MenuHandler = void (DrawArea::*)();

// A command, or a separator when it has no caption.
struct MenuItem {
    const wchar_t* caption = nullptr; // '&' before the access letter
    MenuHandler handler = nullptr;
    wchar_t shortcutKey = 0; // with Ctrl; 0 for none
};

struct Menu {
    const wchar_t* caption;
    std::span<const MenuItem> items;
};

// The bar as a Win32 menu, each command's id its place among all commands
// (from kFirstCommandId), and the table of its shortcuts.
inline constexpr UINT kFirstCommandId = 100;
HMENU CreateMenuBar();
HACCEL CreateShortcuts();

// The handler of a command id; nullptr for an id of no command.
MenuHandler HandlerOf(UINT commandId);

} // namespace view::win32
