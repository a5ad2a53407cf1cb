// Input #: the two ways of reading a field, the conversions into typed targets and the subtype
// a Variant target gets.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include "file_test.h"

using namespace brtl_test;

namespace {

class InputTest : public FileTest {};

BiString empty_string() {
    return BiString{const_cast<char *>(""), 0};
}

} // namespace

TEST_F(InputTest, VariantTargetsTakeTheSubtypeTheFieldsTextGives) {
    input_file("1, \"a,b\" , 3.5, #NULL#, #1996-07-04 12:00:00#\r\n"
               "3.14159,3.1415,1e3,40000,3000000000,-32768,-32769,2147483647,1D2,-.5,+7\n"
               "99999999999999999999,999999999999999,-922337203685477.5808,"
               "922337203685477.5808,1e999,1.79769313486233E+308,1e-400\n"
               "#12:75:00#,#5:00:00#,#05:00:00#,#1996-02-30#,#1996-07-04#,##,#NULL#x,"
               "#1899-12-29 06:00:00#,#1899-12-31#,#0100-01-01#,#9999-12-31 23:59:59#,"
               "#24:00:00#\r\n");
    // 4 July 1996 is day 35250; "D" is an exponent letter too; 999999999999999 is what Write #
    // writes for that Double; 1e999 overflows (trap 6), and so does a text above the largest
    // Double's written text 1.79769313486232E+308 (which reads back as that Double); 1e-400 is
    // zero, no overflow; -1.25 is two days before day 0, a quarter of the way in; -657434 is the
    // first day of year 100.
    const auto wants =
        rows(I2(1), Str("a,b"), Cy(35000), Null, Dt(35250.5), R8(3.14159), Cy(31415), R8(1000),
             I4(40000), Cy(30000000000000), I2(-32768), I4(-32769), I4(2147483647), R8(100),
             Cy(-5000), I2(7), R8(1e20), R8(999999999999999.0), Cy(INT64_MIN),
             R8(922337203685477.5808), Empty, Empty, R8(0), Str("#12:75:00#"), Str("#5:00:00#"),
             Dt(5.0 / 24.0), Str("#1996-02-30#"), Dt(35250), Str("##"), Str("#NULL#x"), Dt(-1.25),
             Dt(1), Dt(-657434), Dt(2958465.0 + 86399.0 / 86400.0), Str("#24:00:00#"));
    for (const Want &want : wants) {
        SCOPED_TRACE(::testing::Message() << want.vt << " " << want.number << want.text);
        clear_traps();
        VARIANT v{};
        ZbiBuiltIn_Input(1, 1, BI_TYPE_VARIANT, &v);
        EXPECT_EQ(traps(), want.vt == VT_EMPTY ? std::vector<Trap>{trap(6)} : std::vector<Trap>{});
        expect_variant(v, want);
    }
    EXPECT_EQ(ZbiBuiltIn_EOF(1), -1);
}

TEST_F(InputTest, TypedTargetsFieldEndsAndTheEndOfTheFile) {
    input_file("12 34\n12 34\nabc\rdef\nghi\n1 \r junk\n2\n,5\n,\n"
               "70000,abc,-3000000000, 2.5 ,1D3,-4.25e-1,12.5,\"q\",ab,abcdef\n1.23456,5\n1,2");
    // A blank ends a number field but not a text.
    int16_t a = 0, b = 0;
    ZbiBuiltIn_Input(1, 2, BI_TYPE_INTEGER, &a, BI_TYPE_INTEGER, &b);
    EXPECT_EQ(std::tuple(a, b), std::tuple(12, 34));
    BiString s = empty_string(), t = empty_string();
    ZbiBuiltIn_Input(1, 1, BI_TYPE_STRING, &s);
    EXPECT_FALSE(BiStringIsTemporary(s));
    EXPECT_EQ(text_of(s), "12 34");
    // A carriage return discards the rest of its line. A shorter text goes into the variable's
    // own block.
    const char *block = s.data;
    ZbiBuiltIn_Input(1, 2, BI_TYPE_STRING, &s, BI_TYPE_STRING, &t);
    EXPECT_EQ(s.data, block);
    EXPECT_FALSE(BiStringIsTemporary(s));
    EXPECT_EQ(release(s), "abc");
    EXPECT_EQ(release(t), "ghi");
    int32_t l1 = 0, l2 = 0;
    ZbiBuiltIn_Input(1, 2, BI_TYPE_LONG, &l1, BI_TYPE_LONG, &l2);
    EXPECT_EQ(std::tuple(l1, l2), std::tuple(1, 2));
    // Empty fields give Empty Variants and zeros.
    VARIANT v{}, w{};
    ZbiBuiltIn_Input(1, 2, BI_TYPE_VARIANT, &v, BI_TYPE_VARIANT, &w);
    EXPECT_EQ(v.vt, VT_EMPTY);
    expect_variant(w, I2(5));
    a = 1;
    double d = 1;
    ZbiBuiltIn_Input(1, 2, BI_TYPE_INTEGER, &a, BI_TYPE_DOUBLE, &d);
    EXPECT_EQ(std::tuple(a, d), std::tuple(0, 0.0));
    // Typed targets: integers keep their low bits, a text that is no number gives 0.
    int16_t i = 1, j = 1;
    int32_t l = 0;
    float f = 0;
    double e = 0;
    int64_t c = 0;
    ZbiBuiltIn_Input(1, 7, BI_TYPE_INTEGER, &i, BI_TYPE_INTEGER, &j, BI_TYPE_LONG, &l,
                     BI_TYPE_SINGLE, &f, BI_TYPE_DOUBLE, &d, BI_TYPE_DOUBLE, &e, BI_TYPE_CURRENCY,
                     &c);
    // The low 16 bits of 70000, the low 32 bits of -3000000000.
    EXPECT_EQ(std::tuple(i, j, l, c),
              std::tuple(4464, 0, static_cast<int32_t>(-3000000000LL), 125000));
    EXPECT_FLOAT_EQ(f, 2.5f);
    EXPECT_DOUBLE_EQ(d, 1000.0);
    EXPECT_DOUBLE_EQ(e, -0.425);
    // A fixed-length string reads a quoted field without its quotes.
    char q[4] = "xyz", fixed[5] = "zzzz", cut[4] = "zzz";
    ZbiBuiltIn_Input(1, 3, BI_TYPE_FIXED_STRING, 3, q, BI_TYPE_FIXED_STRING, 4, fixed,
                     BI_TYPE_FIXED_STRING, 3, cut);
    EXPECT_STREQ(q, "q  ");
    EXPECT_STREQ(fixed, "ab  ");
    EXPECT_STREQ(cut, "abc");
    ASSERT_TRUE(traps().empty());
    // A Currency that does not convert keeps its target and ends the statement.
    c = 77;
    int64_t c2 = 0;
    ZbiBuiltIn_Input(1, 2, BI_TYPE_CURRENCY, &c, BI_TYPE_CURRENCY, &c2);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(6)});
    EXPECT_EQ(std::tuple(c, c2), std::tuple(77, 0));
    // The end of the file ends the statement after what was read.
    clear_traps();
    ZbiBuiltIn_Input(1, 1, BI_TYPE_INTEGER, &a); // the 5 left over from the Currency line
    int16_t x = 0, y = 0, z = 9;
    ZbiBuiltIn_Input(1, 3, BI_TYPE_INTEGER, &x, BI_TYPE_INTEGER, &y, BI_TYPE_INTEGER, &z);
    EXPECT_EQ(std::tuple(x, y, z), std::tuple(1, 2, 9));
    EXPECT_EQ(traps(), std::vector<Trap>{trap(62)});
}

TEST_F(InputTest, QuotedFieldsKeepCommasAndLineBreaksAndModesNumbersAndCodesAreChecked) {
    input_file("\"line 1\r\nline 2, more\",\"say \"\"hi\"\"\" , \"tail\"x y,\"open");
    VARIANT v{}, w{};
    ZbiBuiltIn_Input(1, 2, BI_TYPE_VARIANT, &v, BI_TYPE_VARIANT, &w);
    expect_variant(v, Str("line 1\r\nline 2, more"));
    // A quote closes the quoted part; what follows runs on as a number field would.
    expect_variant(w, Str("say \"\"hi\"\""));
    BiString s = empty_string();
    ZbiBuiltIn_Input(1, 1, BI_TYPE_STRING, &s);
    EXPECT_EQ(release(s), "tailx"); // the blank ended the field; "y" begins the next
    ZbiBuiltIn_Input(1, 1, BI_TYPE_STRING, &s);
    EXPECT_EQ(release(s), "y");
    ZbiBuiltIn_Input(1, 1, BI_TYPE_VARIANT, &v); // a quote still open at the end of the file
    expect_variant(v, Str("open"));
    ASSERT_TRUE(traps().empty());
    write("b.dat", "1,2,3");
    open("o.txt", BI_FILE_MODE_OUTPUT, 2);
    open("a.txt", BI_FILE_MODE_APPEND, 3);
    open("r.dat", BI_FILE_MODE_RANDOM, 4);
    open("b.dat", BI_FILE_MODE_BINARY, 6);
    int16_t x = 0, y = 0;
    for (int16_t n : {2, 3, 4, 5})
        ZbiBuiltIn_Input(n, 1, BI_TYPE_INTEGER, &x);
    ZbiBuiltIn_Input(6, 2, BI_TYPE_INTEGER, &x, 12, &y); // Binary files are read
    EXPECT_EQ(x, 1);
    EXPECT_EQ(traps(),
              (std::vector<Trap>{trap(54), trap(54), trap(54), file_trap(52, "5"), trap(5)}));
}

TEST_F(InputTest, OldValuesAreReleasedAndNoMemoryOrAThrowingHookLeaveNothing) {
    std::string big(5000, 'w');
    input_file("\"new\",\"newer\",7\n\"" + big + "\"," + big + "\n");
    write("v.txt", std::string(5000, 'v'));
    open("v.txt", BI_FILE_MODE_INPUT, 2);
    make_host_objects();
    BlockBalance balance;
    BiString s = ZbiDuplicateString(Borrowed("old").get());
    VARIANT v = bstr_variant("old variant"), n = bstr_variant("old number");
    ZbiBuiltIn_Input(1, 3, BI_TYPE_STRING, &s, BI_TYPE_VARIANT, &v, BI_TYPE_VARIANT, &n);
    EXPECT_EQ(release(s), "new");
    expect_variant(v, Str("newer"));
    expect_variant(n, I2(7));
    ZbiBuiltIn_Input(1, 1, BI_TYPE_VARIANT, &v);
    expect_variant(v, Str(big));
    fail_allocations_after(0);
    ZbiBuiltIn_Input(1, 1, BI_TYPE_STRING, &s);
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(7)});
    EXPECT_EQ(BiStringLength(s), 0u);
    // The first field needs a buffer on the heap; the second finds the end of the file.
    set_mode(HookMode::Throw);
    int16_t after = 0;
    EXPECT_THROW(ZbiBuiltIn_Input(2, 2, BI_TYPE_STRING, &s, BI_TYPE_INTEGER, &after),
                 TrapException);
    EXPECT_EQ(release(s), std::string(5000, 'v'));
    EXPECT_EQ(balance.delta(), 0);
}

// Half a million lines read alternately by Input # (two fields) and Line Input #.
TEST_F(InputTest, AMillionShortLinesAndFields) {
    std::string bytes;
    long expected = 0;
    for (int i = 0; i < 500000; ++i) {
        bytes += std::to_string(i % 1000) + "," + std::to_string(i % 7) + "\r\n";
        expected += i % 1000 + i % 7;
    }
    input_file(bytes);
    long count = 0, sum = 0;
    int16_t a = 0, b = 0;
    BiString line{const_cast<char *>(""), 0};
    for (; ZbiBuiltIn_EOF(1) == 0; ++count) {
        if (count % 2 == 0) {
            ZbiBuiltIn_Input(1, 2, BI_TYPE_INTEGER, &a, BI_TYPE_INTEGER, &b);
            sum += a + b;
        } else {
            ZbiBuiltIn_LineInput(1, BI_TYPE_STRING, 0, &line);
            sum += std::atol(line.data) + std::atol(std::strchr(line.data, ',') + 1);
        }
    }
    release(line);
    EXPECT_EQ(count, 500000);
    EXPECT_EQ(sum, expected);
    EXPECT_TRUE(traps().empty());
}
