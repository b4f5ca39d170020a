// The drawing window ("Screen View"): its state and handlers, written against
// the platform's window and device-context services only. The batch run
// creates it hidden so the library's display can be bound to its handle.
#pragma once

#include "platform/window_handles.h"
#include "view/scroll_bar.h"

#include <cstdint>

namespace view {

class DrawArea {
  public:
    // Creates the window object, registers its handle and runs the initialisation.
    DrawArea();

    platform::WindowHandle Handle() const { return handle_; }

    ScrollBarModel HScroll1;
    ScrollBarModel VScroll1;

    // Change of a scroll bar: pans by the bar's distance from its centre, then
    // puts the bar back to the centre.
    void HScroll1Change();
    void VScroll1Change();

  private:
    void Initialise();
    void ScrollChange(ScrollBarModel& bar, bool horizontal);

    platform::WindowHandle handle_;
    int16_t ScrollResetting = 0;
};

} // namespace view
