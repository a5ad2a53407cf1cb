// Dynamic array storage and the two dialogs.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

using ArraysTest = RuntimeTest;

bool all_zero(const void *p, size_t n) {
    const auto *b = static_cast<const unsigned char *>(p);
    return std::all_of(b, b + n, [](unsigned char c) { return c == 0; });
}

const std::vector<Trap> kTrap7{{7, Family::Trap, ""}};

} // namespace

TEST_F(ArraysTest, StorageIsZeroedKeptOnGrowingAndFreedOnce) {
    // An element size of 0 counts as 1 (no division by zero); growing keeps the old bytes and
    // zeroes the new ones; Clear zeroes in place; freeing twice and clearing nothing are harmless.
    BiArrayDesc desc{};
    desc.element_size = 0;
    desc.byte_size = 3;
    ZbiAllocArrayData(&desc);
    ASSERT_NE(desc.data, nullptr);
    EXPECT_TRUE(all_zero(desc.data, 3));
    ZbiFreeArrayData(&desc);
    desc.element_size = 4;
    desc.byte_size = 8;
    ZbiAllocArrayData(&desc);
    EXPECT_TRUE(all_zero(desc.data, 8));
    EXPECT_EQ(ZbiArrayElementAddr(&desc, 1), static_cast<char *>(desc.data) + 4);
    std::memcpy(desc.data, "ABCDEFGH", 8);
    ZbiReallocArrayData(&desc, 16);
    EXPECT_EQ(desc.byte_size, 16u);
    EXPECT_EQ(std::memcmp(desc.data, "ABCDEFGH", 8), 0);
    EXPECT_TRUE(all_zero(static_cast<char *>(desc.data) + 8, 8));
    ZbiReallocArrayData(&desc, 4);
    EXPECT_EQ(desc.byte_size, 4u);
    EXPECT_EQ(std::memcmp(desc.data, "ABCD", 4), 0);
    ZbiClearArray(&desc);
    EXPECT_TRUE(all_zero(desc.data, 4));
    ZbiFreeArrayData(&desc);
    EXPECT_EQ(desc.data, nullptr);
    ZbiFreeArrayData(&desc);
    ZbiClearArray(&desc);
    desc.byte_size = 0;
    ZbiReallocArrayData(&desc, 12); // from nothing: allocates
    ASSERT_NE(desc.data, nullptr);
    EXPECT_TRUE(all_zero(desc.data, 12));
    ZbiFreeArrayData(&desc);
    char dst[6] = "-----";
    ZbiCopyArrayData(dst, "abcdef", 3);
    EXPECT_STREQ(dst, "abc--");
    EXPECT_TRUE(traps().empty());
}

TEST_F(ArraysTest, WithoutMemoryTrapSevenLeavesTheOldStorage) {
    BiArrayDesc desc{};
    desc.element_size = 8;
    desc.byte_size = 64;
    fail_allocations_after(0);
    ZbiAllocArrayData(&desc);
    EXPECT_EQ(desc.data, nullptr);
    EXPECT_EQ(traps(), kTrap7);
    clear_traps();
    desc.element_size = 2;
    desc.byte_size = 4;
    fail_allocations_after(-1);
    ZbiAllocArrayData(&desc);
    std::memcpy(desc.data, "wxyz", 4);
    void *before = desc.data;
    fail_allocations_after(0);
    ZbiReallocArrayData(&desc, 1 << 20);
    EXPECT_EQ(traps(), kTrap7);
    EXPECT_EQ(desc.data, before);
    EXPECT_EQ(desc.byte_size, 4u);
    EXPECT_EQ(std::memcmp(desc.data, "wxyz", 4), 0);
    ZbiFreeArrayData(&desc);
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
    g_seen = {message, title, "", buttons};
    return 6;
}

const char *select_dialog(void *container, const char *prompt, const char *title,
                          const char *defaults, int16_t x, int16_t y) {
    EXPECT_EQ(container, nullptr);
    g_seen = {prompt, title, defaults, 0, x, y};
    return g_answer;
}

class DialogsTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        brtl_set_dialogs(message_dialog, select_dialog);
    }
    void TearDown() override {
        brtl_set_dialogs(nullptr, nullptr);
        RuntimeTest::TearDown();
    }
};

} // namespace

TEST_F(DialogsTest, TheHostDialogsSeeTheTextsAndTheArgumentsAreFreed) {
    Borrowed title("Title");
    BlockBalance balance;
    EXPECT_EQ(ZbiBuiltIn_MsgBox(temp("Proceed?"), 4, title.get()), 6);
    EXPECT_EQ(g_seen.message + "|" + g_seen.title, "Proceed?|Title");
    EXPECT_EQ(g_seen.buttons, 4);
    EXPECT_TRUE(title.intact());
    // An answer is copied into a temporary, even one that is the default text's own buffer; a
    // cancel (null) or an empty answer is the empty string with the flag clear.
    BiString defaults = temp("same");
    for (const char *answer : {"yes", static_cast<const char *>(nullptr), "", "same"}) {
        g_answer = answer != nullptr && std::string(answer) == "same" ? defaults.data : answer;
        BiString d = g_answer == defaults.data ? defaults : temp("def");
        BiString s = ZbiBuiltIn_InputBox_(temp("Name?"), temp("Ask"), d, 100, -200);
        EXPECT_EQ(BiStringIsTemporary(s), answer != nullptr && *answer != '\0');
        EXPECT_EQ(take(s), answer ? answer : "");
    }
    EXPECT_EQ(g_seen.message + "|" + g_seen.title + "|" + g_seen.defaults, "Name?|Ask|same");
    EXPECT_EQ(g_seen.x, 100);
    EXPECT_EQ(g_seen.y, -200);
    EXPECT_EQ(balance.delta(), 0);
    // Without memory for the answer: trap 7, and the three arguments are still freed.
    g_answer = "abc";
    BiString prompt = temp("p"), t = temp("t"), d = temp("d");
    BlockBalance before_call;
    fail_allocations_after(0);
    EXPECT_EQ(BiStringLength(ZbiBuiltIn_InputBox_(prompt, t, d, 0, 0)), 0u);
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), kTrap7);
    EXPECT_EQ(before_call.delta(), -3);
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
