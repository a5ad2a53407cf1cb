// What Write # writes, Input # reads back: every Variant subtype, strings with commas, quotes
// and line breaks, dates with and without a time, Null. A number comes back in the smallest
// subtype the guessing rules give its text (a Long 5 is an Integer 5, a Double 3.5 a Currency
// 3.5), with its value.
#include <cmath>
#include <string>
#include <vector>

#include "file_test.h"

using namespace brtl_test;

namespace {

class RoundTripTest : public FileTest {
  protected:
    // Writes the Variants with one Write # statement, then reads as many back with Input #, one
    // at a time.
    std::vector<VARIANT> round_trip(std::vector<VARIANT> values) {
        std::vector<int16_t> codes(values.size(), BI_TYPE_VARIANT);
        std::vector<void *> items;
        for (size_t i = 0; i < values.size(); ++i) {
            items.push_back(&codes[i]);
            items.push_back(&values[i]);
        }
        open("rt.txt", BI_FILE_MODE_OUTPUT, 1);
        ZbiBuiltIn_Write(1, static_cast<int32_t>(values.size()), items.data());
        close(1);
        open("rt.txt", BI_FILE_MODE_INPUT, 1);
        std::vector<VARIANT> back(values.size());
        for (auto &v : back) {
            v.vt = VT_EMPTY;
            ZbiBuiltIn_Input(1, 1, BI_TYPE_VARIANT, &v);
        }
        EXPECT_EQ(ZbiBuiltIn_EOF(1), -1) << read("rt.txt");
        close(1);
        EXPECT_TRUE(traps().empty()) << read("rt.txt");
        return back;
    }
    VARIANT one(VARIANT v) { return round_trip({v})[0]; }
};

std::string text(VARIANT &v) {
    std::string s = v.vt == VT_BSTR ? ascii_of(v.bstrVal) : "<not a string>";
    VariantClear(&v);
    return s;
}

} // namespace

TEST_F(RoundTripTest, IntegersLongsAndCurrencyKeepTheirValues) {
    auto back = round_trip({i2(5), i2(-32768), i4(40000), i4(-2147483647 - 1), i4(5), cy(15000),
                            cy(INT64_MIN), cy(INT64_MAX), cy(30000)});
    EXPECT_EQ(back[0].vt, VT_I2);
    EXPECT_EQ(back[0].iVal, 5);
    EXPECT_EQ(back[1].iVal, -32768);
    EXPECT_EQ(back[2].vt, VT_I4);
    EXPECT_EQ(back[2].lVal, 40000);
    EXPECT_EQ(back[3].vt, VT_I4);
    EXPECT_EQ(back[3].lVal, INT32_MIN);
    EXPECT_EQ(back[4].vt, VT_I2);
    EXPECT_EQ(back[4].iVal, 5);
    EXPECT_EQ(back[5].vt, VT_CY);
    EXPECT_EQ(back[5].cyVal, 15000);
    EXPECT_EQ(back[6].vt, VT_CY);
    EXPECT_EQ(back[6].cyVal, INT64_MIN);
    EXPECT_EQ(back[7].vt, VT_CY);
    EXPECT_EQ(back[7].cyVal, INT64_MAX);
    EXPECT_EQ(back[8].vt, VT_I2); // the Currency 3 is written "3"
    EXPECT_EQ(back[8].iVal, 3);
}

TEST_F(RoundTripTest, SinglesAndDoublesKeepTheirWrittenDigits) {
    auto back = round_trip({r8(3.14159), r8(3.5), r8(1e20), r8(-1.5e-7), r8(999999999999999.0),
                            r8(123456789.123456), r4(0.1f), r4(1.5e10f), r8(4.9e-324)});
    EXPECT_EQ(back[0].vt, VT_R8);
    EXPECT_DOUBLE_EQ(back[0].dblVal, 3.14159);
    EXPECT_EQ(back[1].vt, VT_CY);
    EXPECT_EQ(back[1].cyVal, 35000);
    EXPECT_EQ(back[2].vt, VT_R8);
    EXPECT_DOUBLE_EQ(back[2].dblVal, 1e20);
    EXPECT_EQ(back[3].vt, VT_R8);
    EXPECT_DOUBLE_EQ(back[3].dblVal, -1.5e-7);
    EXPECT_EQ(back[4].vt, VT_R8);
    EXPECT_DOUBLE_EQ(back[4].dblVal, 999999999999999.0);
    EXPECT_EQ(back[5].vt, VT_R8);
    EXPECT_DOUBLE_EQ(back[5].dblVal, 123456789.123456);
    EXPECT_EQ(back[6].vt, VT_CY);
    EXPECT_EQ(back[6].cyVal, 1000);
    EXPECT_EQ(back[7].vt, VT_R8);
    EXPECT_DOUBLE_EQ(back[7].dblVal, 1.5e10);
    EXPECT_EQ(back[8].vt, VT_R8);
    EXPECT_GT(back[8].dblVal, 0.0);
}

TEST_F(RoundTripTest, DatesWithAndWithoutTime) {
    const double serials[] = {35250.5,   0.25,
                              35250.0,   1.0,
                              0.0,       -1.25,
                              -657434.0, 2958465.0 + 86399.0 / 86400.0,
                              1.5,       2.0 + 1.0 / 86400.0};
    std::vector<VARIANT> values;
    for (double s : serials)
        values.push_back(date(s));
    auto back = round_trip(values);
    for (size_t i = 0; i < back.size(); ++i) {
        ASSERT_EQ(back[i].vt, VT_DATE) << serials[i];
        EXPECT_NEAR(back[i].date, serials[i], 1e-9) << serials[i];
    }
}

TEST_F(RoundTripTest, StringsWithCommasQuotesBlanksAndLineBreaks) {
    auto back =
        round_trip({bstr_variant("a,b"), bstr_variant("line 1\r\nline 2"), bstr_variant(""),
                    bstr_variant("  blanks  "), bstr_variant("#1996-07-04#"),
                    bstr_variant("say \"hi\""), bstr_variant("12"), bstr_variant("caf\xE9")});
    EXPECT_EQ(text(back[0]), "a,b");
    EXPECT_EQ(text(back[1]), "line 1\r\nline 2");
    EXPECT_EQ(back[2].vt, VT_BSTR); // an empty string stays a String
    EXPECT_EQ(text(back[2]), "");
    EXPECT_EQ(text(back[3]), "  blanks  ");
    EXPECT_EQ(text(back[4]), "#1996-07-04#");
    EXPECT_EQ(text(back[5]), "say \"hi\"");
    EXPECT_EQ(text(back[6]), "12");
    EXPECT_EQ(text(back[7]), "caf\xE9");
}

TEST_F(RoundTripTest, NullEmptyAndBoolean) {
    auto back = round_trip({null_variant(), empty_variant(), boolean(true), i2(1)});
    EXPECT_EQ(back[0].vt, VT_NULL);
    EXPECT_EQ(back[1].vt, VT_EMPTY);
    EXPECT_EQ(back[2].vt, VT_EMPTY); // Write # writes an empty field for a Boolean
    EXPECT_EQ(back[3].vt, VT_I2);
}

TEST_F(RoundTripTest, StringTargetsKeepTheBlanksInsideTheQuotes) {
    BiString a = temp("  lead"), b = temp("trail  "), c = temp("a,b");
    int16_t code = BI_TYPE_STRING;
    void *items[] = {&code, &a, &code, &b, &code, &c};
    open("s.txt", BI_FILE_MODE_OUTPUT, 1);
    ZbiBuiltIn_Write(1, 3, items);
    close(1);
    open("s.txt", BI_FILE_MODE_INPUT, 1);
    BiString x{const_cast<char *>(""), 0}, y = x, z = x;
    ZbiBuiltIn_Input(1, 3, BI_TYPE_STRING, &x, BI_TYPE_STRING, &y, BI_TYPE_STRING, &z);
    EXPECT_EQ(text_of(x), "  lead");
    EXPECT_EQ(text_of(y), "trail  ");
    EXPECT_EQ(text_of(z), "a,b");
    for (BiString *s : {&x, &y, &z})
        ZrFree(s->data);
    EXPECT_TRUE(traps().empty());
}
