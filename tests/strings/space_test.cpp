// The repeated-character string: the character code by subtype, the masks of the two code pages,
// multi-byte patterns, the traps and what is released on each path.
#include <cmath>

#include "strings/string_checks.h"

using namespace brtl_test;

namespace {

using SpaceTest = RuntimeTest;

// The character Variant, made afresh for each call: a non-string as given, or a new BSTR.
struct MakeChar {
    VARIANT v{};
    const char16_t *text = nullptr;
    MakeChar(VARIANT variant) : v(variant) {}
    MakeChar(const char16_t *t) : text(t) {}
    VARIANT operator()() const { return text ? bstr_variant(std::u16string(text)) : v; }
};

struct SpaceCase {
    int32_t n;
    MakeChar ch;
    std::string expected;
};

using S = SpaceCase;

// The case gives a temporary with the expected text and no trap; a string character, made by the
// caller, is released by the call.
void expect_space(const SpaceCase &c) {
    VARIANT ch = c.ch();
    SCOPED_TRACE(testing::Message() << c.n << " of vt " << ch.vt << ": " << c.expected);
    BlockBalance balance;
    BiString r = ZbiBuiltIn_Space_(c.n, ch);
    EXPECT_TRUE(BiStringIsTemporary(r));
    EXPECT_EQ(take(r), c.expected);
    EXPECT_EQ(balance.delta(), ch.vt == VT_BSTR ? -1 : 0);
    EXPECT_TRUE(host().traps.empty());
}
void expect_spaces(const auto &...cases) {
    (expect_space(cases), ...);
}

const std::string kNul(1, '\0');

} // namespace

TEST_F(SpaceTest, CharacterCodes) {
    // Empty is code 0; a string gives its first character; numbers are truncated toward zero
    // (1e10 is 0x2540BE400, and beyond 64 bits and NaN the integer indefinite has low bits 0);
    // the low byte is kept (-191 is 0xFF41); Currency rounds half to even.
    expect_spaces(
        S{3, i2(65), "AAA"}, S{1, i4(32), " "}, S{2, empty_variant(), std::string(2, '\0')},
        S{1000, i2(120), std::string(1000, 'x')}, S{2, u"xyz", "xx"},
        S{3, u"\u00E9", "\xE9\xE9\xE9"}, S{2, r8(65.9), "AA"}, S{1, r4(66.7f), "B"},
        S{1, date(67.99), "C"}, S{1, r8(-0.9), kNul}, S{1, r8(1e10), kNul}, S{1, r8(1e300), kNul},
        S{1, r8(NAN), kNul}, S{2, i4(0x8140), "@@"}, S{1, i4(0x141), "A"}, S{1, i2(-191), "A"},
        S{1, i4(-1), "\xFF"}, S{1, cy(650000), "A"}, S{1, cy(655000), "B"}, S{1, cy(645000), "@"},
        S{1, cy(665000), "B"}, S{1, cy(-1910000), "A"});
    // Two-byte patterns masked to 16 bits; a half-width katakana is one byte, no 0xFF in front.
    use_japanese();
    expect_spaces(S{2, i4(0x8140), "\x81\x40\x81\x40"}, S{2, i4(0x12345), "\x23\x45\x23\x45"},
                  S{1, i2(-191), "\xFF\x41"}, S{3, i2(65), "AAA"},
                  S{1, r8(1e10), std::string("\xE4\x00", 2)}, S{2, u"\u3042x", "\x82\xA0\x82\xA0"},
                  S{3, u"ab", "aaa"}, S{2, u"\uFF71", "\xB1\xB1"});
}

TEST_F(SpaceTest, ZeroCopiesTrapsAndWhatEachPathReleases) {
    BlockBalance balance; // zero copies: the shared empty string, nothing allocated
    EXPECT_EQ(BiStringLength(ZbiBuiltIn_Space_(0, i2(65))), 0u);
    EXPECT_EQ(BiStringLength(ZbiBuiltIn_Space_(0, bstr_variant("xyz"))), 0u);
    EXPECT_EQ(balance.delta(), 0);
    const Trap illegal{5, Family::Trap, ""}, out_of_string_space{14, Family::Trap, ""};
    const Trap overflow{6, Family::NumericTrap, ""};
    struct Case {
        int32_t n;
        MakeChar ch;
        Trap trap;
        long fail_after = -1;
    };
    auto check = [](const auto &...cases) {
        for (const Case &c : {cases...})
            expect_raises(
                c.ch,
                [&](VARIANT ch) { EXPECT_EQ(BiStringLength(ZbiBuiltIn_Space_(c.n, ch)), 0u); },
                c.trap, c.fail_after);
    };
    // The count is checked first; 32767.5 rounds to 32768; a string character's code page text
    // (trap 7) comes before the result (trap 14).
    check(Case{3, cy(327675000), overflow}, Case{3, cy(-400000000), overflow},
          Case{-1, i2(65), illegal}, Case{-1, u"x", illegal}, Case{-1, null_variant(), illegal},
          Case{0x7FFFFFFF, u"x", out_of_string_space},
          Case{3, null_variant(), {94, Family::Trap, ""}},
          Case{0, null_variant(), {94, Family::Trap, ""}},
          Case{3, error_variant(7), {13, Family::Trap, ""}}, Case{3, u"", illegal},
          Case{0, u"", illegal}, Case{3, boolean(true), illegal},
          Case{5, i2(65), out_of_string_space, 0}, Case{5, u"ab", {7, Family::Trap, ""}, 0},
          Case{5, u"ab", out_of_string_space, 1});
    use_japanese(); // 2 bytes times 2^30 is one byte too many, known before allocating
    check(Case{0x40000000, i4(0x8140), illegal, 0}, Case{5, i4(0x8140), out_of_string_space, 0});
    expect_object_released( // an object character is rejected and released
        [](VARIANT ch) { EXPECT_EQ(take(ZbiBuiltIn_Space_(2, ch)), ""); }, illegal);
}
