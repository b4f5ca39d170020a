// Settings of the default printer, written by the drawing session set-up and
// read by the print path: orientation, page extents and the paper setting.
#pragma once

#include <cstdint>

namespace platform {

struct PrinterSettings {
    int16_t orientation = 1;    // 1 portrait, 2 landscape
    float pageHeight = 1100.0f; // vertical page extent, hundredths of an inch
    float pageWidth = 850.0f;   // horizontal page extent, hundredths of an inch
    int16_t paperSetting = 0;   // the integer setting the set-up gives 5
};

PrinterSettings& DefaultPrinter();

} // namespace platform
