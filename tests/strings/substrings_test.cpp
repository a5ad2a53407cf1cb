// Left, Right and Mid in their byte, character and Variant forms.
#include "strings/string_checks.h"

using namespace brtl_test;

namespace {

class SubstringsTest : public RuntimeTest {
  protected:
    void use_japanese() { ASSERT_EQ(brtl_setlocale("Ja_JP"), 0); }
};

// Code page 932 bytes of a few characters.
const std::string kA = "\x82\xA0"; // U+3042
const std::string kI = "\x82\xA2"; // U+3044
const std::string kU = "\x82\xA4"; // U+3046

StringFn left(int32_t n) {
    return [n](BiString s) { return ZbiBuiltIn_Left_(s, n); };
}
StringFn right(int32_t n) {
    return [n](BiString s) { return ZbiBuiltIn_Right_(s, n); };
}
StringFn left_c(int32_t n) {
    return [n](BiString s) { return ZbiBuiltIn_LeftC_(s, n); };
}
StringFn right_c(int32_t n) {
    return [n](BiString s) { return ZbiBuiltIn_RightC_(s, n); };
}
StringFn mid(int32_t start, int32_t length) {
    return [start, length](BiString s) { return ZbiBuiltIn_MidFunc_(s, start, length); };
}
StringFn mid_c(int32_t start, int32_t length) {
    return [start, length](BiString s) { return ZbiBuiltIn_MidFuncC_(s, start, length); };
}

// A BSTR Variant of n units "0123456789012...".
VARIANT digits_variant(uint32_t n) {
    std::string text;
    for (uint32_t i = 0; i < n; ++i)
        text.push_back(static_cast<char>('0' + i % 10));
    return bstr_variant(text);
}

} // namespace

// ---- Left_ and Right_ -------------------------------------------------------------------------

TEST_F(SubstringsTest, LeftAndRightCutBytes) {
    expect_text(left(2), "hello", "he");
    expect_text(right(3), "hello", "llo");
    expect_text(left(5), "hello", "hello", Reuse::Allowed);
    expect_text(right(9), "hello", "hello", Reuse::Allowed);
    expect_text(left(1), "", "");
}

TEST_F(SubstringsTest, LeftOfTheWholeStringReturnsTheArgumentItself) {
    Borrowed borrowed("hello");
    for (int32_t n : {5, 6, 0x7FFFFFFF}) {
        BiString s = borrowed.get();
        BiString r = ZbiBuiltIn_Left_(s, n);
        EXPECT_EQ(r.data, s.data) << n;
        EXPECT_EQ(r.length_word, s.length_word) << n;
    }
    BiString t = temp("abc");
    BiString r = ZbiBuiltIn_Right_(t, 3);
    EXPECT_EQ(r.data, t.data);
    EXPECT_EQ(r.length_word, t.length_word);
    take(r);
}

TEST_F(SubstringsTest, ZeroCountGivesTheEmptyStringWithTheFlagSetAndFreesTheTemporary) {
    BlockBalance balance;
    for (auto fn : {left(0), right(0), left_c(0), right_c(0)}) {
        BiString r = fn(temp("hello"));
        EXPECT_EQ(BiStringLength(r), 0u);
        EXPECT_TRUE(BiStringIsTemporary(r));
        EXPECT_EQ(balance.delta(), 0);
    }
}

TEST_F(SubstringsTest, NegativeCountRaisesTrapFiveAndReleasesTheArgument) {
    for (auto fn : {left(-1), right(-1), left_c(-1), right_c(-5)})
        expect_trap(fn, "hello", 5);
    use_japanese();
    for (auto fn : {left_c(-1), right_c(-1)})
        expect_trap(fn, kA + "b", 5);
}

TEST_F(SubstringsTest, CutWithoutMemoryRaisesTrapSeven) {
    for (auto fn : {left(2), right(2)})
        expect_trap(fn, "hello", 7, 0);
}

// ---- LeftC_ and RightC_ -----------------------------------------------------------------------

TEST_F(SubstringsTest, CharacterFormsCountBytesUnderTheSingleByteCodePage) {
    expect_text(left_c(1), kA + "a", "\x82");
    expect_text(right_c(2), "abc", "bc");
    expect_text(left_c(3), "abc", "abc", Reuse::Allowed);
}

TEST_F(SubstringsTest, CharacterFormsCountDoubleByteCharactersAsOne) {
    use_japanese();
    expect_text(left_c(1), kA + "a", kA);
    expect_text(left(1), kA + "a", "\x82"); // the byte form cuts through the character
    expect_text(right_c(1), "a" + kA, kA);
    expect_text(right_c(2), kA + kI + kU, kI + kU);
    expect_text(left_c(2), "x" + kA + "yz", "x" + kA);
    expect_text(right_c(3), kA + "b", kA + "b", Reuse::Allowed);
}

TEST_F(SubstringsTest, CharacterFormsReturnTheArgumentWhenItHasNoMoreCharacters) {
    use_japanese();
    Borrowed borrowed(kA + kI + "c"); // 5 bytes, 3 characters
    BiString s = borrowed.get();
    for (auto fn : {left_c(3), right_c(3), right_c(4)}) {
        BiString r = fn(s);
        EXPECT_EQ(r.data, s.data);
        EXPECT_EQ(r.length_word, s.length_word);
    }
    EXPECT_TRUE(borrowed.intact());
}

TEST_F(SubstringsTest, CharacterFormsWithoutMemoryRaiseTrapSeven) {
    use_japanese();
    // The UTF-16 copy, then the result.
    for (long k : {0, 1}) {
        SCOPED_TRACE(k);
        for (auto fn : {left_c(1), right_c(1)})
            expect_trap(fn, kA + kI + kU, 7, k);
    }
}

// ---- MidFunc_ and MidFuncC_ --------------------------------------------------------------------

TEST_F(SubstringsTest, MidTakesBytesFromAOneBasedStart) {
    expect_text(mid(2, 3), "hello", "ell");
    expect_text(mid(2, 0x7FFFFFFF), "abc", "bc");
    expect_text(mid(1, 3), "abc", "abc");
    expect_text(mid(3, 1), "abc", "c");
}

TEST_F(SubstringsTest, MidBeyondTheEndOrOfLengthZeroIsTheEmptyStringWithTheFlagClear) {
    BlockBalance balance;
    for (auto fn : {mid(4, 1), mid(0x7FFFFFFF, 5), mid(1, 0), mid(0, 0), mid(-3, 0)}) {
        BiString r = fn(temp("abc"));
        EXPECT_EQ(BiStringLength(r), 0u);
        EXPECT_FALSE(BiStringIsTemporary(r));
    }
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(traps().empty()); // a length of 0 does not validate the start
}

TEST_F(SubstringsTest, MidRejectsAStartOrLengthBelowOne) {
    for (auto fn : {mid(0, 1), mid(-1, 2), mid(1, -1), mid_c(0, 1), mid_c(2, -7)})
        expect_trap(fn, "abc", 5);
    use_japanese();
    for (auto fn : {mid_c(0, 1), mid_c(1, -1)})
        expect_trap(fn, kA + kI, 5);
}

TEST_F(SubstringsTest, MidWithoutMemoryRaisesTrapSeven) {
    expect_trap(mid(2, 1), "abc", 7, 0);
    use_japanese();
    for (long k : {0, 1})
        expect_trap(mid_c(2, 1), kA + kI, 7, k);
}

TEST_F(SubstringsTest, MidCountsCharactersUnderTheDoubleByteCodePage) {
    use_japanese();
    std::string text = "a" + kA + kI + "b"; // 6 bytes, 4 characters
    expect_text(mid_c(2, 2), text, kA + kI);
    expect_text(mid(2, 2), text, kA);
    expect_text(mid(3, 2), text, "\xA0\x82"); // bytes, whatever they cut through
    expect_text(mid_c(4, 10), text, "b");
    expect_text(mid_c(1, 4), text, text);
    BiString r = ZbiBuiltIn_MidFuncC_(temp(text), 5, 1); // only 4 characters
    EXPECT_EQ(BiStringLength(r), 0u);
    EXPECT_FALSE(BiStringIsTemporary(r));
}

TEST_F(SubstringsTest, MidCharacterFormIsTheByteFormUnderTheSingleByteCodePage) {
    expect_text(mid_c(2, 2), "a" + kA + "b", kA);
    expect_text(mid_c(3, 1), "abc", "c");
}

// ---- Variant Left and Right -------------------------------------------------------------------

TEST_F(SubstringsTest, VariantLeftShrinksTheBstrInPlaceByUpToSixtyFourUnits) {
    BlockBalance balance;
    VARIANT v = digits_variant(100);
    BSTR original = v.bstrVal;
    VARIANT r;
    EXPECT_EQ(ZbiBuiltIn_Left(&r, v, 36), &r);
    ASSERT_EQ(r.vt, VT_BSTR);
    EXPECT_EQ(r.bstrVal, original);
    EXPECT_EQ(SysStringLen(r.bstrVal), 36u);
    EXPECT_EQ(r.bstrVal[36], 0);
    EXPECT_EQ(ascii_of(r.bstrVal), "012345678901234567890123456789012345");
    VariantClear(&r);

    v = digits_variant(100);
    original = v.bstrVal;
    ZbiBuiltIn_Left(&r, v, 35); // shrinks by 65: a fresh copy
    ASSERT_EQ(r.vt, VT_BSTR);
    EXPECT_NE(r.bstrVal, original);
    EXPECT_EQ(ascii_of(r.bstrVal), "01234567890123456789012345678901234");
    VariantClear(&r);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(SubstringsTest, VariantRightMovesTheKeptUnitsToTheFront) {
    BlockBalance balance;
    VARIANT v = bstr_variant("abcdef");
    BSTR original = v.bstrVal;
    VARIANT r;
    ZbiBuiltIn_Right(&r, v, 2);
    ASSERT_EQ(r.vt, VT_BSTR);
    EXPECT_EQ(r.bstrVal, original);
    EXPECT_EQ(ascii_of(r.bstrVal), "ef");
    EXPECT_EQ(r.bstrVal[2], 0);
    VariantClear(&r);

    v = digits_variant(100);
    original = v.bstrVal;
    ZbiBuiltIn_Right(&r, v, 36);
    EXPECT_EQ(r.bstrVal, original);
    EXPECT_EQ(ascii_of(r.bstrVal), "456789012345678901234567890123456789");
    VariantClear(&r);

    v = digits_variant(100);
    original = v.bstrVal;
    ZbiBuiltIn_Right(&r, v, 3);
    EXPECT_NE(r.bstrVal, original);
    EXPECT_EQ(ascii_of(r.bstrVal), "789");
    VariantClear(&r);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(SubstringsTest, VariantCutOfAStringNoLongerThanTheCountIsTheOperandItself) {
    VARIANT v = bstr_variant("abc");
    BSTR original = v.bstrVal;
    VARIANT r;
    ZbiBuiltIn_Right(&r, v, 3);
    EXPECT_EQ(r.bstrVal, original);
    EXPECT_EQ(SysStringLen(r.bstrVal), 3u);
    ZbiBuiltIn_Left(&r, r, 100);
    EXPECT_EQ(r.bstrVal, original);
    EXPECT_EQ(ascii_of(r.bstrVal), "abc");
    VariantClear(&r);
}

TEST_F(SubstringsTest, VariantCharacterFormsCutUnitsLikeThePlainForms) {
    use_japanese();
    VARIANT r;
    ZbiBuiltIn_LeftC(&r, bstr_variant(u"\u3042\u3044\u3046"), 2);
    EXPECT_EQ(variant_text(r), u"\u3042\u3044");
    VariantClear(&r);
    ZbiBuiltIn_RightC(&r, bstr_variant(u"\u3042\u3044\u3046"), 1);
    EXPECT_EQ(variant_text(r), u"\u3046");
    VariantClear(&r);
    ZbiBuiltIn_Left(&r, bstr_variant(u"\u3042\u3044\u3046"), 1);
    EXPECT_EQ(variant_text(r), u"\u3042");
    VariantClear(&r);
}

TEST_F(SubstringsTest, VariantCutOfNullIsNullWhateverTheCount) {
    VARIANT r = i2(7);
    ZbiBuiltIn_Left(&r, null_variant(), -1);
    EXPECT_EQ(r.vt, VT_NULL);
    ZbiBuiltIn_RightC(&r, null_variant(), 3);
    EXPECT_EQ(r.vt, VT_NULL);
    EXPECT_TRUE(traps().empty());
}

TEST_F(SubstringsTest, VariantCutOfEmptyIsAnEmptyString) {
    VARIANT r;
    ZbiBuiltIn_Left(&r, empty_variant(), 3);
    ASSERT_EQ(r.vt, VT_BSTR);
    EXPECT_EQ(SysStringLen(r.bstrVal), 0u);
    VariantClear(&r);
    EXPECT_TRUE(traps().empty());
}

TEST_F(SubstringsTest, VariantCutWithANegativeCountClearsTheOperand) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        clear_traps();
        BlockBalance balance;
        VARIANT r = i2(1);
        if (mode == HookMode::Throw) {
            EXPECT_THROW(ZbiBuiltIn_Left(&r, bstr_variant("abc"), -1), TrapException);
        } else {
            ZbiBuiltIn_Right(&r, bstr_variant("abc"), -1);
            EXPECT_EQ(r.vt, VT_EMPTY);
        }
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
        EXPECT_EQ(balance.delta(), 0);
    }
}

TEST_F(SubstringsTest, VariantCutOfAnUnconvertibleOperandClearsItAfterTheConversionTrap) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        clear_traps();
        CountedObject object;
        VARIANT r;
        if (mode == HookMode::Throw) {
            EXPECT_THROW(ZbiBuiltIn_Left(&r, object.variant(), 2), TrapException);
        } else {
            ZbiBuiltIn_Left(&r, object.variant(), 2);
            EXPECT_EQ(r.vt, VT_EMPTY);
        }
        EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
        EXPECT_EQ(object.references, 0); // the operand's reference was dropped
    }
    set_mode(HookMode::Return);
    clear_traps();
    VARIANT r;
    ZbiBuiltIn_Right(&r, error_variant(5), 1);
    EXPECT_EQ(r.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
}

TEST_F(SubstringsTest, VariantCutWithoutMemoryForTheCopyRaisesTrapSeven) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        clear_traps();
        BlockBalance balance;
        VARIANT v = digits_variant(100);
        VARIANT r = i2(1);
        fail_allocations_after(0);
        if (mode == HookMode::Throw) {
            EXPECT_THROW(ZbiBuiltIn_Left(&r, v, 10), TrapException);
        } else {
            ZbiBuiltIn_Left(&r, v, 10);
            EXPECT_EQ(r.vt, VT_EMPTY);
        }
        fail_allocations_after(-1);
        EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
        EXPECT_EQ(balance.delta(), 0); // the operand's BSTR was released
    }
}

// ---- Variant Mid --------------------------------------------------------------------------------

TEST_F(SubstringsTest, VariantMidCutsTheCodePageFormAndMakesANewString) {
    BlockBalance balance;
    VARIANT r;
    EXPECT_EQ(ZbiBuiltIn_MidFunc(&r, bstr_variant("hello"), 2, 3), &r);
    EXPECT_EQ(variant_text(r), u"ell");
    VariantClear(&r);
    ZbiBuiltIn_MidFuncC(&r, bstr_variant("hello"), 4, 100);
    EXPECT_EQ(variant_text(r), u"lo");
    VariantClear(&r);
    ZbiBuiltIn_MidFunc(&r, bstr_variant("hello"), 9, 1);
    EXPECT_EQ(variant_text(r), u"");
    VariantClear(&r);
    ZbiBuiltIn_MidFunc(&r, empty_variant(), 1, 1);
    EXPECT_EQ(variant_text(r), u"");
    VariantClear(&r);
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(SubstringsTest, VariantMidCountsBytesAndVariantMidCCountsCharacters) {
    use_japanese();
    VARIANT r;
    ZbiBuiltIn_MidFunc(&r, bstr_variant(u"a\u3042b"), 2, 2);
    EXPECT_EQ(variant_text(r), u"\u3042");
    VariantClear(&r);
    ZbiBuiltIn_MidFuncC(&r, bstr_variant(u"a\u3042b"), 2, 2);
    EXPECT_EQ(variant_text(r), u"\u3042b");
    VariantClear(&r);
    // A lone lead byte is no character of the code page: it comes back as the default character.
    ZbiBuiltIn_MidFunc(&r, bstr_variant(u"a\u3042b"), 2, 1);
    EXPECT_EQ(variant_text(r), u"?");
    VariantClear(&r);
}

TEST_F(SubstringsTest, VariantMidOfNullIsNullWithoutValidation) {
    VARIANT r;
    ZbiBuiltIn_MidFunc(&r, null_variant(), 0, 1);
    EXPECT_EQ(r.vt, VT_NULL);
    ZbiBuiltIn_MidFuncC(&r, null_variant(), 1, -1);
    EXPECT_EQ(r.vt, VT_NULL);
    EXPECT_TRUE(traps().empty());
}

TEST_F(SubstringsTest, VariantMidWithABadStartRaisesTrapFiveAndGivesEmpty) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        clear_traps();
        BlockBalance balance;
        VARIANT r = i2(1);
        if (mode == HookMode::Throw) {
            EXPECT_THROW(ZbiBuiltIn_MidFunc(&r, bstr_variant("abc"), 0, 1), TrapException);
        } else {
            ZbiBuiltIn_MidFuncC(&r, bstr_variant("abc"), 1, -2);
            EXPECT_EQ(r.vt, VT_EMPTY);
        }
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
        EXPECT_EQ(balance.delta(), 0);
    }
}

TEST_F(SubstringsTest, VariantMidWithoutMemoryRaisesTrapSevenAtEachAllocation) {
    // The code page text, the cut, the UTF-16 copy of the cut, the new BSTR.
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        for (long k = 0; k < 4; ++k) {
            SCOPED_TRACE(k);
            clear_traps();
            BlockBalance balance;
            VARIANT v = bstr_variant("hello");
            VARIANT r = i2(1);
            fail_allocations_after(k);
            if (mode == HookMode::Throw) {
                EXPECT_THROW(ZbiBuiltIn_MidFunc(&r, v, 2, 2), TrapException);
            } else {
                ZbiBuiltIn_MidFunc(&r, v, 2, 2);
                EXPECT_EQ(r.vt, VT_EMPTY);
            }
            fail_allocations_after(-1);
            EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));
            EXPECT_EQ(balance.delta(), 0);
        }
    }
}
