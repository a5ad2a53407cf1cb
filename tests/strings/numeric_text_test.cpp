// Val and IsNumeric: their two grammars, the radix literals, the type suffixes and the range
// checks, the full-width space, and what they release.
#include <cmath>

#include "strings/string_checks.h"

using namespace brtl_test;

namespace {

class NumericTextTest : public RuntimeTest {
  protected:
    // Val of a borrowed text: no trap expected.
    double val(const std::string &text) {
        Borrowed borrowed(text);
        double value = ZbiBuiltIn_Val(borrowed.get());
        EXPECT_TRUE(borrowed.intact());
        EXPECT_TRUE(traps().empty()) << "Val(\"" << text << "\")";
        clear_traps();
        return value;
    }
    // Val of a temporary text that must raise exactly `trap` through the trap hook; with a
    // returning hook the value is 0, and with either hook the temporary is freed.
    void expect_val_trap(const std::string &text, int32_t trap) {
        SCOPED_TRACE("Val(\"" + text + "\")");
        for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
            set_mode(mode);
            clear_traps();
            BlockBalance balance;
            if (mode == HookMode::Throw) {
                EXPECT_THROW(ZbiBuiltIn_Val(temp(text)), TrapException);
            } else {
                EXPECT_EQ(ZbiBuiltIn_Val(temp(text)), 0.0);
            }
            EXPECT_EQ(traps(), (std::vector<Trap>{{trap, Family::Trap, ""}}));
            EXPECT_EQ(balance.delta(), 0);
        }
        set_mode(HookMode::Return);
        clear_traps();
    }
    // IsNumeric of a string Variant, which the call clears.
    bool numeric(const std::u16string &text) {
        BlockBalance balance;
        int16_t answer = ZbiBuiltIn_IsNumeric(bstr_variant(text));
        EXPECT_TRUE(answer == -1 || answer == 0) << answer;
        EXPECT_EQ(balance.delta(), 0);
        EXPECT_TRUE(traps().empty());
        return answer == -1;
    }
    bool numeric(const std::string &text) {
        std::u16string units(text.begin(), text.end());
        return numeric(units);
    }
    void use_japanese() { ASSERT_EQ(brtl_setlocale("Ja_JP"), 0); }
};

} // namespace

// ---- Val: decimal numbers
// -------------------------------------------------------------------------

TEST_F(NumericTextTest, ValReadsTheNumberAtTheStartAndIgnoresTheRest) {
    EXPECT_EQ(val("  12.5abc"), 12.5);
    EXPECT_EQ(val("42"), 42.0);
    EXPECT_EQ(val(""), 0.0);
    EXPECT_EQ(val("abc"), 0.0);
    EXPECT_EQ(val(".5"), 0.5);
    EXPECT_EQ(val("7."), 7.0);
    EXPECT_EQ(val("12!"), 12.0);
    EXPECT_EQ(val("12#"), 12.0);
    EXPECT_EQ(val("3 apples"), 3.0);
    EXPECT_DOUBLE_EQ(val("0.125"), 0.125);
    EXPECT_DOUBLE_EQ(val("98.6 F"), 98.6);
}

TEST_F(NumericTextTest, ValSkipsWhiteSpaceInsideTheDigitsAndCommasBeforeThem) {
    EXPECT_EQ(val("1 2 3"), 123.0);
    EXPECT_EQ(val(",5"), 5.0);
    EXPECT_EQ(val(" ,\t, 8"), 8.0);
    EXPECT_EQ(val("\t\n\r 7"), 7.0);
    EXPECT_EQ(val("1,000"), 1.0); // a comma after the digits ends the number
    EXPECT_DOUBLE_EQ(val("1 . 2 5"), 1.25);
    EXPECT_EQ(val("\v7"), 0.0); // vertical tab is no white space here
}

TEST_F(NumericTextTest, ValSign) {
    EXPECT_EQ(val("- 7"), -7.0);
    EXPECT_EQ(val("+7"), 7.0);
    EXPECT_EQ(val("-.5"), -0.5);
    EXPECT_EQ(val("-,5"), 0.0); // commas are not skipped after a sign
    EXPECT_TRUE(std::signbit(val("-0")));
}

TEST_F(NumericTextTest, ValExponent) {
    EXPECT_EQ(val("1.5e3"), 1500.0);
    EXPECT_EQ(val("2E+2"), 200.0);
    EXPECT_DOUBLE_EQ(val("25e-3"), 0.025);
    EXPECT_EQ(val("1 e 2"), 100.0);
    EXPECT_EQ(val("1e - 1 0"), 1e-10);
    EXPECT_EQ(val("12e"), 12.0); // no exponent digits: 10 to the 0
    EXPECT_EQ(val("-2e1x"), -20.0);
    EXPECT_EQ(val("5d2"), 5.0); // only E starts an exponent
}

TEST_F(NumericTextTest, ValExponentOutOfRangeRaisesTrapSix) {
    expect_val_trap("1e400", 6);
    expect_val_trap("0e400", 6);  // pow's range error counts, whatever the mantissa
    expect_val_trap("1e-400", 6); // an underflow to zero is a range error of pow too
    expect_val_trap(std::string("1e") + std::string(400, '9'), 6);
}

// ---- Val: type suffixes
// -----------------------------------------------------------------------------

TEST_F(NumericTextTest, ValTypeSuffixesCheckTheRangeOfTheirType) {
    EXPECT_EQ(val("123%"), 123.0);
    EXPECT_EQ(val("-32768%"), -32768.0);
    EXPECT_EQ(val("32767%"), 32767.0);
    EXPECT_EQ(val("3.2767e4%"), 32767.0); // the fraction ends at "e", not at the suffix
    EXPECT_EQ(val("2147483647&"), 2147483647.0);
    EXPECT_EQ(val("-2147483648&"), -2147483648.0);
    EXPECT_EQ(val("922337203685477@"), 922337203685477.0);
    EXPECT_DOUBLE_EQ(val("1.2345@"), 1.2345);
    EXPECT_EQ(val("1e3%"), 1000.0);
    expect_val_trap("40000%", 13);
    expect_val_trap("-32769%", 13);
    expect_val_trap("2147483648&", 13);
    expect_val_trap("-2147483649&", 13);
    expect_val_trap("922337203685478@", 13);
    expect_val_trap("-922337203685478@", 13);
}

TEST_F(NumericTextTest, ValRejectsAnIntegerSuffixAfterAFraction) {
    expect_val_trap("1.5%", 13);
    expect_val_trap("1.5&", 13);
    expect_val_trap("2. %", 13);
}

TEST_F(NumericTextTest, ValCurrencySuffixAllowsFourDecimals) {
    EXPECT_DOUBLE_EQ(val("0.0001@"), 0.0001);
    expect_val_trap("1.23456@", 13);
    expect_val_trap("0.00001@", 13);
}

TEST_F(NumericTextTest, ValCurrencyLimitIsTheLargestDoubleBelowTheNextEighth) {
    // The limit 922337203685477.625 itself passes; the next double above it does not.
    EXPECT_EQ(val("922337203685477.625@"), 922337203685477.625);
    expect_val_trap("922337203685477.75@", 13);
}

// ---- Val: radix literals
// ----------------------------------------------------------------------------

TEST_F(NumericTextTest, ValHexadecimalAndOctalLiterals) {
    EXPECT_EQ(val("&HFF"), 255.0);
    EXPECT_EQ(val("&hff"), 255.0);
    EXPECT_EQ(val("&H7FFF"), 32767.0);
    EXPECT_EQ(val("&O17"), 15.0);
    EXPECT_EQ(val("&o17"), 15.0);
    EXPECT_EQ(val("&17"), 15.0); // no radix letter: octal
    EXPECT_EQ(val("&O8"), 0.0);
    EXPECT_EQ(val("&18"), 1.0);
    EXPECT_EQ(val("&"), 0.0);
    EXPECT_EQ(val("&H"), 0.0);
    EXPECT_EQ(val("&H+1F"), 31.0); // a "+" after the prefix is skipped
    EXPECT_EQ(val("  &H1F junk"), 31.0);
    EXPECT_EQ(val("&H1F%"), 31.0); // nothing after the digits is examined
}

TEST_F(NumericTextTest, ValRadixLiteralsReadSixteenAndThirtyTwoBitPatterns) {
    EXPECT_EQ(val("&HFFFF"), -1.0);
    EXPECT_EQ(val("&H8000"), -32768.0);
    EXPECT_EQ(val("&HFFFF&"), 65535.0); // a Long suffix keeps the 16-bit pattern positive
    EXPECT_EQ(val("&H8000&"), 32768.0);
    EXPECT_EQ(val("&H10000"), 65536.0);
    EXPECT_EQ(val("&HFFFFFFFF"), -1.0);
    EXPECT_EQ(val("&HFFFFFFFF&"), -1.0);
    EXPECT_EQ(val("&H80000000"), -2147483648.0);
    EXPECT_EQ(val("&H7FFFFFFF"), 2147483647.0);
    EXPECT_EQ(val("&O177777"), -1.0);
    EXPECT_EQ(val("&H100000000"), 0.0); // 2^32 wraps to 0
    expect_val_trap("&H1FFFFFFFF", 6);
}

TEST_F(NumericTextTest, ValRadixTraps) {
    expect_val_trap("-&H1", 13);
    expect_val_trap("+&H1", 13);
    expect_val_trap("- &O7", 13);
    expect_val_trap("&H-1", 6);
    expect_val_trap("&-1", 6);
}

// ---- Val: code pages and ownership
// ------------------------------------------------------------------

TEST_F(NumericTextTest, ValSkipsTheFullWidthSpaceUnderTheDoubleByteCodePage) {
    const std::string full_width_space = "\x81\x40";
    EXPECT_EQ(val(full_width_space + "12"), 0.0);
    use_japanese();
    EXPECT_EQ(val(full_width_space + "12"), 12.0);
    EXPECT_EQ(val("1" + full_width_space + "2"), 12.0);
    EXPECT_EQ(val("-" + full_width_space + "3"), -3.0);
    EXPECT_EQ(val("\x82\x4F"), 0.0); // a full-width digit is no digit
    EXPECT_EQ(val("4\x82\x4F"), 4.0);
}

TEST_F(NumericTextTest, ValFreesATemporaryAndLeavesABorrowedString) {
    BlockBalance balance;
    EXPECT_EQ(ZbiBuiltIn_Val(temp("17")), 17.0);
    EXPECT_EQ(ZbiBuiltIn_Val(temp("")), 0.0);
    EXPECT_EQ(balance.delta(), 0);
    Borrowed borrowed("&H10");
    EXPECT_EQ(ZbiBuiltIn_Val(borrowed.get()), 16.0);
    EXPECT_TRUE(borrowed.intact());
}

// ---- IsNumeric ----------------------------------------------------------------------------------

TEST_F(NumericTextTest, IsNumericAcceptsNumbersSurroundedByWhiteSpace) {
    for (const char *text : {"12", " -1.5e3 ", "+5", ".", "5.", ".5", "0", "1.5E-3", "1e+5", "1e",
                             "\t7\r\n", ",,5", "007"})
        EXPECT_TRUE(numeric(text)) << text;
}

TEST_F(NumericTextTest, IsNumericAcceptsACommaAndAnythingAfterIt) {
    EXPECT_TRUE(numeric("1,000"));
    EXPECT_TRUE(numeric("5,abc"));
    EXPECT_TRUE(numeric("5 ,x"));
    EXPECT_FALSE(numeric("5 x,"));
}

TEST_F(NumericTextTest, IsNumericAcceptsOnlyThePercentSuffix) {
    EXPECT_TRUE(numeric("12%"));
    EXPECT_TRUE(numeric("1e5% "));
    EXPECT_FALSE(numeric("12&"));
    EXPECT_FALSE(numeric("12@"));
    EXPECT_FALSE(numeric("12!"));
    EXPECT_FALSE(numeric("12 %"));
    EXPECT_FALSE(numeric("12%%"));
}

TEST_F(NumericTextTest, IsNumericRejectsWhatValWouldPassOver) {
    for (const char *text : {"", "   ", "1 2", "5.x", "abc", "-", "+", "-.", ".e5", "e5", "1.2.3",
                             "- 5", "1e 5", "%", "12abc", "1d5"})
        EXPECT_FALSE(numeric(text)) << text;
}

TEST_F(NumericTextTest, IsNumericRadixLiteralsNeedALetterAndFitThirtyTwoBits) {
    for (const char *text : {"&HFF", "&hff  ", "&O17", "&o0", "&H", "&HFFFFFFFF", " &H1"})
        EXPECT_TRUE(numeric(text)) << text;
    for (const char *text : {"-&H1", "+&O1", "&17", "&O8", "&H100000000", "&HFFx", "&H1,", "&"})
        EXPECT_FALSE(numeric(text)) << text;
    // A hexadecimal literal far beyond the range of a double is rejected without overflow.
    EXPECT_FALSE(numeric("&H" + std::string(300, 'F')));
}

TEST_F(NumericTextTest, IsNumericLimitsTheExponentAndTheIntegerDigits) {
    EXPECT_FALSE(numeric("1e400"));
    EXPECT_FALSE(numeric("1e-400"));
    EXPECT_TRUE(numeric("1e308"));
    EXPECT_TRUE(numeric(std::string(307, '9')));
    EXPECT_FALSE(numeric(std::string(308, '1')));
    EXPECT_TRUE(numeric("1." + std::string(400, '0')));
}

TEST_F(NumericTextTest, IsNumericUnderTheDoubleByteCodePage) {
    EXPECT_FALSE(numeric(u"\u3000"
                         u"12"));
    use_japanese();
    EXPECT_TRUE(numeric(u"\u3000"
                        u"12\u3000"));
    EXPECT_FALSE(numeric(u"\uFF11")); // a full-width digit
    EXPECT_FALSE(numeric(u"1\u3000"
                         u"2")); // no white space inside the digits
}

TEST_F(NumericTextTest, IsNumericReadsTheWholeTextEmbeddedNulIncluded) {
    EXPECT_FALSE(numeric(std::u16string(u"12\0"
                                        u"3",
                                        4)));
}

TEST_F(NumericTextTest, IsNumericBySubtype) {
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(empty_variant()), -1);
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(null_variant()), 0);
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(error_variant(5)), 0);
    for (VARIANT v : {i2(1), i4(2), r4(1.5f), r8(2.5), cy(10000), date(1.0), boolean(true)})
        EXPECT_EQ(ZbiBuiltIn_IsNumeric(v), -1) << v.vt;
    CountedObject object; // an object is numeric, and its reference is dropped
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(object.variant()), -1);
    EXPECT_EQ(object.references, 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(NumericTextTest, IsNumericWithoutMemoryForTheTextIsFalse) {
    BlockBalance balance;
    VARIANT v = bstr_variant("12");
    fail_allocations_after(0);
    EXPECT_EQ(ZbiBuiltIn_IsNumeric(v), 0);
    fail_allocations_after(-1);
    EXPECT_EQ(balance.delta(), 0); // the string was still released
    EXPECT_TRUE(traps().empty());
}
