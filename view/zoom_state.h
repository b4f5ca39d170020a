// The zoom state the window's mouse handlers and zoom commands share.
#pragma once

#include "cadlib/records.h"

#include <cstdint>

namespace view {

struct PixelPoint {
    int32_t x = 0, y = 0;
};

struct ZoomState {
    int16_t ZoomWindowMode = 0;
    int16_t BandShown = 0;
    PixelPoint BandStart, BandEnd;
    int32_t MouseX = 0, MouseY = 0;
    int16_t ZoomInPending = 0, ZoomOutPending = 0, ZoomLimitsPending = 0;
    KqRect2 CurrentView, PreviousView;
};

ZoomState& Zoom();

} // namespace view
