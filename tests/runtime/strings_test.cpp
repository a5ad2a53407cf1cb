// Runtime strings: allocation, the freeing rule, the Variant bridges and the format helpers.
#include <cstring>

#include "harness/harness.h"

using namespace brtl_test;

namespace {
class StringsTest : public RuntimeTest {};
} // namespace

TEST_F(StringsTest, AllocOfZeroStillAllocatesOneByte) {
    BlockBalance balance;
    BiString s = ZbiAllocBiString(0);
    ASSERT_NE(s.data, nullptr);
    EXPECT_EQ(s.length_word, 0u);
    EXPECT_EQ(balance.delta(), 1);
    ZbiFreeBiString(s);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(StringsTest, AllocGivesRoomForTheTextAndItsNul) {
    BiString s = ZbiAllocBiString(5);
    EXPECT_EQ(s.length_word, 5u);
    std::memcpy(s.data, "hello", 6);
    EXPECT_EQ(text_of(s), "hello");
    ZbiFreeBiString(s);
}

TEST_F(StringsTest, AllocWithoutMemoryRaisesTrapSevenAndReturnsNull) {
    fail_allocations_after(0);
    BiString s = ZbiAllocBiString(10);
    EXPECT_EQ(s.data, nullptr);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
}

TEST_F(StringsTest, DuplicateKeepsTheLengthWordFlagIncluded) {
    BiString t = temp("abc");
    BiString copy = ZbiDuplicateString(t);
    EXPECT_NE(copy.data, t.data);
    EXPECT_EQ(copy.length_word, t.length_word);
    EXPECT_TRUE(BiStringIsTemporary(copy));
    take(copy);
    take(t);

    Borrowed b("xyz");
    copy = ZbiDuplicateString(b.get());
    EXPECT_FALSE(BiStringIsTemporary(copy));
    EXPECT_EQ(text_of(copy), "xyz");
    ZbiFreeBiString(copy);
    EXPECT_TRUE(b.intact());
}

TEST_F(StringsTest, DuplicateOfEmptyIsTheSharedEmptyString) {
    BlockBalance balance;
    BiString copy = ZbiDuplicateString(temp(""));
    EXPECT_EQ(BiStringLength(copy), 0u);
    EXPECT_STREQ(copy.data, "");
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(StringsTest, DuplicateWithoutMemoryRaisesTrapSeven) {
    BiString t = temp("abc");
    fail_allocations_after(0);
    BiString copy = ZbiDuplicateString(t);
    EXPECT_EQ(BiStringLength(copy), 0u);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
    take(t);
}

// ---- ZbiEvalCvtSV / ZbiEvalCvtVS
// -----------------------------------------------------------------

TEST_F(StringsTest, StringToVariantFreesATemporaryAndKeepsABorrowedString) {
    BlockBalance balance;
    VARIANT v;
    EXPECT_EQ(ZbiEvalCvtSV(&v, temp("hello")), &v);
    EXPECT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v.bstrVal), "hello");
    VariantClear(&v);

    Borrowed b("world");
    ZbiEvalCvtSV(&v, b.get());
    EXPECT_EQ(ascii_of(v.bstrVal), "world");
    VariantClear(&v);
    EXPECT_TRUE(b.intact());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(StringsTest, StringToVariantOfEmptyIsANonNullEmptyBstr) {
    VARIANT v;
    ZbiEvalCvtSV(&v, temp(""));
    ASSERT_EQ(v.vt, VT_BSTR);
    ASSERT_NE(v.bstrVal, nullptr);
    EXPECT_EQ(SysStringLen(v.bstrVal), 0u);
    VariantClear(&v);
}

TEST_F(StringsTest, StringToVariantWithoutMemoryGivesEmptyAndTrapSevenOnEveryFailure) {
    // Fail each allocation of the call in turn: the wide buffer, then the BSTR.
    for (long k = 0; k < 2; ++k) {
        clear_traps();
        BlockBalance balance;
        BiString s = temp("abc");
        fail_allocations_after(k);
        VARIANT v;
        ZbiEvalCvtSV(&v, s);
        fail_allocations_after(-1);
        EXPECT_EQ(v.vt, VT_EMPTY) << k;
        EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}})) << k;
        EXPECT_EQ(balance.delta(), 0) << k;
    }
}

TEST_F(StringsTest, StringToVariantFreesTheTemporaryWhenTheHookThrows) {
    set_mode(HookMode::Throw);
    BlockBalance balance;
    BiString s = temp("abc");
    fail_allocations_after(1); // the BSTR fails
    VARIANT v;
    EXPECT_THROW(ZbiEvalCvtSV(&v, s), TrapException);
    fail_allocations_after(-1);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(StringsTest, VariantToStringWithClearReleasesTheBstr) {
    BlockBalance balance;
    VARIANT v = bstr_variant("text");
    BiString s = ZbiEvalCvtVS(v, 1);
    EXPECT_TRUE(BiStringIsTemporary(s));
    EXPECT_EQ(take(s), "text");
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(StringsTest, VariantToStringWithoutClearLeavesTheCallersBstr) {
    VARIANT v = bstr_variant("kept");
    BlockBalance balance;
    EXPECT_EQ(take(ZbiEvalCvtVS(v, 0)), "kept");
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_EQ(ascii_of(v.bstrVal), "kept");
    VariantClear(&v);
}

TEST_F(StringsTest, VariantToStringOfAnEmptyBstrIsTheEmptyString) {
    BlockBalance balance;
    BiString s = ZbiEvalCvtVS(bstr_variant(""), 1);
    EXPECT_EQ(BiStringLength(s), 0u);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(StringsTest, VariantToStringOfEmptyAndNull) {
    BlockBalance balance;
    EXPECT_EQ(take(ZbiEvalCvtVS(empty_variant(), 1)), "");
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(take(ZbiEvalCvtVS(null_variant(), 1)), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{94, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(StringsTest, VariantToStringWithoutMemoryRaisesTrapSeven) {
    VARIANT v = bstr_variant("abc");
    BlockBalance balance;
    fail_allocations_after(0);
    BiString s = ZbiEvalCvtVS(v, 1);
    fail_allocations_after(-1);
    EXPECT_EQ(BiStringLength(s), 0u);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), -1); // the Variant's own BSTR was released too
}

// ---- CountLetter and PushStringOnStack -------------------------------------------------------

TEST_F(StringsTest, CountLetterMeasuresACaseBlindRun) {
    const char *text = "MMmmx";
    const char *p = text;
    EXPECT_EQ(CountLetter(&p, text + 5, 10), 4);
    EXPECT_EQ(p, text + 4);
    p = text;
    EXPECT_EQ(CountLetter(&p, text + 5, 3), 3);
    EXPECT_EQ(p, text + 3);
    p = text;
    EXPECT_EQ(CountLetter(&p, text + 2, 10), 2); // stops at the end pointer
    p = text + 4;
    EXPECT_EQ(CountLetter(&p, text + 5, 10), 1);
}

TEST_F(StringsTest, PushStringOnStackPutsTheLastCharacterOnTop) {
    BlockBalance balance;
    BiFormatStackCell *top = PushStringOnStack("ab", nullptr);
    top = PushStringOnStack("c", top);
    EXPECT_EQ(PushStringOnStack("", top), top);
    std::string popped;
    while (top != nullptr) {
        popped.push_back(top->ch);
        BiFormatStackCell *next = top->next;
        ZrFree(top);
        top = next;
    }
    EXPECT_EQ(popped, "cba");
    EXPECT_EQ(balance.delta(), 0);
}
