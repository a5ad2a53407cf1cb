// Val and IsNumeric: their two grammars, the radix literals, the type suffixes and the range
// checks, the full-width space, and what they release.
#include <cfloat>
#include <cmath>

#include "strings/string_checks.h"

using namespace brtl_test;

namespace {

using NumericTextTest = RuntimeTest;

// Val of a borrowed and of a temporary text agree and raise no trap (the temporary is freed),
// or the temporary raises the trap and a returning hook gives 0.
struct ValCase {
    std::string text;
    double value;
    int32_t trap = 0;
    bool near = false; // compared within 4 units in the last place
};
using V = ValCase;

void expect_val(const ValCase &c) {
    SCOPED_TRACE("Val(\"" + c.text + "\")");
    if (c.trap != 0) {
        expect_raises([&] { return temp(c.text); },
                      [](BiString s) { EXPECT_EQ(ZbiBuiltIn_Val(s), 0.0); },
                      {c.trap, Family::Trap, ""});
        return;
    }
    Borrowed borrowed(c.text);
    double value = ZbiBuiltIn_Val(borrowed.get());
    EXPECT_NEAR(value, c.value, c.near ? 4 * DBL_EPSILON * std::abs(c.value) : 0.0);
    EXPECT_TRUE(borrowed.intact());
    BlockBalance balance;
    EXPECT_EQ(ZbiBuiltIn_Val(temp(c.text)), value);
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(host().traps.empty());
}
void expect_vals(const auto &...cases) {
    (expect_val(cases), ...);
}

// IsNumeric of string Variants, which the call clears.
void expect_numeric(bool expected, const auto &...texts) {
    for (const std::u16string &text : {std::u16string(texts)...}) {
        BlockBalance balance;
        EXPECT_EQ(ZbiBuiltIn_IsNumeric(bstr_variant(text)), expected ? -1 : 0)
            << std::string(text.begin(), text.end());
        EXPECT_EQ(balance.delta(), 0);
    }
    EXPECT_TRUE(host().traps.empty());
}

} // namespace

TEST_F(NumericTextTest, Val) {
    // Commas are skipped before the digits only, and a vertical tab is no white space. An
    // exponent without digits is 10^0; pow's range errors count, whatever the mantissa.
    expect_vals(V{"  12.5abc", 12.5}, V{"", 0}, V{".5", 0.5}, V{"7.", 7}, V{"12!", 12},
                V{"1 2 3", 123}, V{",5", 5}, V{" ,\t, 8", 8}, V{"\t\n\r 7", 7}, V{"1,000", 1},
                V{"\v7", 0}, V{"- 7", -7}, V{"+7", 7}, V{"-.5", -0.5}, V{"-,5", 0},
                V{"1.5e3", 1500}, V{"2E+2", 200}, V{"1 e 2", 100}, V{"1e - 1 0", 1e-10},
                V{"-2e1x", -20}, V{"12e", 12}, V{"5d2", 5}, V{"1e400", 0, 6}, V{"0e400", 0, 6},
                V{"1e-400", 0, 6}, V{"1e" + std::string(400, '9'), 0, 6},
                V{"0.125", 0.125, 0, true}, V{"1 . 2 5", 1.25, 0, true});
    EXPECT_TRUE(std::signbit(ZbiBuiltIn_Val(temp("-0"))));
    // The digits accumulate in Double arithmetic, each step rounded to a Double (an x87 unit that
    // kept 64 bits between the steps ended a unit in the last place away).
    expect_vals(V{"7864.2529983839485", 0x1.eb840c4808901p+12},
                V{"08160.9459944043737E-16", 0x1.cb6ba06e7f34ep-41},
                V{"07726.565499472863553", 0x1.e2e90c492cddcp+12},
                V{"5978.45289589955", 0x1.75a73f0fc550fp+12});
    // The fraction of "3.2767e4%" ends at "e"; 922337203685477.625 is the largest double below
    // the next eighth; no integer suffix after a fraction; at most four decimals before "@".
    expect_vals(V{"-32768%", -32768}, V{"32767%", 32767}, V{"1e3%", 1000}, V{"3.2767e4%", 32767},
                V{"2147483647&", 2147483647.0}, V{"-2147483648&", -2147483648.0},
                V{"922337203685477@", 922337203685477.0}, V{"1.2345@", 1.2345, 0, true},
                V{"0.0001@", 0.0001, 0, true}, V{"922337203685477.625@", 922337203685477.625},
                V{"922337203685477.75@", 0, 13}, V{"32768%", 0, 13}, V{"-32769%", 0, 13},
                V{"2147483648&", 0, 13}, V{"-2147483649&", 0, 13}, V{"922337203685478@", 0, 13},
                V{"-922337203685478@", 0, 13}, V{"1.5%", 0, 13}, V{"1.5&", 0, 13}, V{"2. %", 0, 13},
                V{"1.23456@", 0, 13}, V{"0.00001@", 0, 13});
    // No radix letter is octal; 16- and 32-bit patterns, a Long suffix keeps 16 bits positive.
    expect_vals(V{"&HFF", 255}, V{"&hff", 255}, V{"&O17", 15}, V{"&17", 15}, V{"&O8", 0},
                V{"&18", 1}, V{"&", 0}, V{"&H", 0}, V{"  &H1F junk", 31}, V{"&H+1F", 31},
                V{"&H1F%", 31}, V{"&HFFFF", -1}, V{"&H8000", -32768}, V{"&HFFFF&", 65535},
                V{"&H10000", 65536}, V{"&HFFFFFFFF", -1}, V{"&HFFFFFFFF&", -1},
                V{"&H80000000", -2147483648.0}, V{"&H100000000", 0}, V{"&H1FFFFFFFF", 0, 6},
                V{"&H-1", 0, 6}, V{"&-1", 0, 6}, V{"-&H1", 0, 13}, V{"- &O7", 0, 13});
    // The full-width space is skipped under the double-byte code page only.
    expect_vals(V{kFullWidthSpace + "12", 0});
    use_japanese(); // a full-width digit (0x82 0x4F) is no digit
    expect_vals(V{kFullWidthSpace + "12", 12}, V{"1" + kFullWidthSpace + "2", 12},
                V{"-" + kFullWidthSpace + "3", -3}, V{"\x82\x4F", 0}, V{"4\x82\x4F", 4});
}

TEST_F(NumericTextTest, IsNumeric) {
    // A comma and anything after it pass, and the "%" suffix alone; radix literals need a letter
    // and fit 32 bits; the whole text counts, an embedded NUL included.
    expect_numeric(true, u"12", u" -1.5e3 ", u".", u"5.", u".5", u"1.5E-3", u"1e", u"\t7\r\n",
                   u",,5", u"1e308", std::u16string(307, u'9'), u"1." + std::u16string(400, u'0'),
                   u"1,000", u"5,abc", u"12%", u"1e5% ", u"&HFF", u"&hff  ", u"&O17", u"&H",
                   u"&HFFFFFFFF", u" &H1");
    expect_numeric(false, u"", u"   ", u"1 2", u"5.x", u"abc", u"+", u"-.", u".e5", u"- 5", u"1e 5",
                   u"%", u"12abc", u"1d5", u"5 x,", u"12&", u"12@", u"12 %", u"1e400", u"1e-400",
                   std::u16string(308, u'1'), u"-&H1", u"&17", u"&O8", u"&H100000000", u"&HFFx",
                   u"&", u"&H" + std::u16string(300, u'F'), std::u16string(u"12\0003", 4),
                   u"\u300012");
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(empty_variant()), -1);
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(null_variant()), 0);
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(error_variant(5)), 0);
    for (VARIANT v : {i2(1), i4(2), r4(1.5f), r8(2.5), cy(10000), date(1.0), boolean(true)})
        EXPECT_EQ(ZbiBuiltIn_IsNumeric(v), -1) << v.vt;
    HostObject object; // an object is numeric, and its reference is dropped
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(object.variant()), -1);
    EXPECT_EQ(object.references, 0);
    // Without memory for the text the answer is false, and the string is still released.
    BlockBalance balance;
    VARIANT v = bstr_variant("12");
    fail_allocations_after(0);
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(v), 0);
    fail_allocations_after(-1);
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(traps().empty());
    use_japanese(); // the full-width space is white space, but not inside the digits
    expect_numeric(true, u"\u300012\u3000");
    expect_numeric(false, u"\uFF11", u"1\u30002");
}
