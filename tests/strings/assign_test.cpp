// The string statements: Mid, MidB, LSet and RSet on runtime-string variables and on Variants,
// and LSet of records: what is written, the destination's buffer and length, the traps, and
// that a temporary source is freed exactly once on every path.
#include <cstring>

#include "strings/string_checks.h"

using namespace brtl_test;
using namespace std::string_literals;

namespace {

using AssignTest = RuntimeTest;

using Statement = std::function<void(BiString *, BiString)>;

Statement mid(int32_t start, int32_t length) {
    return [=](BiString *d, BiString s) { ZbiBuiltIn_MidStmt_(d, s, start, length); };
}
Statement mid_b(int32_t start, int32_t length) {
    return [=](BiString *d, BiString s) { ZbiBuiltIn_MidBStmt_(d, s, start, length); };
}
const Statement lset = ZbiBuiltIn_LSet, rset = ZbiBuiltIn_RSet;

// A string variable as translated code holds one: its own buffer, the temporary flag clear.
BiString variable(const std::string &text) {
    BiString s = temp(text);
    s.length_word &= BI_STRING_LENGTH_MASK;
    return s;
}
void release(BiString &s) {
    if (BiStringLength(s) != 0) ZrFree(s.data);
}

enum class Buffer { Kept, New };

struct StatementCase {
    Statement fn;
    std::string dest, src, expected;
    Buffer buffer = Buffer::Kept;
};

// With a temporary and a borrowed source: dest holds the expected text (its flag clear, its
// buffer kept unless the case says otherwise), the borrowed source is intact and the temporary
// one freed.
void expect_statement(const StatementCase &c) {
    SCOPED_TRACE("\"" + c.dest + "\" = \"" + c.src + "\"");
    Borrowed borrowed(c.src);
    for (bool temporary : {true, false}) {
        SCOPED_TRACE(temporary ? "temporary source" : "borrowed source");
        BlockBalance balance;
        BiString dest = variable(c.dest);
        char *before = dest.data;
        c.fn(&dest, temporary ? temp(c.src) : borrowed.get());
        EXPECT_EQ(text_of(dest), c.expected);
        EXPECT_FALSE(BiStringIsTemporary(dest));
        EXPECT_EQ(dest.data[BiStringLength(dest)], '\0');
        if (c.buffer == Buffer::Kept) {
            EXPECT_EQ(dest.data, before);
        }
        release(dest);
        EXPECT_EQ(balance.delta(), 0);
    }
    EXPECT_TRUE(borrowed.intact());
    EXPECT_TRUE(host().traps.empty());
}
void expect_statements(const auto &...cases) {
    (expect_statement(cases), ...);
}

// The statement raises the trap under both hook styles, leaves dest as it was and frees a
// temporary source exactly once.
struct StatementTrap {
    Statement fn;
    std::string dest, src;
    int32_t trap = BI_TRAP_ILLEGAL_CALL;
    long fail_after = -1;
};
void expect_statement_trap(const StatementTrap &c) {
    SCOPED_TRACE("\"" + c.dest + "\" = \"" + c.src + "\" failing after " +
                 std::to_string(c.fail_after));
    Borrowed borrowed(c.src);
    for (bool temporary : {true, false}) {
        BiString dest = variable(c.dest);
        expect_raises([&] { return temporary ? temp(c.src) : borrowed.get(); },
                      [&](BiString s) { c.fn(&dest, s); }, {c.trap, Family::Trap, ""},
                      c.fail_after);
        EXPECT_EQ(text_of(dest), c.dest);
        release(dest);
    }
    EXPECT_TRUE(borrowed.intact());
}
void expect_statement_traps(const auto &...cases) {
    (expect_statement_trap(cases), ...);
}

using S = StatementCase;
using X = StatementTrap;
const Buffer fresh = Buffer::New;

} // namespace

TEST_F(AssignTest, MidAndMidBWriteInPlace) {
    // The count is the smallest of what is left of dest, the length and the source; a zero
    // length does nothing, even with a start that would be rejected.
    for (auto m : {mid, mid_b})
        expect_statements(
            S{m(2, 3), "abcdef", "XYZW", "aXYZef"}, S{m(5, 9), "abcdef", "XYZ", "abcdXY"},
            S{m(2, 3), "abcdef", "X", "aXcdef"}, S{m(0, 0), "abcdef", "X", "abcdef"},
            S{m(9, 0), "abcdef", "X", "abcdef"}, S{m(1, 1), "abcdef", "", "abcdef"},
            S{m(6, 0x7FFFFFFF), "abcdef", "XYZ", "abcdeX"}, S{m(1, 6), "ab\0cd"s, "xyz", "xyzcd"});
}

TEST_F(AssignTest, MidAndMidBTraps) {
    // A start or length below 1 or a start beyond dest; an empty dest takes nothing.
    for (auto m : {mid, mid_b})
        expect_statement_traps(X{m(7, 1), "abcdef", "X"}, X{m(0, 1), "abcdef", "X"},
                               X{m(1, -1), "abcdef", "X"}, X{m(-5, 2), "abcdef", "X"},
                               X{m(1, 1), "", "X"});
}

TEST_F(AssignTest, MidOverItsOwnText) {
    // The source may be the destination variable itself.
    BiString dest = variable("abcdef");
    BiString alias = dest;
    ZbiBuiltIn_MidBStmt_(&dest, BiString{alias.data + 1, 4}, 1, 4);
    EXPECT_EQ(text_of(dest), "bcdeef");
    ZbiBuiltIn_MidBStmt_(&dest, BiString{dest.data, 4}, 3, 4);
    EXPECT_EQ(text_of(dest), "bcbcde");
    release(dest);
}

TEST_F(AssignTest, MidUnderTheDoubleByteCodePage) {
    use_japanese();
    // Mid counts characters and never splits one; the byte length follows the new text. MidB
    // counts bytes, may split a character and keeps the length.
    expect_statements(
        S{mid(1, 1), kA + "b", "x", "xb", fresh}, S{mid(1, 1), "ab", kA, kA + "b", fresh},
        S{mid(2, 5), "abc", kA + kI + kU, "a" + kA + kI, fresh},
        S{mid(2, 1), kA + kI + kU, "x" + kU, kA + "x" + kU, fresh}, S{mid(3, 0), kA, "x", kA},
        S{mid(1, 1), "abc", "", "abc"}, S{mid_b(2, 1), kA + "b", "x", "\x82xb"},
        S{mid_b(1, 2), "abc", kA + "z", kA + "c"}, S{mid_b(3, 2), "abc", kA, "ab\x82"});
    // A start beyond the characters (though within the bytes) is rejected.
    expect_statement_traps(X{mid(2, 1), kA, "x"}, X{mid(3, 1), kA + "b", "x"});
}

TEST_F(AssignTest, MidUnderTheDoubleByteCodePageWhenMemoryRunsOut) {
    use_japanese();
    // The UTF-16 copy of dest, of the source, and the new buffer: each failure raises trap 7,
    // dest keeps its text and buffer, the temporary source is freed.
    for (long successes : {0, 1, 2})
        expect_statement_traps(X{mid(2, 1), "abc", kA, BI_TRAP_OUT_OF_MEMORY, successes});
}

TEST_F(AssignTest, LSetAndRSet) {
    // The width never changes: spaces fill what the source leaves; a source that does not fit
    // is cut on the right in both statements.
    expect_statements(S{lset, "12345", "ab", "ab   "}, S{lset, "12345", "abcdefg", "abcde"},
                      S{rset, "12345", "ab", "   ab"}, S{rset, "12345", "abcdefg", "abcde"},
                      S{lset, "12345", "", "     "}, S{rset, "12345", "", "     "},
                      S{lset, "12345", "abcde", "abcde"}, S{rset, "12345", "abcde", "abcde"},
                      S{lset, "", "abc", ""}, S{rset, "", "abc", ""},
                      S{rset, "123", "\xE9", "  \xE9"});
}

TEST_F(AssignTest, LSetAndRSetUnderTheDoubleByteCodePage) {
    use_japanese();
    // Whole characters while they fit, then spaces: a double-byte character is never split.
    expect_statements(S{lset, "12", "a" + kA, "a "}, S{rset, "12", "a" + kA, "a "},
                      S{lset, "123", "a" + kA, "a" + kA}, S{rset, "1234", "a" + kA, " a" + kA},
                      S{lset, "1234", kA + kI + kU, kA + kI},
                      S{lset, "12345", kA + kI + kU, kA + kI + " "},
                      S{rset, "12345", kA + kI + kU, kA + kI + " "}, S{lset, "1", kA, " "});
}

TEST_F(AssignTest, LSetAndRSetOverTheirOwnText) {
    BiString dest = variable("abcdef");
    ZbiBuiltIn_RSet(&dest, BiString{dest.data, 3});
    EXPECT_EQ(text_of(dest), "   abc");
    ZbiBuiltIn_LSet(&dest, BiString{dest.data + 3, 3});
    EXPECT_EQ(text_of(dest), "abc   ");
    release(dest);
}

TEST_F(AssignTest, LSetRecCopiesWithoutPadding) {
    struct Case {
        int32_t dest_size, src_size;
        std::string expected;
    };
    // The smaller size is copied; a negative size (of either record) copies nothing.
    for (const Case &c :
         {Case{8, 4, "ABCD5678"}, Case{4, 8, "ABCD5678"}, Case{8, 8, "ABCDEFGH"},
          Case{8, 0, "12345678"}, Case{8, -1, "12345678"}, Case{-8, 4, "12345678"}}) {
        char dest[9] = "12345678";
        ZbiBuiltIn_LSetRec(dest, c.dest_size, "ABCDEFGH", c.src_size);
        EXPECT_EQ(std::string(dest), c.expected) << c.dest_size << ", " << c.src_size;
    }
}

// ---- Variant forms ----------------------------------------------------------------------------

namespace {

using VariantStatement = std::function<void(VARIANT *, VARIANT)>;
VariantStatement vmid(int32_t start, int32_t length) {
    return [=](VARIANT *d, VARIANT s) { ZbiBuiltIn_MidStmt(d, s, start, length); };
}
VariantStatement vmid_b(int32_t start, int32_t length) {
    return [=](VARIANT *d, VARIANT s) { ZbiBuiltIn_MidBStmt(d, s, start, length); };
}
const VariantStatement vlset = ZbiBuiltIn_LSetVar, vrset = ZbiBuiltIn_RSetVar;

// The text a Variant converts to, as the statements see it.
std::u16string text_of_value(VARIANT v) {
    VARIANT copy{};
    EXPECT_EQ(ZbiVariantCopyNoClear_(&copy, &v), S_OK);
    ZbiVariantCvtToBStr(&copy, &copy);
    std::u16string text = variant_text(copy);
    VariantClear(&copy);
    return text;
}

std::u16string wide(const std::string &ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

} // namespace

TEST_F(AssignTest, VariantStatementsOnAStringDestination) {
    struct Case {
        VariantStatement fn;
        std::string dest;
        VARIANT src;
        std::string expected;
    };
    const Case cases[] = {
        {vmid(2, 3), "abcdef", bstr_variant("XYZW"), "aXYZef"},
        {vmid_b(5, 9), "abcdef", bstr_variant("XYZ"), "abcdXY"},
        {vmid(2, 1), "abc", i2(7), "a7c"},
        {vlset, "12345", bstr_variant("ab"), "ab   "},
        {vrset, "12345", bstr_variant("ab"), "   ab"},
        {vrset, "12345", bstr_variant("abcdefg"), "abcde"},
        {vrset, "1234", i4(-12), " -12"},
        {vlset, "123", r8(2.5), "2.5"},
        {vlset, "12", empty_variant(), "  "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        BlockBalance balance;
        VARIANT dest = bstr_variant(c.dest);
        c.fn(&dest, c.src);
        EXPECT_EQ(variant_text(dest), wide(c.expected));
        VariantClear(&dest);
        EXPECT_EQ(balance.delta(), c.src.vt == VT_BSTR ? -1 : 0); // the source was freed
        EXPECT_TRUE(traps().empty());
    }
}

TEST_F(AssignTest, VariantStatementsOnEverySubtype) {
    // The destination's value gives the field: its text, whose length is the width. The
    // destination becomes a string Variant of that width.
    VARIANT values[] = {
        empty_variant(), i2(-123),  i4(70000),     r4(1.5f),         r8(-2.25),
        cy(123456),      date(2.5), boolean(true), error_variant(7), bstr_variant("text")};
    for (const VARIANT &value : values) {
        SCOPED_TRACE(testing::Message() << "vt " << value.vt);
        VARIANT probe{};
        ZbiVariantCopyNoClear_(&probe, &value);
        std::u16string field = text_of_value(probe);
        VariantClear(&probe);
        clear_traps();
        if (value.vt == VT_ERROR) {
            // An Error value has no text: the conversion's trap comes through, dest is kept.
            VARIANT dest = value;
            ZbiBuiltIn_LSetVar(&dest, bstr_variant("x"));
            EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""}}));
            EXPECT_EQ(dest.vt, VT_ERROR);
            clear_traps();
            continue;
        }
        for (bool right : {false, true}) {
            VARIANT dest{};
            ZbiVariantCopyNoClear_(&dest, &value);
            (right ? ZbiBuiltIn_RSetVar : ZbiBuiltIn_LSetVar)(&dest, bstr_variant("x"));
            std::u16string expected(field.size(), u' ');
            if (!field.empty()) expected[right ? field.size() - 1 : 0] = u'x';
            EXPECT_EQ(variant_text(dest), expected);
            VariantClear(&dest);
        }
        VARIANT dest{};
        ZbiVariantCopyNoClear_(&dest, &value);
        ZbiBuiltIn_MidStmt(&dest, bstr_variant("#"), 1, 1);
        if (field.empty()) { // Mid into an empty text raises trap 5 and keeps dest
            EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_ILLEGAL_CALL, Family::Trap, ""}}));
            EXPECT_EQ(dest.vt, value.vt);
        } else {
            EXPECT_EQ(variant_text(dest), u"#" + field.substr(1));
        }
        VariantClear(&dest);
        clear_traps();
    }
    for (VARIANT &value : values)
        VariantClear(&value);
}

TEST_F(AssignTest, VariantStatementTrapsKeepTheDestination) {
    // A Null destination or source, and a rejected start: the trap comes through under both
    // hook styles, the destination keeps its value and the source is released.
    VARIANT probe = null_variant();
    ZbiVariantChangeTypeAndTrap(&probe, &probe, VT_BSTR);
    ASSERT_EQ(traps().size(), 1u);
    const int32_t null_source_trap = traps()[0].number;
    clear_traps();
    struct Case {
        VariantStatement fn;
        VARIANT dest;
        std::u16string src;
        bool null_source;
        int32_t trap;
    };
    const Case cases[] = {
        {vmid(7, 1), bstr_variant("abcdef"), u"X", false, BI_TRAP_ILLEGAL_CALL},
        {vmid_b(0, 1), bstr_variant("abcdef"), u"X", false, BI_TRAP_ILLEGAL_CALL},
        {vmid(1, 1), null_variant(), u"X", false, BI_TRAP_INVALID_USE_OF_NULL},
        {vlset, null_variant(), u"X", false, BI_TRAP_INVALID_USE_OF_NULL},
        {vmid(1, 1), bstr_variant("abc"), u"", true, BI_TRAP_INVALID_USE_OF_NULL},
        {vrset, bstr_variant("abc"), u"", true, null_source_trap},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "dest vt " << c.dest.vt << " trap " << c.trap);
        VARIANT dest = c.dest;
        std::u16string before = variant_text(dest);
        expect_raises([&] { return c.null_source ? null_variant() : bstr_variant(c.src); },
                      [&](VARIANT src) { c.fn(&dest, src); }, {c.trap, Family::Trap, ""});
        EXPECT_EQ(dest.vt, c.dest.vt);
        EXPECT_EQ(variant_text(dest), before);
        VariantClear(&dest);
    }
}

TEST_F(AssignTest, VariantStatementsWhenMemoryRunsOut) {
    // The last allocation is the new BSTR: its failure leaves the destination Empty (the old
    // value released) and raises trap 7; every failure before it keeps the destination.
    for (long successes = 0; successes < 8; ++successes) {
        SCOPED_TRACE(successes);
        VARIANT dest = bstr_variant("abcdef");
        BlockBalance balance;
        VARIANT src = bstr_variant("XY");
        fail_allocations_after(successes);
        ZbiBuiltIn_MidStmt(&dest, src, 2, 2);
        fail_allocations_after(-1);
        if (traps().empty()) {
            EXPECT_EQ(variant_text(dest), u"aXYdef");
            VariantClear(&dest);
            break; // every later point succeeds as well
        }
        EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_OUT_OF_MEMORY, Family::Trap, ""}}));
        EXPECT_TRUE(dest.vt == VT_EMPTY || variant_text(dest) == u"abcdef");
        VariantClear(&dest);
        EXPECT_EQ(balance.delta(), -1); // the source and everything made on the way are freed
        clear_traps();
    }
}

TEST_F(AssignTest, VariantMidUnderTheDoubleByteCodePage) {
    use_japanese();
    // The Variant forms work on the code page form: MidB splits a character, which comes back
    // as a replacement; Mid counts the double-byte character as one.
    VARIANT dest = bstr_variant(u"\u3042bc");
    ZbiBuiltIn_MidStmt(&dest, bstr_variant("x"), 2, 1);
    EXPECT_EQ(variant_text(dest), u"\u3042xc");
    ZbiBuiltIn_MidBStmt(&dest, bstr_variant("yz"), 3, 2);
    EXPECT_EQ(variant_text(dest), u"\u3042yz");
    ZbiBuiltIn_LSetVar(&dest, bstr_variant(u"a\u3044\u3046"));
    EXPECT_EQ(variant_text(dest), u"a\u3044 "); // four bytes: "a", one character, a space
    VariantClear(&dest);
    EXPECT_TRUE(traps().empty());
}

TEST_F(AssignTest, ObjectOperands) {
    // An object has no text. As the destination it keeps its one reference (the working copy's
    // reference is dropped); as the source it is released.
    CountedObject object;
    for (auto statement : {ZbiBuiltIn_LSetVar, ZbiBuiltIn_RSetVar}) {
        VARIANT dest = object.variant();
        statement(&dest, bstr_variant("x"));
        EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""}}));
        EXPECT_EQ(dest.vt, VT_DISPATCH);
        EXPECT_EQ(object.references, 1);
        clear_traps();
    }
    const Trap mismatch{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""};
    VARIANT dest = bstr_variant("abc");
    expect_object_released([&](VARIANT src) { ZbiBuiltIn_MidStmt(&dest, src, 1, 1); }, mismatch);
    expect_object_released([&](VARIANT src) { ZbiBuiltIn_MidBStmt(&dest, src, 1, 1); }, mismatch);
    EXPECT_EQ(variant_text(dest), u"abc");
    VariantClear(&dest);
}
