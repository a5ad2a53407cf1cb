// What Write # writes, Input # reads back. A number comes back in the smallest subtype the
// guessing rules give its text (a Long 5 is an Integer 5, a Double 3.5 a Currency 3.5).
#include <cfloat>
#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "file_test.h"

using namespace brtl_test;

namespace {
class RoundTripTest : public FileTest {};
} // namespace

TEST_F(RoundTripTest, EverySubtypeAndStringItemsComeBack) {
    // The Currency 3 is written "3"; Write # writes an empty field for a Boolean; an empty string
    // stays a String.
    auto table = rows(
        row(i2(5), I2(5)), row(i2(-32768), I2(-32768)), row(i4(40000), I4(40000)),
        row(i4(INT32_MIN), I4(INT32_MIN)), row(i4(5), I2(5)), row(cy(15000), Cy(15000)),
        row(cy(INT64_MIN), Cy(INT64_MIN)), row(cy(INT64_MAX), Cy(INT64_MAX)), row(cy(30000), I2(3)),
        row(r8(3.14159), R8(3.14159)), row(r8(3.5), Cy(35000)), row(r8(1e20), R8(1e20)),
        row(r8(-1.5e-7), R8(-1.5e-7)), row(r8(999999999999999.0), R8(999999999999999.0)),
        row(r8(123456789.123456), R8(123456789.123456)), row(r8(DBL_MAX), R8(DBL_MAX)),
        row(r8(-DBL_MAX), R8(-DBL_MAX)), row(r4(0.1f), Cy(1000)), row(r4(1.5e10f), R8(1.5e10)),
        row(bstr_variant("a,b"), Str("a,b")),
        row(bstr_variant("line 1\r\nline 2"), Str("line 1\r\nline 2")),
        row(bstr_variant(""), Str("")), row(bstr_variant("  blanks  "), Str("  blanks  ")),
        row(bstr_variant("#1996-07-04#"), Str("#1996-07-04#")),
        row(bstr_variant("say \"hi\""), Str("say \"hi\"")), row(bstr_variant("12"), Str("12")),
        row(bstr_variant("caf\xE9"), Str("caf\xE9")), row(null_variant(), Null),
        row(empty_variant(), Empty), row(boolean(true), Empty), row(i2(1), I2(1)));
    for (double serial : {35250.5, 0.25, 35250.0, 1.0, 0.0, -1.25, -657434.0,
                          2958465.0 + 86399.0 / 86400.0, 1.5, 2.0 + 1.0 / 86400.0})
        table.push_back(row(date(serial), Dt(serial)));
    table.push_back(row(r8(4.9e-324), R8(4.9e-324))); // the smallest Double, checked below

    std::vector<int16_t> codes(table.size(), BI_TYPE_VARIANT);
    std::vector<void *> items;
    for (size_t i = 0; i < table.size(); ++i)
        items.insert(items.end(), {&codes[i], &table[i].first});
    // A second line of String items: their blanks inside the quotes come back.
    BiString a = temp("  lead"), b = temp("trail  "), c = temp("a,b");
    int16_t code = BI_TYPE_STRING;
    void *strings[] = {&code, &a, &code, &b, &code, &c};
    open("rt.txt", BI_FILE_MODE_OUTPUT, 1);
    ZbiBuiltIn_Write(1, static_cast<int32_t>(table.size()), items.data());
    ZbiBuiltIn_Write(1, 3, strings);
    close(1);
    open("rt.txt", BI_FILE_MODE_INPUT, 1);
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        VARIANT v{};
        ZbiBuiltIn_Input(1, 1, BI_TYPE_VARIANT, &v);
        if (i + 1 == table.size()) {
            ASSERT_EQ(v.vt, VT_R8);
            EXPECT_GT(v.dblVal, 0.0); // not read as zero
        } else {
            expect_variant(v, table[i].second);
        }
    }
    BiString x{const_cast<char *>(""), 0}, y = x, z = x;
    ZbiBuiltIn_Input(1, 3, BI_TYPE_STRING, &x, BI_TYPE_STRING, &y, BI_TYPE_STRING, &z);
    EXPECT_EQ(std::tuple(release(x), release(y), release(z)),
              std::tuple("  lead", "trail  ", "a,b"));
    EXPECT_EQ(ZbiBuiltIn_EOF(1), -1);
    EXPECT_TRUE(traps().empty()) << read("rt.txt");
}
