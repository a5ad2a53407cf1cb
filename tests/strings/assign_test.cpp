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
    // length does nothing, even with a start that would be rejected. Under the single-byte code
    // page Mid writes bytes as MidB does.
    expect_statements(
        S{mid(2, 3), "abcdef", "XYZW", "aXYZef"}, S{mid_b(5, 9), "abcdef", "XYZ", "abcdXY"},
        S{mid_b(2, 3), "abcdef", "X", "aXcdef"}, S{mid(9, 0), "abcdef", "X", "abcdef"},
        S{mid_b(1, 1), "abcdef", "", "abcdef"}, S{mid(6, 0x7FFFFFFF), "abcdef", "XYZ", "abcdeX"});
    // A start or length below 1 or a start beyond dest (an empty dest takes nothing).
    expect_statement_traps(X{mid(7, 1), "abcdef", "X"}, X{mid_b(0, 1), "abcdef", "X"},
                           X{mid(1, -1), "abcdef", "X"}, X{mid_b(1, 1), "", "X"});
}

TEST_F(AssignTest, StatementsOverTheirOwnText) {
    // The source may be the destination variable itself.
    BiString dest = variable("abcdef");
    ZbiBuiltIn_MidBStmt_(&dest, BiString{dest.data + 1, 4}, 1, 4);
    EXPECT_EQ(text_of(dest), "bcdeef");
    ZbiBuiltIn_MidBStmt_(&dest, BiString{dest.data, 4}, 3, 4);
    EXPECT_EQ(text_of(dest), "bcbcde");
    ZbiBuiltIn_RSet(&dest, BiString{dest.data, 3});
    EXPECT_EQ(text_of(dest), "   bcb");
    ZbiBuiltIn_LSet(&dest, BiString{dest.data + 3, 3});
    EXPECT_EQ(text_of(dest), "bcb   ");
    release(dest);
}

TEST_F(AssignTest, MidUnderTheDoubleByteCodePage) {
    use_japanese();
    // Mid counts characters and never splits one; the byte length follows the new text. MidB
    // counts bytes, may split a character and keeps the length.
    expect_statements(S{mid(1, 1), "ab", kA, kA + "b", fresh},
                      S{mid(2, 5), "abc", kA + kI + kU, "a" + kA + kI, fresh},
                      S{mid(2, 1), kA + kI + kU, "x" + kU, kA + "x" + kU, fresh},
                      S{mid(3, 0), kA, "x", kA}, S{mid(1, 1), "abc", "", "abc"},
                      S{mid_b(2, 1), kA + "b", "x", "\x82xb"});
    // A start beyond the characters (though within the bytes) is rejected. Without memory for
    // the UTF-16 copy of dest, of the source, or the new buffer: trap 7, dest keeps its text and
    // buffer, the temporary source is freed.
    expect_statement_traps(X{mid(2, 1), kA, "x"}, X{mid(3, 1), kA + "b", "x"});
    for (long successes : {0, 1, 2})
        expect_statement_traps(X{mid(2, 1), "abc", kA, BI_TRAP_OUT_OF_MEMORY, successes});
}

TEST_F(AssignTest, LSetAndRSet) {
    // The width never changes: spaces fill what the source leaves; a source that does not fit
    // is cut on the right in both statements. Under the double-byte code page whole characters
    // go while they fit, then spaces: a double-byte character is never split.
    expect_statements(S{lset, "12345", "ab", "ab   "}, S{lset, "12345", "abcdefg", "abcde"},
                      S{rset, "12345", "ab", "   ab"}, S{rset, "12345", "abcdefg", "abcde"},
                      S{rset, "12345", "abcde", "abcde"}, S{rset, "", "abc", ""});
    use_japanese();
    expect_statements(S{lset, "12", "a" + kA, "a "}, S{rset, "12", "a" + kA, "a "},
                      S{rset, "1234", "a" + kA, " a" + kA}, S{lset, "1234", kA + kI + kU, kA + kI},
                      S{lset, "1", kA, " "});
}

TEST_F(AssignTest, LSetRecCopiesWithoutPadding) {
    // The smaller size is copied; a negative size (of either record) copies nothing.
    for (auto [dest_size, src_size, expected] : {std::tuple{8, 4, "ABCD5678"},
                                                 {4, 8, "ABCD5678"},
                                                 {8, -1, "12345678"},
                                                 {-8, 4, "12345678"}}) {
        char dest[9] = "12345678";
        ZbiBuiltIn_LSetRec(dest, dest_size, "ABCDEFGH", src_size);
        EXPECT_STREQ(dest, expected) << dest_size << ", " << src_size;
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
        {vmid_b(5, 9), "abcdef", bstr_variant("XYZ"), "abcdXY"},
        {vmid(2, 1), "abc", i2(7), "a7c"},
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
    // The destination's text is the field, whose length is the width; the destination becomes
    // a string Variant of that width. Mid into an empty text (trap 5) and an Error, which has no
    // text (trap 13), keep the destination.
    const std::tuple<VARIANT, const char *, const char *, const char *> rows[] = {
        {empty_variant(), "", "", nullptr},
        {i2(-123), "x   ", "   x", "#123"},
        {cy(123456), "x      ", "      x", "#2.3456"},
        {date(2.0), "x       ", "       x", "#1/01/00"},
        {boolean(true), "x ", " x", "#1"},
        {bstr_variant("text"), "x   ", "   x", "#ext"},
        {error_variant(7), nullptr, nullptr, nullptr}};
    for (const auto &[value, lset_text, rset_text, mid_text] : rows) {
        SCOPED_TRACE(testing::Message() << "vt " << value.vt);
        const char *texts[] = {lset_text, rset_text, mid_text};
        for (int k = 0; k < 3; ++k) {
            clear_traps();
            VARIANT dest{};
            ZbiVariantCopyNoClear_(&dest, &value);
            if (k == 2)
                ZbiBuiltIn_MidStmt(&dest, bstr_variant("#"), 1, 1);
            else
                (k == 1 ? ZbiBuiltIn_RSetVar : ZbiBuiltIn_LSetVar)(&dest, bstr_variant("x"));
            if (texts[k] != nullptr) {
                EXPECT_EQ(variant_text(dest), wide(texts[k])) << k;
                EXPECT_TRUE(traps().empty());
            } else {
                EXPECT_EQ(dest.vt, value.vt);
                const int32_t trap =
                    value.vt == VT_ERROR ? BI_TRAP_TYPE_MISMATCH : BI_TRAP_ILLEGAL_CALL;
                EXPECT_EQ(traps(), (std::vector<Trap>{{trap, Family::Trap, ""}})) << k;
            }
            VariantClear(&dest);
        }
    }
    for (auto row : rows)
        VariantClear(&std::get<0>(row));
}

TEST_F(AssignTest, VariantStatementTrapsKeepTheDestination) {
    // A Null destination or source, and a rejected start: the trap comes through under both
    // hook styles, the destination keeps its value and the source is released.
    struct Case {
        VariantStatement fn;
        VARIANT dest;
        std::u16string src;
        bool null_source;
        int32_t trap;
    };
    const Case cases[] = {
        {vmid(7, 1), bstr_variant("abcdef"), u"X", false, BI_TRAP_ILLEGAL_CALL},
        {vmid(1, 1), null_variant(), u"X", false, BI_TRAP_INVALID_USE_OF_NULL},
        {vmid(1, 1), bstr_variant("abc"), u"", true, BI_TRAP_INVALID_USE_OF_NULL},
        {vrset, bstr_variant("abc"), u"", true, BI_TRAP_TYPE_MISMATCH}, // a change of type
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
    HostObject object;
    for (auto statement : {ZbiBuiltIn_LSetVar, ZbiBuiltIn_RSetVar}) {
        object.references = 0;
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
