// The window's backing bitmap: a DIB section whose pixels move for a pan, so
// that a pan draws only the strips it uncovers, as the Qt shell's image does.
#pragma once

#include "platform/gdi_surface_windows.h"

namespace view::win32 {

class WindowBitmap : public platform::DibSurface {
  public:
    using DibSurface::DibSurface;

    bool Scroll(const platform::DeviceRect& area, int dx, int dy) override;
};

} // namespace view::win32
