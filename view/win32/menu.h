// The menu bar of the Windows screen view: captions with their access
// letters, separators and Ctrl shortcuts, and the handler each item runs.
#pragma once

#include "view/draw_area.h"

#include <windows.h>

#include <span>

namespace view::win32 {

using MenuHandler = void (DrawArea::*)();

// A key that runs a command from anywhere in the window.
struct Shortcut {
    BYTE modifiers = 0;            // FCONTROL, FSHIFT, FALT
    WORD key = 0;                  // a virtual-key code; 0 for no shortcut
    const wchar_t* text = nullptr; // as the menu shows it
};

// A command, or a separator when it has no caption.
struct MenuItem {
    const wchar_t* caption = nullptr; // '&' before the access letter
    MenuHandler handler = nullptr;
    Shortcut shortcut;
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
