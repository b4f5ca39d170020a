#include "platform/numbers.h"

#include "platform/runtime_error.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace platform {

namespace {

bool IsSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The smallest magnitude that rounds to infinity in single precision: halfway
// between FLT_MAX and 2^128 (a tie goes to the even neighbour, which is infinity).
constexpr double kSingleOverflow = 3.4028235677973366e38;

} // namespace

double LeadingNumber(std::string_view text) {
    // Gather the characters of the number without the skipped ones, so the
    // standard parser sees a plain "-123.45e+6".
    // Reused between calls: reading a number allocates nothing once it has grown.
    static thread_local std::string number;
    number.clear();
    size_t i = 0;
    const size_t n = text.size();
    auto skip = [&] {
        while (i < n && IsSkipped(text[i]))
            ++i;
    };
    skip();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
        skip();
    }
    // Leading zeros carry no value; dropping them keeps huge zero runs cheap.
    long long integerDigits = 0;        // significant digits before the point
    long long leadingFractionZeros = 0; // zeros right after the point, before any other digit
    bool anyDigit = false;
    bool seenPoint = false;
    while (i < n) {
        char c = text[i];
        if (IsDigit(c)) {
            anyDigit = true;
            if (!seenPoint) {
                if (c != '0' || !number.empty()) {
                    number.push_back(c);
                    ++integerDigits;
                }
            } else {
                if (number.empty() && c == '0') {
                    ++leadingFractionZeros;
                } else {
                    number.push_back(c);
                }
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (!IsSkipped(c)) {
            break;
        }
        ++i;
    }
    if (!anyDigit || number.empty()) return 0.0; // no digits, or only zeros

    // Optional exponent; an "E" without digits ends the number before it.
    long long exponent = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        size_t j = i + 1;
        while (j < n && IsSkipped(text[j]))
            ++j;
        bool expNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        bool expDigits = false;
        while (j < n && (IsDigit(text[j]) || IsSkipped(text[j]))) {
            if (IsDigit(text[j])) {
                expDigits = true;
                if (exponent < 1000000000LL) exponent = exponent * 10 + (text[j] - '0');
            }
            ++j;
        }
        if (expDigits && expNegative) exponent = -exponent;
        if (!expDigits) exponent = 0;
    }

    // Decimal exponent of the leading significant digit decides overflow and
    // underflow before the parser is asked (it reports both as out of range).
    const long long fractionDigits = static_cast<long long>(number.size()) - integerDigits;
    const long long scale = exponent - fractionDigits - leadingFractionZeros;
    const long long magnitude =
        scale + static_cast<long long>(number.size()); // value < 10^magnitude
    if (magnitude > 310) Raise(kOverflow);
    if (magnitude < -330) return 0.0;

    number += 'e';
    number += std::to_string(scale);
    double value = 0.0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (magnitude > 0) Raise(kOverflow);
        value = 0.0; // underflow
    }
    if (!std::isfinite(value)) Raise(kOverflow);
    return negative ? -value : value;
}

bool StopsAtDecimalComma(std::string_view text) {
    // The characters LeadingNumber reads before an exponent: blanks anywhere,
    // one sign before the digits, one point.
    bool digitLast = false, anyDigit = false, seenPoint = false, seenSign = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            digitLast = anyDigit = true;
        } else if ((c == '+' || c == '-') && !anyDigit && !seenPoint && !seenSign) {
            seenSign = true;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            digitLast = false;
        } else if (!IsSkipped(c)) {
            return c == ',' && digitLast && i + 1 < text.size() && IsDigit(text[i + 1]);
        }
    }
    return false;
}

float ToSingle(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= kSingleOverflow) Raise(kOverflow);
    return static_cast<float>(value);
}

namespace {

template <typename Int>
Int RoundToInteger(double value) {
    if (!std::isfinite(value)) Raise(kOverflow);
    const double rounded = std::nearbyint(value); // default rounding: halves to even
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        Raise(kOverflow);
    }
    return static_cast<Int>(rounded);
}

} // namespace

int16_t ToInt16(double value) {
    return RoundToInteger<int16_t>(value);
}
int32_t ToInt32(double value) {
    return RoundToInteger<int32_t>(value);
}

double Divide(double a, double b) {
    if (b == 0.0) Raise(a == 0.0 ? kOverflow : kDivisionByZero);
    return CheckedResult(a / b);
}

double CheckedResult(double value) {
    if (!std::isfinite(value)) Raise(kOverflow);
    return value;
}

} // namespace platform
