// LCase, UCase and the trims in their runtime-string and in-place Variant forms.
#include "strings/string_checks.h"

using namespace brtl_test;

namespace {

class CaseTrimTest : public RuntimeTest {
  protected:
    void use_japanese() { ASSERT_EQ(brtl_setlocale("Ja_JP"), 0); }
};

const std::string kFullWidthSpace = "\x81\x40"; // U+3000 in code page 932
const std::string kA = "\x82\xA0";              // U+3042
const std::string kFullWidthB = "\x82\x61";     // U+FF22: its trail byte is the letter "a"

const StringFn lcase = ZbiBuiltIn_LCase_;
const StringFn ucase = ZbiBuiltIn_UCase_;
const StringFn ltrim = ZbiBuiltIn_LTrim_;
const StringFn rtrim = ZbiBuiltIn_RTrim_;
const StringFn trim = ZbiBuiltIn_Trim_;

// Applies an in-place Variant builtin to a string Variant and returns the text it leaves.
std::u16string in_place(void (*fn)(VARIANT *), const std::u16string &text) {
    VARIANT v = bstr_variant(text);
    fn(&v);
    std::u16string result = variant_text(v);
    VariantClear(&v);
    return result;
}

} // namespace

// ---- LCase_ and UCase_ --------------------------------------------------------------------------

TEST_F(CaseTrimTest, CaseOfRuntimeStringsMapsAsciiLettersOnly) {
    expect_text(lcase, "Hello, World 42!", "hello, world 42!");
    expect_text(ucase, "Hello, World 42!", "HELLO, WORLD 42!");
    expect_text(ucase, "\xE4\xF6x", "\xE4\xF6X"); // bytes beyond ASCII are no letters here
    expect_text(lcase, "", "");
}

TEST_F(CaseTrimTest, CaseOfATemporaryWorksInPlaceAndOfABorrowedStringOnACopy) {
    BiString t = temp("MiXeD");
    BiString r = ZbiBuiltIn_LCase_(t);
    EXPECT_EQ(r.data, t.data);
    EXPECT_EQ(r.length_word, t.length_word);
    EXPECT_EQ(take(r), "mixed");

    Borrowed borrowed("MiXeD");
    r = ZbiBuiltIn_UCase_(borrowed.get());
    EXPECT_NE(r.data, borrowed.get().data);
    EXPECT_TRUE(BiStringIsTemporary(r));
    EXPECT_EQ(take(r), "MIXED");
    EXPECT_TRUE(borrowed.intact());

    BlockBalance balance; // a borrowed empty string gives the shared empty string, flag set
    r = ZbiBuiltIn_LCase_(Borrowed("").get());
    EXPECT_EQ(BiStringLength(r), 0u);
    EXPECT_TRUE(BiStringIsTemporary(r));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(CaseTrimTest, CaseOfABorrowedStringWithoutMemoryRaisesTrapSeven) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        clear_traps();
        Borrowed borrowed("abc");
        BlockBalance balance;
        fail_allocations_after(0);
        if (mode == HookMode::Throw) {
            EXPECT_THROW(ZbiBuiltIn_UCase_(borrowed.get()), TrapException);
        } else {
            EXPECT_EQ(take(ZbiBuiltIn_UCase_(borrowed.get())), "");
        }
        fail_allocations_after(-1);
        EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
        EXPECT_EQ(balance.delta(), 0);
        EXPECT_TRUE(borrowed.intact());
    }
}

TEST_F(CaseTrimTest, CaseUnderTheDoubleByteCodePageSkipsDoubleByteCharactersWhole) {
    // Single-byte code page: every byte is a character, so the trail byte "a" is raised.
    expect_text(ucase, kFullWidthB + "x", "\x82\x41X");
    use_japanese();
    expect_text(ucase, kFullWidthB + "x", kFullWidthB + "X");
    expect_text(lcase, "AB" + kA + "CD", "ab" + kA + "cd");
    expect_text(lcase, "\xB1Z", "\xB1z"); // a half-width katakana is a single-byte character
}

TEST_F(CaseTrimTest, CaseUnderTheDoubleByteCodePageStopsAtANulOrAnInvalidSequence) {
    use_japanese();
    // 0x82 0x20 is no character: the walk stops there and the rest stays as it was.
    expect_text(ucase, "ab\x82 cd", "AB\x82 cd");
    expect_text(ucase, std::string("a\0b", 3), std::string("A\0b", 3));
    brtl_setlocale("C");
    expect_text(ucase, std::string("a\0b", 3), std::string("A\0B", 3));
}

// ---- Variant LCase and UCase --------------------------------------------------------------------

TEST_F(CaseTrimTest, VariantCaseMapsEachUnitInPlace) {
    VARIANT v = bstr_variant("HeLLo 1");
    BSTR original = v.bstrVal;
    ZbiBuiltIn_LCase(&v);
    EXPECT_EQ(v.bstrVal, original);
    EXPECT_EQ(variant_text(v), u"hello 1");
    ZbiBuiltIn_UCase(&v);
    EXPECT_EQ(variant_text(v), u"HELLO 1");
    VariantClear(&v);
}

TEST_F(CaseTrimTest, VariantCaseFollowsTheWideCaseMappingOfTheCodePage) {
    // Full-width letters have a case pair under the double-byte code page only.
    EXPECT_EQ(in_place(ZbiBuiltIn_LCase, u"\uFF21b"), u"\uFF21b");
    use_japanese();
    EXPECT_EQ(in_place(ZbiBuiltIn_LCase, u"\uFF21b"), u"\uFF41b");
    EXPECT_EQ(in_place(ZbiBuiltIn_UCase, u"\uFF41\u3042b"), u"\uFF21\u3042B");
}

TEST_F(CaseTrimTest, VariantCaseOfNullEmptyAndAnUnconvertibleOperand) {
    VARIANT v = null_variant();
    ZbiBuiltIn_UCase(&v);
    EXPECT_EQ(v.vt, VT_NULL);
    v = empty_variant();
    ZbiBuiltIn_LCase(&v);
    EXPECT_EQ(variant_text(v), u"");
    VariantClear(&v);
    EXPECT_TRUE(traps().empty());
    v = error_variant(3);
    ZbiBuiltIn_LCase(&v);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
}

// ---- LTrim_, RTrim_ and Trim_ -------------------------------------------------------------------

TEST_F(CaseTrimTest, TrimsRemoveSpacesOnlyFromTheirEnd) {
    expect_text(ltrim, "  a b  ", "a b  ");
    expect_text(rtrim, "  a b  ", "  a b");
    expect_text(trim, "  a b  ", "a b");
    expect_text(trim, "x", "x");
    expect_text(trim, "\tx\n", "\tx\n"); // only the space character is trimmed
}

TEST_F(CaseTrimTest, TrimmingEverythingGivesTheEmptyStringWithTheFlagClear) {
    BlockBalance balance;
    for (const StringFn &fn : {ltrim, rtrim, trim}) {
        BiString r = fn(temp("    "));
        EXPECT_EQ(BiStringLength(r), 0u);
        EXPECT_FALSE(BiStringIsTemporary(r));
    }
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(CaseTrimTest, LTrimAlwaysMakesANewStringOfABorrowedArgument) {
    Borrowed borrowed("x");
    BiString r = ZbiBuiltIn_LTrim_(borrowed.get());
    EXPECT_NE(r.data, borrowed.get().data);
    EXPECT_TRUE(BiStringIsTemporary(r));
    EXPECT_EQ(take(r), "x");
    r = ZbiBuiltIn_RTrim_(borrowed.get());
    EXPECT_NE(r.data, borrowed.get().data);
    EXPECT_EQ(take(r), "x");
}

TEST_F(CaseTrimTest, RTrimReturnsAnEmptyArgumentUnchanged) {
    BiString r = ZbiBuiltIn_RTrim_(temp(""));
    EXPECT_EQ(r.length_word, BI_STRING_TEMP_FLAG);
    r = ZbiBuiltIn_RTrim_(Borrowed("").get());
    EXPECT_EQ(r.length_word, 0u);
}

TEST_F(CaseTrimTest, TrimsRemoveTheFullWidthSpaceUnderTheDoubleByteCodePage) {
    std::string padded = kFullWidthSpace + " " + kFullWidthSpace + "x" + kA + kFullWidthSpace + " ";
    expect_text(trim, padded, kFullWidthSpace + " " + kFullWidthSpace + "x" + kA + "\x81\x40");
    use_japanese();
    expect_text(ltrim, padded, "x" + kA + kFullWidthSpace + " ");
    expect_text(rtrim, padded, kFullWidthSpace + " " + kFullWidthSpace + "x" + kA);
    expect_text(trim, padded, "x" + kA);
    expect_text(trim, kFullWidthSpace + kFullWidthSpace, "");
    // 0x83 0x40 ends in the same trail byte but is a katakana, no space.
    expect_text(trim, "\x83\x40 ", "\x83\x40");
}

TEST_F(CaseTrimTest, TrimsWithoutMemoryRaiseTrapSeven) {
    expect_trap(ltrim, " abc", 7, 0);
    expect_trap(rtrim, "abc ", 7, 0);
    expect_trap(trim, " abc ", 7, 0);
    use_japanese();
    for (long k : {0, 1})
        expect_trap(rtrim, "ab" + kFullWidthSpace, 7, k); // UTF-16 copy, result
}

// ---- Variant LTrim, RTrim and Trim --------------------------------------------------------------

TEST_F(CaseTrimTest, VariantTrimsRemoveSpacesInPlace) {
    EXPECT_EQ(in_place(ZbiBuiltIn_LTrim, u"   abc "), u"abc ");
    EXPECT_EQ(in_place(ZbiBuiltIn_RTrim, u"   abc "), u"   abc");
    EXPECT_EQ(in_place(ZbiBuiltIn_Trim, u"   abc "), u"abc");
    EXPECT_EQ(in_place(ZbiBuiltIn_Trim, u"    "), u"");
    EXPECT_EQ(in_place(ZbiBuiltIn_Trim, u""), u"");
    EXPECT_EQ(in_place(ZbiBuiltIn_Trim, u"\u3000a\u3000"), u"\u3000a\u3000");
    use_japanese();
    EXPECT_EQ(in_place(ZbiBuiltIn_Trim, u"\u3000 a\u3000b \u3000"), u"a\u3000b");
}

TEST_F(CaseTrimTest, VariantTrimKeepsTheBstrWhenNothingOrUpToSixtyFourUnitsGo) {
    BlockBalance balance;
    VARIANT v = bstr_variant("abc");
    BSTR original = v.bstrVal;
    ZbiBuiltIn_Trim(&v);
    EXPECT_EQ(v.bstrVal, original);

    VARIANT w = bstr_variant(std::string(64, ' ') + "x");
    original = w.bstrVal;
    ZbiBuiltIn_LTrim(&w);
    EXPECT_EQ(w.bstrVal, original);
    EXPECT_EQ(variant_text(w), u"x");

    VARIANT y = bstr_variant("x" + std::string(65, ' '));
    original = y.bstrVal;
    ZbiBuiltIn_RTrim(&y);
    EXPECT_NE(y.bstrVal, original);
    EXPECT_EQ(variant_text(y), u"x");
    VariantClear(&v);
    VariantClear(&w);
    VariantClear(&y);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(CaseTrimTest, VariantTrimOfNullAndEmpty) {
    VARIANT v = null_variant();
    ZbiBuiltIn_Trim(&v);
    EXPECT_EQ(v.vt, VT_NULL);
    v = empty_variant();
    ZbiBuiltIn_LTrim(&v);
    EXPECT_EQ(variant_text(v), u"");
    VariantClear(&v);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CaseTrimTest, VariantTrimOfAnUnconvertibleOperandTrapsOnce) {
    VARIANT v = error_variant(9);
    ZbiBuiltIn_Trim(&v);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
}

TEST_F(CaseTrimTest, VariantTrimWithoutMemoryLeavesEmptyAndLosesNothing) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        clear_traps();
        BlockBalance balance;
        VARIANT v = bstr_variant(std::string(70, ' ') + "x"); // 70 spaces: a fresh copy
        fail_allocations_after(0);
        if (mode == HookMode::Throw) {
            EXPECT_THROW(ZbiBuiltIn_Trim(&v), TrapException);
        } else {
            ZbiBuiltIn_Trim(&v);
        }
        fail_allocations_after(-1);
        EXPECT_EQ(v.vt, VT_EMPTY); // never a Variant that refers to a freed string
        EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
        VariantClear(&v);
        EXPECT_EQ(balance.delta(), 0);
    }
}
