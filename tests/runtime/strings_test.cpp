// Runtime strings: allocation, the freeing rule, the Variant bridges and the format helpers.
#include <cstring>
#include <tuple>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

using StringsTest = RuntimeTest;

const std::vector<Trap> kTrap7{{7, Family::Trap, ""}};

} // namespace

TEST_F(StringsTest, AllocAndDuplicate) {
    // Alloc gives room for the text and its NUL, one byte for nothing; without memory, null and
    // trap 7. Duplicate keeps the length word, flag included; of an empty string it is the
    // shared empty string.
    BlockBalance balance;
    for (uint32_t n : {0u, 5u}) {
        BiString s = ZbiAllocBiString(n);
        ASSERT_NE(s.data, nullptr);
        EXPECT_EQ(s.length_word, n);
        std::memcpy(s.data, "hello", n + 1);
        EXPECT_EQ(balance.delta(), 1);
        ZbiFreeBiString(s);
    }
    Borrowed borrowed("xyz");
    for (BiString s : {temp("abc"), borrowed.get(), temp("")}) {
        BiString copy = ZbiDuplicateString(s);
        EXPECT_EQ(text_of(copy), text_of(s));
        EXPECT_EQ(copy.data[BiStringLength(copy)], '\0');
        EXPECT_EQ(copy.length_word, BiStringLength(s) == 0 ? 0 : s.length_word);
        EXPECT_TRUE(BiStringLength(s) == 0 || copy.data != s.data);
        if (BiStringLength(copy) != 0) ZbiFreeBiString(copy);
        take(s);
    }
    EXPECT_TRUE(borrowed.intact());
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(traps().empty());
    BiString t = temp("abc");
    fail_allocations_after(0);
    EXPECT_EQ(ZbiAllocBiString(10).data, nullptr);
    fail_allocations_after(0);
    EXPECT_EQ(BiStringLength(ZbiDuplicateString(t)), 0u);
    EXPECT_EQ(traps(), (std::vector<Trap>(2, kTrap7[0])));
    fail_allocations_after(-1);
    take(t);
}

TEST_F(StringsTest, StringToVariant) {
    // A temporary is freed, a borrowed string kept; the empty text is an empty, non-null BSTR.
    BlockBalance balance;
    Borrowed borrowed("world");
    for (BiString s : {temp("hello"), borrowed.get(), temp("")}) {
        const std::string text = text_of(s);
        VARIANT v;
        EXPECT_EQ(ZbiEvalCvtSV(&v, s), &v);
        ASSERT_EQ(v.vt, VT_BSTR);
        ASSERT_NE(v.bstrVal, nullptr);
        EXPECT_EQ(ascii_of(v.bstrVal), text);
        VariantClear(&v);
    }
    EXPECT_TRUE(borrowed.intact());
    EXPECT_EQ(balance.delta(), 0);
    // Without memory for the wide buffer, then for the BSTR: Empty and trap 7, the temporary
    // freed, also when the hook throws.
    for (HookMode mode : {HookMode::Return, HookMode::Throw})
        for (long k = 0; k < 2; ++k) {
            SCOPED_TRACE(k);
            set_mode(mode);
            clear_traps();
            BiString s = temp("abc");
            fail_allocations_after(k);
            VARIANT v{};
            v.vt = VT_I2;
            try {
                ZbiEvalCvtSV(&v, s);
            } catch (const TrapException &) {
            }
            fail_allocations_after(-1);
            EXPECT_EQ(v.vt, VT_EMPTY);
            EXPECT_EQ(traps(), kTrap7);
            EXPECT_EQ(balance.delta(), 0);
        }
}

TEST_F(StringsTest, VariantToString) {
    // With the clear flag the call releases the Variant's BSTR, without it the caller's is left;
    // Empty is the empty text, Null trap 94 and the empty text.
    BlockBalance balance;
    VARIANT kept = bstr_variant("kept");
    const std::tuple<VARIANT, uint8_t, const char *> rows[] = {
        {bstr_variant("text"), 1, "text"}, {kept, 0, "kept"},
        {bstr_variant(""), 1, ""},         {r8(2.5), 0, "2.5"},
        {empty_variant(), 1, ""},          {null_variant(), 1, ""}};
    for (auto [v, clear, expected] : rows) {
        clear_traps();
        BiString s = ZbiEvalCvtVS(v, clear);
        EXPECT_TRUE(BiStringIsTemporary(s));
        EXPECT_EQ(take(s), expected);
        EXPECT_EQ(traps(), (std::vector<Trap>(v.vt == VT_NULL ? 1 : 0, {94, Family::Trap, ""})));
    }
    EXPECT_EQ(ascii_of(kept.bstrVal), "kept");
    VariantClear(&kept);
    EXPECT_EQ(balance.delta(), 0);
    // Without memory: trap 7, and the Variant's own BSTR is released too.
    clear_traps();
    VARIANT v = bstr_variant("abc");
    fail_allocations_after(0);
    EXPECT_EQ(BiStringLength(ZbiEvalCvtVS(v, 1)), 0u);
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), kTrap7);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(StringsTest, FormatHelpersCountLetterAndPushStringOnStack) {
    // {start, end, max, run, where the pointer stops}: a case-blind run, up to max and the end.
    const char *text = "MMmmx";
    for (auto [from, to, max, run] :
         {std::tuple{0, 5, 10u, 4}, {0, 5, 3u, 3}, {0, 2, 10u, 2}, {4, 5, 10u, 1}}) {
        const char *p = text + from;
        EXPECT_EQ(CountLetter(&p, text + to, max), run) << from << " " << max;
        EXPECT_EQ(p, text + from + run);
    }
    // The last character ends on top; an empty text pushes nothing.
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
