// Number rules of the command language: reading a number from text and the
// checked conversions to single precision and to 16/32-bit integers. No rule
// lets an infinity or a NaN through: each raises a numbered run-time error.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// Reads the number at the front of `text`: blanks, TABs and line feeds are
// skipped wherever they stand; then an optional sign, digits with an optional
// point, an optional exponent (E or e, sign, digits). Stops at the first
// character that does not fit; no number reads as 0. The point is always '.',
// whatever the locale. A number beyond the double range raises error 6.
double LeadingNumber(std::string_view text);

// True when LeadingNumber stops reading `text` at a comma between digits,
// as in "0,25" or "600,5": a decimal comma, which the number rules do not
// know (the number ends before it).
bool StopsAtDecimalComma(std::string_view text);

// Rounds to the nearest single-precision value; beyond the single range (or
// not finite) raises error 6.
float ToSingle(double value);

// Round to nearest, halves to even; outside the type's range raises error 6.
int16_t ToInt16(double value);
int32_t ToInt32(double value);

// a / b without infinities: b == 0 raises error 11 (error 6 when a is 0 too,
// the invalid 0/0); a finite quotient that overflows raises error 6.
double Divide(double a, double b);

// Raises error 6 when `value` is not finite; returns it otherwise.
double CheckedResult(double value);

} // namespace platform
