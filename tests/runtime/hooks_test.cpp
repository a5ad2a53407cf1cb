// The hook table, the default hooks, the error-handling builtins and the host services.
#include <string>
#include <vector>

#include "harness/harness.h"
#include "runtime/hooks.h"

using namespace brtl_test;

namespace {

struct Dialog {
    std::string message;
    int16_t buttons;
    std::string title;
};
std::vector<Dialog> g_dialogs;

int16_t record_dialog(void *, const char *message, int16_t buttons, const char *title) {
    g_dialogs.push_back({message, buttons, title});
    return 1;
}

class HooksTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        g_dialogs.clear();
        brtl_set_dialogs(record_dialog, nullptr);
    }
    void TearDown() override {
        brtl_set_dialogs(nullptr, nullptr);
        RuntimeTest::TearDown();
    }
};

const Trap kTrap5{5, Family::Trap, ""}, kTrap7{7, Family::Trap, ""};

int g_slot7_calls;
uint8_t answer_true() {
    ++g_slot7_calls;
    return 1;
}

void raise_one_of_each() {
    brtl::runtime::raise_trap(5);
    brtl::runtime::raise_numeric_trap(11);
    brtl::runtime::raise_file_trap(53, temp("lost.txt")); // the subject goes to the hook
}

} // namespace

TEST_F(HooksTest, ANullArgumentLeavesItsSlotAsItWas) {
    ZbiInitBasicRTL(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    raise_one_of_each();
    brtl::runtime::raise_fatal(238); // reported as code -1
    EXPECT_EQ(traps(), (std::vector<Trap>{kTrap5,
                                          {11, Family::NumericTrap, ""},
                                          {53, Family::FileTrap, "lost.txt"},
                                          {-1, Family::Fatal, ""}}));
    g_slot7_calls = 0;
    host().strict_limits = true;
    ZbiInitBasicRTL(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, answer_true);
    EXPECT_TRUE(brtl::runtime::text_compare());
    EXPECT_EQ(g_slot7_calls, 1);
    EXPECT_TRUE(brtl::runtime::strict_limits());
    EXPECT_FALSE(brtl::runtime::skip_first_value());
    EXPECT_TRUE(g_dialogs.empty());
    set_mode(HookMode::Throw);
    EXPECT_THROW(brtl::runtime::raise_trap(7), TrapException);
}

TEST_F(HooksTest, TermRestoresTheDefaultDialogsWithTheHostText) {
    ZbiTermBasicRTL(); // the default text hook has no texts
    raise_one_of_each();
    ZbiInitBasicRTL(
        [](int32_t id) -> const char * { return id == 9 ? "Subscript out of range" : nullptr; },
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    BlockBalance balance;
    brtl::runtime::raise_trap(9);
    brtl::runtime::raise_trap(10); // a null text gives an empty message
    EXPECT_EQ(balance.delta(), 0);
    ASSERT_EQ(g_dialogs.size(), 5u);
    for (size_t i = 0; i < g_dialogs.size(); ++i) {
        EXPECT_EQ(g_dialogs[i].title, "Runtime Error");
        EXPECT_EQ(g_dialogs[i].buttons, 48);
        EXPECT_EQ(g_dialogs[i].message, i == 3 ? "Subscript out of range" : "") << i;
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(HooksTest, DefaultFatalHookShowsItsDialogAndExitsWithCodeThree) {
    EXPECT_EXIT(
        {
            ZbiTermBasicRTL();
            brtl::runtime::raise_fatal(4727);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST_F(HooksTest, HResultsMapToTheirTraps) {
    const std::pair<HRESULT, int32_t> rows[] = {{S_OK, 0},
                                                {DISP_E_TYPEMISMATCH, 13},
                                                {DISP_E_OVERFLOW, 6},
                                                {E_OUTOFMEMORY, 7},
                                                {E_FAIL, 5},
                                                {DISP_E_BADVARTYPE, 5},
                                                {1, 5}};
    for (auto [hr, trap] : rows)
        EXPECT_EQ(ZbiCvtHResultToTrapNo(hr), trap) << hr;
}

TEST_F(HooksTest, ErrorTextDropsPlaceholdersAndTrailingBlanks) {
    // {host text, Error$}: a placeholder goes with its quotes and one blank after it; nothing
    // left is the shared empty string, without a buffer behind it.
    const std::pair<const char *, const char *> rows[] = {{"File '%s' not found", "File not found"},
                                                          {"%s: bad", ": bad"},
                                                          {"'%s' at start", "at start"},
                                                          {"'%s", "'"},
                                                          {"Name %s here", "Name here"},
                                                          {"  x  ", "  x"},
                                                          {"a %s%s b", "a b"},
                                                          {"a %s  b", "a  b"},
                                                          {"100% sure", "100% sure"},
                                                          {"'%s'  ", ""}};
    BlockBalance balance;
    for (auto [text, expected] : rows) {
        host().texts[75] = text;
        BiString s = ZbiBuiltIn_Error_(75);
        EXPECT_TRUE(BiStringIsTemporary(s)) << text;
        EXPECT_EQ(take(s), expected) << text;
    }
    EXPECT_EQ(balance.delta(), 0);
    // No text, or a negative number (trap 5), is the empty string with the flag clear; without
    // memory for the copy, trap 7.
    host().texts[53] = "File not found";
    for (int32_t n : {5, -1, 53}) {
        clear_traps();
        fail_allocations_after(n == 53 ? 0 : -1);
        BiString s = ZbiBuiltIn_Error_(n);
        EXPECT_EQ(BiStringLength(s), 0u);
        EXPECT_FALSE(BiStringIsTemporary(s));
        EXPECT_EQ(traps(), (std::vector<Trap>(n == 5 ? 0 : 1, n < 0 ? kTrap5 : kTrap7))) << n;
    }
    ZbiTermBasicRTL(); // the default text hook answers "" for every number
    EXPECT_EQ(BiStringLength(ZbiBuiltIn_Error_(5)), 0u);
}

TEST_F(HooksTest, CVErrMakesAnErrorVariantOfCodesUpTo65535) {
    // Out of range: trap 5, and still an Error (of code 5).
    for (auto [code, scode] : {std::pair{65535, 65535}, {0, 0}, {65536, 5}, {-1, 5}}) {
        clear_traps();
        VARIANT v;
        EXPECT_EQ(ZbiBuiltIn_CVErr(&v, code), &v);
        EXPECT_EQ(v.vt, VT_ERROR);
        EXPECT_EQ(v.scode, scode);
        EXPECT_EQ(traps(), std::vector<Trap>(code == scode ? 0 : 1, kTrap5)) << code;
    }
}

TEST_F(HooksTest, AssertFailsAtTheFirstFalseWordAndFreesItsStrings) {
    // No words, or all true (only the low 16 bits of a word count): nothing but the freeing.
    Borrowed source("mod.bas");
    BlockBalance balance;
    ZbiBuiltIn_Assert(temp("msg"), temp("mod.bas"), 10, 0);
    ZbiBuiltIn_Assert(temp("msg"), temp("mod.bas"), 10, 3, -1, 1, -1);
    EXPECT_TRUE(traps().empty());
    ::testing::internal::CaptureStderr();
    ZbiBuiltIn_Assert(temp("x > 1"), source.get(), 42, 3, -1, 0x10000, -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "The following assertion failed in mod.bas at line 42: x > 1\n");
    EXPECT_EQ(traps(), (std::vector<Trap>{{17, Family::Trap, ""}}));
    EXPECT_TRUE(source.intact());
    // The message is written before a throwing hook leaves.
    set_mode(HookMode::Throw);
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(ZbiBuiltIn_Assert(temp("m"), temp("s.bas"), 7, 1, 0), TrapException);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("line 7: m"), std::string::npos);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(HooksTest, ServicesStackBaseClockAndOutputWindow) {
    int local = 0;
    auto *base = static_cast<char *>(ZbiGetThreadStackBase());
    ASSERT_NE(base, nullptr);
    EXPECT_LT(base, reinterpret_cast<char *>(&local));
    EXPECT_GT(base + (512L << 20), reinterpret_cast<char *>(&local)); // within a sane stack size
    uint32_t a = ZbiGetTimeInMillisecond();
    timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    uint32_t b = ZbiGetTimeInMillisecond();
    EXPECT_GE(b - a, 19u);
    EXPECT_LT(b - a, 5000u);
    // The output window writes only when asked: to standard error or to a file (on Windows it is
    // the debugger's, OutputDebugStringA, which a test cannot read).
    if (kWindows) return;
    unsetenv("BRTL_DEBUG_OUTPUT");
    ::testing::internal::CaptureStderr();
    ZkWriteStringToOutputWindow("silent\n");
    setenv("BRTL_DEBUG_OUTPUT", "stderr", 1);
    ZkWriteStringToOutputWindow("heard\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "heard\n");
    std::string file = (scratch_dir() / "debug.log").string();
    setenv("BRTL_DEBUG_OUTPUT", file.c_str(), 1);
    ZkWriteStringToOutputWindow("one ");
    ZkWriteStringToOutputWindow("two");
    unsetenv("BRTL_DEBUG_OUTPUT");
    FILE *f = fopen(file.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char line[32] = {};
    ASSERT_NE(fgets(line, sizeof line, f), nullptr);
    fclose(f);
    EXPECT_STREQ(line, "one two");
}
