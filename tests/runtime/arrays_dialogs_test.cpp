// Dynamic array storage and the two dialogs.
#include <cstring>
#include <string>
#include <vector>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

class ArraysTest : public RuntimeTest {
  protected:
    BiArrayDesc desc_{};
    void TearDown() override {
        ZbiFreeArrayData(&desc_);
        RuntimeTest::TearDown();
    }
};

bool all_zero(const void *p, size_t n) {
    const auto *b = static_cast<const unsigned char *>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i] != 0) return false;
    return true;
}

} // namespace

TEST_F(ArraysTest, AllocateGivesZeroedStorageOfTheByteSize) {
    desc_.element_size = 4;
    desc_.byte_size = 40;
    ZbiAllocArrayData(&desc_);
    ASSERT_NE(desc_.data, nullptr);
    EXPECT_TRUE(all_zero(desc_.data, 40));
    EXPECT_EQ(ZbiArrayElementAddr(&desc_, 0), desc_.data);
    EXPECT_EQ(ZbiArrayElementAddr(&desc_, 9), static_cast<char *>(desc_.data) + 36);
}

TEST_F(ArraysTest, GrowingKeepsTheOldBytesAndZeroesTheNewOnes) {
    desc_.element_size = 1;
    desc_.byte_size = 8;
    ZbiAllocArrayData(&desc_);
    std::memcpy(desc_.data, "ABCDEFGH", 8);
    ZbiReallocArrayData(&desc_, 16);
    EXPECT_EQ(desc_.byte_size, 16u);
    EXPECT_EQ(std::memcmp(desc_.data, "ABCDEFGH", 8), 0);
    EXPECT_TRUE(all_zero(static_cast<char *>(desc_.data) + 8, 8));
    ZbiReallocArrayData(&desc_, 4);
    EXPECT_EQ(desc_.byte_size, 4u);
    EXPECT_EQ(std::memcmp(desc_.data, "ABCD", 4), 0);
}

TEST_F(ArraysTest, ReallocateWithoutMemoryKeepsTheOldStorage) {
    desc_.element_size = 2;
    desc_.byte_size = 4;
    ZbiAllocArrayData(&desc_);
    std::memcpy(desc_.data, "wxyz", 4);
    void *before = desc_.data;
    fail_allocations_after(0);
    ZbiReallocArrayData(&desc_, 1 << 20);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
    EXPECT_EQ(desc_.data, before);
    EXPECT_EQ(desc_.byte_size, 4u);
    EXPECT_EQ(std::memcmp(desc_.data, "wxyz", 4), 0);
}

TEST_F(ArraysTest, AllocateWithoutMemoryRaisesTrapSevenAndLeavesNoStorage) {
    desc_.element_size = 8;
    desc_.byte_size = 64;
    fail_allocations_after(0);
    ZbiAllocArrayData(&desc_);
    EXPECT_EQ(desc_.data, nullptr);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
}

TEST_F(ArraysTest, ReallocateFromNothingAllocates) {
    desc_.element_size = 4;
    ZbiReallocArrayData(&desc_, 12);
    ASSERT_NE(desc_.data, nullptr);
    EXPECT_TRUE(all_zero(desc_.data, 12));
}

TEST_F(ArraysTest, FreeTwiceIsHarmlessAndClearZeroesInPlace) {
    desc_.element_size = 4;
    desc_.byte_size = 8;
    ZbiAllocArrayData(&desc_);
    std::memset(desc_.data, 0x5A, 8);
    ZbiClearArray(&desc_);
    EXPECT_TRUE(all_zero(desc_.data, 8));
    ZbiFreeArrayData(&desc_);
    EXPECT_EQ(desc_.data, nullptr);
    ZbiFreeArrayData(&desc_);
    ZbiClearArray(&desc_); // nothing allocated: nothing to clear
}

TEST_F(ArraysTest, ElementSizeZeroDoesNotDivideByZero) {
    desc_.element_size = 0;
    desc_.byte_size = 3;
    ZbiAllocArrayData(&desc_);
    ASSERT_NE(desc_.data, nullptr);
    EXPECT_TRUE(all_zero(desc_.data, 3));
}

TEST_F(ArraysTest, CopyCopiesTheByteCount) {
    char dst[6] = "-----";
    ZbiCopyArrayData(dst, "abcdef", 3);
    EXPECT_STREQ(dst, "abc--");
}

// ---- MsgBox and InputBox ---------------------------------------------------------------------

namespace {

struct Seen {
    std::string message, title, defaults;
    int16_t buttons = 0, x = 0, y = 0;
};
Seen g_seen;
const char *g_answer;

int16_t message_dialog(void *container, const char *message, int16_t buttons, const char *title) {
    EXPECT_EQ(container, nullptr);
    g_seen.message = message;
    g_seen.title = title;
    g_seen.buttons = buttons;
    return 6;
}

const char *select_dialog(void *container, const char *prompt, const char *title,
                          const char *defaults, int16_t x, int16_t y) {
    EXPECT_EQ(container, nullptr);
    g_seen.message = prompt;
    g_seen.title = title;
    g_seen.defaults = defaults;
    g_seen.x = x;
    g_seen.y = y;
    return g_answer;
}

class DialogsTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        g_seen = Seen{};
        brtl_set_dialogs(message_dialog, select_dialog);
    }
    void TearDown() override {
        brtl_set_dialogs(nullptr, nullptr);
        RuntimeTest::TearDown();
    }
};

} // namespace

TEST_F(DialogsTest, MsgBoxPassesTheTextsAndReturnsTheAnswer) {
    Borrowed title("Title");
    BlockBalance balance;
    EXPECT_EQ(ZbiBuiltIn_MsgBox(temp("Proceed?"), 4, title.get()), 6);
    EXPECT_EQ(g_seen.message, "Proceed?");
    EXPECT_EQ(g_seen.title, "Title");
    EXPECT_EQ(g_seen.buttons, 4);
    EXPECT_EQ(balance.delta(), 0); // the temporary message is freed
    EXPECT_TRUE(title.intact());
}

TEST_F(DialogsTest, InputBoxReturnsATemporaryCopyOfTheAnswer) {
    g_answer = "yes";
    BlockBalance balance;
    BiString s = ZbiBuiltIn_InputBox_(temp("Name?"), temp("Ask"), temp("def"), 100, -200);
    EXPECT_EQ(BiStringLength(s), 3u);
    EXPECT_TRUE(BiStringIsTemporary(s));
    EXPECT_EQ(take(s), "yes");
    EXPECT_EQ(g_seen.defaults, "def");
    EXPECT_EQ(g_seen.x, 100);
    EXPECT_EQ(g_seen.y, -200);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(DialogsTest, InputBoxCancelledOrEmptyGivesTheEmptyStringWithTheFlagClear) {
    for (const char *answer : {static_cast<const char *>(nullptr), ""}) {
        g_answer = answer;
        BlockBalance balance;
        BiString s = ZbiBuiltIn_InputBox_(temp("p"), temp(""), temp("d"), 0, 0);
        EXPECT_EQ(BiStringLength(s), 0u);
        EXPECT_FALSE(BiStringIsTemporary(s));
        EXPECT_EQ(balance.delta(), 0);
    }
}

TEST_F(DialogsTest, InputBoxCopiesAnAnswerThatIsItsOwnDefaultText) {
    BiString defaults = temp("same");
    g_answer = defaults.data; // the host hands back the default buffer itself
    EXPECT_EQ(take(ZbiBuiltIn_InputBox_(temp("p"), temp("t"), defaults, 0, 0)), "same");
}

TEST_F(DialogsTest, InputBoxWithoutMemoryRaisesTrapSevenAndFreesItsArguments) {
    g_answer = "abc";
    BiString prompt = temp("p"), title = temp("t"), defaults = temp("d");
    BlockBalance balance;
    fail_allocations_after(0);
    BiString s = ZbiBuiltIn_InputBox_(prompt, title, defaults, 0, 0);
    fail_allocations_after(-1);
    EXPECT_EQ(BiStringLength(s), 0u);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), -3);
}

TEST_F(DialogsTest, ConsoleDialogsReadTheAnswerFromStandardInput) {
    brtl_set_dialogs(nullptr, nullptr);
    // Run in a child so that standard input can be replaced.
    EXPECT_EXIT(
        {
            FILE *in = std::tmpfile();
            std::fputs("n\nAnswer\n", in);
            std::rewind(in);
            if (dup2(fileno(in), 0) < 0) std::exit(10);
            clearerr(stdin);
            if (ZkMsgDialog(nullptr, "Go on?", 4, "Q") != 7) std::exit(11); // No
            const char *a = ZkSelDialog(nullptr, "Name", "T", "", 0, 0);
            if (a == nullptr || std::string(a) != "Answer") std::exit(12);
            if (ZkSelDialog(nullptr, "More", "T", "", 0, 0) != nullptr) std::exit(13); // EOF
            if (ZkMsgDialog(nullptr, "Info", 0, "I") != 1) std::exit(14);              // OK only
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "Go on\\?");
}
