// How the library's pen widths and palette colours are expressed in DXF.
#pragma once

#include "cadlib/records.h"

#include <array>
#include <cstdint>

namespace cadlib {

// The standard lineweight (group 370, hundredths of a millimetre) nearest to
// a pen width in hundredths of an inch; 0 and negative widths give 0.
int NearestLineweight(int32_t penWidth);

// The ACI index (1 to 255, never 7, whose colour depends on the background)
// that looks most like an RGB colour (levels 0 to 255).
int NearestAci(int red, int green, int blue);

// Exact white and black as true colours (420) that every viewer keeps:
// viewers that give the background's contrast colour to ACI 7 keep it in the
// same field as a true colour, and turn exact white (0xFFFFFF) and black (0)
// into black and white to stand out on a white or a black background, so a
// white fill would show black. One level off is the same colour to the eye
// and to every other reader.
inline constexpr int32_t kWhiteKept = 0xFEFEFE;
inline constexpr int32_t kBlackKept = 0x010101;
int32_t KeptTrueColour(int32_t rgb);

// Colour groups of an entity: 62 always, 420 (0xRRGGBB) when the palette
// entry is not the ACI colour of its index.
struct DxfColour {
    int aci = 7;
    int32_t trueColour = -1; // -1: no true colour
};

// The DXF colour of every palette index of one screen.
class DxfColours {
  public:
    explicit DxfColours(const std::array<KqColour, kPaletteSize>& palette);
    // Colour 0 (the ink), no colour and numbers outside the palette are the
    // ink: ACI 7, black on a white page and white on a black screen.
    DxfColour Of(int32_t colour) const {
        return colour > 0 && colour < kPaletteSize ? table_[colour] : DxfColour{};
    }

  private:
    std::array<DxfColour, kPaletteSize> table_;
};

} // namespace cadlib
