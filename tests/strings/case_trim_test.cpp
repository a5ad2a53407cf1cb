// LCase, UCase and the trims in their runtime-string and in-place Variant forms.
#include "strings/string_checks.h"

using namespace brtl_test;

namespace {

using CaseTrimTest = RuntimeTest;
using T = TextCase;
using X = TrapCase;

const StringFn lcase = ZbiBuiltIn_LCase_, ucase = ZbiBuiltIn_UCase_;
const StringFn ltrim = ZbiBuiltIn_LTrim_, rtrim = ZbiBuiltIn_RTrim_, trim = ZbiBuiltIn_Trim_;
const std::string kFullWidthB = "\x82\x61"; // U+FF22: its trail byte is the letter "a"

struct InPlace {
    void (*fn)(VARIANT *);
    std::u16string text, expected;
    Bstr bstr = Bstr::Either;
};
using P = InPlace;

// Applies an in-place Variant builtin to a new string Variant: the text it leaves, the BSTR
// kept or not, no trap, nothing left once the Variant is cleared.
void expect_in_place(const InPlace &c) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    BlockBalance balance;
    VARIANT v = bstr_variant(c.text);
    BSTR original = v.bstrVal;
    c.fn(&v);
    EXPECT_EQ(variant_text(v), c.expected);
    EXPECT_TRUE(c.bstr == Bstr::Either || (v.bstrVal == original) == (c.bstr == Bstr::Kept));
    VariantClear(&v);
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(host().traps.empty());
}
void expect_in_place(const auto &...cases) {
    (expect_in_place(cases), ...);
}

} // namespace

TEST_F(CaseTrimTest, RuntimeStringForms) {
    // Bytes beyond ASCII are no letters, and every byte is a character, so the trail byte "a" of
    // a full-width B is raised. The trims take the space character only and always give a new
    // string of a borrowed argument; trimming everything gives the empty string with the flag
    // clear, and RTrim hands back an empty argument.
    const Reuse clear = Reuse::Unflagged;
    const std::string padded =
        kFullWidthSpace + " " + kFullWidthSpace + "x" + kA + kFullWidthSpace + " ";
    expect_texts(
        T{lcase, "Hello, World 42!", "hello, world 42!"},
        T{ucase, "Hello, World 42!", "HELLO, WORLD 42!"}, T{ucase, "\xE4\xF6x", "\xE4\xF6X"},
        T{lcase, "", "", Reuse::Flagged}, T{ucase, kFullWidthB + "x", "\x82\x41X"},
        T{ucase, std::string("a\0b", 3), std::string("A\0B", 3)}, T{ltrim, "  a b  ", "a b  "},
        T{rtrim, "  a b  ", "  a b"}, T{trim, "  a b  ", "a b"}, T{trim, "x", "x"},
        T{ltrim, "x", "x"}, T{rtrim, "x", "x"}, T{trim, "\tx\n", "\tx\n"},
        T{trim, padded, kFullWidthSpace + " " + kFullWidthSpace + "x" + kA + "\x81\x40"},
        T{ltrim, "    ", "", clear}, T{rtrim, "    ", "", clear}, T{trim, "    ", "", clear},
        T{rtrim, "", "", Reuse::Same});
    BiString t = temp("MiXeD"); // a temporary is mapped in place
    BiString r = ZbiBuiltIn_LCase_(t);
    EXPECT_TRUE(r.data == t.data && r.length_word == t.length_word);
    EXPECT_EQ(take(r), "mixed");
    // Double-byte characters are skipped whole, a half-width katakana is a single-byte
    // character, the walk stops at a NUL or at 0x82 0x20 (no character), and the full-width
    // space is trimmed, but not 0x83 0x40, a katakana with the same trail byte.
    use_japanese();
    expect_texts(T{ucase, kFullWidthB + "x", kFullWidthB + "X"},
                 T{lcase, "AB" + kA + "CD", "ab" + kA + "cd"}, T{lcase, "\xB1Z", "\xB1z"},
                 T{ucase, "ab\x82 cd", "AB\x82 cd"},
                 T{ucase, std::string("a\0b", 3), std::string("A\0b", 3)},
                 T{ltrim, padded, "x" + kA + kFullWidthSpace + " "},
                 T{rtrim, padded, kFullWidthSpace + " " + kFullWidthSpace + "x" + kA},
                 T{trim, padded, "x" + kA}, T{trim, kFullWidthSpace + kFullWidthSpace, ""},
                 T{trim, "\x83\x40 ", "\x83\x40"});
}

TEST_F(CaseTrimTest, RuntimeStringFormsWithoutMemory) {
    Borrowed borrowed("abc"); // the copy of a borrowed string
    expect_raises([&] { return borrowed.get(); },
                  [](BiString s) { EXPECT_EQ(take(ZbiBuiltIn_UCase_(s)), ""); },
                  {7, Family::Trap, ""}, 0);
    EXPECT_TRUE(borrowed.intact());
    expect_traps(X{ltrim, " abc", 7, 0}, X{rtrim, "abc ", 7, 0}, X{trim, " abc ", 7, 0});
    use_japanese(); // the UTF-16 copy, then the result
    expect_traps(X{rtrim, "ab" + kFullWidthSpace, 7, 0}, X{rtrim, "ab" + kFullWidthSpace, 7, 1});
}

TEST_F(CaseTrimTest, InPlaceForms) {
    // Case maps each unit in place; the trims keep the BSTR when nothing or up to 64 units go.
    // Full-width letters have a case pair, and the full-width space is trimmed, under the
    // double-byte code page only.
    const Bstr kept = Bstr::Kept;
    const auto vlcase = ZbiBuiltIn_LCase, vucase = ZbiBuiltIn_UCase, vltrim = ZbiBuiltIn_LTrim,
               vrtrim = ZbiBuiltIn_RTrim, vtrim = ZbiBuiltIn_Trim;
    expect_in_place(P{vlcase, u"HeLLo 1", u"hello 1", kept},
                    P{vucase, u"HeLLo 1", u"HELLO 1", kept}, P{vlcase, u"\uFF21b", u"\uFF21b"},
                    P{vltrim, u"   abc ", u"abc "}, P{vrtrim, u"   abc ", u"   abc"},
                    P{vtrim, u"   abc ", u"abc"}, P{vtrim, u"    ", u""}, P{vtrim, u"", u""},
                    P{vtrim, u"abc", u"abc", kept}, P{vtrim, u"\u3000a\u3000", u"\u3000a\u3000"},
                    P{vltrim, std::u16string(64, u' ') + u"x", u"x", kept},
                    P{vrtrim, u"x" + std::u16string(65, u' '), u"x", Bstr::New});
    // Null stays Null, Empty becomes the empty string, an Error raises trap 13.
    for (auto fn : {vlcase, vucase, vltrim, vrtrim, vtrim}) {
        clear_traps();
        VARIANT v = null_variant();
        fn(&v);
        EXPECT_EQ(v.vt, VT_NULL);
        v = empty_variant();
        fn(&v);
        EXPECT_EQ(variant_text(v), u"");
        VariantClear(&v);
        EXPECT_TRUE(traps().empty());
        v = error_variant(3);
        fn(&v);
        EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
    }
    // Without memory for a fresh copy (70 spaces go) the Variant is left Empty, never referring
    // to a freed string.
    expect_raises([] { return bstr_variant(std::string(70, ' ') + "x"); },
                  [&](VARIANT &v) { vtrim(&v); }, {7, Family::Trap, ""}, 0,
                  [](VARIANT &v) {
                      EXPECT_EQ(v.vt, VT_EMPTY);
                      VariantClear(&v);
                  });
    use_japanese();
    expect_in_place(P{vlcase, u"\uFF21b", u"\uFF41b"},
                    P{vucase, u"\uFF41\u3042b", u"\uFF21\u3042B"},
                    P{vtrim, u"\u3000 a\u3000b \u3000", u"a\u3000b"});
}
