// The status bar of the Windows screen view: the system's status bar control
// (comctl32, part of every Windows) along the window's bottom edge, in three
// parts: what the window asks of its user or a passing note, the mark of an
// incomplete drawing, and the pointer's place on the drawing.
#pragma once

#include "cadlib/records.h"

// With <windows.h>, after the platform's names that its macros would take.
#include "platform/gdi_surface_windows.h"

#include <optional>
#include <string>

namespace view::win32 {

class StatusBar {
  public:
    // Creates the control as a child of `parent`.
    void Create(HWND parent);
    // Its height, which the client area gives up to it.
    int Height() const;
    // The parent's client area is now `width` pixels wide.
    void Resize(int width);

    // The prompt wins over the note; both empty: the part is blank.
    void ShowMessage(const std::string& prompt, const std::string& note);
    // The mark of a drawing that stopped at an error; empty: the part is hidden.
    void ShowIncomplete(const std::string& mark);
    // The drawing point under the pointer, in inches; nullopt: blank.
    void ShowPosition(std::optional<KqPoint2> inches);

  private:
    void LayOutParts();
    void SetPartText(int part, const std::string& text);

    HWND bar_ = nullptr;
    int width_ = 0;
    bool incomplete_ = false;
};

} // namespace view::win32
