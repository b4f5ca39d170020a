#include "view/win32/menu.h"

#include <array>
#include <string>
#include <vector>

namespace view::win32 {

namespace {

// File and Zoom as the window has always had them, below Open and Reload,
// then the point zooms. Commands the window gains go into these tables.
constexpr std::array kFileItems = {
    MenuItem{L"&Open...", &DrawArea::mnuOpenClick, {FCONTROL, 'O', L"Ctrl+O"}},
    MenuItem{L"&Reload", &DrawArea::mnuReloadClick, {0, VK_F5, L"F5"}},
    MenuItem{},
    MenuItem{L"Export to &DXF", &DrawArea::mnuDXF12Click, {}},
    MenuItem{L"Export &As...", &DrawArea::mnuExportAsClick, {}},
    MenuItem{},
    MenuItem{L"Print &Setup", &DrawArea::mnuPrintSetupClick, {}},
    MenuItem{L"&Print", &DrawArea::mnuPrintClick, {}},
    MenuItem{L"Print &to PDF...", &DrawArea::mnuPrintToPdfClick, {}},
    MenuItem{},
    MenuItem{L"&Exit Screen View", &DrawArea::mnuExitClick, {}},
};

constexpr std::array kZoomItems = {
    MenuItem{L"Zoom &Window", &DrawArea::mnuZoomWindowClick, {FCONTROL, 'W', L"Ctrl+W"}},
    MenuItem{L"Zoom &Last", &DrawArea::mnuZoomLastClick, {FCONTROL, 'L', L"Ctrl+L"}},
    MenuItem{L"Zoom &Page", &DrawArea::mnuZoomPageClick, {FCONTROL, 'P', L"Ctrl+P"}},
    MenuItem{},
    MenuItem{L"Zoom &In", &DrawArea::mnuZoomInClick, {}},
    MenuItem{L"Zoom &Out", &DrawArea::mnuZoomOutClick, {}},
    MenuItem{L"Zoom Li&mits", &DrawArea::mnuZoomLimitsClick, {}},
};

constexpr std::array kMenuBar = {
    Menu{L"&File", kFileItems},
    Menu{L"&Zoom", kZoomItems},
};

// Every command in order, separators left out: its index is its id's offset.
std::vector<const MenuItem*> Commands() {
    std::vector<const MenuItem*> commands;
    for (const Menu& menu : kMenuBar) {
        for (const MenuItem& item : menu.items) {
            if (item.caption) commands.push_back(&item);
        }
    }
    return commands;
}

} // namespace

HMENU CreateMenuBar() {
    HMENU bar = CreateMenu();
    UINT id = kFirstCommandId;
    for (const Menu& menu : kMenuBar) {
        HMENU popup = CreatePopupMenu();
        for (const MenuItem& item : menu.items) {
            if (!item.caption) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            // The shortcut is shown after a TAB, right-aligned by the system.
            std::wstring text = item.caption;
            if (item.shortcut.key) text += std::wstring(L"\t") + item.shortcut.text;
            AppendMenuW(popup, MF_STRING, id++, text.c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), menu.caption);
    }
    return bar;
}

HACCEL CreateShortcuts() {
    std::vector<ACCEL> shortcuts;
    const std::vector<const MenuItem*> commands = Commands();
    for (size_t i = 0; i < commands.size(); ++i) {
        const Shortcut& shortcut = commands[i]->shortcut;
        if (!shortcut.key) continue;
        shortcuts.push_back(ACCEL{static_cast<BYTE>(shortcut.modifiers | FVIRTKEY), shortcut.key,
                                  static_cast<WORD>(kFirstCommandId + i)});
    }
    return CreateAcceleratorTableW(shortcuts.data(), static_cast<int>(shortcuts.size()));
}

MenuHandler HandlerOf(UINT commandId) {
    const std::vector<const MenuItem*> commands = Commands();
    if (commandId < kFirstCommandId || commandId - kFirstCommandId >= commands.size()) {
        return nullptr;
    }
    return commands[commandId - kFirstCommandId]->handler;
}

} // namespace view::win32
