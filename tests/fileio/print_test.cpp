// Print # with zones, Spc, Tab and widths, Width #, and the conversions of Print # lists. The
// expected files are written out by hand from the layout rules.
#include <string>

#include "file_test.h"
#include "fileio/table.h"

using namespace brtl_test;
using brtl::fileio::find_record;

namespace {

class PrintTest : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        open("out.txt", BI_FILE_MODE_OUTPUT, 1);
        ASSERT_TRUE(traps().empty());
    }
    int32_t column() const { return find_record(1)->column; }
    std::string out() const { return read("out.txt"); }
};

class PrintTextTest : public RuntimeTest {};

constexpr int T = BI_PRINT_TEXT;
constexpr int COMMA = BI_PRINT_COMMA;
constexpr int SPC = BI_PRINT_SPC;
constexpr int TAB = BI_PRINT_TAB;
constexpr int EOL = BI_PRINT_END_OF_LINE;

std::string spaces(size_t n) {
    return std::string(n, ' ');
}

} // namespace

TEST_F(PrintTest, ACommaMovesToTheNextZoneOfFourteenColumns) {
    ZbiBuiltIn_Print(1, 6, T, temp("A"), COMMA, T, temp("B"), EOL);
    EXPECT_EQ(out(), "A" + spaces(13) + "B\r\n");
    ZbiBuiltIn_Print(1, 4, T, temp("12345678901234"), COMMA, COMMA);
    EXPECT_EQ(column(), 42);
    ZbiBuiltIn_Print(1, 4, T, temp("x"), EOL, COMMA);
    EXPECT_EQ(out(), "A" + spaces(13) + "B\r\n12345678901234" + spaces(28) + "x\r\n" + spaces(14));
    EXPECT_EQ(column(), 14);
    EXPECT_TRUE(traps().empty());
}

TEST_F(PrintTest, ACommaThatPassesTheWidthOnlyBreaksTheLine) {
    ZbiBuiltIn_Width(1, 20);
    ZbiBuiltIn_Print(1, 5, T, temp("123456789012345"), COMMA, T, temp("Z"));
    EXPECT_EQ(out(), "123456789012345\r\nZ");
    EXPECT_EQ(column(), 1);
    ZbiBuiltIn_Print(1, 1, COMMA); // column 1 + 13 = 14 fits
    EXPECT_EQ(column(), 14);
    EXPECT_EQ(out(), "123456789012345\r\nZ" + spaces(13));
}

TEST_F(PrintTest, TextsWrapWholeAtTheWidth) {
    ZbiBuiltIn_Width(1, 10);
    ZbiBuiltIn_Print(1, 6, T, temp("12345"), T, temp("67890"), T, temp("1"));
    EXPECT_EQ(out(), "1234567890\r\n1");
    ZbiBuiltIn_Print(1, 4, T, temp("ABCDEFGHIJKL"), T, temp("Q"));
    EXPECT_EQ(out(), "1234567890\r\n1\r\nABCDEFGHIJKL\r\nQ");
    EXPECT_EQ(column(), 1);
    // At column 0 a long text is written without a line break before it.
    ZbiBuiltIn_Print(1, 3, EOL, T, temp("ABCDEFGHIJKLMNOP"));
    EXPECT_EQ(out(), "1234567890\r\n1\r\nABCDEFGHIJKL\r\nQ\r\nABCDEFGHIJKLMNOP");
    EXPECT_EQ(column(), 16);
}

TEST_F(PrintTest, TabMovesToAColumnOrToTheNextLine) {
    ZbiBuiltIn_Print(1, 4, TAB, 5, T, temp("x"));
    EXPECT_EQ(out(), "    x");
    EXPECT_EQ(column(), 5);
    ZbiBuiltIn_Print(1, 4, TAB, 3, T, temp("y"));
    EXPECT_EQ(out(), "    x\r\n  y");
    ZbiBuiltIn_Print(1, 3, EOL, TAB, 0); // Tab(0) at column 0 does nothing
    EXPECT_EQ(out(), "    x\r\n  y\r\n");
    ZbiBuiltIn_Print(1, 6, T, temp("ab"), TAB, 0, T, temp("c")); // Tab(0) ends a line
    EXPECT_EQ(out(), "    x\r\n  y\r\nab\r\nc");
    ZbiBuiltIn_Print(1, 4, TAB, 2, T, temp("d")); // the next column: no space
    EXPECT_EQ(out(), "    x\r\n  y\r\nab\r\ncd");
    ZbiBuiltIn_Print(1, 4, TAB, 2, T, temp("e")); // a column already passed: the next line
    EXPECT_EQ(out(), "    x\r\n  y\r\nab\r\ncd\r\n e");
    ZbiBuiltIn_Print(1, 5, EOL, TAB, 300, T, temp("f")); // 300 is column 44 of 256
    EXPECT_EQ(out(), "    x\r\n  y\r\nab\r\ncd\r\n e\r\n" + spaces(43) + "f");
}

TEST_F(PrintTest, TabColumnsBeyondTheWidthWrapAround) {
    ZbiBuiltIn_Width(1, 10);
    ZbiBuiltIn_Print(1, 4, TAB, 25, T, temp("x")); // column 5 of 10
    EXPECT_EQ(out(), "    x");
    ZbiBuiltIn_Print(1, 4, TAB, 7, T, temp("y")); // y lands in column 7
    EXPECT_EQ(out(), "    x y");
    // A column the width divides has no place: a line break, then trap 5 ends the statement,
    // and the text after it is released unprinted.
    BlockBalance balance;
    ZbiBuiltIn_Print(1, 4, TAB, 20, T, temp("lost"));
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    EXPECT_EQ(out(), "    x y\r\n");
    EXPECT_EQ(column(), 0);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(PrintTest, SpcWritesSpacesWithinTheWidth) {
    ZbiBuiltIn_Width(1, 20);
    ZbiBuiltIn_Print(1, 4, T, temp("123456789012345678"), SPC, 5);
    EXPECT_EQ(out(), "123456789012345678\r\n   ");
    EXPECT_EQ(column(), 3);
    ZbiBuiltIn_Print(1, 5, T, temp("x"), SPC, 5, EOL);
    EXPECT_EQ(out(), "123456789012345678\r\n   x     \r\n");
    ZbiBuiltIn_Print(1, 2, SPC, 45); // 45 mod 20 at column 0
    EXPECT_EQ(column(), 5);
    ZbiBuiltIn_Print(1, 4, SPC, 0, SPC, -3);
    EXPECT_EQ(column(), 5);
    EXPECT_EQ(out(), "123456789012345678\r\n   x     \r\n" + spaces(5));
}

TEST_F(PrintTest, SpcWithoutAWidthWrapsAt256Columns) {
    ZbiBuiltIn_Print(1, 2, SPC, 250);
    EXPECT_EQ(column(), 250);
    ZbiBuiltIn_Print(1, 2, SPC, 10);
    EXPECT_EQ(out(), spaces(250) + "\r\n" + spaces(4));
    EXPECT_EQ(column(), 4);
    ZbiBuiltIn_Print(1, 3, EOL, SPC, 300);
    EXPECT_EQ(column(), 44);
}

TEST_F(PrintTest, ControlCharactersTakeNoColumnAndOtherBytesOne) {
    ZbiBuiltIn_Print(1, 2, T, temp("a\tb\r\x01"));
    EXPECT_EQ(column(), 2);
    ZbiBuiltIn_Print(1, 2, T, temp("\xE9t\xE9")); // accented letters of the code page
    EXPECT_EQ(column(), 5);
    std::string with_nul("x\0y", 3);
    ZbiBuiltIn_Print(1, 2, T, temp(with_nul));
    EXPECT_EQ(column(), 7);
    EXPECT_EQ(out(), std::string("a\tb\r\x01\xE9t\xE9x\0y", 11));
}

TEST_F(PrintTest, DoubleByteCharactersTakeTwoColumns) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    ZbiBuiltIn_Width(1, 6);
    ZbiBuiltIn_Print(1, 2, T, temp("\x82\xA0\x82\xA2")); // two double-byte letters
    EXPECT_EQ(column(), 4);
    ZbiBuiltIn_Print(1, 2, T,
                     temp("\x82\xA4"
                          "a")); // 4 + 3 passes 6
    EXPECT_EQ(out(), "\x82\xA0\x82\xA2\r\n\x82\xA4"
                     "a");
    EXPECT_EQ(column(), 3);
    ZbiBuiltIn_Print(1, 2, T, temp("\x81")); // a lead byte without its trail counts one
    EXPECT_EQ(column(), 4);
}

TEST_F(PrintTest, EveryPieceIsInTheFileAtOnce) {
    ZbiBuiltIn_Print(1, 2, T, temp("first"));
    EXPECT_EQ(out(), "first");
    ZbiBuiltIn_Print(1, 1, COMMA);
    EXPECT_EQ(out(), "first" + spaces(9));
    ZbiBuiltIn_Print(1, 1, EOL);
    EXPECT_EQ(out(), "first" + spaces(9) + "\r\n");
}

TEST_F(PrintTest, AppendFilesAreWrittenAtTheirEnd) {
    write("log.txt", "line 1\r\n");
    open("log.txt", BI_FILE_MODE_APPEND, 2);
    ZbiBuiltIn_Print(2, 3, T, temp("line 2"), EOL);
    EXPECT_EQ(read("log.txt"), "line 1\r\nline 2\r\n");
}

TEST_F(PrintTest, TheCountCoversTagsAndValues) {
    Borrowed never("never");
    ZbiBuiltIn_Print(1, 0, T, never.get());       // nothing is read at all
    ZbiBuiltIn_Print(1, 1, T);                    // a text tag without its value ends it
    ZbiBuiltIn_Print(1, 4, 9, 77, T, temp("ok")); // unknown tags are skipped
    EXPECT_EQ(out(), "ok");
    EXPECT_TRUE(traps().empty());
}

TEST_F(PrintTest, OnlyOutputAndAppendFilesArePrintedTo) {
    write("in.txt", "");
    open("in.txt", BI_FILE_MODE_INPUT, 2);
    open("r.dat", BI_FILE_MODE_RANDOM, 3);
    open("b.dat", BI_FILE_MODE_BINARY, 4);
    BlockBalance balance;
    ZbiBuiltIn_Print(2, 2, T, temp("x"));
    ZbiBuiltIn_Print(3, 2, T, temp("x"));
    ZbiBuiltIn_Print(4, 2, T, temp("x"));
    ZbiBuiltIn_Print(7, 2, T, temp("x"));
    ZbiBuiltIn_Print(-1, 4, T, temp("x"), T, temp("y"));
    EXPECT_EQ(traps(), (std::vector<Trap>{{54, Family::Trap, ""},
                                          {54, Family::Trap, ""},
                                          {54, Family::Trap, ""},
                                          {52, Family::FileTrap, "7"},
                                          {52, Family::FileTrap, "-1"}}));
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_EQ(read("in.txt"), "");
}

TEST_F(PrintTest, AFailedWriteIsReportedWithThePathAndEndsTheStatement) {
    open(full_device_link(), BI_FILE_MODE_OUTPUT, 2);
    BlockBalance balance;
    ZbiBuiltIn_Print(2, 6, T, temp("a"), T, temp("b"), T, temp("c"));
    EXPECT_EQ(traps(), (std::vector<Trap>{{61, Family::FileTrap, full_name("full")}}));
    EXPECT_EQ(balance.delta(), 0);
    clear_traps();
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiBuiltIn_Print(2, 6, SPC, 3, T, temp("b"), T, temp("c")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(PrintTest, ABorrowedTextIsLeftAlone) {
    Borrowed text("borrowed");
    ZbiBuiltIn_Print(1, 2, T, text.get());
    EXPECT_TRUE(text.intact());
    EXPECT_EQ(out(), "borrowed");
}

TEST_F(PrintTest, WidthChecksTheValueBeforeTheNumber) {
    ZbiBuiltIn_Width(9, 256);
    ZbiBuiltIn_Width(1, -1);
    ZbiBuiltIn_Width(9, 80);
    EXPECT_EQ(traps(),
              (std::vector<Trap>{
                  {5, Family::Trap, ""}, {5, Family::Trap, ""}, {52, Family::FileTrap, "9"}}));
    write("in.txt", "");
    open("in.txt", BI_FILE_MODE_INPUT, 2);
    ZbiBuiltIn_Width(2, 255);
    EXPECT_EQ(find_record(2)->width, 255);
    ZbiBuiltIn_Width(1, 0);
    EXPECT_EQ(find_record(1)->width, 0);
}

TEST_F(PrintTextTest, NumberTextGetsATrailingSpace) {
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSNS(temp(" 3"))), " 3 ");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSNS(temp("-12.5"))), "-12.5 ");
    Borrowed text("7");
    BiString s = ZbiBuiltIn_CvtPSNS(text.get());
    EXPECT_TRUE(BiStringIsTemporary(s));
    EXPECT_EQ(take(s), "7 ");
    EXPECT_TRUE(text.intact());
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSNS(temp(""))), " ");
}

TEST_F(PrintTextTest, NullAndStringVariants) {
    BlockBalance balance;
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(null_variant())), "#NULL#");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPVS(null_variant())), "#NULL#");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(bstr_variant("x"))), "x");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPVS(bstr_variant(" padded "))), " padded ");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(bstr_variant(""))), "");
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(PrintTextTest, OutOfMemoryGivesTrap7AndTheEmptyString) {
    BlockBalance balance;
    BiString text = temp("abc");
    fail_allocations_after(0);
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSNS(text)), "");
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(PrintTextTest, NumbersGetABlankOnEachSideOnlyForPrint) {
    BlockBalance balance;
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(i2(-5))), " -5 ");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(i2(12))), " 12 ");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(i4(-70000))), " -70000 ");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(r4(0.5f))), " 0.5 ");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(r8(1.25))), " 1.25 ");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(cy(35000))), " 3.5 ");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPVS(i2(-5))), "-5");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPVS(cy(35000))), "3.5");
    // A Boolean is the text of its Integer value, without the blanks of a number.
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(boolean(true))), "-1");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(empty_variant())), "");
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(error_variant(5))), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), 0);
}
