// Text and number entities at the pen.
#include "builder/text.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "interpreter/placement.h"
#include "platform/text_encoding.h"
#include "platform/warnings.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace builder {

namespace {

using interpreter::Placement;
using interpreter::StoreSingle;

// Backslash and capital N: the line break of the command language.
constexpr std::string_view kLineBreak = "\\N";
// A text is middle-aligned on a point this many heights from the pen, so it
// hangs below the pen (or, rotated, beside it).
constexpr double kInsertionOffset = 0.55;
// The library reads a style name from a fixed field of this many characters.
constexpr size_t kStyleNameField = 32;
// Whole numbers from here on are written in exponent form, not as a row of digits.
constexpr double kLargestPlainWhole = 1e15;

// Moves the pen `distance` down the page, or right when texts are rotated;
// a negative distance undoes the move up to single-precision rounding.
void ShiftPen(double distance) {
    interpreter::PlacementState& p = Placement();
    if (Text().TextAngle != 0) {
        p.PenX = StoreSingle(p.PenX + distance);
    } else {
        p.PenY = StoreSingle(p.PenY - distance);
    }
}

void MakeTextEntity(const std::string& line) {
    // The library takes the text up to its first NUL; the DXF's limit comes after.
    const size_t length = platform::CharacterCount(line.c_str());
    const size_t kept = static_cast<size_t>(kq_text_length_kept(line.c_str()));
    // The drawing keeps the text's start.
    if (kept < length) platform::TellWarning(platform::TextTooLong(length, length - kept));
    const TextState& t = Text();
    const interpreter::PlacementState& p = Placement();
    const double offset = t.TextHeight * kInsertionOffset;
    KqPoint3 first;
    KqPoint3 second;
    ShiftPen(offset);
    kq_set_pnt_3d(p.PenX, p.PenY, 0.0, first);
    kq_set_pnt_3d(p.PenX, p.PenY, 0.0, second);
    ShiftPen(-offset);

    const int32_t entity =
        kq_construct_text(Session().DataAreaHandle, first, line.c_str(), t.TextHeight, 1.0, 0.0,
                          t.TextAngle, t.TextAlign, 2, 0, second);
    if (!AppendEntity(entity)) return;
    // The name ends at its zero; the blanks fill the rest of the field.
    std::string styleName = t.TextStyleName + '\0';
    styleName.resize(kStyleNameField, ' ');
    kq_set_text_name(kq_get_entity_data(entity), styleName.c_str());
}

std::string ShortestForm(float value) {
    std::array<char, 32> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

// |value| in hundredths, rounded half away from zero on its 15-significant-digit
// decimal form: the digits a reader sees decide, not the binary value (0.125
// gives 13). `magnitude` is positive and below 2^23, where floats stop having
// fractions.
long long RoundedHundredths(double magnitude) {
    std::array<char, 32> buffer;
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                       std::chars_format::scientific, 14);
    // "d.dddddddddddddde+XX": the digits as one integer and the first digit's exponent.
    long long digits = 0;
    const char* c = buffer.data();
    for (; *c != 'e'; ++c) {
        if (*c != '.') digits = digits * 10 + (*c - '0');
    }
    ++c;
    if (*c == '+') ++c;
    int exponent = 0;
    std::from_chars(c, written.ptr, exponent);

    const int dropped = 12 - exponent; // digits below the hundredths
    if (dropped > 15) return 0;        // all 15 digits lie below half a hundredth
    long long unit = 1;
    for (int i = 0; i < dropped; ++i)
        unit *= 10;
    return (digits + unit / 2) / unit;
}

// The "#.##" pattern: no leading zero, the point always, no trailing zeros.
std::string TwoDecimals(float value) {
    const long long hundredths = RoundedHundredths(std::fabs(double(value)));
    std::string text;
    if (value < 0 && hundredths != 0) text += '-';
    if (hundredths >= 100) text += std::to_string(hundredths / 100);
    text += '.';
    const int fraction = static_cast<int>(hundredths % 100);
    if (fraction != 0) {
        text += char('0' + fraction / 10);
        if (fraction % 10 != 0) text += char('0' + fraction % 10);
    }
    return text;
}

} // namespace

void DrawText(std::string& text) {
    std::string secondLine;
    const size_t marker = text.find(kLineBreak);
    if (marker != std::string::npos) {
        secondLine = text.substr(marker + kLineBreak.size());
        text.resize(marker);
    }
    MakeTextEntity(text);
    if (secondLine.empty()) return;
    const double lineHeight = Text().TextHeight;
    ShiftPen(lineHeight);
    MakeTextEntity(secondLine);
    ShiftPen(-lineHeight);
}

void DrawNumber(float value) {
    std::string text = FormatNumber(value);
    DrawText(text);
}

std::string FormatNumber(float value) {
    if (value != std::floor(value)) return TwoDecimals(value);
    if (std::fabs(value) >= kLargestPlainWhole) return ShortestForm(value);
    return std::to_string(static_cast<long long>(value)); // -0 reads 0
}

} // namespace builder
