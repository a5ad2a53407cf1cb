// Input #: the two ways of reading a field, the conversions into typed targets and the subtype
// a Variant target gets.
#include <cmath>
#include <string>

#include "file_test.h"

using namespace brtl_test;

namespace {

class InputTest : public FileTest {
  protected:
    void input_file(const std::string &bytes, int16_t mode = BI_FILE_MODE_INPUT) {
        write("in.txt", bytes);
        open("in.txt", mode, 1);
        ASSERT_TRUE(traps().empty());
    }
};

// Reads n Variants from file 1 with one Input # statement.
std::vector<VARIANT> read_variants(int n) {
    std::vector<VARIANT> v(static_cast<size_t>(n));
    for (auto &x : v)
        x.vt = VT_EMPTY;
    switch (n) {
    case 1:
        ZbiBuiltIn_Input(1, 1, BI_TYPE_VARIANT, &v[0]);
        break;
    case 2:
        ZbiBuiltIn_Input(1, 2, BI_TYPE_VARIANT, &v[0], BI_TYPE_VARIANT, &v[1]);
        break;
    case 5:
        ZbiBuiltIn_Input(1, 5, BI_TYPE_VARIANT, &v[0], BI_TYPE_VARIANT, &v[1], BI_TYPE_VARIANT,
                         &v[2], BI_TYPE_VARIANT, &v[3], BI_TYPE_VARIANT, &v[4]);
        break;
    default:
        ADD_FAILURE() << "no form for " << n;
    }
    return v;
}

VARIANT one_variant() {
    return read_variants(1)[0];
}

void clear(std::vector<VARIANT> &v) {
    for (auto &x : v)
        VariantClear(&x);
}

Trap trap(int32_t number) {
    return Trap{number, Family::Trap, ""};
}

} // namespace

TEST_F(InputTest, AMixedLineGivesIntegerStringCurrencyNullAndDate) {
    input_file("1, \"a,b\" , 3.5, #NULL#, #1996-07-04 12:00:00#\r\n");
    auto v = read_variants(5);
    EXPECT_TRUE(traps().empty());
    ASSERT_EQ(v[0].vt, VT_I2);
    EXPECT_EQ(v[0].iVal, 1);
    ASSERT_EQ(v[1].vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v[1].bstrVal), "a,b");
    ASSERT_EQ(v[2].vt, VT_CY);
    EXPECT_EQ(v[2].cyVal, 35000);
    EXPECT_EQ(v[3].vt, VT_NULL);
    ASSERT_EQ(v[4].vt, VT_DATE);
    EXPECT_DOUBLE_EQ(v[4].date, 35250.5); // 4 July 1996 is day 35250
    clear(v);
    EXPECT_EQ(ZbiBuiltIn_EOF(1), -1);
}

TEST_F(InputTest, NumbersTakeTheSmallestSubtypeThatHoldsThem) {
    input_file("3.14159,3.1415,1e3,40000,3000000000,-32768,-32769,2147483647,1D2,-.5,+7\n");
    VARIANT v = one_variant();
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_DOUBLE_EQ(v.dblVal, 3.14159);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 31415);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_DOUBLE_EQ(v.dblVal, 1000.0);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 40000);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 30000000000000LL);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, -32768);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -32769);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 2147483647);
    v = one_variant(); // "D" is an exponent letter too
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_DOUBLE_EQ(v.dblVal, 100.0);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, -5000);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 7);
    EXPECT_TRUE(traps().empty());
}

TEST_F(InputTest, NumbersBeyondCurrencyBecomeDoublesAndOverflowTraps) {
    input_file("99999999999999999999,999999999999999,-922337203685477.5808,"
               "922337203685477.5808,1e999,1e-400\n");
    VARIANT v = one_variant();
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_DOUBLE_EQ(v.dblVal, 1e20);
    v = one_variant(); // what Write # writes for the Double 999999999999999
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_DOUBLE_EQ(v.dblVal, 999999999999999.0);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, INT64_MIN);
    v = one_variant();
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_DOUBLE_EQ(v.dblVal, 922337203685477.5808);
    EXPECT_TRUE(traps().empty());
    v = one_variant();
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(6)});
    v = one_variant(); // too small for a Double: zero, not an overflow
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 0.0);
}

TEST_F(InputTest, DateFieldsNeedTheirExactForm) {
    input_file(
        "#12:75:00#,#5:00:00#,#05:00:00#,#1996-02-30#,#1996-07-04#,##,#NULL#x,"
        "#1899-12-29 06:00:00#,#1899-12-31#,#0100-01-01#,#9999-12-31 23:59:59#,#24:00:00#\n");
    VARIANT v = one_variant();
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v.bstrVal), "#12:75:00#");
    VariantClear(&v);
    v = one_variant();
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v.bstrVal), "#5:00:00#");
    VariantClear(&v);
    v = one_variant();
    ASSERT_EQ(v.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(v.date, 5.0 / 24.0);
    v = one_variant();
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v.bstrVal), "#1996-02-30#");
    VariantClear(&v);
    v = one_variant();
    ASSERT_EQ(v.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(v.date, 35250.0);
    v = one_variant();
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v.bstrVal), "##");
    VariantClear(&v);
    v = one_variant();
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v.bstrVal), "#NULL#x");
    VariantClear(&v);
    v = one_variant(); // two days before day 0, a quarter of the way in
    ASSERT_EQ(v.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(v.date, -1.25);
    v = one_variant();
    ASSERT_EQ(v.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(v.date, 1.0);
    v = one_variant(); // the first day of year 100
    ASSERT_EQ(v.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(v.date, -657434.0);
    v = one_variant();
    ASSERT_EQ(v.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(v.date, 2958465.0 + 86399.0 / 86400.0);
    v = one_variant();
    ASSERT_EQ(v.vt, VT_BSTR);
    VariantClear(&v);
    EXPECT_TRUE(traps().empty());
}

TEST_F(InputTest, ABlankEndsANumberFieldButNotAText) {
    input_file("12 34\n12 34\n");
    int16_t a = 0, b = 0;
    ZbiBuiltIn_Input(1, 2, BI_TYPE_INTEGER, &a, BI_TYPE_INTEGER, &b);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 34);
    BiString s{const_cast<char *>(""), 0};
    ZbiBuiltIn_Input(1, 1, BI_TYPE_STRING, &s);
    EXPECT_EQ(text_of(s), "12 34");
    EXPECT_FALSE(BiStringIsTemporary(s));
    ZrFree(s.data);
}

TEST_F(InputTest, ACarriageReturnDiscardsTheRestOfItsLine) {
    input_file("abc\rdef\nghi\n1 \r junk\n2");
    BiString s1{const_cast<char *>(""), 0}, s2{const_cast<char *>(""), 0};
    ZbiBuiltIn_Input(1, 2, BI_TYPE_STRING, &s1, BI_TYPE_STRING, &s2);
    EXPECT_EQ(text_of(s1), "abc");
    EXPECT_EQ(text_of(s2), "ghi");
    int32_t a = 0, b = 0;
    ZbiBuiltIn_Input(1, 2, BI_TYPE_LONG, &a, BI_TYPE_LONG, &b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    ZrFree(s1.data);
    ZrFree(s2.data);
    EXPECT_TRUE(traps().empty());
}

TEST_F(InputTest, QuotedFieldsKeepCommasAndLineBreaks) {
    input_file("\"line 1\r\nline 2, more\",\"say \"\"hi\"\"\" , \"tail\"x y,\"open");
    auto v = read_variants(2);
    ASSERT_EQ(v[0].vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v[0].bstrVal), "line 1\r\nline 2, more");
    // A quote closes the quoted part; what follows runs on as a number field would.
    ASSERT_EQ(v[1].vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v[1].bstrVal), "say \"\"hi\"\"");
    clear(v);
    BiString s{const_cast<char *>(""), 0};
    ZbiBuiltIn_Input(1, 1, BI_TYPE_STRING, &s);
    EXPECT_EQ(text_of(s), "tailx"); // the blank ended the field; "y" begins the next
    ZbiBuiltIn_Input(1, 1, BI_TYPE_STRING, &s);
    EXPECT_EQ(text_of(s), "y");
    VARIANT open_quote = one_variant(); // a quote still open at the end of the file
    ASSERT_EQ(open_quote.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(open_quote.bstrVal), "open");
    VariantClear(&open_quote);
    ZrFree(s.data);
}

TEST_F(InputTest, TypedTargetsConvertLikeThePlatformRuntime) {
    input_file("70000,abc,-3000000000, 2.5 ,1D3,-4.25e-1,12.5,\"q\",ab,abcdef\n");
    int16_t i = 1, j = 1;
    int32_t l = 0;
    float f = 0;
    double d = 0, e = 0;
    int64_t c = 0;
    ZbiBuiltIn_Input(1, 7, BI_TYPE_INTEGER, &i, BI_TYPE_INTEGER, &j, BI_TYPE_LONG, &l,
                     BI_TYPE_SINGLE, &f, BI_TYPE_DOUBLE, &d, BI_TYPE_DOUBLE, &e, BI_TYPE_CURRENCY,
                     &c);
    EXPECT_EQ(i, 4464); // the low 16 bits of 70000
    EXPECT_EQ(j, 0);
    EXPECT_EQ(l, static_cast<int32_t>(-3000000000LL)); // the low 32 bits
    EXPECT_FLOAT_EQ(f, 2.5f);
    EXPECT_DOUBLE_EQ(d, 1000.0);
    EXPECT_DOUBLE_EQ(e, -0.425);
    EXPECT_EQ(c, 125000);
    char q[4] = "xyz", fixed[5] = "zzzz", cut[4] = "zzz";
    // A fixed-length string reads a quoted field without its quotes.
    ZbiBuiltIn_Input(1, 3, BI_TYPE_FIXED_STRING, 3, q, BI_TYPE_FIXED_STRING, 4, fixed,
                     BI_TYPE_FIXED_STRING, 3, cut);
    EXPECT_STREQ(q, "q  ");
    EXPECT_STREQ(fixed, "ab  ");
    EXPECT_STREQ(cut, "abc");
    EXPECT_TRUE(traps().empty());
}

TEST_F(InputTest, ACurrencyThatDoesNotConvertKeepsTheTarget) {
    input_file("1.23456,5\n");
    int64_t c = 77, d = 0;
    ZbiBuiltIn_Input(1, 2, BI_TYPE_CURRENCY, &c, BI_TYPE_CURRENCY, &d);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(6)});
    EXPECT_EQ(c, 77);
    EXPECT_EQ(d, 0); // the statement ended at the trap
}

TEST_F(InputTest, TheEndOfTheFileEndsTheStatementAfterWhatWasRead) {
    input_file("1,2");
    int16_t a = 0, b = 0, c = 9;
    ZbiBuiltIn_Input(1, 3, BI_TYPE_INTEGER, &a, BI_TYPE_INTEGER, &b, BI_TYPE_INTEGER, &c);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 9);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(62)});
}

TEST_F(InputTest, EmptyFieldsGiveEmptyVariantsAndZeros) {
    input_file(",5\n,\n");
    auto v = read_variants(2);
    EXPECT_EQ(v[0].vt, VT_EMPTY);
    ASSERT_EQ(v[1].vt, VT_I2);
    EXPECT_EQ(v[1].iVal, 5);
    int16_t a = 1;
    double d = 1;
    ZbiBuiltIn_Input(1, 2, BI_TYPE_INTEGER, &a, BI_TYPE_DOUBLE, &d);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(d, 0.0);
}

TEST_F(InputTest, ModesNumbersAndTypeCodesAreChecked) {
    input_file("1,2,3", BI_FILE_MODE_BINARY);
    open("o.txt", BI_FILE_MODE_OUTPUT, 2);
    open("a.txt", BI_FILE_MODE_APPEND, 3);
    open("r.dat", BI_FILE_MODE_RANDOM, 4);
    int16_t x = 0, y = 0;
    for (int16_t n : {2, 3, 4})
        ZbiBuiltIn_Input(n, 1, BI_TYPE_INTEGER, &x);
    ZbiBuiltIn_Input(5, 1, BI_TYPE_INTEGER, &x);
    ZbiBuiltIn_Input(1, 2, BI_TYPE_INTEGER, &x, 12, &y); // Binary files are read
    EXPECT_EQ(x, 1);
    EXPECT_EQ(traps(), (std::vector<Trap>{
                           trap(54), trap(54), trap(54), {52, Family::FileTrap, "5"}, trap(5)}));
}

TEST_F(InputTest, OldValuesAreReleased) {
    input_file("\"new\",\"newer\",7\n");
    make_host_objects();
    BlockBalance balance;
    BiString s = ZbiDuplicateString(Borrowed("old").get());
    VARIANT v = bstr_variant("old variant");
    VARIANT n = bstr_variant("old number");
    ZbiBuiltIn_Input(1, 3, BI_TYPE_STRING, &s, BI_TYPE_VARIANT, &v, BI_TYPE_VARIANT, &n);
    EXPECT_EQ(text_of(s), "new");
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v.bstrVal), "newer");
    EXPECT_EQ(n.vt, VT_I2);
    ZrFree(s.data);
    VariantClear(&v);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(InputTest, LongFieldsAndNoMemory) {
    std::string big(5000, 'w');
    input_file("\"" + big + "\"," + big + "\n");
    VARIANT v = one_variant();
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(SysStringLen(v.bstrVal), 5000u);
    VariantClear(&v);
    make_host_objects();
    BlockBalance balance;
    BiString s{const_cast<char *>(""), 0};
    fail_allocations_after(0);
    ZbiBuiltIn_Input(1, 1, BI_TYPE_STRING, &s);
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(7)});
    EXPECT_EQ(BiStringLength(s), 0u);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(InputTest, AMillionShortFields) {
    std::string bytes;
    for (int i = 0; i < 1000000; ++i)
        bytes += std::to_string(i % 1000) + (i % 10 == 9 ? "\r\n" : ",");
    input_file(bytes);
    long count = 0, sum = 0;
    int16_t value = 0;
    while (ZbiBuiltIn_EOF(1) == 0) {
        ZbiBuiltIn_Input(1, 1, BI_TYPE_INTEGER, &value);
        ++count;
        sum += value;
    }
    EXPECT_EQ(count, 1000000);
    EXPECT_EQ(sum, 1000L * (999L * 1000L / 2));
    EXPECT_TRUE(traps().empty());
}

TEST_F(InputTest, AThrowingHookFreesTheFieldBuffer) {
    input_file(std::string(5000, 'v'));
    make_host_objects();
    BlockBalance balance;
    set_mode(HookMode::Throw);
    BiString s{const_cast<char *>(""), 0};
    int16_t after = 0;
    // The first field needs a buffer on the heap; the second finds the end of the file.
    EXPECT_THROW(ZbiBuiltIn_Input(1, 2, BI_TYPE_STRING, &s, BI_TYPE_INTEGER, &after),
                 TrapException);
    EXPECT_EQ(BiStringLength(s), 5000u);
    ZrFree(s.data);
    EXPECT_EQ(balance.delta(), 0);
}
