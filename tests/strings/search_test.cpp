// InStr, InStrC and StrComp: positions, orderings, the compare modes, Null operands, numbers as
// their text, both code pages, and that both operands are released on every path.
#include "strings/string_checks.h"

using namespace brtl_test;
using namespace std::string_literals;

namespace {

using SearchTest = RuntimeTest;

const int32_t kAcceptedModes[] = {0, 1, 256, 258, 259, 260, 261, 262};
const int32_t kRejectedModes[] = {-1, 2, 255, 257, 263};

// A Variant's text for a trace, each unit cut to its low byte.
std::string shown(const VARIANT &v) {
    const std::u16string units = variant_text(v);
    return std::string(units.begin(), units.end());
}

using Search = VARIANT *(*)(VARIANT *, int32_t, VARIANT, VARIANT, int32_t);

struct InStrCase {
    int32_t start;
    VARIANT text, sought;
    int32_t mode;
    int32_t expected; // a Long position; -1 for Null
};

void expect_instr(Search fn, const InStrCase &c) {
    SCOPED_TRACE(testing::Message() << "start " << c.start << " in \"" << shown(c.text)
                                    << "\" of \"" << shown(c.sought) << "\" mode " << c.mode);
    BlockBalance balance;
    int owned = (c.text.vt == VT_BSTR) + (c.sought.vt == VT_BSTR);
    VARIANT r = i2(99);
    EXPECT_EQ(fn(&r, c.start, c.text, c.sought, c.mode), &r);
    if (c.expected < 0) {
        EXPECT_EQ(r.vt, VT_NULL);
    } else {
        EXPECT_EQ(r.vt, VT_I4);
        EXPECT_EQ(r.lVal, c.expected);
    }
    EXPECT_EQ(balance.delta(), -owned); // both operands released
    EXPECT_TRUE(host().traps.empty());
}

using I = InStrCase;
VARIANT s(const std::string &text) {
    return bstr_variant(text);
}
VARIANT w(const std::u16string &text) {
    return bstr_variant(text);
}

} // namespace

TEST_F(SearchTest, InStrPositions) {
    // An empty text sought is found at the start while the start is inside the text; a start
    // below 1 is no trap when an operand is Null; numbers are searched as their text.
    for (Search fn : {ZbiBuiltIn_InStr, ZbiBuiltIn_InStrC})
        for (const I &c : {I{1, s("abcabc"), s("c"), 0, 3}, I{4, s("abcabc"), s("c"), 0, 6},
                           I{7, s("abcabc"), s("c"), 0, 0}, I{3, s("abc"), s(""), 0, 3},
                           I{4, s("abc"), s(""), 0, 0}, I{1, s("ABC"), s("b"), 1, 2},
                           I{1, s("ABC"), s("b"), 0, 0}, I{1, s("ab"), s("abc"), 0, 0},
                           I{3, s("abcd"), s("bcd"), 0, 0}, I{1, s("aaab"), s("AAB"), 1, 2},
                           I{0x7FFFFFFF, s("abc"), s("a"), 0, 0}, I{1, s("x\0y"s), s("\0y"s), 0, 2},
                           I{1, s("abc"), s("ABC"), 256, 1}, I{1, s("abc"), s("ABC"), 262, 1},
                           I{1, null_variant(), s("a"), 0, -1}, I{0, s("a"), null_variant(), 1, -1},
                           I{1, i4(12345), s("34"), 0, 3}, I{1, s("a1.5"), r8(1.5), 0, 2}})
            expect_instr(fn, c);
}

TEST_F(SearchTest, InStrSearchesUnitsNotBytes) {
    // U+0100 U+0001 holds the bytes 00 01 01 00: a byte search would find U+0101 straddling
    // them. Text mode of InStr folds each byte of a unit in the ASCII letter range; InStrC
    // lowers whole units by the wide rules.
    for (Search fn : {ZbiBuiltIn_InStr, ZbiBuiltIn_InStrC})
        expect_instr(fn, I{1, w(u"\u0100\u0001\u0101"), w(u"\u0101"), 0, 3});
    expect_instr(ZbiBuiltIn_InStr, I{1, w(u"x\u4142"), w(u"\u6162"), 1, 2});
    expect_instr(ZbiBuiltIn_InStrC, I{1, w(u"x\u4142"), w(u"\u6162"), 1, 0});
    expect_instr(ZbiBuiltIn_InStr, I{1, w(u"x\u00C9"), w(u"\u00E9"), 1, 0});
}

TEST_F(SearchTest, InStrLongTextsAgreeWithAPlainSearch) {
    // Texts of a few letters where the sought text often almost matches.
    uint32_t seed = 7;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 300; ++round) {
        std::u16string text, sought;
        for (uint32_t i = next() % 40; i > 0; --i)
            text.push_back(u"aAb\u0161"[next() % 4]);
        for (uint32_t i = next() % 4 + 1; i > 0; --i)
            sought.push_back(u"aAb\u0161"[next() % 4]);
        int32_t start = static_cast<int32_t>(next() % (text.size() + 2)) + 1;
        for (int32_t mode : {0, 1}) {
            auto fold = [&](char16_t c) { return mode && c == u'A' ? u'a' : c; };
            int32_t expected = 0;
            for (size_t p = start - 1; p + sought.size() <= text.size() && expected == 0; ++p) {
                bool same = true;
                for (size_t i = 0; i < sought.size(); ++i)
                    same = same && fold(text[p + i]) == fold(sought[i]);
                if (same) expected = static_cast<int32_t>(p + 1);
            }
            expect_instr(ZbiBuiltIn_InStr, I{start, w(text), w(sought), mode, expected});
        }
    }
}

TEST_F(SearchTest, CompareModes) {
    for (int32_t mode : kAcceptedModes) {
        bool text = mode != 0;
        expect_instr(ZbiBuiltIn_InStr, I{1, s("xAB"), s("ab"), mode, text ? 2 : 0});
        VARIANT r;
        ZbiBuiltIn_StrComp(&r, s("ABC"), s("abc"), static_cast<int16_t>(mode));
        EXPECT_EQ(r.vt, VT_I2);
        EXPECT_EQ(r.iVal, text ? 0 : -1) << mode;
    }
}

TEST_F(SearchTest, TrapsReleaseBothOperands) {
    // A rejected mode (checked before Null) and a start below 1 (checked after Null).
    auto call = [](int which, int32_t start, int32_t mode) {
        return [=](std::pair<VARIANT, VARIANT> &ab) {
            VARIANT r;
            if (which == 2)
                ZbiBuiltIn_StrComp(&r, ab.first, ab.second, static_cast<int16_t>(mode));
            else
                (which == 0 ? ZbiBuiltIn_InStr : ZbiBuiltIn_InStrC)(&r, start, ab.first, ab.second,
                                                                    mode);
        };
    };
    for (bool null_text : {false, true}) {
        auto make = [=] { return std::pair{null_text ? null_variant() : s("text"), s("x")}; };
        for (int which : {0, 1, 2})
            for (int32_t mode : kRejectedModes)
                expect_raises(make, call(which, 1, mode), {BI_TRAP_ILLEGAL_CALL, Family::Trap, ""});
        if (null_text) continue;
        for (int which : {0, 1})
            for (int32_t start : {0, -0x7FFFFFFF - 1})
                expect_raises(make, call(which, start, 0),
                              {BI_TRAP_ILLEGAL_CALL, Family::Trap, ""});
    }
}

TEST_F(SearchTest, ObjectOperandsAreReleased) {
    // An object has no text: the conversion's trap comes through and the reference is dropped.
    expect_object_released(
        [](VARIANT object) {
            VARIANT r;
            ZbiBuiltIn_InStr(&r, 1, object, s("x"), 0);
        },
        {BI_TRAP_TYPE_MISMATCH, Family::Trap, ""});
    expect_object_released(
        [](VARIANT object) {
            VARIANT r;
            ZbiBuiltIn_StrComp(&r, s("x"), object, 0);
        },
        {BI_TRAP_TYPE_MISMATCH, Family::Trap, ""});
}

namespace {

struct StrCompCase {
    VARIANT a, b;
    int16_t mode;
    int expected; // -1, 0, 1; 2 for Null
};

void expect_strcomp(const StrCompCase &c) {
    SCOPED_TRACE(testing::Message()
                 << "\"" << shown(c.a) << "\" with \"" << shown(c.b) << "\" mode " << c.mode);
    BlockBalance balance;
    int owned = (c.a.vt == VT_BSTR) + (c.b.vt == VT_BSTR);
    VARIANT r = i4(99);
    EXPECT_EQ(ZbiBuiltIn_StrComp(&r, c.a, c.b, c.mode), &r);
    if (c.expected == 2) {
        EXPECT_EQ(r.vt, VT_NULL);
    } else {
        EXPECT_EQ(r.vt, VT_I2);
        EXPECT_EQ(r.iVal, c.expected);
    }
    EXPECT_EQ(balance.delta(), -owned);
    EXPECT_TRUE(host().traps.empty());
}

using C = StrCompCase;

} // namespace

TEST_F(SearchTest, StrCompOrders) {
    // Prefixes order first; embedded NULs take part (the second text's terminating NUL among
    // them, so "a" and NUL equals "a"); bytes compare unsigned; text mode folds ASCII letters
    // only; a number is compared as its text; texts of 1 KiB differ in their last byte.
    std::string base(1024, 'q'), later = base, shorter = base.substr(0, 1000);
    later.back() = 'r';
    for (const C &c : {C{s("abc"), s("abd"), 0, -1},    C{s("abc"), s("ab"), 0, 1},
                       C{s("ab"), s("abc"), 0, -1},     C{s("ABC"), s("abc"), 1, 0},
                       C{s("ABC"), s("abc"), 0, -1},    C{s(""), s(""), 0, 0},
                       C{i2(10), i2(9), 0, -1},         C{s("a\0b"s), s("a\0c"s), 0, -1},
                       C{s("a\0"s), s("a"), 0, 0},      C{s("a"), s("a\0"s), 0, -1},
                       C{s("a\0b"s), s("a"), 1, 1},     C{s("\xE9"), s("z"), 0, 1},
                       C{s("["), s("a"), 1, -1},        C{s("abcd"), s("ABC"), 1, 1},
                       C{null_variant(), s("a"), 0, 2}, C{s("a"), null_variant(), 1, 2},
                       C{r8(1.5), s("1.5"), 0, 0},      C{empty_variant(), s(""), 0, 0},
                       C{s(base), s(later), 0, -1},     C{s(later), s(base), 0, 1},
                       C{s(shorter), s(base), 1, -1}})
        expect_strcomp(c);
}

TEST_F(SearchTest, DoubleByteCodePage) {
    use_japanese();
    // StrComp orders by the code page bytes: U+3042 (82 A0) after "z", and binary mode keeps
    // case; text mode answers with the host's collation as it is.
    expect_strcomp(C{w(u"\u3042"), s("z"), 0, 1});
    expect_strcomp(C{w(u"ab"), w(u"a\u3042"), 0, -1});
    expect_strcomp(C{s("ABC"), s("abc"), 0, -1});
    for (auto [a, b] : {std::pair{"ABC", "abc"}, {"abc", "abd"}, {"b", "A"}}) {
        VARIANT r;
        ZbiBuiltIn_StrComp(&r, s(a), s(b), 1);
        EXPECT_EQ(r.iVal, static_cast<int16_t>(ZrStrColl(a, b))) << a << " " << b;
    }
    // InStr counts UTF-16 units whatever the code page.
    expect_instr(ZbiBuiltIn_InStr, I{1, w(u"\u3042\u3044b"), s("b"), 0, 3});
    expect_instr(ZbiBuiltIn_InStrC, I{1, w(u"\u3042B"), s("b"), 1, 2});
    // Full-width letters fold by the wide rules of this code page, not byte by byte.
    expect_instr(ZbiBuiltIn_InStrC, I{1, w(u"x\uFF21\u00C9"), w(u"\uFF41\u00E9"), 1, 2});
    expect_instr(ZbiBuiltIn_InStr, I{1, w(u"x\uFF21"), w(u"\uFF41"), 1, 0});
}
