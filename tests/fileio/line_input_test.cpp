// Line Input #, the Input and InputC functions and EOF.
#include <climits>
#include <cstring>
#include <string>

#include "file_test.h"

using namespace brtl_test;

namespace {

class LineInputTest : public FileTest {
  protected:
    // Opens name (holding bytes) for Input as file 1.
    void input_file(const std::string &bytes, int16_t mode = BI_FILE_MODE_INPUT) {
        write("in.txt", bytes);
        open("in.txt", mode, 1);
        ASSERT_TRUE(traps().empty());
    }
    // Line Input # into a runtime string variable; the text it holds.
    std::string line(BiString &target) {
        ZbiBuiltIn_LineInput(1, BI_TYPE_STRING, 0, &target);
        return text_of(target);
    }
};

class InputFunctionTest : public LineInputTest {};
class EofTest : public LineInputTest {};

// A runtime string variable that frees what it holds at the end of the test.
struct StringVariable {
    BiString value{const_cast<char *>(""), 0};
    ~StringVariable() {
        if (BiStringLength(value) != 0) ZrFree(value.data);
    }
};

Trap trap(int32_t number) {
    return Trap{number, Family::Trap, ""};
}

} // namespace

TEST_F(LineInputTest, LinesEndAtALineFeedAndLoseOneCarriageReturn) {
    input_file("text\r\nsecond\nthird\r\r\n\nmid\rdle\r\nlast");
    StringVariable v;
    EXPECT_EQ(line(v.value), "text");
    EXPECT_FALSE(BiStringIsTemporary(v.value));
    EXPECT_EQ(line(v.value), "second");
    EXPECT_EQ(line(v.value), "third\r");
    EXPECT_EQ(line(v.value), "");
    EXPECT_EQ(BiStringLength(v.value), 0u);
    EXPECT_EQ(line(v.value), "mid\rdle");
    EXPECT_EQ(line(v.value), "last");
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(line(v.value), "");
    EXPECT_EQ(traps(), std::vector<Trap>{trap(62)});
}

TEST_F(LineInputTest, AStringTargetLosesItsOldValueFirst) {
    input_file("new\n");
    make_host_objects();
    BlockBalance balance;
    StringVariable v;
    v.value = ZbiDuplicateString(Borrowed("old value").get());
    EXPECT_EQ(line(v.value), "new");
    ZrFree(v.value.data);
    v.value = BiString{const_cast<char *>(""), 0};
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(LineInputTest, VariantAndFixedLengthTargets) {
    input_file("caf\xE9\r\nabc\nabcdefgh\n");
    VARIANT v = bstr_variant("old");
    ZbiBuiltIn_LineInput(1, BI_TYPE_VARIANT, 0, &v);
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(units_of(v.bstrVal), u"caf\u00E9");
    VariantClear(&v);
    char fixed[7] = "xxxxxx";
    ZbiBuiltIn_LineInput(1, BI_TYPE_FIXED_STRING, 6, fixed);
    EXPECT_STREQ(fixed, "abc   ");
    ZbiBuiltIn_LineInput(1, 0, 6, fixed);
    EXPECT_STREQ(fixed, "abcdef");
    ZbiBuiltIn_LineInput(1, BI_TYPE_FIXED_STRING, 6, fixed);
    EXPECT_STREQ(fixed, "      ");
    EXPECT_EQ(traps(), std::vector<Trap>{trap(62)});
}

TEST_F(LineInputTest, TheTargetIsEmptiedEvenWhenTheNumberIsBad) {
    input_file("x\n", BI_FILE_MODE_BINARY);
    VARIANT v = bstr_variant("old");
    ZbiBuiltIn_LineInput(9, BI_TYPE_VARIANT, 0, &v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    char fixed[4] = "abc";
    ZbiBuiltIn_LineInput(1, BI_TYPE_FIXED_STRING, 3, fixed);
    EXPECT_STREQ(fixed, "   ");
    open("r.dat", BI_FILE_MODE_RANDOM, 2);
    StringVariable s;
    s.value = ZbiDuplicateString(Borrowed("old").get());
    EXPECT_EQ(line(s.value), ""); // file 1 is Binary
    EXPECT_EQ(traps(), (std::vector<Trap>{{52, Family::FileTrap, "9"}, trap(54), trap(54)}));
}

TEST_F(LineInputTest, LongLinesAreReadWhole) {
    std::string longest(100000, 'q');
    longest[50000] = '\r';
    input_file(longest + "\r\nnext\n");
    StringVariable v;
    EXPECT_EQ(line(v.value), longest);
    EXPECT_EQ(line(v.value), "next");
}

TEST_F(LineInputTest, NoMemoryForALongLineGivesTrap7AndNoLeak) {
    input_file(std::string(1000, 'z') + "\n");
    make_host_objects();
    BlockBalance balance;
    StringVariable v;
    fail_allocations_after(0);
    EXPECT_EQ(line(v.value), "");
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(7)});
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(LineInputTest, AMillionShortLines) {
    std::string bytes;
    for (int i = 0; i < 1000000; ++i)
        bytes += std::to_string(i % 1000) + "\r\n";
    input_file(bytes);
    StringVariable v;
    long count = 0, sum = 0;
    while (ZbiBuiltIn_EOF(1) == 0) {
        ZbiBuiltIn_LineInput(1, BI_TYPE_STRING, 0, &v.value);
        ++count;
        sum += std::atol(v.value.data);
    }
    EXPECT_EQ(count, 1000000);
    EXPECT_EQ(sum, 1000L * (999L * 1000L / 2));
    EXPECT_TRUE(traps().empty());
}

TEST_F(InputFunctionTest, ReadsExactlyNBytesNulsIncluded) {
    input_file(std::string("ab\0cd\nef", 8));
    EXPECT_EQ(take(ZbiBuiltIn_Input_(0, 1)), "");
    BiString s = ZbiBuiltIn_Input_(5, 1);
    EXPECT_TRUE(BiStringIsTemporary(s));
    EXPECT_EQ(take(s), std::string("ab\0cd", 5));
    EXPECT_EQ(take(ZbiBuiltIn_Input_(2, 1)), "\ne");
    EXPECT_EQ(take(ZbiBuiltIn_Input_(5, 1)), ""); // one byte left
    EXPECT_EQ(traps(), std::vector<Trap>{trap(62)});
}

TEST_F(InputFunctionTest, EveryNegativeCountIsRejected) {
    input_file("abc");
    for (int32_t n : {-1, -2, -1000, INT_MIN})
        EXPECT_EQ(take(ZbiBuiltIn_Input_(n, 1)), "");
    EXPECT_EQ(traps(), std::vector<Trap>(4, trap(5)));
    EXPECT_EQ(take(ZbiBuiltIn_Input_(3, 1)), "abc");
}

TEST_F(InputFunctionTest, ModesAndNumbersAreChecked) {
    input_file("abc", BI_FILE_MODE_BINARY);
    EXPECT_EQ(take(ZbiBuiltIn_Input_(2, 1)), "ab");
    open("o.txt", BI_FILE_MODE_OUTPUT, 2);
    open("r.dat", BI_FILE_MODE_RANDOM, 3);
    open("a.txt", BI_FILE_MODE_APPEND, 4);
    BlockBalance balance;
    for (int16_t n : {2, 3, 4})
        EXPECT_EQ(take(ZbiBuiltIn_Input_(1, n)), "");
    EXPECT_EQ(take(ZbiBuiltIn_Input_(1, 0)), "");
    EXPECT_EQ(take(ZbiBuiltIn_Input_(-1, 300)), ""); // the number is checked first
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(54),
                                          trap(54),
                                          trap(54),
                                          {52, Family::FileTrap, "0"},
                                          {52, Family::FileTrap, "300"}}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(InputFunctionTest, AReadThatFailsBeforeTheEndIsTrap75) {
    write("w.dat", "abc");
    open("w.dat", BI_FILE_MODE_BINARY, 1, BI_FILE_ACCESS_WRITE);
    EXPECT_EQ(take(ZbiBuiltIn_Input_(2, 1)), "");
    EXPECT_EQ(traps(), std::vector<Trap>{trap(75)});
}

TEST_F(InputFunctionTest, InputCCountsCharactersOfTheDoubleByteCodePage) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    input_file("\x82\xA0"
               "a\x82\xA2"
               "bc\nd\x81\nx");
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(2, 1)), "\x82\xA0"
                                              "a");
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 1)), "\x82\xA2");
    // A line feed is no character: the byte after it is read in its place.
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(3, 1)), "bcd");
    // A lead byte without a valid trail byte is a character of its own.
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(2, 1)), "\x81x");
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 1)), "");
    EXPECT_EQ(traps(), std::vector<Trap>{trap(62)});
}

TEST_F(InputFunctionTest, InputCChecksLikeInputWithoutASubject) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    input_file("abc");
    open("o.txt", BI_FILE_MODE_OUTPUT, 2);
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 7)), "");
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(-5, 1)), "");
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 2)), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(52), trap(5), trap(54)}));
    // Under the single-byte code page InputC is Input, line feeds included.
    brtl_setlocale("C");
    clear_traps();
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(1, 7)), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{52, Family::FileTrap, "7"}}));
}

TEST_F(EofTest, SequentialFilesLookAheadOneByte) {
    input_file("ab");
    EXPECT_EQ(ZbiBuiltIn_EOF(1), 0);
    EXPECT_EQ(take(ZbiBuiltIn_Input_(1, 1)), "a");
    EXPECT_EQ(ZbiBuiltIn_EOF(1), 0);
    EXPECT_EQ(take(ZbiBuiltIn_Input_(1, 1)), "b");
    EXPECT_EQ(ZbiBuiltIn_EOF(1), -1);
    write("empty.txt", "");
    open("empty.txt", BI_FILE_MODE_INPUT, 2);
    EXPECT_EQ(ZbiBuiltIn_EOF(2), -1);
    open("out.txt", BI_FILE_MODE_OUTPUT, 3);
    EXPECT_EQ(ZbiBuiltIn_EOF(3), -1);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(ZbiBuiltIn_EOF(4), -1);
    EXPECT_EQ(traps(), (std::vector<Trap>{{52, Family::FileTrap, "4"}}));
}

TEST_F(EofTest, BinaryFilesEndOnlyAfterAReadPassedTheEnd) {
    input_file("xy", BI_FILE_MODE_BINARY);
    EXPECT_EQ(take(ZbiBuiltIn_Input_(2, 1)), "xy");
    EXPECT_EQ(ZbiBuiltIn_EOF(1), 0);
    EXPECT_EQ(take(ZbiBuiltIn_Input_(1, 1)), "");
    EXPECT_EQ(ZbiBuiltIn_EOF(1), -1);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(62)});
}

TEST_F(InputFunctionTest, NoMemoryAndThrowingHooksLeaveNothingBehind) {
    input_file("abcdef");
    make_host_objects();
    BlockBalance balance;
    fail_allocations_after(0);
    EXPECT_EQ(take(ZbiBuiltIn_Input_(3, 1)), "");
    brtl_setlocale("Ja_JP");
    fail_allocations_after(0);
    EXPECT_EQ(take(ZbiBuiltIn_InputC_(3, 1)), "");
    brtl_setlocale("C");
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(7), trap(7)}));
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiBuiltIn_Input_(10, 1), TrapException); // 62 after the buffer was made
    brtl_setlocale("Ja_JP");
    EXPECT_THROW(ZbiBuiltIn_InputC_(10, 1), TrapException);
    brtl_setlocale("C");
    EXPECT_EQ(balance.delta(), 0);
}
