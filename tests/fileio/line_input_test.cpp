// Line Input #, the Input and InputC functions and EOF.
#include <climits>
#include <string>
#include <tuple>

#include "file_test.h"

using namespace brtl_test;

namespace {

class LineInputTest : public FileTest {
  protected:
    // Line Input # of file 1 into a string variable; the text it holds.
    std::string line() {
        ZbiBuiltIn_LineInput(1, BI_TYPE_STRING, 0, &var_);
        EXPECT_FALSE(BiStringIsTemporary(var_));
        return text_of(var_);
    }
    void TearDown() override {
        release(var_);
        FileTest::TearDown();
    }
    BiString var_{const_cast<char *>(""), 0};
};

class InputFunctionTest : public FileTest {};

} // namespace

TEST_F(LineInputTest, ALineThatFitsIsCopiedIntoTheVariablesOwnBlock) {
    input_file("a longer first line\r\nshort\r\n\r\nthen a line longer than any block so far\r\n");
    make_host_objects();
    BlockBalance balance;
    EXPECT_EQ(line(), "a longer first line");
    const char *block = var_.data;
    EXPECT_EQ(line(), "short");
    EXPECT_EQ(var_.data, block);
    EXPECT_EQ(line(), ""); // the empty line keeps no block
    EXPECT_EQ(line(), "then a line longer than any block so far");
    release(var_);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(LineInputTest, LinesEndAtALineFeedAndLoseOneCarriageReturn) {
    std::string longest(100000, 'q');
    longest[50000] = '\r';
    input_file("text\r\nsecond\nthird\r\r\n\nmid\rdle\r\n" + longest + "\r\nlast");
    write("z.txt", std::string(1000, 'z') + "\n");
    open("z.txt", BI_FILE_MODE_INPUT, 2);
    make_host_objects();
    BlockBalance balance;
    var_ = ZbiDuplicateString(Borrowed("old value").get()); // freed by the first Line Input #
    for (const std::string &expected :
         {std::string("text"), std::string("second"), std::string("third\r"), std::string(),
          std::string("mid\rdle"), longest, std::string("last")})
        EXPECT_EQ(line(), expected);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(line(), "");
    EXPECT_EQ(BiStringLength(var_), 0u);
    fail_allocations_after(0); // no memory for a long line
    ZbiBuiltIn_LineInput(2, BI_TYPE_STRING, 0, &var_);
    fail_allocations_after(-1);
    EXPECT_EQ(BiStringLength(var_), 0u);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(62), trap(7)}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(LineInputTest, VariantAndFixedLengthTargetsAreEmptiedEvenOnATrap) {
    input_file("caf\xE9\r\nabc\nabcdefgh\n");
    write("b.dat", "x\n");
    open("b.dat", BI_FILE_MODE_BINARY, 2);
    open("r.dat", BI_FILE_MODE_RANDOM, 3);
    VARIANT v = bstr_variant("old");
    ZbiBuiltIn_LineInput(1, BI_TYPE_VARIANT, 0, &v);
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(units_of(v.bstrVal), u"caf\u00E9");
    char fixed[7] = "xxxxxx";
    ZbiBuiltIn_LineInput(1, BI_TYPE_FIXED_STRING, 6, fixed);
    EXPECT_STREQ(fixed, "abc   ");
    ZbiBuiltIn_LineInput(1, 0, 6, fixed);
    EXPECT_STREQ(fixed, "abcdef");
    ASSERT_TRUE(traps().empty());
    ZbiBuiltIn_LineInput(1, BI_TYPE_FIXED_STRING, 6, fixed);
    EXPECT_STREQ(fixed, "      ");
    ZbiBuiltIn_LineInput(9, BI_TYPE_VARIANT, 0, &v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    char three[4] = "abc";
    ZbiBuiltIn_LineInput(2, BI_TYPE_FIXED_STRING, 3, three);
    EXPECT_STREQ(three, "   ");
    var_ = ZbiDuplicateString(Borrowed("old").get());
    ZbiBuiltIn_LineInput(3, BI_TYPE_STRING, 0, &var_);
    EXPECT_EQ(BiStringLength(var_), 0u);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(62), file_trap(52, "9"), trap(54), trap(54)}));
}

// Line Input #, Input #, the Input function and EOF read one position of the file: a line
// taken straight from the stream's buffer moves it as a read byte by byte does.
TEST_F(LineInputTest, TheReadersOfAFileShareOnePosition) {
    input_file("first line\r\n12, second\r\nabc\r\nlast line\r\n");
    EXPECT_EQ(line(), "first line");
    EXPECT_EQ(ZbiBuiltIn_Seek(1, 0), 13);
    int16_t number = 0;
    BiString text{const_cast<char *>(""), 0};
    ZbiBuiltIn_Input(1, 2, BI_TYPE_INTEGER, &number, BI_TYPE_STRING, &text);
    EXPECT_EQ(number, 12);
    EXPECT_EQ(release(text), "second");
    EXPECT_EQ(ZbiBuiltIn_Seek(1, 0), 25);
    EXPECT_EQ(take(ZbiBuiltIn_Input_(2, 1)), "ab");
    EXPECT_EQ(ZbiBuiltIn_EOF(1), 0);
    EXPECT_EQ(line(), "c");
    EXPECT_EQ(line(), "last line");
    EXPECT_EQ(ZbiBuiltIn_EOF(1), -1);
    EXPECT_TRUE(traps().empty());
}

TEST_F(InputFunctionTest, InputReadsExactlyNBytesAndChecksCountModeAndNumber) {
    input_file(std::string("ab\0cd\nef", 8));
    open("o.txt", BI_FILE_MODE_OUTPUT, 2);
    open("r.dat", BI_FILE_MODE_RANDOM, 3);
    open("a.txt", BI_FILE_MODE_APPEND, 4);
    BlockBalance balance;
    for (int32_t n : {-1, -2, -1000, INT_MIN})
        EXPECT_EQ(take(ZbiBuiltIn_Input_(n, 1)), "");
    EXPECT_EQ(take(ZbiBuiltIn_Input_(0, 1)), "");
    BiString s = ZbiBuiltIn_Input_(5, 1);
    EXPECT_TRUE(BiStringIsTemporary(s));
    EXPECT_EQ(take(s), std::string("ab\0cd", 5));
    EXPECT_EQ(take(ZbiBuiltIn_Input_(2, 1)), "\ne");
    for (int16_t n : {2, 3, 4})
        EXPECT_EQ(take(ZbiBuiltIn_Input_(1, n)), "");
    EXPECT_EQ(take(ZbiBuiltIn_Input_(1, 0)), "");
    EXPECT_EQ(take(ZbiBuiltIn_Input_(-1, 300)), ""); // the number is checked first
    EXPECT_EQ(take(ZbiBuiltIn_Input_(5, 1)), "");    // one byte left
    EXPECT_EQ(traps(),
              (std::vector<Trap>{trap(5), trap(5), trap(5), trap(5), trap(54), trap(54), trap(54),
                                 file_trap(52, "0"), file_trap(52, "300"), trap(62)}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(InputFunctionTest, EofLooksAheadOnSequentialFilesAndPastTheEndOnBinaryOnes) {
    input_file("ab");
    write("empty.txt", "");
    write("b.dat", "xy");
    open("empty.txt", BI_FILE_MODE_INPUT, 2);
    open("out.txt", BI_FILE_MODE_OUTPUT, 3);
    open("b.dat", BI_FILE_MODE_BINARY, 4);
    open("b.dat", BI_FILE_MODE_BINARY, 5, BI_FILE_ACCESS_WRITE);
    for (const char *byte : {"a", "b"}) {
        EXPECT_EQ(ZbiBuiltIn_EOF(1), 0);
        EXPECT_EQ(take(ZbiBuiltIn_Input_(1, 1)), byte);
    }
    EXPECT_EQ(std::tuple(ZbiBuiltIn_EOF(1), ZbiBuiltIn_EOF(2), ZbiBuiltIn_EOF(3)),
              std::tuple(-1, -1, -1));
    EXPECT_EQ(take(ZbiBuiltIn_Input_(2, 4)), "xy");
    EXPECT_EQ(ZbiBuiltIn_EOF(4), 0);
    ASSERT_TRUE(traps().empty());
    EXPECT_EQ(take(ZbiBuiltIn_Input_(1, 4)), "");
    EXPECT_EQ(ZbiBuiltIn_EOF(4), -1);
    EXPECT_EQ(take(ZbiBuiltIn_Input_(2, 5)), ""); // a read that fails before the end
    EXPECT_EQ(ZbiBuiltIn_EOF(6), -1);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(62), trap(75), file_trap(52, "6")}));
}

TEST_F(InputFunctionTest, InputCCountsCharactersOfTheDoubleByteCodePage) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    input_file("\x82\xA0"
               "a\x82\xA2"
               "bc\nd\x81\nx");
    open("o.txt", BI_FILE_MODE_OUTPUT, 2);
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(2, 1)), "\x82\xA0"
                                              "a");
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 1)), "\x82\xA2");
    // A line feed is no character: the byte after it is read in its place.
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(3, 1)), "bcd");
    // A lead byte without a valid trail byte is a character of its own.
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(2, 1)), "\x81x");
    ASSERT_TRUE(traps().empty());
    // The checks of Input, without a subject.
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 7)), "");
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(-5, 1)), "");
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 2)), "");
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 1)), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(52), trap(5), trap(54), trap(62)}));
    // Under the single-byte code page InputC is Input, line feeds and subject included.
    brtl_setlocale("C");
    clear_traps();
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 7)), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(52, "7")}));
}

TEST_F(InputFunctionTest, NoMemoryAndThrowingHooksLeaveNothingBehind) {
    input_file("abcdef");
    make_host_objects();
    BlockBalance balance;
    brtl_setlocale("Ja_JP"); // the allocation sweep runs InputC in the single-byte code page
    fail_allocations_after(0);
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(3, 1)), "");
    brtl_setlocale("C");
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(7)}));
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiBuiltIn_Input_(10, 1), TrapException); // 62 after the buffer was made
    brtl_setlocale("Ja_JP");
    EXPECT_THROW(ZbiBuiltIn_InputC_(10, 1), TrapException);
    brtl_setlocale("C");
    EXPECT_EQ(balance.delta(), 0);
}
