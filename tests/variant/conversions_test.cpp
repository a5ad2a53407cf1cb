// Variant conversions: to number, to string, to date, the zero test, the typed bridges and the
// change of type with traps.
#include <cmath>
#include <cstring>
#include <fstream>

#include "harness/fresh_process.h"
#include "harness/harness.h"

using namespace brtl_test;

namespace {

class ConversionsTest : public RuntimeTest {
  protected:
    // BiVariantCvtStrToNum of a text: the resulting Variant (whatever it is).
    VARIANT str_to_num(const std::string &text) {
        VARIANT v = bstr_variant(text);
        BiVariantCvtStrToNum(&v);
        return v;
    }
    std::string to_text(VARIANT v) {
        ZbiVariantCvtToBStr(&v, &v);
        if (v.vt != VT_BSTR) return "<not a string>";
        std::string text = ascii_of(v.bstrVal);
        VariantClear(&v);
        return text;
    }
};

} // namespace

// ---- String to number ----------------------------------------------------------------------

TEST_F(ConversionsTest, StringToNumberPicksTheSmallestSubtype) {
    VARIANT v = str_to_num(" 12 ");
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 12);
    v = str_to_num("40000");
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 40000);
    v = str_to_num("3000000000");
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 3e9);
    v = str_to_num("1.5");
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 1.5);
    v = str_to_num("2.0");
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 2);
    v = str_to_num("-32768");
    EXPECT_EQ(v.vt, VT_I2);
    v = str_to_num("-32769");
    EXPECT_EQ(v.vt, VT_I4);
    v = str_to_num("2147483648");
    EXPECT_EQ(v.vt, VT_R8);
    v = str_to_num("1e3");
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 1000);
    v = str_to_num("1d2"); // the runtime's strtod takes "d" as an exponent letter
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 100);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ConversionsTest, StringToNumberReadsRadixLiterals) {
    struct Case {
        const char *text;
        VARTYPE vt;
        double value;
    } cases[] = {{"&HFF", VT_I2, 255},     {"&hff", VT_I2, 255},
                 {"&H", VT_I2, 0},         {"&O17", VT_I2, 15},
                 {"&HFFFF", VT_I4, 65535}, {"&H7FFFFFFFF", VT_R8, 34359738367.0},
                 {"  &H10  ", VT_I2, 16}};
    for (const Case &c : cases) {
        VARIANT v = str_to_num(c.text);
        ASSERT_EQ(v.vt, c.vt) << c.text;
        double got = v.vt == VT_I2 ? v.iVal : v.vt == VT_I4 ? v.lVal : v.dblVal;
        EXPECT_EQ(got, c.value) << c.text;
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(ConversionsTest, StringToNumberRejectsWhatIsNotANumber) {
    for (const char *text :
         {"", "   ", "abc", "1e999", "&O18", "&X1", "12 x", "1,5x", "inf", "nan", "0x10", "."}) {
        clear_traps();
        BlockBalance balance;
        VARIANT v = str_to_num(text);
        EXPECT_EQ(v.vt, VT_EMPTY) << text;
        EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}})) << text;
        EXPECT_EQ(balance.delta(), 0) << text; // the BSTR is freed
    }
}

TEST_F(ConversionsTest, StringToNumberHandlesCommas) {
    VARIANT v = str_to_num("1,234"); // the default thousands separator is ","
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 1234);
    v = str_to_num("12,");
    EXPECT_EQ(v.iVal, 12);
    v = str_to_num(",5 junk"); // after a leading comma the rest is ignored
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 5);
    v = str_to_num("1,234,567.5");
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 1234567.5);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ConversionsTest, StringToNumberUsesTheProfilesThousandsSeparator) {
    BRTL_IN_FRESH_PROCESS({
        std::ofstream(scratch_profile()) << "[intl]\nsThousand=.\nsDecimal=,\n";
        VARIANT v = str_to_num("1.5");
        EXPECT_EQ(v.vt, VT_I2);
        EXPECT_EQ(v.iVal, 15);
        v = str_to_num("1.234.567");
        EXPECT_EQ(v.vt, VT_I4);
        EXPECT_EQ(v.lVal, 1234567);
    });
}

TEST_F(ConversionsTest, StringToNumberWithoutMemoryRaisesTrapSeven) {
    VARIANT v = bstr_variant(std::string(300, '1')); // longer than the inline text buffer
    fail_allocations_after(0);
    BiVariantCvtStrToNum(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
}

TEST_F(ConversionsTest, StringToNumberUnderTheDoubleByteCodePage) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    VARIANT v = str_to_num("1,234");
    EXPECT_EQ(v.iVal, 1234);
    v = bstr_variant(std::u16string(u"&\u3042"));
    BiVariantCvtStrToNum(&v); // a double-byte character after "&" is no radix letter
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps().size(), 1u);
}

// ---- To number, to Double, zero test ---------------------------------------------------------

TEST_F(ConversionsTest, ToNumberBySubtype) {
    VARIANT dst = empty_variant();
    VARIANT src = empty_variant();
    ZbiVariantCvtToNum(&dst, &src);
    EXPECT_EQ(dst.vt, VT_I2);
    EXPECT_EQ(dst.iVal, 0);
    src = date(36000.5);
    ZbiVariantCvtToNum(&dst, &src);
    EXPECT_EQ(dst.vt, VT_R8);
    EXPECT_EQ(dst.dblVal, 36000.5);
    src = boolean(true);
    ZbiVariantCvtToNum(&dst, &src);
    EXPECT_EQ(dst.vt, VT_I2);
    EXPECT_EQ(dst.iVal, -1);
    src = null_variant();
    ZbiVariantCvtToNum(&dst, &src);
    EXPECT_EQ(dst.vt, VT_NULL);
    src = cy(15000);
    ZbiVariantCvtToNum(&src, &src);
    EXPECT_EQ(src.vt, VT_CY);
    EXPECT_EQ(src.cyVal, 15000);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ConversionsTest, ToNumberOfAStringClearsTheOldDestination) {
    BlockBalance balance;
    VARIANT dst = bstr_variant("old");
    VARIANT src = bstr_variant("7");
    ZbiVariantCvtToNum(&dst, &src);
    EXPECT_EQ(dst.vt, VT_I2);
    EXPECT_EQ(dst.iVal, 7);
    EXPECT_EQ(balance.delta(), 0); // both strings are gone
}

TEST_F(ConversionsTest, ToNumberTrapsForObjectsAndUnknownTypes) {
    VARIANT dst = empty_variant();
    VARIANT src = error_variant(5);
    ZbiVariantCvtToNum(&dst, &src);
    VARIANT odd{};
    odd.vt = 20;
    ZbiVariantCvtToNum(&dst, &odd);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}, {51, Family::Trap, ""}}));
    EXPECT_EQ(dst.vt, VT_EMPTY);
}

TEST_F(ConversionsTest, ToDoubleInPlace) {
    VARIANT v = cy(-25000);
    BiVariantCvtToDouble(&v);
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, -2.5);
    v = bstr_variant("12.25");
    BiVariantCvtToDouble(&v);
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 12.25);
    v = i2(-3);
    BiVariantCvtToDouble(&v);
    EXPECT_EQ(v.dblVal, -3.0);
    EXPECT_TRUE(traps().empty());
    v = null_variant();
    BiVariantCvtToDouble(&v);
    EXPECT_EQ(v.vt, VT_R8);
    v = error_variant(1);
    BiVariantCvtToDouble(&v);
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(traps(), (std::vector<Trap>{{51, Family::Trap, ""}, {13, Family::Trap, ""}}));
}

TEST_F(ConversionsTest, ZeroTest) {
    VARIANT v = bstr_variant("0");
    EXPECT_EQ(ZbiVariantIsZero(&v), 1);
    EXPECT_EQ(v.vt, VT_I2); // the string was converted in place
    v = r8(-0.0);
    EXPECT_EQ(ZbiVariantIsZero(&v), 1);
    v = r4(-0.0f);
    EXPECT_EQ(ZbiVariantIsZero(&v), 1);
    v = null_variant();
    EXPECT_EQ(ZbiVariantIsZero(&v), 1);
    v = cy(1);
    EXPECT_EQ(ZbiVariantIsZero(&v), 0);
    v = r8(1e-300);
    EXPECT_EQ(ZbiVariantIsZero(&v), 0);
    v = boolean(true);
    EXPECT_EQ(ZbiVariantIsZero(&v), 0);
    EXPECT_TRUE(traps().empty());
    v = error_variant(0);
    ZbiVariantIsZero(&v);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
}

// ---- To string -----------------------------------------------------------------------------

TEST_F(ConversionsTest, ToStringOfNumbers) {
    EXPECT_EQ(to_text(i2(-12)), "-12");
    EXPECT_EQ(to_text(boolean(true)), "-1");
    EXPECT_EQ(to_text(boolean(false)), "0");
    EXPECT_EQ(to_text(i4(2147483647)), "2147483647");
    EXPECT_EQ(to_text(r4(0.1f)), "0.1");
    EXPECT_EQ(to_text(r8(1.0 / 3.0)), "0.333333333333333");
    EXPECT_EQ(to_text(r8(1.5e20)), "1.5E+20");
    EXPECT_EQ(to_text(r8(1e20)), "1E+20");
    EXPECT_EQ(to_text(r8(-2.5e-7)), "-2.5E-7");
    EXPECT_EQ(to_text(cy(-2500)), "-.25");
    EXPECT_EQ(to_text(cy(15000)), "1.5");
    EXPECT_EQ(to_text(empty_variant()), "");
    EXPECT_TRUE(traps().empty());
}

TEST_F(ConversionsTest, ToStringUsesTheLocaleDecimalSeparator) {
    BRTL_IN_FRESH_PROCESS({
        std::ofstream(scratch_profile()) << "[intl]\nsDecimal=,\n";
        EXPECT_EQ(to_text(r8(2.5)), "2,5");
        EXPECT_EQ(to_text(cy(25000)), "2.5"); // the currency text has no locale separator
    });
}

TEST_F(ConversionsTest, ToStringOfAStringIntoAnotherVariantMovesIt) {
    VARIANT src = bstr_variant("abc");
    VARIANT dst;
    ZbiVariantCvtToBStr(&dst, &src);
    EXPECT_EQ(dst.vt, VT_BSTR);
    EXPECT_EQ(dst.bstrVal, src.bstrVal);
    VariantClear(&dst);
}

TEST_F(ConversionsTest, ToStringTraps) {
    VARIANT v = null_variant();
    ZbiVariantCvtToBStr(&v, &v);
    EXPECT_EQ(v.vt, VT_NULL);
    v = error_variant(3);
    ZbiVariantCvtToBStr(&v, &v);
    VARIANT null_string{};
    null_string.vt = VT_BSTR;
    ZbiVariantCvtToBStr(&null_string, &null_string);
    EXPECT_EQ(null_string.vt, VT_EMPTY);
    VARIANT odd{};
    odd.vt = 17;
    ZbiVariantCvtToBStr(&odd, &odd);
    EXPECT_EQ(traps(), (std::vector<Trap>{{94, Family::Trap, ""},
                                          {13, Family::Trap, ""},
                                          {14, Family::Trap, ""},
                                          {51, Family::Trap, ""}}));
}

TEST_F(ConversionsTest, VariantToRuntimeStringOfANumber) {
    BlockBalance balance;
    EXPECT_EQ(take(ZbiEvalCvtVS(r8(2.5), 0)), "2.5");
    EXPECT_EQ(take(ZbiEvalCvtVS(i2(7), 1)), "7");
    EXPECT_EQ(balance.delta(), 0);
}

// ---- Typed storage -------------------------------------------------------------------------

TEST_F(ConversionsTest, TypedValuesToVariants) {
    VARIANT v;
    int16_t i = -5;
    EXPECT_EQ(ZbiVariantCvtToVariant(&v, &i, 4), 0);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, -5);
    int32_t l = 70000;
    ZbiVariantCvtToVariant(&v, &l, 5);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 70000);
    float f = 1.5f;
    ZbiVariantCvtToVariant(&v, &f, 7);
    EXPECT_EQ(v.fltVal, 1.5f);
    int64_t c = 12345;
    ZbiVariantCvtToVariant(&v, &c, 9);
    EXPECT_EQ(v.vt, VT_CY);
    void *object = &c;
    ZbiVariantCvtToVariant(&v, &object, 12);
    EXPECT_EQ(v.vt, VT_BYREF);
    EXPECT_EQ(v.byref, &c);
    BiString s = temp("hey");
    BlockBalance balance;
    ZbiVariantCvtToVariant(&v, &s, 13);
    EXPECT_EQ(ascii_of(v.bstrVal), "hey");
    VariantClear(&v);
    EXPECT_EQ(balance.delta(), -1); // the temporary was freed
    const char *text = "plain";
    ZbiVariantCvtToVariant(&v, &text, 15);
    EXPECT_EQ(ascii_of(v.bstrVal), "plain");
    VariantClear(&v);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(ZbiVariantCvtToVariant(&v, &i, 14), -1);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
}

TEST_F(ConversionsTest, VariantsToTypedValues) {
    VARIANT v = r8(2.5);
    int16_t i = 0;
    EXPECT_EQ(ZbiVariantCvtFromVariant(&i, 4, &v), 0);
    EXPECT_EQ(i, 2); // half to even
    v = bstr_variant("3.5");
    EXPECT_EQ(ZbiVariantCvtFromVariant(&i, 4, &v), 0);
    EXPECT_EQ(i, 4);
    v = i4(100000);
    double d = 0;
    EXPECT_EQ(ZbiVariantCvtFromVariant(&d, 8, &v), 0);
    EXPECT_EQ(d, 100000.0);
    v = r8(1.23456);
    int64_t c = 0;
    EXPECT_EQ(ZbiVariantCvtFromVariant(&c, 9, &v), 0);
    EXPECT_EQ(c, 12346);
    v = i2(42);
    BiString s{};
    EXPECT_EQ(ZbiVariantCvtFromVariant(&s, 13, &v), 0);
    EXPECT_EQ(v.vt, VT_BSTR); // the source keeps its string
    EXPECT_EQ(take(s), "42");
    VariantClear(&v);
    EXPECT_TRUE(traps().empty());
    v = i2(1);
    EXPECT_EQ(ZbiVariantCvtFromVariant(&s, 14, &v), -1);
    EXPECT_EQ(traps(), (std::vector<Trap>{{51, Family::Trap, ""}}));
}

TEST_F(ConversionsTest, ChangeTypeWithTraps) {
    VARIANT v = bstr_variant("abc");
    ZbiVariantChangeTypeAndTrap(&v, &v, VT_I4);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
    VariantClear(&v);
    clear_traps();
    v = i4(40000);
    ZbiVariantChangeTypeAndTrap(&v, &v, VT_I2);
    EXPECT_EQ(traps(), (std::vector<Trap>{{6, Family::Trap, ""}}));
    clear_traps();
    v = error_variant(7); // the code converts as a Long
    VARIANT dst = empty_variant();
    ZbiVariantChangeTypeAndTrap(&dst, &v, VT_R8);
    EXPECT_EQ(dst.vt, VT_R8);
    EXPECT_EQ(dst.dblVal, 7.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ConversionsTest, ChangeTypeIntoAnotherVariantClearsTheSource) {
    BlockBalance balance;
    VARIANT src = bstr_variant("12");
    VARIANT dst = empty_variant();
    ZbiVariantChangeTypeAndTrap(&dst, &src, VT_I2);
    EXPECT_EQ(dst.vt, VT_I2);
    EXPECT_EQ(dst.iVal, 12);
    EXPECT_EQ(src.vt, VT_EMPTY);
    EXPECT_EQ(balance.delta(), 0);
}

// ---- VariantChangeType -----------------------------------------------------------------------

TEST_F(ConversionsTest, ChangeTypeRoundsHalfToEvenAndReportsOverflow) {
    struct Case {
        double value;
        VARTYPE vt;
        HRESULT hr;
        int64_t expected;
    } cases[] = {{2.5, VT_I2, S_OK, 2},
                 {3.5, VT_I2, S_OK, 4},
                 {-2.5, VT_I4, S_OK, -2},
                 {32767.5, VT_I2, DISP_E_OVERFLOW, 0},
                 {-32768.4, VT_I2, S_OK, -32768},
                 {2147483647.4, VT_I4, S_OK, 2147483647},
                 {2147483647.5, VT_I4, DISP_E_OVERFLOW, 0}};
    for (const Case &c : cases) {
        VARIANT src = r8(c.value);
        VARIANT dst = empty_variant();
        EXPECT_EQ(VariantChangeType(&dst, &src, 0, c.vt), c.hr) << c.value;
        if (c.hr != S_OK) continue;
        EXPECT_EQ(dst.vt, c.vt);
        EXPECT_EQ(c.vt == VT_I2 ? dst.iVal : dst.lVal, c.expected) << c.value;
    }
}

TEST_F(ConversionsTest, ChangeTypeBetweenCurrencyAndOtherNumbers) {
    VARIANT src = cy(25000); // 2.5
    VARIANT dst = empty_variant();
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, VT_I2), S_OK);
    EXPECT_EQ(dst.iVal, 2);
    src = cy(-35000);
    VariantChangeType(&dst, &src, 0, VT_I4);
    EXPECT_EQ(dst.lVal, -4);
    src = r8(1e300);
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, VT_CY), DISP_E_OVERFLOW);
    src = r8(0.03125); // exactly 312.5 units: the tie goes to even
    VariantChangeType(&dst, &src, 0, VT_CY);
    EXPECT_EQ(dst.cyVal, 312);
    src = r8(-0.09375); // exactly -937.5 units
    VariantChangeType(&dst, &src, 0, VT_CY);
    EXPECT_EQ(dst.cyVal, -938);
    src = r8(1e39);
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, VT_R4), DISP_E_OVERFLOW);
}

TEST_F(ConversionsTest, ChangeTypeOfSpecialSubtypes) {
    VARIANT dst = empty_variant();
    VARIANT src = null_variant();
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, VT_I4), DISP_E_TYPEMISMATCH);
    src = empty_variant();
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, VT_R8), S_OK);
    EXPECT_EQ(dst.vt, VT_R8);
    EXPECT_EQ(dst.dblVal, 0.0);
    src = i2(5);
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, VT_BOOL), S_OK);
    EXPECT_EQ(dst.boolVal, -1);
    src = boolean(true);
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, VT_I2), S_OK);
    EXPECT_EQ(dst.iVal, -1);
    src = error_variant(3);
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, VT_I4), DISP_E_TYPEMISMATCH);
    src = bstr_variant("True");
    EXPECT_EQ(VariantChangeType(&src, &src, 0, VT_BOOL), S_OK);
    EXPECT_EQ(src.boolVal, -1);
    src.vt = 30;
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, VT_I2), DISP_E_BADVARTYPE);
    EXPECT_TRUE(traps().empty()); // the platform function reports by its result only
}

TEST_F(ConversionsTest, ChangeTypeOfStrings) {
    BlockBalance balance;
    VARIANT v = bstr_variant("1.5");
    EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_I2), S_OK);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 2);
    v = bstr_variant("&H10");
    EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_R8), S_OK);
    EXPECT_EQ(v.dblVal, 16.0);
    v = bstr_variant("x");
    EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_R8), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(v.vt, VT_BSTR); // a failed conversion leaves the source
    VariantClear(&v);
    v = r8(0.5);
    EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
    EXPECT_EQ(ascii_of(v.bstrVal), "0.5");
    VariantClear(&v);
    EXPECT_EQ(balance.delta(), 0);
}

// ---- To date --------------------------------------------------------------------------------

namespace {
double to_date_serial(VARIANT v, uint8_t numeric_text, uint8_t range_check) {
    ZbiVariantCvtToDate(&v, &v, numeric_text, range_check);
    return v.vt == VT_DATE ? v.date : -1e300;
}
} // namespace

TEST_F(ConversionsTest, ToDateOfNumbers) {
    EXPECT_EQ(to_date_serial(empty_variant(), 0, 0), 0.0);
    EXPECT_EQ(to_date_serial(i2(2), 0, 0), 2.0);
    EXPECT_EQ(to_date_serial(boolean(true), 0, 0), -1.0);
    EXPECT_EQ(to_date_serial(r8(35000.25), 0, 0), 35000.25);
    EXPECT_EQ(to_date_serial(cy(15000), 0, 0), 1.5);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ConversionsTest, ToDateOfTextWithoutNumbersWanted) {
    // 25 December 1996 is day 35424 after 30 December 1899.
    EXPECT_EQ(to_date_serial(bstr_variant("12/25/96"), 0, 0), 35424.0);
    EXPECT_TRUE(traps().empty());
    for (const char *text : {"123", "-5", "&H10", ""}) {
        clear_traps();
        BlockBalance balance;
        VARIANT v = bstr_variant(text);
        ZbiVariantCvtToDate(&v, &v, 0, 0);
        EXPECT_EQ(v.vt, VT_BSTR) << text; // not written
        EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}})) << text;
        VariantClear(&v);
        EXPECT_EQ(balance.delta(), 0);
    }
    clear_traps();
    VARIANT warm = bstr_variant("warm up");
    ZbiVariantCvtToDate(&warm, &warm, 0, 0); // the parser keeps the host's words once read
    BiXVariantClear(&warm);
    clear_traps();
    BlockBalance balance;
    VARIANT v = bstr_variant("not a date");
    ZbiVariantCvtToDate(&v, &v, 0, 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
    BiXVariantClear(&v);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(ConversionsTest, ToDateOfNumericTextWhenNumbersAreWanted) {
    EXPECT_EQ(to_date_serial(bstr_variant("123"), 1, 0), 123.0);
    EXPECT_EQ(to_date_serial(bstr_variant("12/25/96"), 1, 0), 35424.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ConversionsTest, ToDateRangeCheck) {
    EXPECT_EQ(to_date_serial(r8(2958466.0), 0, 1), 2958466.0); // written, then trapped
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    clear_traps();
    to_date_serial(r8(-657435.0), 1, 1);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
    clear_traps();
    to_date_serial(r8(2958465.5), 0, 1);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ConversionsTest, ToDateTraps) {
    VARIANT v = null_variant();
    ZbiVariantCvtToDate(&v, &v, 0, 0);
    v = error_variant(1);
    ZbiVariantCvtToDate(&v, &v, 0, 0);
    v.vt = 40;
    ZbiVariantCvtToDate(&v, &v, 0, 0);
    EXPECT_EQ(traps(),
              (std::vector<Trap>{
                  {94, Family::Trap, ""}, {13, Family::Trap, ""}, {51, Family::Trap, ""}}));
}
