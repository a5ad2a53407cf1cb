// The hook table, the default hooks, and the error-handling builtins.
#include <cstdarg>
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

int g_slot7_calls;
uint8_t answer_true() {
    ++g_slot7_calls;
    return 1;
}

} // namespace

TEST_F(HooksTest, NullArgumentsLeaveEverySlotAsItWas) {
    ZbiInitBasicRTL(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    brtl::runtime::raise_trap(5);
    brtl::runtime::raise_numeric_trap(6);
    brtl::runtime::raise_file_trap(53, temp("a.txt"));
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""},
                                          {6, Family::NumericTrap, ""},
                                          {53, Family::FileTrap, "a.txt"}}));
    EXPECT_TRUE(g_dialogs.empty());
}

TEST_F(HooksTest, InstallingOnlySlotSevenKeepsTheOtherSlots) {
    g_slot7_calls = 0;
    ZbiInitBasicRTL(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, answer_true);
    EXPECT_TRUE(brtl::runtime::text_compare());
    EXPECT_EQ(g_slot7_calls, 1);
    EXPECT_FALSE(brtl::runtime::strict_limits());
    brtl::runtime::raise_trap(13);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
}

TEST_F(HooksTest, QueriesReadAnyNonzeroByteAsTrue) {
    host().strict_limits = true;
    host().skip_first_value = true;
    EXPECT_TRUE(brtl::runtime::strict_limits());
    EXPECT_TRUE(brtl::runtime::skip_first_value());
    EXPECT_FALSE(brtl::runtime::text_compare());
}

TEST_F(HooksTest, TermRestoresTheDefaultDialogForEveryTrapFamily) {
    host().texts[11] = "Division by zero";
    ZbiTermBasicRTL();
    brtl::runtime::raise_trap(5);
    brtl::runtime::raise_numeric_trap(11);
    brtl::runtime::raise_file_trap(53, temp("lost.txt")); // the default frees the subject
    ASSERT_EQ(g_dialogs.size(), 3u);
    for (const Dialog &d : g_dialogs) {
        EXPECT_EQ(d.title, "Runtime Error");
        EXPECT_EQ(d.buttons, 48);
        EXPECT_EQ(d.message, ""); // the default text hook has no texts
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(HooksTest, DefaultTrapDialogShowsTheHostText) {
    ZbiTermBasicRTL();
    ZbiInitBasicRTL(
        [](int32_t id) -> const char * { return id == 9 ? "Subscript out of range" : nullptr; },
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    BlockBalance balance;
    brtl::runtime::raise_trap(9);
    brtl::runtime::raise_trap(10); // a null text gives an empty message
    ASSERT_EQ(g_dialogs.size(), 2u);
    EXPECT_EQ(g_dialogs[0].message, "Subscript out of range");
    EXPECT_EQ(g_dialogs[1].message, "");
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(HooksTest, DefaultFatalHookShowsItsDialogAndExitsWithCodeThree) {
    EXPECT_EXIT(
        {
            ZbiTermBasicRTL();
            brtl::runtime::raise_fatal(4727);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST_F(HooksTest, FatalReportsCodeMinusOne) {
    brtl::runtime::raise_fatal(238);
    EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
}

TEST_F(HooksTest, ThrowingHookLeavesTheRaiser) {
    set_mode(HookMode::Throw);
    EXPECT_THROW(brtl::runtime::raise_trap(7), TrapException);
    EXPECT_EQ(traps().size(), 1u);
}

// ---- ZbiCvtHResultToTrapNo ----------------------------------------------------------------------

TEST_F(HooksTest, HResultsMapToTheirTraps) {
    EXPECT_EQ(ZbiCvtHResultToTrapNo(S_OK), 0);
    EXPECT_EQ(ZbiCvtHResultToTrapNo(DISP_E_TYPEMISMATCH), 13);
    EXPECT_EQ(ZbiCvtHResultToTrapNo(DISP_E_OVERFLOW), 6);
    EXPECT_EQ(ZbiCvtHResultToTrapNo(E_OUTOFMEMORY), 7);
    EXPECT_EQ(ZbiCvtHResultToTrapNo(E_FAIL), 5);
    EXPECT_EQ(ZbiCvtHResultToTrapNo(DISP_E_BADVARTYPE), 5);
    EXPECT_EQ(ZbiCvtHResultToTrapNo(1), 5);
}

// ---- Error$ ----------------------------------------------------------------------------------

TEST_F(HooksTest, ErrorTextDropsPlaceholdersAndTrailingBlanks) {
    struct Case {
        const char *text;
        const char *expected;
    } cases[] = {
        {"File '%s' not found", "File not found"},
        {"Can't open '%s' now", "Can't open now"},
        {"%s: bad", ": bad"},
        {"'%s' at start", "at start"},
        {"Name %s here", "Name here"},
        {"  x  ", "  x"},
        {"a %s%s b", "a b"},
        {"no placeholder", "no placeholder"},
        {"100%", "100%"},
    };
    BlockBalance balance;
    for (const Case &c : cases) {
        host().texts[75] = c.text;
        BiString s = ZbiBuiltIn_Error_(75);
        EXPECT_TRUE(BiStringIsTemporary(s)) << c.text;
        EXPECT_EQ(take(s), c.expected) << c.text;
    }
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(HooksTest, ErrorTextWithNothingLeftIsTheSharedEmptyString) {
    host().texts[76] = "'%s'  ";
    BlockBalance balance;
    BiString s = ZbiBuiltIn_Error_(76);
    EXPECT_EQ(BiStringLength(s), 0u);
    EXPECT_EQ(balance.delta(), 0); // no buffer is kept behind an empty result
}

TEST_F(HooksTest, ErrorTextOfANullOrMissingTextIsEmpty) {
    BiString s = ZbiBuiltIn_Error_(5);
    EXPECT_EQ(BiStringLength(s), 0u);
    EXPECT_FALSE(BiStringIsTemporary(s));
    ZbiTermBasicRTL(); // the default text hook has no texts either
    EXPECT_EQ(BiStringLength(ZbiBuiltIn_Error_(5)), 0u);
}

TEST_F(HooksTest, ErrorTextOfANegativeNumberRaisesTrapFive) {
    BiString s = ZbiBuiltIn_Error_(-1);
    EXPECT_EQ(BiStringLength(s), 0u);
    EXPECT_FALSE(BiStringIsTemporary(s));
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
}

TEST_F(HooksTest, ErrorTextWithoutMemoryRaisesTrapSeven) {
    host().texts[53] = "File not found";
    fail_allocations_after(0);
    BiString s = ZbiBuiltIn_Error_(53);
    EXPECT_EQ(BiStringLength(s), 0u);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
}

// ---- CVErr -------------------------------------------------------------------------------------

TEST_F(HooksTest, CVErrMakesAnErrorVariantOfCodesUpTo65535) {
    VARIANT v;
    EXPECT_EQ(ZbiBuiltIn_CVErr(&v, 65535), &v);
    EXPECT_EQ(v.vt, VT_ERROR);
    EXPECT_EQ(v.scode, 65535);
    ZbiBuiltIn_CVErr(&v, 0);
    EXPECT_EQ(v.scode, 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(HooksTest, CVErrOutOfRangeRaisesTrapFiveAndStillGivesAnError) {
    for (int32_t code : {65536, -1}) {
        clear_traps();
        VARIANT v;
        ZbiBuiltIn_CVErr(&v, code);
        EXPECT_EQ(v.vt, VT_ERROR);
        EXPECT_EQ(v.scode, 5);
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    }
}

// ---- Assert ------------------------------------------------------------------------------------

TEST_F(HooksTest, AssertWithNoWordsOrAllTrueDoesNothingButFreeTemporaries) {
    BlockBalance balance;
    ZbiBuiltIn_Assert(temp("msg"), temp("mod.bas"), 10, 0);
    ZbiBuiltIn_Assert(temp("msg"), temp("mod.bas"), 10, 3, -1, 1, -1);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(HooksTest, AssertFailsAtTheFirstFalseWord) {
    Borrowed source("mod.bas");
    BlockBalance balance;
    ::testing::internal::CaptureStderr();
    ZbiBuiltIn_Assert(temp("x > 1"), source.get(), 42, 3, -1, 0, -1);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "The following assertion failed in mod.bas at line 42: x > 1\n");
    EXPECT_EQ(traps(), (std::vector<Trap>{{17, Family::Trap, ""}}));
    EXPECT_TRUE(source.intact());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(HooksTest, AssertReadsOnlyTheLowSixteenBitsOfEachWord) {
    ::testing::internal::CaptureStderr();
    ZbiBuiltIn_Assert(temp("m"), temp("s"), 1, 1, 0x10000); // low 16 bits are zero: False
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(traps().size(), 1u);
}

TEST_F(HooksTest, AssertWritesItsMessageBeforeAThrowingHookAndFreesTheStrings) {
    set_mode(HookMode::Throw);
    BlockBalance balance;
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(ZbiBuiltIn_Assert(temp("m"), temp("s.bas"), 7, 1, 0), TrapException);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("line 7: m"), std::string::npos);
    EXPECT_EQ(balance.delta(), 0);
}

// ---- Services ----------------------------------------------------------------------------------

TEST_F(HooksTest, StackBaseLiesBelowALocalVariable) {
    int local = 0;
    auto *base = static_cast<char *>(ZbiGetThreadStackBase());
    ASSERT_NE(base, nullptr);
    EXPECT_LT(base, reinterpret_cast<char *>(&local));
    EXPECT_GT(base + (512L << 20), reinterpret_cast<char *>(&local)); // within a sane stack size
}

TEST_F(HooksTest, MillisecondsAdvanceMonotonically) {
    uint32_t a = ZbiGetTimeInMillisecond();
    timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    uint32_t b = ZbiGetTimeInMillisecond();
    EXPECT_GE(b - a, 19u);
    EXPECT_LT(b - a, 5000u);
}

TEST_F(HooksTest, OutputWindowWritesOnlyWhenAsked) {
    unsetenv("BRTL_DEBUG_OUTPUT");
    ::testing::internal::CaptureStderr();
    ZkWriteStringToOutputWindow("silent\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    setenv("BRTL_DEBUG_OUTPUT", "stderr", 1);
    ::testing::internal::CaptureStderr();
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
