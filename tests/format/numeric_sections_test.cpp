// Numeric sections: digit placeholders, rounding, grouping, scaling, percent, the scientific form,
// literals and the sign, for Double, Single, Currency, Integer and Long values.
#include <cmath>
#include <string>

#include "format_fixture.h"

namespace brtl_test {
namespace {

using NumericSectionsTest = FormatTest;

TEST_F(NumericSectionsTest, PlaceholdersGroupingAndScaling) {
    EXPECT_EQ(format(1234567.891, "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(format(1234567.891, "0.00"), "1234567.89");
    EXPECT_EQ(format(1234567.891, "#,##0,"), "1,235"); // one scaling comma
    EXPECT_EQ(format(1234567.891, "#,,"), "1");
    EXPECT_EQ(format(1234567.0, "0,000"), "1,234,567"); // grouping is a flag, not a position
    EXPECT_EQ(format(5.0, "0,000"), "0,005");           // zeros of "0" placeholders are grouped too
    EXPECT_EQ(format(0.0, "#,##0"), "0");
    EXPECT_EQ(format(123.0, "#"), "123");
    EXPECT_EQ(format(0.0, "#"), "");
    EXPECT_EQ(format(0.0, "#.##"), ".");
    EXPECT_EQ(format(1234567890123.0, "#,##0"), "1,234,567,890,123");
    EXPECT_TRUE(traps().empty());
}

TEST_F(NumericSectionsTest, FractionsAndRounding) {
    EXPECT_EQ(format(0.5, "#.##"), ".5");
    EXPECT_EQ(format(0.5, "0.00"), "0.50");
    EXPECT_EQ(format(0.5, "0%"), "50%");
    EXPECT_EQ(format(0.125, "0.00%"), "12.50%");
    EXPECT_EQ(format(2.5, "0"), "3");
    EXPECT_EQ(format(-2.5, "0"), "-3");
    EXPECT_EQ(format(1.005, "0.00"), "1.01"); // the fraction of the number as 15 digits show it
    EXPECT_EQ(format(2.675, "0.00"), "2.68");
    EXPECT_EQ(format(0.995, "0.00"), "1.00"); // rounding carries into the integer part
    EXPECT_EQ(format(9.9999, "#,##0.00"), "10.00");
    EXPECT_EQ(format(999999.996, "#,##0.00"), "1,000,000.00");
    EXPECT_EQ(format(1.25, "0.0###"), "1.25");
    EXPECT_EQ(format(1.0, "0.0###"), "1.0");
    EXPECT_EQ(format(0.001, "0.00"), "0.00");
    EXPECT_EQ(format(123.456, "0.00000000000000000000"), "123.45600000000000000000");
    EXPECT_TRUE(traps().empty());
}

TEST_F(NumericSectionsTest, TheSign) {
    EXPECT_EQ(format(-12.0, "0000"), "-0012");
    EXPECT_EQ(format(-1234.0, "#,##0"), "-1,234");
    EXPECT_EQ(format(-1234567.0, "#,##0.00"), "-1,234,567.00");
    EXPECT_EQ(format(-5.0, "0;(0)"), "(5)"); // the negative section shows its own sign
    EXPECT_EQ(format(-5.0, "\\x0"), "x-5");  // the sign stands right before the digits
    EXPECT_EQ(format(-0.4, "0.0"), "-0.4");
    EXPECT_EQ(format(-0.04, "0.0"), "0.0"); // rounds to zero: no sign
    EXPECT_EQ(format(-0.4, "0"), "0");
    EXPECT_EQ(format(-5.5, ".00"), ".50"); // no integer placeholder: no integer digits, no sign
    EXPECT_EQ(format(5.5, ".00"), ".50");
}

TEST_F(NumericSectionsTest, HugeAndTinyDoubles) {
    EXPECT_EQ(format(1e20, "0"), "100000000000000000000");
    EXPECT_EQ(format(1.5e300, "0"), "15" + std::string(299, '0'));
    EXPECT_EQ(format(1.7976931348623157e308, "0"),
              "179769313486232" + std::string(294, '0')); // 15 significant digits, then zeros
    EXPECT_EQ(format(123456789012345678.0, "#,##0"), "123,456,789,012,346,000");
    EXPECT_EQ(format(5e-324, "0.00"), "0.00");
    EXPECT_EQ(format(-5e-324, "0.00"), "0.00");
    EXPECT_EQ(format(1e-5, "0.00000"), "0.00001");
    EXPECT_EQ(format(1.2345678901234567, "0.000000000000000000"), "1.234567890123460000");
}

TEST_F(NumericSectionsTest, ScientificForm) {
    EXPECT_EQ(format(12345.0, "0.00E+00"), "1.23E+04");
    EXPECT_EQ(format(12345.0, "0.00E-00"), "1.23E04");
    EXPECT_EQ(format(0.00001234, "0.00E+00"), "0.00E-01"); // below 1 the mantissa is not normalised
    EXPECT_EQ(format(0.5, "0.00E+00"), "5.00E-01");
    EXPECT_EQ(format(0.05, "0.00E+00"), "0.50E-01");
    EXPECT_EQ(format(0.0, "0.00E+00"), "0.00E-01");
    EXPECT_EQ(format(1.5e20, "0.00E+00"), "1.50E+20");
    EXPECT_EQ(format(1e10, "0.00E+00"), "1.00E+10");
    EXPECT_EQ(format(12345678901.0, "0.00E+00"), "1.23E+10");
    EXPECT_EQ(format(-12345.0, "0.00E+00"), "-1.23E+04");
    EXPECT_EQ(format(12345.0, "##0.0E+0"), "123.5E+2");
    EXPECT_EQ(format(12345.0, "0E+0"), "1E+4");
    EXPECT_EQ(format(1.5e300, "0.0E+0"), "1.5E+300"); // digits beyond the placeholders follow them
    EXPECT_EQ(format(1.5e300, "0.0E+#"), "1.5E+300");
    EXPECT_EQ(format(12345.0, "0.0E+###"), "1.2E+4"); // "#" shows no leading zero
    EXPECT_EQ(format(12345.0, "0.0e-000"), "1.2e004");
    EXPECT_EQ(format(12345.0, "0.0E+"), "1.2E+4"); // no exponent placeholder: digits follow
    EXPECT_EQ(format(0.5, "0.0E-0"), "5.0E-1");    // a negative exponent shows its sign
    EXPECT_TRUE(traps().empty());
}

TEST_F(NumericSectionsTest, ScientificMantissaRoundingUpMovesTheExponent) {
    EXPECT_EQ(format(9.999, "0.00E+00"), "1.00E+01");
    EXPECT_EQ(format(99999.0, "0.00E+00"), "1.00E+05");
    EXPECT_EQ(format(0.99999, "0.00E+00"), "1.00E+00");
    EXPECT_EQ(format(0.99999, ".00E+00"), ".10E+01");
}

TEST_F(NumericSectionsTest, LiteralsAndPlainCharacters) {
    EXPECT_EQ(format(5.0, "\\#0"), "#5");
    EXPECT_EQ(format(5.0, "\"Total: \"0"), "Total: 5");
    EXPECT_EQ(format(5.0, "0\" units\""), "5 units");
    EXPECT_EQ(format(5.0, "(0)"), "(5)");
    EXPECT_EQ(format(5.0, "0\\"), "5"); // a backslash at the end is dropped
    EXPECT_EQ(format(5.0, "0 \\\\"), "5 \\");
    EXPECT_EQ(format(5.0, ",0"), ",5");   // a comma before any placeholder is text
    EXPECT_EQ(format(1.5, "0/0"), "0/2"); // after a placeholder "/" is text
    // Marker letters are not shown in the integer part, hour letters show the hour.
    EXPECT_EQ(format(5.0, "0 M"), "5 ");
    EXPECT_EQ(format(0.5, "0 h"), "1 12"); // 0.5 rounds to 1 and is noon
    EXPECT_EQ(format(0.25, "0.0 H"), "0.3 6");
    EXPECT_EQ(format(5.0, "0 \"AM\""), "5 AM");
}

TEST_F(NumericSectionsTest, Percent) {
    EXPECT_EQ(format(0.5, "0%"), "50%");
    EXPECT_EQ(format(0.5, "0%%"), "5000%%");
    EXPECT_EQ(format(-0.1234, "0.0%"), "-12.3%");
    EXPECT_EQ(format(0.5, "%0"), "%50");
}

TEST_F(NumericSectionsTest, Sections) {
    const std::string f = "0;(0);\\Z\\e\\r\\o;\\N\\u\\l\\l";
    EXPECT_EQ(format(5.0, f), "5");
    EXPECT_EQ(format(-5.0, f), "(5)");
    EXPECT_EQ(format(0.0, f), "Zero");
    EXPECT_EQ(format(null_variant(), f), "Null");
    EXPECT_EQ(format(empty_variant(), f), "Null");
    EXPECT_EQ(format(null_variant(), "0;(0);z"), ""); // no fourth section: the empty string
    EXPECT_EQ(format(-5.0, "0;;z"), "-5");            // an empty section falls back to the first
    EXPECT_EQ(format(0.0, "0;(0);"), "0");
    EXPECT_EQ(format(5.0, ";x"), "5"); // an empty chosen section is the plain conversion
    EXPECT_EQ(format(-5.0, "0;"), "-5");
    EXPECT_EQ(format(5.0, "0\\;x;y"), "5;x");     // an escaped ";" does not split
    EXPECT_EQ(format(5.0, "\"a;b\"0;y"), "a;b5"); // nor does one in quotes
    EXPECT_EQ(format(5.0, "0;1;2;3;4"), "5");
    EXPECT_EQ(format(null_variant(), "0;1;2;3;4"), "3"); // a fourth ";" ends the fourth section
    EXPECT_EQ(format_single(0.0000001f, "0;;\\z"), "z"); // within FLT_EPSILON of zero
    EXPECT_EQ(format(1e-17, "0;;\\z"), "z");             // within DBL_EPSILON
    EXPECT_EQ(format(1e-15, "0.0;;\\z"), "0.0");
    EXPECT_TRUE(traps().empty());
}

TEST_F(NumericSectionsTest, PlaceholdersInTheNullSectionShowZero) {
    EXPECT_EQ(format(null_variant(), "0;0;0;0.00"), "0.00");
    EXPECT_EQ(format(null_variant(), "0;0;0;#,##0,"), "0"); // nothing to scale
    EXPECT_TRUE(traps().empty());
}

TEST_F(NumericSectionsTest, SinglesShowSevenDigits) {
    EXPECT_EQ(format_single(1.1f, "0.0000000000"), "1.1000000000");
    EXPECT_EQ(format_single(123456789.0f, "0"), "123456800");
    EXPECT_EQ(format_single(2.5f, "0"), "3");
    EXPECT_EQ(format_single(0.125f, "0.00%"), "12.50%");
    EXPECT_EQ(format_single(1234567.5f, "0.0"), "1234568.0");
    EXPECT_EQ(format_single(1.5e20f, "0.00E+00"), "1.50E+20");
    EXPECT_EQ(format_single(-3.25f, "#,##0.0"), "-3.3");
    EXPECT_EQ(format(r4(12345.5f), "0.0"), "12345.5");
}

TEST_F(NumericSectionsTest, CurrencyIsExact) {
    const int64_t max = INT64_MAX; // 922337203685477.5807
    EXPECT_EQ(format_currency(max, "#,##0.0000"), "922,337,203,685,477.5807");
    EXPECT_EQ(format_currency(max, "0"), "922337203685478"); // rounding past the range is text
    EXPECT_EQ(format_currency(INT64_MIN, "0.0000"), "-922337203685477.5808");
    EXPECT_EQ(format_currency(25000, "0"), "3");
    EXPECT_EQ(format_currency(-25000, "0"), "-3");
    EXPECT_EQ(format_currency(19999, "0.00"), "2.00");
    EXPECT_EQ(format_currency(12345, "0.000"), "1.235");
    EXPECT_EQ(format_currency(123456789, "0.00E+00"), "1.23E+04");
    EXPECT_EQ(format_currency(123456789, "0.0000000E+00"), "1.2345679E+04");
    EXPECT_EQ(format_currency(5000, "0%"), "50%");
    EXPECT_EQ(format_currency(12345678901234, "#,##0,"), "1,234,568");
    EXPECT_EQ(format(cy(-15000), "0.0;(0.0)"), "(1.5)");
    EXPECT_TRUE(traps().empty());
}

TEST_F(NumericSectionsTest, CurrencyPercentOverflowRaisesTheCurrencyTrap) {
    format_currency(INT64_MAX, "0%");
    EXPECT_EQ(traps(), (std::vector<Trap>{{6, Family::NumericTrap, ""}}));
    clear_traps();
    set_mode(HookMode::Throw);
    BlockBalance balance;
    int64_t max = INT64_MAX;
    EXPECT_THROW(ZbiBuiltIn_Format_(BI_FORMAT_CURRENCY, &max, temp("#,##0.00%")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(NumericSectionsTest, IntegersAndLongs) {
    EXPECT_EQ(format_integer(-32768, "#,##0"), "-32,768");
    EXPECT_EQ(format_integer(7, "000"), "007");
    EXPECT_EQ(format_long(-2147483647 - 1, "#,##0"), "-2,147,483,648");
    EXPECT_EQ(format(i2(12), "0.0"), "12.0");
    EXPECT_EQ(format(i4(123456), "#,##0"), "123,456");
    EXPECT_EQ(format(boolean(true), "0"), "-1");
}

TEST_F(NumericSectionsTest, RejectedSectionsRaiseTrapFive) {
    for (const char *f : {"0.0,0", "0E0", "0E", "\"abc", "0.0E+0E+0", "E+0", "#,%", "0%0,", "0,,%",
                          "t", "tt", "tttttt", "0 AM/PM", "0 a/p", "0 AMPM", "d/m E+0"}) {
        clear_traps();
        EXPECT_EQ(format(5.0, f), "") << f;
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}})) << f;
    }
}

TEST_F(NumericSectionsTest, AcceptedNearMisses) {
    EXPECT_EQ(format(5.0, "0 am"), "5 ");                  // not a whole AM/PM token: plain letters
    EXPECT_EQ(format(1234.0, "#,##0.0 ,x"), "1,234.0 ,x"); // a comma after text is text
    EXPECT_TRUE(traps().empty());
}

TEST_F(NumericSectionsTest, NonFiniteNumbersKeepTheirPlainText) {
    EXPECT_EQ(format(INFINITY, "0.00"), "1.#INF");
    EXPECT_EQ(format(-INFINITY, "yyyy"), "-1.#INF");
    EXPECT_EQ(format_single(NAN, "0"), format_single(NAN, ""));
    EXPECT_TRUE(traps().empty());
}

} // namespace
} // namespace brtl_test
