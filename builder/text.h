// Text state and text entities: alignment, height, angle and the style that
// carries the font; texts and numbers placed at the pen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace builder {

struct TextState {
    int32_t TextAlign = 0; // 0 left, 1 centre, 2 right
    double TextHeight = 0; // drawing units
    double TextAngle = 0;  // whole degrees, counter-clockwise
    std::string TextStyleName;
};

TextState& Text();

inline constexpr const char* kUserFontStyle = "USERFONT";

void AlignTextLeft();
void AlignTextCentre();
void AlignTextRight();
void SetTextSize(float points); // TextHeight = points / 72
void SetTextAngle(int16_t angle);
// Redefines the style "USERFONT" with `fontName` as its TrueType font.
void SetTextFont(std::string& fontName);

// Draws `text` at the pen as one line, or two when it holds the marker "\N";
// `text` is then cut to the part before the marker.
void DrawText(std::string& text);
// Draws `value` as a whole number, or in the "#.##" pattern.
void DrawNumber(float value);
// The text DrawNumber draws for `value`.
std::string FormatNumber(float value);

} // namespace builder
