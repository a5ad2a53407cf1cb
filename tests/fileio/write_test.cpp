// Write #: the text of every type code and Variant subtype, separators and line ends, and the
// release of what the statement consumes.
#include <climits>
#include <initializer_list>
#include <string>
#include <vector>

#include "file_test.h"
#include "fileio/table.h"

using namespace brtl_test;

namespace {

constexpr int INT = BI_TYPE_INTEGER, LNG = BI_TYPE_LONG, SNG = BI_TYPE_SINGLE, DBL = BI_TYPE_DOUBLE,
              CUR = BI_TYPE_CURRENCY, TXT = BI_TYPE_STRING, VAR = BI_TYPE_VARIANT,
              FIXED = BI_TYPE_FIXED_STRING;

// One Write # statement from type codes, each followed by its value's pointer (a fixed-length
// string's: a pointer to the pointer of its ZrMalloc copy, put after an unread pointer).
struct Item {
    int code = -1;
    void *value = nullptr;
    Item(int c) : code(c) {}
    Item(void *v) : value(v) {}
};
void write_items(int16_t number, std::initializer_list<Item> items) {
    std::vector<int16_t> codes;
    codes.reserve(items.size());
    std::vector<void *> pointers;
    for (const Item &item : items) {
        if (item.code < 0) {
            pointers.push_back(item.value);
            continue;
        }
        codes.push_back(static_cast<int16_t>(item.code));
        pointers.push_back(&codes.back());
        if (item.code == FIXED) pointers.push_back(nullptr);
    }
    ZbiBuiltIn_Write(number, static_cast<int32_t>(codes.size()), pointers.data());
}

class WriteTest : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        open("out.txt", BI_FILE_MODE_OUTPUT, 1);
        ASSERT_TRUE(traps().empty());
    }
    std::string out() const { return read("out.txt"); }
    int32_t column() const { return brtl::fileio::find_record(1)->column; }
};

} // namespace

TEST_F(WriteTest, EveryTypeCodeAndSeparatorsAndOnlyTheLineEndMovesTheColumn) {
    make_host_objects();
    BlockBalance balance;
    int16_t i = -32768, one = 1, two = 2;
    int32_t l = 2147483647;
    float f = 0.1f, g = 3.14159265f;
    double d = 1e20, e = 0.1 + 0.2, small = 1.5e-7, whole = 123456789012.0;
    int64_t c = 35000, n = -2500, big = INT64_MIN;
    write_items(1, {INT, &i,  LNG,    &l,  SNG,    &f,  SNG, &g,  DBL, &d,  DBL,
                    &e,  DBL, &small, DBL, &whole, CUR, &c,  CUR, &n,  CUR, &big});
    // Strings and the copies of fixed-length strings are consumed, borrowed strings kept.
    BiString temporary = temp("a,b");
    Borrowed borrowed("kept");
    BiString b = borrowed.get();
    char *fixed = ZrStrCopy("fixed  ");
    VARIANT v = bstr_variant("variant"), null = null_variant();
    write_items(1, {TXT, &temporary, TXT, &b, FIXED, &fixed, VAR, &v, VAR, &null});
    EXPECT_TRUE(borrowed.intact());
    EXPECT_EQ(fixed, nullptr);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(column(), 0);
    VARIANT x = empty_variant(), y = empty_variant();
    write_items(1, {});
    write_items(1, {VAR, &x, VAR, &y});
    ZbiBuiltIn_Print(1, 2, BI_PRINT_TEXT, temp("ab"));
    EXPECT_EQ(column(), 2);
    write_items(1, {INT, &one, INT, &two});
    EXPECT_EQ(column(), 0);
    ZbiBuiltIn_Print(1, 2, BI_PRINT_COMMA, BI_PRINT_END_OF_LINE);
    EXPECT_EQ(out(), "-32768,2147483647,0.1,3.141593,1E+20,0.3,1.5E-07,123456789012,3.5,-.25,"
                     "-922337203685477.5808\r\n\"a,b\",\"kept\",\"fixed  \",\"variant\",#NULL#\r\n"
                     "\r\n,\r\nab1,2\r\n" +
                         std::string(14, ' ') + "\r\n");
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(WriteTest, VariantsWriteByTheirSubtypeAndDatesSoThatTheyReadBack) {
    // Day 1 (31 December 1899) keeps its date and day 0 at midnight its time; days before day 0
    // count their time forward from their own midnight; the time is rounded to the second, and
    // the last half second of a day is the next midnight.
    const auto table = rows(
        row(i2(-7), "-7"), row(i4(-70000), "-70000"), row(r4(0.1f), "0.1"), row(r8(1e20), "1E+20"),
        row(r8(-2.5e-300), "-2.5E-300"), row(cy(15000), "1.5"),
        row(bstr_variant("say \"hi\""), "\"say \"hi\"\""),
        row(bstr_variant(u"caf\u00E9"), "\"caf\xE9\""), row(null_variant(), "#NULL#"),
        row(empty_variant(), ""), row(boolean(true), ""), row(error_variant(5), ""),
        row(date(35250.5), "#1996-07-04 12:00:00#"), row(date(0.25), "#06:00:00#"),
        row(date(35250.0), "#1996-07-04#"), row(date(2.0 + 1.0 / 86400.0), "#1900-01-01 00:00:01#"),
        row(date(-657434.0), "#0100-01-01#"),
        row(date(2958465.0 + 86399.0 / 86400.0), "#9999-12-31 23:59:59#"),
        row(date(1.0), "#1899-12-31#"), row(date(0.0), "#00:00:00#"),
        row(date(-1.25), "#1899-12-29 06:00:00#"), row(date(-0.75), "#18:00:00#"),
        row(date(35250.0 + 86399.6 / 86400.0), "#1996-07-05#"),
        row(date(35250.0 + 3599.6 / 86400.0), "#1996-07-04 01:00:00#"),
        row(date(35250.0 + 3599.4 / 86400.0), "#1996-07-04 00:59:59#"),
        row(date(-1.0 - 86399.7 / 86400.0), "#00:00:00#"));
    for (auto [v, text] : table) {
        open("one.txt", BI_FILE_MODE_OUTPUT, 9);
        write_items(9, {VAR, &v});
        close(9);
        EXPECT_EQ(v.vt, VT_EMPTY) << text; // Write # consumes its Variants
        EXPECT_EQ(read("one.txt"), std::string(text) + "\r\n");
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(WriteTest, AnUnknownTypeCodeABadNumberOrModeReleaseEveryItem) {
    write("in.txt", "");
    open("in.txt", BI_FILE_MODE_INPUT, 2);
    open("b.dat", BI_FILE_MODE_BINARY, 3);
    make_host_objects();
    BlockBalance balance;
    int16_t one = 1;
    float x = 0;
    BiString s = temp("released");
    write_items(1, {INT, &one, TXT, &s, 12, &x});
    for (int16_t n : {2, 3, 4}) {
        BiString t = temp("text");
        VARIANT v = bstr_variant("variant");
        char *fixed = ZrStrCopy("fixed");
        write_items(n, {TXT, &t, VAR, &v, FIXED, &fixed});
        EXPECT_EQ(v.vt, VT_EMPTY);
    }
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(5), trap(54), trap(54), file_trap(52, "4")}));
    EXPECT_EQ(balance.delta(), 0);
    close(1);
    EXPECT_EQ(read("out.txt"), "1,\"released\",");
}

TEST_F(WriteTest, AFullDiskIsReportedAndNothingLeaksWithEitherHook) {
    BRTL_SKIP_WITHOUT_FULL_DEVICE();
    open(full_device_link(), BI_FILE_MODE_OUTPUT, 2);
    int16_t a = 1;
    write_items(2, {INT, &a}); // the flush at the end fails
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(61, full_name("full"))}));
    clear_traps();
    make_host_objects();
    BlockBalance balance;
    // More than the stream's buffer holds: a field's own write fails, reported without a name.
    BiString s = temp(std::string(2000, 'x'));
    VARIANT v = bstr_variant("after");
    write_items(2, {TXT, &s, VAR, &v});
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(61, "")}));
    EXPECT_EQ(v.vt, VT_EMPTY);
    set_mode(HookMode::Throw);
    s = temp(std::string(2000, 'x'));
    v = bstr_variant("after");
    char *fixed = ZrStrCopy("fixed");
    EXPECT_THROW(write_items(2, {TXT, &s, VAR, &v, FIXED, &fixed}), TrapException);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(fixed, nullptr);
    BiString t = temp("t");
    EXPECT_THROW(write_items(77, {TXT, &t}), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}
