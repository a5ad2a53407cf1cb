// Write #: the text of every type code and Variant subtype, separators and line ends, and the
// release of what the statement consumes.
#include <deque>
#include <string>
#include <vector>

#include "file_test.h"
#include "fileio/table.h"

using namespace brtl_test;

namespace {

// The item list of one Write # statement: pointers to type codes and values.
class WriteList {
  public:
    WriteList &add(int16_t code, void *value) {
        codes_.push_back(code);
        pointers_.push_back(&codes_.back());
        pointers_.push_back(value);
        ++count_;
        return *this;
    }
    // A fixed-length string: an unread pointer, then a pointer to the ZrMalloc copy's pointer.
    WriteList &add_fixed(char **copy) {
        codes_.push_back(BI_TYPE_FIXED_STRING);
        pointers_.push_back(&codes_.back());
        pointers_.push_back(nullptr);
        pointers_.push_back(copy);
        ++count_;
        return *this;
    }
    void write(int16_t number) { ZbiBuiltIn_Write(number, count_, pointers_.data()); }

  private:
    std::deque<int16_t> codes_;
    std::vector<void *> pointers_;
    int32_t count_ = 0;
};

char *copy_of(const char *text) {
    return ZrStrCopy(text);
}

class WriteTest : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        open("out.txt", BI_FILE_MODE_OUTPUT, 1);
        ASSERT_TRUE(traps().empty());
    }
    std::string out() const { return read("out.txt"); }
    // The text Write # gives one Variant.
    std::string variant_text(VARIANT v) {
        open("one.txt", BI_FILE_MODE_OUTPUT, 9);
        WriteList().add(BI_TYPE_VARIANT, &v).write(9);
        close(9);
        EXPECT_EQ(v.vt, VT_EMPTY) << "Write # consumes its Variants";
        std::string text = read("one.txt");
        return text.size() >= 2 ? text.substr(0, text.size() - 2) : "<no line end>";
    }
};

Trap trap(int32_t number) {
    return Trap{number, Family::Trap, ""};
}

} // namespace

TEST_F(WriteTest, FieldsAreSeparatedByCommasAndTheLineEndsWithCrLf) {
    int16_t five = 5;
    BiString text = temp("a,b");
    VARIANT null = null_variant();
    WriteList()
        .add(BI_TYPE_INTEGER, &five)
        .add(BI_TYPE_STRING, &text)
        .add(BI_TYPE_VARIANT, &null)
        .write(1);
    EXPECT_EQ(out(), "5,\"a,b\",#NULL#\r\n");
    EXPECT_EQ(brtl::fileio::find_record(1)->column, 0);
    WriteList().write(1);
    EXPECT_EQ(out(), "5,\"a,b\",#NULL#\r\n\r\n");
    EXPECT_TRUE(traps().empty());
}

TEST_F(WriteTest, NumbersOfEveryTypeCode) {
    int16_t i = -32768;
    int32_t l = 2147483647;
    float f = 0.1f, g = 3.14159265f;
    double d = 1e20, e = 0.1 + 0.2, small = 1.5e-7, whole = 123456789012.0;
    int64_t c = 35000, n = -2500, big = INT64_MIN;
    WriteList()
        .add(BI_TYPE_INTEGER, &i)
        .add(BI_TYPE_LONG, &l)
        .add(BI_TYPE_SINGLE, &f)
        .add(BI_TYPE_SINGLE, &g)
        .add(BI_TYPE_DOUBLE, &d)
        .add(BI_TYPE_DOUBLE, &e)
        .add(BI_TYPE_DOUBLE, &small)
        .add(BI_TYPE_DOUBLE, &whole)
        .add(BI_TYPE_CURRENCY, &c)
        .add(BI_TYPE_CURRENCY, &n)
        .add(BI_TYPE_CURRENCY, &big)
        .write(1);
    EXPECT_EQ(out(), "-32768,2147483647,0.1,3.141593,1E+20,0.3,1.5E-07,123456789012,3.5,-.25,"
                     "-922337203685477.5808\r\n");
}

TEST_F(WriteTest, VariantsWriteByTheirSubtype) {
    EXPECT_EQ(variant_text(i2(-7)), "-7");
    EXPECT_EQ(variant_text(i4(-70000)), "-70000");
    EXPECT_EQ(variant_text(r4(0.1f)), "0.1");
    EXPECT_EQ(variant_text(r8(1e20)), "1E+20");
    EXPECT_EQ(variant_text(r8(-2.5e-300)), "-2.5E-300");
    EXPECT_EQ(variant_text(cy(15000)), "1.5");
    EXPECT_EQ(variant_text(bstr_variant("say \"hi\"")), "\"say \"hi\"\"");
    EXPECT_EQ(variant_text(bstr_variant(u"caf\u00E9")), "\"caf\xE9\"");
    EXPECT_EQ(variant_text(null_variant()), "#NULL#");
    EXPECT_EQ(variant_text(empty_variant()), "");
    EXPECT_EQ(variant_text(boolean(true)), "");
    EXPECT_EQ(variant_text(error_variant(5)), "");
    EXPECT_TRUE(traps().empty());
}

TEST_F(WriteTest, DatesBetweenHashSigns) {
    EXPECT_EQ(variant_text(date(35250.5)), "#1996-07-04 12:00:00#");
    EXPECT_EQ(variant_text(date(0.25)), "#06:00:00#");
    EXPECT_EQ(variant_text(date(35250.0)), "#1996-07-04#");
    EXPECT_EQ(variant_text(date(2.0 + 1.0 / 86400.0)), "#1900-01-01 00:00:01#");
    EXPECT_EQ(variant_text(date(-657434.0)), "#0100-01-01#");
    EXPECT_EQ(variant_text(date(2958465.0 + 86399.0 / 86400.0)), "#9999-12-31 23:59:59#");
}

TEST_F(WriteTest, EveryDateIsWrittenSoThatItReadsBack) {
    // Day 1 (31 December 1899) keeps its date, day 0 at midnight keeps its time.
    EXPECT_EQ(variant_text(date(1.0)), "#1899-12-31#");
    EXPECT_EQ(variant_text(date(0.0)), "#00:00:00#");
    // Days before day 0 count their time forward from their own midnight.
    EXPECT_EQ(variant_text(date(-1.25)), "#1899-12-29 06:00:00#");
    EXPECT_EQ(variant_text(date(-0.75)), "#18:00:00#");
    // The time is rounded to the second; the last half second of a day is the next midnight.
    EXPECT_EQ(variant_text(date(35250.0 + 86399.6 / 86400.0)), "#1996-07-05#");
    EXPECT_EQ(variant_text(date(35250.0 + 3599.6 / 86400.0)), "#1996-07-04 01:00:00#");
    EXPECT_EQ(variant_text(date(35250.0 + 3599.4 / 86400.0)), "#1996-07-04 00:59:59#");
    EXPECT_EQ(variant_text(date(-1.0 - 86399.7 / 86400.0)), "#00:00:00#");
}

TEST_F(WriteTest, EmptyAndBooleanVariantsWriteEmptyFields) {
    VARIANT a = empty_variant(), b = empty_variant();
    WriteList().add(BI_TYPE_VARIANT, &a).add(BI_TYPE_VARIANT, &b).write(1);
    EXPECT_EQ(out(), ",\r\n");
}

TEST_F(WriteTest, StringsAndFixedCopiesAreConsumed) {
    make_host_objects();
    BlockBalance balance;
    BiString temporary = temp("temp");
    Borrowed borrowed("kept");
    BiString b = borrowed.get();
    char *fixed = copy_of("fixed  ");
    VARIANT v = bstr_variant("variant");
    WriteList()
        .add(BI_TYPE_STRING, &temporary)
        .add(BI_TYPE_STRING, &b)
        .add_fixed(&fixed)
        .add(BI_TYPE_VARIANT, &v)
        .write(1);
    EXPECT_EQ(out(), "\"temp\",\"kept\",\"fixed  \",\"variant\"\r\n");
    EXPECT_TRUE(borrowed.intact());
    EXPECT_EQ(fixed, nullptr);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(WriteTest, AnUnknownTypeCodeEndsTheStatement) {
    int16_t one = 1;
    float x = 0;
    BiString s = temp("released");
    WriteList().add(BI_TYPE_INTEGER, &one).add(BI_TYPE_STRING, &s).add(12, &x).write(1);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(5)});
    close(1);
    EXPECT_EQ(read("out.txt"), "1,\"released\",");
}

TEST_F(WriteTest, ABadNumberOrModeReleasesEveryItem) {
    write("in.txt", "");
    open("in.txt", BI_FILE_MODE_INPUT, 2);
    open("b.dat", BI_FILE_MODE_BINARY, 3);
    make_host_objects();
    BlockBalance balance;
    for (int16_t n : {2, 3, 4}) {
        BiString s = temp("text");
        VARIANT v = bstr_variant("variant");
        char *fixed = copy_of("fixed");
        WriteList().add(BI_TYPE_STRING, &s).add(BI_TYPE_VARIANT, &v).add_fixed(&fixed).write(n);
        EXPECT_EQ(v.vt, VT_EMPTY);
    }
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(54), trap(54), {52, Family::FileTrap, "4"}}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(WriteTest, ColumnsCountOnlyTheSeparators) {
    int16_t a = 1, b = 2;
    ZbiBuiltIn_Print(1, 2, BI_PRINT_TEXT, temp("ab"));
    EXPECT_EQ(brtl::fileio::find_record(1)->column, 2);
    WriteList().add(BI_TYPE_INTEGER, &a).add(BI_TYPE_INTEGER, &b).write(1);
    EXPECT_EQ(brtl::fileio::find_record(1)->column, 0);
    ZbiBuiltIn_Print(1, 2, BI_PRINT_COMMA, BI_PRINT_END_OF_LINE);
    EXPECT_EQ(out(), "ab1,2\r\n" + std::string(14, ' ') + "\r\n");
}

TEST_F(WriteTest, AFullDiskIsReported) {
    open(full_device_link(), BI_FILE_MODE_OUTPUT, 2);
    int16_t a = 1;
    WriteList().add(BI_TYPE_INTEGER, &a).write(2); // the flush at the end fails
    EXPECT_EQ(traps(), (std::vector<Trap>{{61, Family::FileTrap, full_name("full")}}));
    clear_traps();
    // More than the stream's buffer holds: a field's own write fails, reported without a name.
    make_host_objects();
    BlockBalance balance;
    std::string big(2000, 'x');
    BiString s = temp(big);
    VARIANT v = bstr_variant("after");
    WriteList().add(BI_TYPE_STRING, &s).add(BI_TYPE_VARIANT, &v).write(2);
    EXPECT_EQ(traps(), (std::vector<Trap>{{61, Family::FileTrap, ""}}));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(WriteTest, AThrowingHookLeaksNothing) {
    open(full_device_link(), BI_FILE_MODE_OUTPUT, 2);
    make_host_objects();
    BlockBalance balance;
    set_mode(HookMode::Throw);
    std::string big(2000, 'x');
    BiString s = temp(big);
    VARIANT v = bstr_variant("after");
    char *fixed = copy_of("fixed");
    EXPECT_THROW(
        WriteList().add(BI_TYPE_STRING, &s).add(BI_TYPE_VARIANT, &v).add_fixed(&fixed).write(2),
        TrapException);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(fixed, nullptr);
    BiString t = temp("t");
    EXPECT_THROW(WriteList().add(BI_TYPE_STRING, &t).write(77), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}
