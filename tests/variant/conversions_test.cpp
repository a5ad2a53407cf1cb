// Variant conversions: to number, to string, to date, the zero test, the typed bridges and the
// change of type, with and without traps.
#include <fstream>

#include "harness/fresh_process.h"
#include "variant/operator_support.h"

namespace brtl_test {
namespace {

class VariantConversions : public RuntimeTest {};

VARIANT str_to_num(const std::string &text) {
    VARIANT v = bstr_variant(text);
    BiVariantCvtStrToNum(&v);
    return v;
}
VARIANT to_num(VARIANT src, VARIANT dst = {}, bool in_place = false) {
    ZbiVariantCvtToNum(in_place ? &src : &dst, &src);
    return in_place ? src : dst;
}
VARIANT to_double(VARIANT v) {
    BiVariantCvtToDouble(&v);
    return v;
}
VARIANT to_bstr(VARIANT v) {
    ZbiVariantCvtToBStr(&v, &v);
    return v;
}
VARIANT to_date(VARIANT v, uint8_t numeric_text = 0, uint8_t range_check = 0) {
    ZbiVariantCvtToDate(&v, &v, numeric_text, range_check);
    return v;
}
VARIANT odd(VARTYPE vt) {
    VARIANT v{};
    v.vt = vt;
    return v;
}
// VariantChangeType into a new Variant, or in place; its result must be hr.
VARIANT change(VARIANT src, VARTYPE vt, HRESULT hr, bool in_place = false,
               int line = __builtin_LINE()) {
    VARIANT dst = empty_variant(), *to = in_place ? &src : &dst;
    EXPECT_EQ(VariantChangeType(to, &src, 0, vt), hr) << "row at line " << line;
    return *to;
}

// ZbiVariantChangeTypeAndTrap in place, or into an Empty Variant leaving the source in *rest.
VARIANT change_and_trap(VARIANT src, VARTYPE vt, VARIANT *rest = nullptr) {
    VARIANT dst = empty_variant(), *to = rest ? &dst : &src;
    ZbiVariantChangeTypeAndTrap(to, &src, vt);
    if (rest) *rest = src;
    return *to;
}

TEST_F(VariantConversions, StringToNumber) {
    BlockBalance balance;
    check({
        // The smallest subtype that holds the value.
        {got(str_to_num(" 12 ")), VT_I2, 12},
        {got(str_to_num("40000")), VT_I4, 40000},
        {got(str_to_num("3000000000")), VT_R8, 3e9},
        {got(str_to_num("1.5")), VT_R8, 1.5},
        {got(str_to_num("2.0")), VT_I2, 2},
        {got(str_to_num("-32769")), VT_I4, -32769},
        {got(str_to_num("1e3")), VT_I2, 1000},
        {got(str_to_num("1d2")), VT_I2, 100}, // "d" is an exponent letter too
        // Radix literals.
        {got(str_to_num("&HFF")), VT_I2, 255},
        {got(str_to_num("&hff")), VT_I2, 255},
        {got(str_to_num("&O17")), VT_I2, 15},
        {got(str_to_num("&HFFFF")), VT_I4, 65535},
        {got(str_to_num("&H7FFFFFFFF")), VT_R8, 34359738367.0},
        {got(str_to_num("  &H10  ")), VT_I2, 16},
        // The default thousands separator is ","; after a leading one the rest is ignored.
        {got(str_to_num("1,234")), VT_I2, 1234},
        {got(str_to_num("12,")), VT_I2, 12},
        {got(str_to_num(",5 junk")), VT_I2, 5},
        {got(str_to_num("1,234,567.5")), VT_R8, 1234567.5},
    });
    for (const char *text :
         {"", "abc", "1e999", "&O18", "&X1", "12 x", "1,5x", "inf", "0x10", "."}) {
        SCOPED_TRACE(text);
        check({{got(str_to_num(text)), VT_EMPTY, kAny, {kMismatch}}});
    }
    EXPECT_EQ(balance.delta(), 0);
    VARIANT v = bstr_variant(std::string(300, '1')); // longer than the inline text buffer
    fail_allocations_after(0);
    BiVariantCvtStrToNum(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(BI_TRAP_OUT_OF_MEMORY)});
}

TEST_F(VariantConversions, TheProfilesSeparators) {
    // Numbers read the thousands separator of the profile and write its decimal separator (not
    // for a Currency).
    BRTL_IN_FRESH_PROCESS({
        std::ofstream(scratch_profile()) << "[intl]\nsThousand=.\nsDecimal=,\n";
        check({{got(str_to_num("1.5")), VT_I2, 15},
               {got(str_to_num("1.234.567")), VT_I4, 1234567},
               {got(to_bstr(r8(2.5))), VT_BSTR, kAny, {}, "2,5"},
               {got(to_bstr(cy(25000))), VT_BSTR, kAny, {}, "2.5"}});
    });
}

TEST_F(VariantConversions, StringToNumberUnderTheDoubleByteCodePage) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    VARIANT v = bstr_variant(std::u16string(u"&\u3042")); // a double-byte letter is no radix
    check({{got(str_to_num("1,234")), VT_I2, 1234},
           {got((BiVariantCvtStrToNum(&v), v)), VT_EMPTY, kAny, {kMismatch}}});
}

TEST_F(VariantConversions, ToNumberToDoubleAndTheZeroTest) {
    BlockBalance balance;
    check({
        {got(to_num(empty_variant())), VT_I2, 0},
        {got(to_num(date(36000.5))), VT_R8, 36000.5},
        {got(to_num(boolean(true))), VT_I2, -1},
        {got(to_num(null_variant())), VT_NULL},
        {got(to_num(error_variant(5))), kAnyType, kAny, {kMismatch}},
        {got(to_num(odd(20))), VT_EMPTY, kAny, {kUnsupported}},
        {got(to_num(cy(15000), {}, true)), VT_CY, 15000},
        {got(to_num(bstr_variant("7"), bstr_variant("old"))), VT_I2, 7}, // both are released
        {got(to_double(cy(-25000))), VT_R8, -2.5},
        {got(to_double(bstr_variant("12.25"))), VT_R8, 12.25},
        {got(to_double(null_variant())), VT_R8, kAny, {kUnsupported}},
        {got(to_double(error_variant(1))), VT_R8, kAny, {kMismatch}},
    });
    struct {
        VARIANT v;
        int zero;
    } zeros[] = {{r8(-0.0), 1}, {r4(-0.0f), 1},  {null_variant(), 1},
                 {cy(1), 0},    {r8(1e-300), 0}, {boolean(true), 0}};
    for (auto &z : zeros)
        EXPECT_EQ(ZbiVariantIsZero(&z.v), z.zero) << "subtype " << z.v.vt;
    VARIANT v = bstr_variant("0");
    EXPECT_EQ(ZbiVariantIsZero(&v), 1);
    EXPECT_EQ(v.vt, VT_I2); // the string was converted in place
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(traps().empty());
    v = error_variant(0);
    ZbiVariantIsZero(&v);
    EXPECT_EQ(traps(), std::vector<Trap>{kMismatch});
}

TEST_F(VariantConversions, ToString) {
    BlockBalance balance;
    VARIANT null_string{};
    null_string.vt = VT_BSTR;
    check({
        {got(to_bstr(i2(-12))), VT_BSTR, kAny, {}, "-12"},
        {got(to_bstr(boolean(true))), VT_BSTR, kAny, {}, "-1"},
        {got(to_bstr(r4(0.1f))), VT_BSTR, kAny, {}, "0.1"},
        {got(to_bstr(r8(1.0 / 3.0))), VT_BSTR, kAny, {}, "0.333333333333333"},
        {got(to_bstr(r8(1.5e20))), VT_BSTR, kAny, {}, "1.5E+20"},
        {got(to_bstr(r8(-2.5e-7))), VT_BSTR, kAny, {}, "-2.5E-7"},
        {got(to_bstr(cy(-2500))), VT_BSTR, kAny, {}, "-.25"},
        {got(to_bstr(empty_variant())), VT_BSTR, kAny, {}, ""},
        // Day 35424 is 25 December 1996; the default short date pattern is mm/dd/yy; beyond
        // the year 9999 the plain number.
        {got(to_bstr(date(35424.0))), VT_BSTR, kAny, {}, "12/25/96"},
        {got(to_bstr(date(35424.75))), VT_BSTR, kAny, {}, "12/25/96 6:00:00 PM"},
        {got(to_bstr(date(0.25))), VT_BSTR, kAny, {}, "6:00:00 AM"},
        {got(to_bstr(date(3e6))), VT_BSTR, kAny, {}, "3000000"},
        {got(to_bstr(null_variant())), VT_NULL, kAny, {trap(BI_TRAP_INVALID_USE_OF_NULL)}},
        {got(to_bstr(error_variant(3))), kAnyType, kAny, {kMismatch}},
        {got(to_bstr(null_string)), VT_EMPTY, kAny, {trap(BI_TRAP_OUT_OF_STRING_SPACE)}},
        {got(to_bstr(odd(17))), kAnyType, kAny, {kUnsupported}},
    });
    VARIANT src = bstr_variant("abc"), dst; // a string into another Variant is moved
    ZbiVariantCvtToBStr(&dst, &src);
    EXPECT_EQ(dst.vt, VT_BSTR);
    EXPECT_EQ(dst.bstrVal, src.bstrVal);
    VariantClear(&dst);
    EXPECT_EQ(take(ZbiEvalCvtVS(r8(2.5), 0)), "2.5");
    EXPECT_EQ(take(ZbiEvalCvtVS(i2(7), 1)), "7");
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantConversions, ToDate) {
    BlockBalance balance;
    check({
        {got(to_date(empty_variant())), VT_DATE, 0.0},
        {got(to_date(boolean(true))), VT_DATE, -1.0},
        {got(to_date(r8(35000.25))), VT_DATE, 35000.25},
        {got(to_date(cy(15000))), VT_DATE, 1.5},
        {got(to_date(bstr_variant("12/25/96"))), VT_DATE, 35424.0},
        // Numeric text is a date only when numbers are wanted; else the text is not written.
        {got(to_date(bstr_variant("123"))), VT_BSTR, kAny, {kMismatch}, "123"},
        {got(to_date(bstr_variant("-5"))), VT_BSTR, kAny, {kMismatch}, "-5"},
        {got(to_date(bstr_variant("&H10"))), VT_BSTR, kAny, {kMismatch}, "&H10"},
        {got(to_date(bstr_variant(""))), VT_BSTR, kAny, {kMismatch}, ""},
        {got(to_date(bstr_variant("123"), 1)), VT_DATE, 123.0},
        {got(to_date(bstr_variant("12/25/96"), 1)), VT_DATE, 35424.0},
        // Out of range: written, then trapped.
        {got(to_date(r8(2958466.0), 0, 1)), VT_DATE, 2958466.0, {trap(BI_TRAP_ILLEGAL_CALL)}},
        {got(to_date(r8(-657435.0), 1, 1)), kAnyType, kAny, {kMismatch}},
        {got(to_date(r8(2958465.5), 0, 1)), VT_DATE, 2958465.5},
        {got(to_date(null_variant())), kAnyType, kAny, {trap(BI_TRAP_INVALID_USE_OF_NULL)}},
        {got(to_date(error_variant(1))), kAnyType, kAny, {kMismatch}},
        {got(to_date(odd(40))), kAnyType, kAny, {kUnsupported}},
    });
    EXPECT_EQ(balance.delta(), 0);
    VARIANT warm = bstr_variant("warm up");
    ZbiVariantCvtToDate(&warm, &warm, 0, 0); // the parser keeps the host's words once read
    BiXVariantClear(&warm);
    clear_traps();
    BlockBalance after;
    check({{got(to_date(bstr_variant("not a date"))), kAnyType, kAny, {kMismatch}}});
    EXPECT_EQ(after.delta(), 0);
}

template <class T> VARIANT to_variant(T value, int16_t type, int result = 0) {
    VARIANT v{};
    EXPECT_EQ(ZbiVariantCvtToVariant(&v, &value, type), result) << "type " << type;
    return v;
}
template <class T> T from_variant(VARIANT &v, int16_t type) {
    T value{};
    EXPECT_EQ(ZbiVariantCvtFromVariant(&value, type, &v), 0) << "type " << type;
    return value;
}

TEST_F(VariantConversions, TypedValuesToVariantsAndBack) {
    check({
        {got(to_variant<int16_t>(-5, 4)), VT_I2, -5},
        {got(to_variant<int32_t>(70000, 5)), VT_I4, 70000},
        {got(to_variant(1.5f, 7)), VT_R4, 1.5},
        {got(to_variant<int64_t>(12345, 9)), VT_CY, 12345},
        {got(to_variant("plain", 15)), VT_BSTR, kAny, {}, "plain"},
        {got(to_variant<int16_t>(-5, 14, -1)), kAnyType, kAny, {kMismatch}},
    });
    int64_t c = 0;
    VARIANT v = to_variant<void *>(&c, 12);
    EXPECT_EQ(v.vt, VT_BYREF);
    EXPECT_EQ(v.byref, &c);
    BiString s = temp("hey");
    BlockBalance balance;
    check({{got(to_variant(s, 13)), VT_BSTR, kAny, {}, "hey"}});
    EXPECT_EQ(balance.delta(), -1); // the temporary was freed

    VARIANT half = r8(2.5), text = bstr_variant("3.5"), large = i4(100000), fraction = r8(1.23456);
    VARIANT number = i2(42), other = i2(1);
    EXPECT_EQ(from_variant<int16_t>(half, 4), 2); // half to even
    EXPECT_EQ(from_variant<int16_t>(text, 4), 4);
    EXPECT_EQ(from_variant<double>(large, 8), 100000.0);
    EXPECT_EQ(from_variant<int64_t>(fraction, 9), 12346);
    EXPECT_EQ(take(from_variant<BiString>(number, 13)), "42");
    check({{got(number), VT_BSTR, kAny, {}, "42"}}); // the source keeps its string
    EXPECT_EQ(ZbiVariantCvtFromVariant(&s, 14, &other), -1);
    EXPECT_EQ(traps(), std::vector<Trap>{kUnsupported});
}

TEST_F(VariantConversions, ChangeTypeWithTraps) {
    BlockBalance balance;
    VARIANT rest, code;
    check({{got(change_and_trap(bstr_variant("12"), VT_I2, &rest)), VT_I2, 12},
           {got(change_and_trap(error_variant(7), VT_R8, &code)), VT_R8, 7.0}, // as a Long
           {got(change_and_trap(bstr_variant("abc"), VT_I4)), kAnyType, kAny, {kMismatch}},
           {got(change_and_trap(i4(40000), VT_I2)), kAnyType, kAny, {trap(BI_TRAP_OVERFLOW)}}});
    EXPECT_EQ(rest.vt, VT_EMPTY); // converted into another Variant, the source is cleared
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantConversions, VariantChangeTypeReportsByItsResultOnly) {
    BlockBalance balance;
    check({
        {got(change(r8(2.5), VT_I2, S_OK)), VT_I2, 2},
        {got(change(r8(3.5), VT_I2, S_OK)), VT_I2, 4},
        {got(change(r8(32767.5), VT_I2, DISP_E_OVERFLOW)), kAnyType},
        {got(change(r8(-32768.4), VT_I2, S_OK)), VT_I2, -32768},
        {got(change(r8(2147483647.5), VT_I4, DISP_E_OVERFLOW)), kAnyType},
        {got(change(cy(25000), VT_I2, S_OK)), VT_I2, 2},
        {got(change(r8(1e300), VT_CY, DISP_E_OVERFLOW)), kAnyType},
        {got(change(r8(0.03125), VT_CY, S_OK)), VT_CY, 312}, // exactly 312.5 units: to even
        {got(change(r8(1e39), VT_R4, DISP_E_OVERFLOW)), kAnyType},
        {got(change(null_variant(), VT_I4, DISP_E_TYPEMISMATCH)), kAnyType},
        {got(change(empty_variant(), VT_R8, S_OK)), VT_R8, 0.0},
        {got(change(i2(5), VT_BOOL, S_OK)), VT_BOOL, -1},
        {got(change(boolean(true), VT_I2, S_OK)), VT_I2, -1},
        {got(change(error_variant(3), VT_I4, DISP_E_TYPEMISMATCH)), kAnyType},
        {got(change(odd(30), VT_I2, DISP_E_BADVARTYPE)), kAnyType},
        {got(change(bstr_variant("True"), VT_BOOL, S_OK, true)), VT_BOOL, -1},
        {got(change(bstr_variant("1.5"), VT_I2, S_OK, true)), VT_I2, 2},
        {got(change(bstr_variant("&H10"), VT_R8, S_OK, true)), VT_R8, 16.0},
        // A failed conversion leaves the source.
        {got(change(bstr_variant("x"), VT_R8, DISP_E_TYPEMISMATCH, true)), VT_BSTR, kAny, {}, "x"},
        {got(change(r8(0.5), VT_BSTR, S_OK, true)), VT_BSTR, kAny, {}, "0.5"},
    });
    EXPECT_EQ(balance.delta(), 0);
}

} // namespace
} // namespace brtl_test
