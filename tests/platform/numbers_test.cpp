#include "platform/numbers.h"
#include "platform/runtime_error.h"
#include "support/error_number.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

using platform::LeadingNumber;

using testsupport::ErrorNumberOf;

TEST(LeadingNumber, ReadsTheNumberAtTheFront) {
    EXPECT_EQ(LeadingNumber("600"), 600.0);
    EXPECT_EQ(LeadingNumber("-12.5"), -12.5);
    EXPECT_EQ(LeadingNumber("+3"), 3.0);
    EXPECT_EQ(LeadingNumber("2.5E1"), 25.0);
    EXPECT_EQ(LeadingNumber("2.5e-1"), 0.25);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("0.1"), 0.1); // correctly rounded, not accumulated
    EXPECT_EQ(LeadingNumber("123456789012345678901234567890"), 1.2345678901234568e29);
}

TEST(LeadingNumber, StopsAtTheFirstCharacterThatDoesNotFit) {
    EXPECT_EQ(LeadingNumber("1,5"), 1.0);
    EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(LeadingNumber("7abc"), 7.0);
    EXPECT_EQ(LeadingNumber("1e"), 1.0);
    EXPECT_EQ(LeadingNumber("1e+"), 1.0);
    EXPECT_EQ(LeadingNumber("5E2x"), 500.0);
    EXPECT_EQ(LeadingNumber("+-5"), 0.0);
}

TEST(LeadingNumber, SkipsBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(LeadingNumber(" 1 2"), 12.0);
    EXPECT_EQ(LeadingNumber("\t-\n4 .\t5"), -4.5);
    EXPECT_EQ(LeadingNumber("1 e 2"), 100.0);
    // A carriage return is not skipped: it ends the number.
    EXPECT_EQ(LeadingNumber("1\r2"), 1.0);
}

TEST(LeadingNumber, TextWithoutANumberReadsAsZero) {
    EXPECT_EQ(LeadingNumber(""), 0.0);
    EXPECT_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_EQ(LeadingNumber("-"), 0.0);
    EXPECT_EQ(LeadingNumber("."), 0.0);
    EXPECT_EQ(LeadingNumber("0000"), 0.0);
}

TEST(LeadingNumber, BeyondTheDoubleRangeIsAnOverflow) {
    EXPECT_EQ(ErrorNumberOf([] { LeadingNumber("1e309"); }), platform::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { LeadingNumber("-" + std::string(400, '9')); }), platform::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { LeadingNumber("1e99999999999999999999"); }), platform::kOverflow);
    EXPECT_EQ(LeadingNumber("1.7976931348623157e308"), DBL_MAX);
    // Underflow is no error: the number is just very small.
    EXPECT_EQ(LeadingNumber("1e-400"), 0.0);
    EXPECT_EQ(LeadingNumber("0." + std::string(500, '0') + "1"), 0.0);
}

TEST(ToSingle, RoundsToNearestAndRaisesOverflowBeyondTheRange) {
    EXPECT_EQ(platform::ToSingle(0.1), 0.1f);
    EXPECT_EQ(platform::ToSingle(FLT_MAX), FLT_MAX);
    EXPECT_EQ(platform::ToSingle(-1e-50), -0.0f);
    EXPECT_EQ(ErrorNumberOf([] { platform::ToSingle(3.5e38); }), platform::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { platform::ToSingle(-1e39); }), platform::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { platform::ToSingle(NAN); }), platform::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { platform::ToSingle(INFINITY); }), platform::kOverflow);
}

TEST(IntegerConversions, RoundHalvesToEven) {
    EXPECT_EQ(platform::ToInt16(2.5), 2);
    EXPECT_EQ(platform::ToInt16(3.5), 4);
    EXPECT_EQ(platform::ToInt16(-2.5), -2);
    EXPECT_EQ(platform::ToInt16(1.4999), 1);
    EXPECT_EQ(platform::ToInt32(0.5), 0);
    EXPECT_EQ(platform::ToInt32(1.5), 2);
}

TEST(IntegerConversions, RaiseOverflowOutsideTheirRange) {
    EXPECT_EQ(platform::ToInt16(32767.4), 32767);
    EXPECT_EQ(platform::ToInt16(-32768.5), -32768); // halves to even: still in range
    EXPECT_EQ(ErrorNumberOf([] { platform::ToInt16(32767.5); }), platform::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { platform::ToInt16(40000); }), platform::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { platform::ToInt16(-32769); }), platform::kOverflow);
    EXPECT_EQ(platform::ToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(ErrorNumberOf([] { platform::ToInt32(2147483648.0); }), platform::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { platform::ToInt32(NAN); }), platform::kOverflow);
}

TEST(Divide, NeverMakesInfinityOrNaN) {
    EXPECT_EQ(platform::Divide(600, 600), 1.0);
    EXPECT_EQ(ErrorNumberOf([] { platform::Divide(5, 0); }), platform::kDivisionByZero);
    EXPECT_EQ(ErrorNumberOf([] { platform::Divide(0, 0); }), platform::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { platform::Divide(1e300, 1e-300); }), platform::kOverflow);
}
