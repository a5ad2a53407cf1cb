// The repeated-character string: the character code by subtype, the masks of the two code pages,
// multi-byte patterns, the traps and what is released on each path.
#include <cmath>
#include <limits>

#include "strings/string_checks.h"

using namespace brtl_test;

namespace {

class SpaceTest : public RuntimeTest {
  protected:
    // Space_ with no trap expected; the result is taken (freed) and its text returned.
    std::string space(int32_t n, VARIANT ch) {
        // The character's own string, made by the caller, is released by the call.
        long released = ch.vt == VT_BSTR ? 1 : 0;
        BlockBalance balance;
        BiString r = ZbiBuiltIn_Space_(n, ch);
        EXPECT_TRUE(BiStringIsTemporary(r));
        std::string text = take(r);
        EXPECT_EQ(balance.delta(), -released);
        EXPECT_TRUE(traps().empty());
        clear_traps();
        return text;
    }
    // Space_ that must raise exactly `expected` (checked with both hook styles); `make` builds
    // the character Variant afresh for each call.
    template <typename Make>
    void expect_space_trap(int32_t n, Make make, Trap expected, long fail_after = -1) {
        for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
            set_mode(mode);
            clear_traps();
            BlockBalance balance;
            VARIANT ch = make();
            fail_allocations_after(fail_after);
            if (mode == HookMode::Throw) {
                EXPECT_THROW(ZbiBuiltIn_Space_(n, ch), TrapException);
            } else {
                BiString r = ZbiBuiltIn_Space_(n, ch);
                EXPECT_EQ(BiStringLength(r), 0u);
            }
            fail_allocations_after(-1);
            EXPECT_EQ(traps(), std::vector<Trap>{expected}) << "mode " << static_cast<int>(mode);
            EXPECT_EQ(balance.delta(), 0) << "mode " << static_cast<int>(mode);
        }
        set_mode(HookMode::Return);
        clear_traps();
    }
    void use_japanese() { ASSERT_EQ(brtl_setlocale("Ja_JP"), 0); }
};

const Trap kIllegalCall{5, Family::Trap, ""};

} // namespace

TEST_F(SpaceTest, RepeatsTheCharacterOfACode) {
    EXPECT_EQ(space(3, i2(65)), "AAA");
    EXPECT_EQ(space(1, i4(32)), " ");
    EXPECT_EQ(space(2, empty_variant()), std::string("\0\0", 2)); // Empty is code 0
    EXPECT_EQ(space(1000, i2(120)), std::string(1000, 'x'));
}

TEST_F(SpaceTest, ZeroCopiesGiveTheSharedEmptyStringWithoutAllocating) {
    BlockBalance balance;
    BiString r = ZbiBuiltIn_Space_(0, i2(65));
    EXPECT_EQ(BiStringLength(r), 0u);
    EXPECT_EQ(balance.delta(), 0); // nothing to free, so nothing may have been allocated
    r = ZbiBuiltIn_Space_(0, bstr_variant("xyz"));
    EXPECT_EQ(BiStringLength(r), 0u);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(SpaceTest, AStringGivesItsFirstCharacter) {
    EXPECT_EQ(space(2, bstr_variant("xyz")), "xx");
    EXPECT_EQ(space(3, bstr_variant(u"\u00E9")), "\xE9\xE9\xE9");
}

TEST_F(SpaceTest, NumbersAreTruncatedTowardZero) {
    EXPECT_EQ(space(2, r8(65.9)), "AA");
    EXPECT_EQ(space(1, r4(66.7f)), "B");
    EXPECT_EQ(space(1, date(67.99)), "C");
    EXPECT_EQ(space(1, r8(-0.9)), std::string(1, '\0'));
    // 1e10 is 0x2540BE400: its low byte is 0.
    EXPECT_EQ(space(1, r8(1e10)), std::string(1, '\0'));
    // Beyond 64 bits, and NaN, the integer indefinite has low bits 0.
    EXPECT_EQ(space(1, r8(1e300)), std::string(1, '\0'));
    EXPECT_EQ(space(1, r8(std::numeric_limits<double>::quiet_NaN())), std::string(1, '\0'));
}

TEST_F(SpaceTest, TheSingleByteCodePageKeepsTheLowByteOfTheCode) {
    EXPECT_EQ(space(2, i4(0x8140)), "@@");
    EXPECT_EQ(space(1, i4(0x141)), "A");
    EXPECT_EQ(space(1, i2(-191)), "A"); // 0xFF41
    EXPECT_EQ(space(1, i4(-1)), "\xFF");
}

TEST_F(SpaceTest, TheDoubleByteCodePageRepeatsTwoBytePatterns) {
    use_japanese();
    EXPECT_EQ(space(2, i4(0x8140)), "\x81\x40\x81\x40");
    EXPECT_EQ(space(2, i4(0x12345)), "\x23\x45\x23\x45"); // masked to 0x2345
    EXPECT_EQ(space(1, i2(-191)), "\xFF\x41");
    EXPECT_EQ(space(3, i2(65)), "AAA");
    EXPECT_EQ(space(1, r8(1e10)), std::string("\xE4\x00", 2)); // low 16 bits 0xE400
}

TEST_F(SpaceTest, TheDoubleByteCodePageTakesADoubleByteFirstCharacterWhole) {
    use_japanese();
    EXPECT_EQ(space(2, bstr_variant(u"\u3042x")), "\x82\xA0\x82\xA0");
    EXPECT_EQ(space(3, bstr_variant(u"ab")), "aaa");
    // A single-byte character above 0x7F (a half-width katakana) is its own byte, not a
    // two-byte code with a sign-extended 0xFF in front.
    EXPECT_EQ(space(2, bstr_variant(u"\uFF71")), "\xB1\xB1");
}

TEST_F(SpaceTest, CurrencyCodesAreRoundedHalfToEven) {
    EXPECT_EQ(space(1, cy(650000)), "A");   // 65
    EXPECT_EQ(space(1, cy(655000)), "B");   // 65.5 rounds to 66
    EXPECT_EQ(space(1, cy(645000)), "@");   // 64.5 rounds to 64
    EXPECT_EQ(space(1, cy(665000)), "B");   // 66.5 rounds to 66
    EXPECT_EQ(space(1, cy(-1910000)), "A"); // -191 is 0xFF41
}

TEST_F(SpaceTest, ACurrencyCodeOutsideTheIntegerRangeStopsAfterTheConversionTrap) {
    expect_space_trap(
        3, [] { return cy(327675000); }, Trap{6, Family::NumericTrap, ""}); // 32767.5 -> 32768
    expect_space_trap(
        3, [] { return cy(-400000000); }, Trap{6, Family::NumericTrap, ""});
}

TEST_F(SpaceTest, CountTraps) {
    expect_space_trap(
        -1, [] { return i2(65); }, kIllegalCall);
    expect_space_trap(
        -1, [] { return bstr_variant("x"); }, kIllegalCall);
    expect_space_trap(
        -1, [] { return null_variant(); }, kIllegalCall); // the count comes first
    expect_space_trap(
        0x7FFFFFFF, [] { return bstr_variant("x"); }, Trap{14, Family::Trap, ""});
}

TEST_F(SpaceTest, CharacterTraps) {
    expect_space_trap(
        3, [] { return null_variant(); }, Trap{94, Family::Trap, ""});
    expect_space_trap(
        0, [] { return null_variant(); }, Trap{94, Family::Trap, ""});
    expect_space_trap(
        3, [] { return error_variant(7); }, Trap{13, Family::Trap, ""});
    expect_space_trap(
        3, [] { return bstr_variant(""); }, kIllegalCall);
    expect_space_trap(
        0, [] { return bstr_variant(""); }, kIllegalCall);
    expect_space_trap(
        3, [] { return boolean(true); }, kIllegalCall);
}

TEST_F(SpaceTest, AnObjectCharacterIsRejectedAndReleased) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        clear_traps();
        CountedObject object;
        if (mode == HookMode::Throw)
            EXPECT_THROW(ZbiBuiltIn_Space_(2, object.variant()), TrapException);
        else
            EXPECT_EQ(take(ZbiBuiltIn_Space_(2, object.variant())), "");
        EXPECT_EQ(traps(), std::vector<Trap>{kIllegalCall});
        EXPECT_EQ(object.references, 0);
    }
}

TEST_F(SpaceTest, AResultBeyondTheLongestStringIsRejectedBeforeAllocating) {
    use_japanese();
    // Two bytes times 2^30 copies is one byte too many.
    expect_space_trap(
        0x40000000, [] { return i4(0x8140); }, kIllegalCall, 0);
}

TEST_F(SpaceTest, NoMemoryForTheResultRaisesTrapFourteen) {
    expect_space_trap(
        5, [] { return i2(65); }, Trap{14, Family::Trap, ""}, 0);
    // A string character: its code page text comes first (trap 7 when that fails), then the
    // result.
    expect_space_trap(
        5, [] { return bstr_variant("ab"); }, Trap{7, Family::Trap, ""}, 0);
    expect_space_trap(
        5, [] { return bstr_variant("ab"); }, Trap{14, Family::Trap, ""}, 1);
    use_japanese();
    expect_space_trap(
        5, [] { return i4(0x8140); }, Trap{14, Family::Trap, ""}, 0);
}
