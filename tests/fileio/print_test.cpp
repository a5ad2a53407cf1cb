// Print # with zones, Spc, Tab and widths, Width #, and the conversions of Print # lists. The
// expected files are written out by hand from the layout rules.
#include <string>
#include <utility>

#include "file_test.h"
#include "fileio/table.h"

using namespace brtl_test;
using brtl::fileio::find_record;

namespace {

constexpr int T = BI_PRINT_TEXT, COMMA = BI_PRINT_COMMA, SPC = BI_PRINT_SPC, TAB = BI_PRINT_TAB,
              EOL = BI_PRINT_END_OF_LINE;

std::string spaces(size_t n) {
    return std::string(n, ' ');
}

class PrintTest : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        open("out.txt", BI_FILE_MODE_OUTPUT, 1);
        ASSERT_TRUE(traps().empty());
    }
    // One Print # statement to file 1: the bytes it adds to the file (every piece is in the file
    // at once) and the column after it.
    template <class... Items> void print(const std::string &adds, int32_t column, Items... items) {
        ZbiBuiltIn_Print(1, static_cast<int32_t>(sizeof...(items)), items...);
        file_ += adds;
        EXPECT_EQ(read("out.txt"), file_);
        EXPECT_EQ(find_record(1)->column, column);
    }
    std::string file_;
};

class PrintTextTest : public RuntimeTest {};

} // namespace

TEST_F(PrintTest, ACommaMovesToTheNextZoneOfFourteenColumns) {
    print("A" + spaces(13) + "B\r\n", 0, T, temp("A"), COMMA, T, temp("B"), EOL);
    print("12345678901234" + spaces(28), 42, T, temp("12345678901234"), COMMA, COMMA);
    print("x\r\n" + spaces(14), 14, T, temp("x"), EOL, COMMA);
    ZbiBuiltIn_Width(1, 20); // a comma that passes the width only breaks the line
    print("\r\n123456789012345\r\nZ", 1, EOL, T, temp("123456789012345"), COMMA, T, temp("Z"));
    print(spaces(13), 14, COMMA); // column 1 + 13 = 14 fits
    EXPECT_TRUE(traps().empty());
}

TEST_F(PrintTest, TextsWrapWholeAtTheWidth) {
    ZbiBuiltIn_Width(1, 10);
    print("1234567890\r\n1", 1, T, temp("12345"), T, temp("67890"), T, temp("1"));
    print("\r\nABCDEFGHIJKL\r\nQ", 1, T, temp("ABCDEFGHIJKL"), T, temp("Q"));
    // At column 0 a long text is written without a line break before it.
    print("\r\nABCDEFGHIJKLMNOP", 16, EOL, T, temp("ABCDEFGHIJKLMNOP"));
}

TEST_F(PrintTest, TabMovesToAColumnOrToTheNextLine) {
    print("    x", 5, TAB, 5, T, temp("x"));
    print("\r\n  y", 3, TAB, 3, T, temp("y"));
    print("\r\n", 0, EOL, TAB, 0);                            // Tab(0) at column 0 does nothing
    print("ab\r\nc", 1, T, temp("ab"), TAB, 0, T, temp("c")); // Tab(0) ends a line
    print("d", 2, TAB, 2, T, temp("d"));                      // the next column: no space
    print("\r\n e", 2, TAB, 2, T, temp("e")); // a column already passed: the next line
    print("\r\n" + spaces(43) + "f", 44, EOL, TAB, 300, T, temp("f")); // column 44 of 256
}

TEST_F(PrintTest, TabColumnsBeyondTheWidthWrapAround) {
    ZbiBuiltIn_Width(1, 10);
    print("    x", 5, TAB, 25, T, temp("x")); // column 5 of 10
    print(" y", 7, TAB, 7, T, temp("y"));
    // A column the width divides has no place: a line break, then trap 5 ends the statement,
    // and the text after it is released unprinted.
    BlockBalance balance;
    print("\r\n", 0, TAB, 20, T, temp("lost"));
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(5)}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(PrintTest, SpcWritesSpacesWithinTheWidthOr256Columns) {
    print(spaces(250), 250, SPC, 250);
    print("\r\n" + spaces(4), 4, SPC, 10);
    print("\r\n" + spaces(44), 44, EOL, SPC, 300);
    ZbiBuiltIn_Width(1, 20);
    print("\r\n123456789012345678\r\n   ", 3, EOL, T, temp("123456789012345678"), SPC, 5);
    print("x     \r\n", 0, T, temp("x"), SPC, 5, EOL);
    print(spaces(5), 5, SPC, 45); // 45 mod 20 at column 0
    print("", 5, SPC, 0, SPC, -3);
}

TEST_F(PrintTest, ColumnsCountCharactersNotControlBytes) {
    print("a\tb\r\x01", 2, T, temp("a\tb\r\x01"));
    print("\xE9t\xE9", 5, T, temp("\xE9t\xE9")); // accented letters of the code page
    print(std::string("x\0y", 3), 7, T, temp(std::string("x\0y", 3)));
    print("\r\n", 0, EOL);
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    ZbiBuiltIn_Width(1, 6);
    print("\x82\xA0\x82\xA2", 4, T, temp("\x82\xA0\x82\xA2")); // two double-byte letters
    print("\r\n\x82\xA4"
          "a",
          3, T,
          temp("\x82\xA4"
               "a"));                  // 4 + 3 passes 6
    print("\x81", 4, T, temp("\x81")); // a lead byte without its trail counts one
}

TEST_F(PrintTest, TheCountCoversTagsAndValuesAndBorrowedTextsAreLeftAlone) {
    Borrowed never("never"), text("borrowed");
    ZbiBuiltIn_Print(1, 0, T, never.get()); // nothing is read at all
    print("", 0, T);                        // a text tag without its value ends it
    print("ok", 2, 9, 77, T, temp("ok"));   // unknown tags are skipped
    print("borrowed", 10, T, text.get());
    EXPECT_TRUE(text.intact());
    EXPECT_TRUE(traps().empty());
    write("log.txt", "line 1\r\n");
    open("log.txt", BI_FILE_MODE_APPEND, 2);
    ZbiBuiltIn_Print(2, 3, T, temp("line 2"), EOL);
    EXPECT_EQ(read("log.txt"), "line 1\r\nline 2\r\n");
}

TEST_F(PrintTest, NumbersModesWidthsAndFailedWritesTrapAndReleaseTheRest) {
    BRTL_SKIP_WITHOUT_FULL_DEVICE();
    write("in.txt", "");
    open("in.txt", BI_FILE_MODE_INPUT, 2);
    open("r.dat", BI_FILE_MODE_RANDOM, 3);
    open("b.dat", BI_FILE_MODE_BINARY, 4);
    open(full_device_link(), BI_FILE_MODE_OUTPUT, 5);
    make_host_objects();
    BlockBalance balance;
    for (int16_t n : {2, 3, 4, 7})
        ZbiBuiltIn_Print(n, 2, T, temp("x"));
    ZbiBuiltIn_Print(-1, 4, T, temp("x"), T, temp("y"));
    // Width checks the value before the number; Input files take a width too.
    ZbiBuiltIn_Width(9, 256);
    ZbiBuiltIn_Width(1, -1);
    ZbiBuiltIn_Width(9, 80);
    ZbiBuiltIn_Width(2, 255);
    ZbiBuiltIn_Width(1, 0);
    EXPECT_EQ(find_record(2)->width, 255);
    // A failed write is reported with the path and ends the statement.
    ZbiBuiltIn_Print(5, 6, T, temp("a"), T, temp("b"), T, temp("c"));
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(54), trap(54), trap(54), file_trap(52, "7"),
                                          file_trap(52, "-1"), trap(5), trap(5), file_trap(52, "9"),
                                          file_trap(61, full_name("full"))}));
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiBuiltIn_Print(5, 6, SPC, 3, T, temp("b"), T, temp("c")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_EQ(read("in.txt"), "");
}

TEST_F(PrintTextTest, NumbersGetABlankOnEachSideOnlyForPrint) {
    BlockBalance balance;
    Borrowed seven("7");
    BiString s = ZbiBuiltIn_CvtPSNS(seven.get());
    EXPECT_TRUE(BiStringIsTemporary(s));
    EXPECT_EQ(take(s), "7 ");
    EXPECT_TRUE(seven.intact());
    for (auto [in, out] : {std::pair{" 3", " 3 "}, {"-12.5", "-12.5 "}, {"", " "}})
        EXPECT_EQ(take(ZbiBuiltIn_CvtPSNS(temp(in))), out);
    // A Boolean is the text of its Integer value, without the blanks of a number.
    const std::pair<VARIANT, const char *> rows[] = {
        {null_variant(), "#NULL#"}, {bstr_variant("x"), "x"}, {bstr_variant(""), ""},
        {i2(-5), " -5 "},           {i2(12), " 12 "},         {i4(-70000), " -70000 "},
        {r4(0.5f), " 0.5 "},        {r8(1.25), " 1.25 "},     {cy(35000), " 3.5 "},
        {boolean(true), "-1"},      {empty_variant(), ""}};
    for (auto [v, text] : rows)
        EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(v)), text);
    EXPECT_EQ(take(ZbiBuiltIn_CvtPVS(null_variant())), "#NULL#");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPVS(bstr_variant(" padded "))), " padded ");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPVS(i2(-5))), "-5");
    EXPECT_EQ(take(ZbiBuiltIn_CvtPVS(cy(35000))), "3.5");
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(take(ZbiBuiltIn_CvtPSVS(error_variant(5))), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(13)}));
    EXPECT_EQ(balance.delta(), 0);
}
