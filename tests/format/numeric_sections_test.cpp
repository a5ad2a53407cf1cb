// Numeric sections: digit placeholders, rounding, grouping, scaling, percent, the scientific form,
// literals, the sign and the sections, for Double, Single, Currency, Integer and Long values.
#include <cmath>
#include <string>

#include "format_fixture.h"

namespace brtl_test {
namespace {

using NumericSectionsTest = FormatTest;

TEST_F(NumericSectionsTest, PlaceholdersGroupingScalingAndRounding) {
    // Grouping is a flag, not a position; a fraction rounds as its 15 significant digits show
    // it, half away from zero.
    expect_formats(F{1234567.891, "#,##0.00", "1,234,567.89"}, F{1234567.891, "0.00", "1234567.89"},
                   F{1234567.891, "#,##0,", "1,235"}, F{1234567.891, "#,,", "1"},
                   F{1234567.0, "0,000", "1,234,567"}, F{5.0, "0,000", "0,005"},
                   F{0.0, "#,##0", "0"}, F{123.0, "#", "123"}, F{0.0, "#", ""}, F{0.0, "#.##", "."},
                   F{1234567890123.0, "#,##0", "1,234,567,890,123"}, F{0.5, "#.##", ".5"},
                   F{0.5, "0.00", "0.50"}, F{0.125, "0.00%", "12.50%"}, F{2.5, "0", "3"},
                   F{-2.5, "0", "-3"}, F{1.005, "0.00", "1.01"}, F{2.675, "0.00", "2.68"},
                   F{0.995, "0.00", "1.00"}, F{9.9999, "#,##0.00", "10.00"},
                   F{999999.996, "#,##0.00", "1,000,000.00"}, F{1.25, "0.0###", "1.25"},
                   F{1.0, "0.0###", "1.0"}, F{0.001, "0.00", "0.00"},
                   F{123.456, "0.00000000000000000000", "123.45600000000000000000"});
    // Huge values show 15 significant digits, then zeros; tiny ones round to zero.
    expect_formats(
        F{1e20, "0", "100000000000000000000"}, F{1.5e300, "0", "15" + std::string(299, '0')},
        F{1.7976931348623157e308, "0", "179769313486232" + std::string(294, '0')},
        F{123456789012345678.0, "#,##0", "123,456,789,012,346,000"}, F{5e-324, "0.00", "0.00"},
        F{-5e-324, "0.00", "0.00"}, F{1e-5, "0.00000", "0.00001"},
        F{1.2345678901234567, "0.000000000000000000", "1.234567890123460000"});
}

TEST_F(NumericSectionsTest, TheSignLiteralsAndPercent) {
    // The sign goes with a zero result or no integer placeholder; marker letters are not shown
    // in the integer part, hour letters show the hour (0.5 rounds to 1 and is noon).
    expect_formats(
        F{-12.0, "0000", "-0012"}, F{-1234.0, "#,##0", "-1,234"},
        F{-1234567.0, "#,##0.00", "-1,234,567.00"}, F{-5.0, "0;(0)", "(5)"}, F{-5.0, "\\x0", "x-5"},
        F{-0.4, "0.0", "-0.4"}, F{-0.04, "0.0", "0.0"}, F{-0.4, "0", "0"}, F{-5.5, ".00", ".50"},
        F{5.5, ".00", ".50"}, F{5.0, "\\#0", "#5"}, F{5.0, "\"Total: \"0", "Total: 5"},
        F{5.0, "0\" units\"", "5 units"}, F{5.0, "(0)", "(5)"}, F{5.0, "0\\", "5"},
        F{5.0, "0 \\\\", "5 \\"}, F{5.0, ",0", ",5"}, F{1.5, "0/0", "0/2"}, F{5.0, "0 M", "5 "},
        F{0.5, "0 h", "1 12"}, F{0.25, "0.0 H", "0.3 6"}, F{5.0, "0 \"AM\"", "5 AM"},
        F{5.0, "0 am", "5 "}, F{1234.0, "#,##0.0 ,x", "1,234.0 ,x"}, F{0.5, "0%", "50%"},
        F{0.5, "0%%", "5000%%"}, F{-0.1234, "0.0%", "-12.3%"}, F{0.5, "%0", "%50"});
    // A percent whose product would overflow the type shows the exact scaled digits.
    const std::string z309(309, '0');
    expect_formats(F{1e307, "0%", "1" + z309 + "%"}, F{-1e307, "0.00%", "-1" + z309 + ".00%"},
                   F{1e307, "Percent", "1" + z309 + ".%"}, F{1.5e307, "0.00E+00%", "1.50E+309%"},
                   F{S(1e37f), "0%", "1" + std::string(39, '0') + "%"});
}

TEST_F(NumericSectionsTest, ScientificForm) {
    // Below 1 the mantissa is not normalised; a mantissa rounding up moves the exponent.
    expect_formats(F{12345.0, "0.00E+00", "1.23E+04"}, F{12345.0, "0.00E-00", "1.23E04"},
                   F{0.00001234, "0.00E+00", "0.00E-01"}, F{0.5, "0.00E+00", "5.00E-01"},
                   F{0.05, "0.00E+00", "0.50E-01"}, F{0.0, "0.00E+00", "0.00E-01"},
                   F{1.5e20, "0.00E+00", "1.50E+20"}, F{1e10, "0.00E+00", "1.00E+10"},
                   F{12345678901.0, "0.00E+00", "1.23E+10"}, F{-12345.0, "0.00E+00", "-1.23E+04"},
                   F{12345.0, "##0.0E+0", "123.5E+2"}, F{12345.0, "0E+0", "1E+4"},
                   F{1.5e300, "0.0E+0", "1.5E+300"}, F{1.5e300, "0.0E+#", "1.5E+300"},
                   F{12345.0, "0.0E+###", "1.2E+4"}, F{12345.0, "0.0e-000", "1.2e004"},
                   F{12345.0, "0.0E+", "1.2E+4"}, F{0.5, "0.0E-0", "5.0E-1"},
                   F{9.999, "0.00E+00", "1.00E+01"}, F{99999.0, "0.00E+00", "1.00E+05"},
                   F{0.99999, "0.00E+00", "1.00E+00"}, F{0.99999, ".00E+00", ".10E+01"});
}

TEST_F(NumericSectionsTest, Sections) {
    // An empty section falls back to the first, an empty chosen one is the plain conversion;
    // zero is within FLT_EPSILON for a Single, DBL_EPSILON for a Double.
    const std::string f = "0;(0);\\Z\\e\\r\\o;\\N\\u\\l\\l";
    expect_formats(
        F{5.0, f, "5"}, F{-5.0, f, "(5)"}, F{0.0, f, "Zero"}, F{null_variant(), f, "Null"},
        F{empty_variant(), f, "Null"}, F{null_variant(), "0;(0);z", ""}, F{-5.0, "0;;z", "-5"},
        F{0.0, "0;(0);", "0"}, F{5.0, ";x", "5"}, F{-5.0, "0;", "-5"}, F{5.0, "0\\;x;y", "5;x"},
        F{5.0, "\"a;b\"0;y", "a;b5"}, F{5.0, "0;1;2;3;4", "5"}, F{null_variant(), "0;1;2;3;4", "3"},
        F{null_variant(), "0;0;0;0.00", "0.00"}, F{null_variant(), "0;0;0;#,##0,", "0"},
        F{S(0.0000001f), "0;;\\z", "z"}, F{1e-17, "0;;\\z", "z"}, F{1e-15, "0.0;;\\z", "0.0"});
    // A format of one section that served numbers still gives Null the plain conversion.
    expect_formats(F{5.0, "0.0", "5.0"}, F{-5.0, "0.0", "-5.0"}, F{null_variant(), "0.0", ""},
                   F{empty_variant(), "0.0", ""}, F{0.5, "0.0", "0.5"});
}

TEST_F(NumericSectionsTest, SinglesCurrencyIntegersAndLongs) {
    // Singles show seven digits; Currency is exact, and rounding past its range is text.
    expect_formats(F{S(1.1f), "0.0000000000", "1.1000000000"}, F{S(123456789.0f), "0", "123456800"},
                   F{S(2.5f), "0", "3"}, F{S(0.125f), "0.00%", "12.50%"},
                   F{S(1234567.5f), "0.0", "1234568.0"}, F{S(1.5e20f), "0.00E+00", "1.50E+20"},
                   F{S(-3.25f), "#,##0.0", "-3.3"}, F{r4(12345.5f), "0.0", "12345.5"},
                   F{C(INT64_MAX), "#,##0.0000", "922,337,203,685,477.5807"},
                   F{C(INT64_MAX), "0", "922337203685478"},
                   F{C(INT64_MIN), "0.0000", "-922337203685477.5808"}, F{C(25000), "0", "3"},
                   F{C(-25000), "0", "-3"}, F{C(19999), "0.00", "2.00"},
                   F{C(12345), "0.000", "1.235"}, F{C(123456789), "0.00E+00", "1.23E+04"},
                   F{C(123456789), "0.0000000E+00", "1.2345679E+04"}, F{C(5000), "0%", "50%"},
                   F{C(12345678901234), "#,##0,", "1,234,568"}, F{cy(-15000), "0.0;(0.0)", "(1.5)"},
                   F{I(-32768), "#,##0", "-32,768"}, F{I(7), "000", "007"},
                   F{L(-2147483647 - 1), "#,##0", "-2,147,483,648"}, F{i2(12), "0.0", "12.0"},
                   F{i4(123456), "#,##0", "123,456"}, F{boolean(true), "0", "-1"});
    // A Currency percent beyond the range raises the Currency trap and leaks nothing.
    format(C(INT64_MAX), "0%");
    EXPECT_EQ(traps(), (std::vector<Trap>{{6, Family::NumericTrap, ""}}));
    set_mode(HookMode::Throw);
    BlockBalance balance;
    EXPECT_THROW(format(C(INT64_MAX), "#,##0.00%"), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(NumericSectionsTest, RejectedSectionsAndNonFiniteNumbers) {
    for (const char *f : {"0.0,0", "0E0", "0E", "\"abc", "0.0E+0E+0", "E+0", "#,%", "0%0,", "0,,%",
                          "t", "tt", "tttttt", "0 AM/PM", "0 a/p", "0 AMPM", "d/m E+0"})
        expect_format(F{5.0, f, "", 5});
    expect_formats(F{INFINITY, "0.00", "1.#INF"}, F{-INFINITY, "yyyy", "-1.#INF"});
    EXPECT_EQ(format(S(NAN), "0"), format(S(NAN), ""));
    EXPECT_TRUE(traps().empty());
}

} // namespace
} // namespace brtl_test
