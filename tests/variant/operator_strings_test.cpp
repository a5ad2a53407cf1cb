// String operands of the Variant operators: strings meeting numbers, concatenation and string
// comparison (binary and case-blind), with the release of every string on every path.
#include "variant/operator_support.h"

namespace brtl_test {
namespace {

class VariantStringOperators : public RuntimeTest {};

const Trap kMismatch{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""};
const Trap kNoMemory{BI_TRAP_OUT_OF_MEMORY, Family::Trap, ""};

TEST_F(VariantStringOperators, AStringMeetingANumberBecomesADouble) {
    BlockBalance balance;
    VARIANT v = binary(kAdd, bstr_variant("5"), i2(3));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 8.0);
    v = binary(kSub, bstr_variant("5"), bstr_variant("3"));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2.0);
    v = binary(kAnd, i4(7), bstr_variant(" 6 "));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 6);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantStringOperators, TwoStringsConcatenateUnderPlus) {
    BlockBalance balance;
    VARIANT v = binary(kAdd, bstr_variant("5"), bstr_variant("3"));
    EXPECT_EQ(take_text(v), "53");
    v = binary(kAdd, empty_variant(), bstr_variant("ab"));
    EXPECT_EQ(take_text(v), "ab");
    v = binary(kAdd, bstr_variant("5"), empty_variant());
    EXPECT_EQ(take_text(v), "5");
    v = binary(kAdd, bstr_variant(""), bstr_variant(""));
    EXPECT_EQ(take_text(v), "");
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantStringOperators, ConcatenationKeepsEveryUnit) {
    // Characters outside the code page and embedded NULs survive the join.
    std::u16string a = u"\u4E00a", b = std::u16string(u"\0b", 2);
    VARIANT v = binary(kAdd, bstr_variant(a), bstr_variant(b));
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(units_of(v.bstrVal), a + b);
    release(v);
}

TEST_F(VariantStringOperators, AnEmptyOperandOfMinusBecomesAnEmptyStringThatIsNotANumber) {
    BlockBalance balance;
    VARIANT v = binary(kSub, bstr_variant("5"), empty_variant());
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{kMismatch});
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantStringOperators, AFailedParseReleasesTheOtherStringWithEitherHookStyle) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        BlockBalance balance;
        try {
            VARIANT v = binary(kMul, bstr_variant("abc"), bstr_variant("4"));
            EXPECT_EQ(v.vt, VT_EMPTY);
        } catch (const TrapException &e) {
            EXPECT_EQ(e.trap, kMismatch);
        }
        try {
            VARIANT v = binary(kMul, bstr_variant("4"), bstr_variant("xyz"));
            EXPECT_EQ(v.vt, VT_EMPTY);
        } catch (const TrapException &e) {
            EXPECT_EQ(e.trap, kMismatch);
        }
        EXPECT_EQ(balance.delta(), 0);
    }
}

TEST_F(VariantStringOperators, AStringIsGreaterThanAnyNumber) {
    BlockBalance balance;
    EXPECT_EQ(binary(kGt, bstr_variant("abc"), i2(5)).iVal, -1);
    EXPECT_EQ(binary(kGt, i2(5), bstr_variant("abc")).iVal, 0);
    EXPECT_EQ(binary(kLt, i2(5), bstr_variant("1")).iVal, -1); // even a string of digits
    EXPECT_EQ(binary(kEq, bstr_variant("5"), r8(5.0)).iVal, 0);
    EXPECT_EQ(binary(kNe, cy(1), bstr_variant("")).iVal, -1);
    EXPECT_EQ(binary(kLe, boolean(true), bstr_variant("x")).iVal, -1);
    EXPECT_EQ(binary(kGe, bstr_variant("x"), r4(1.0f)).iVal, -1);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantStringOperators, AStringThatReadsAsADateComparesWithADateAsADate) {
    BlockBalance balance;
    // 25 December 1996 is day 35424 counted from 30 December 1899.
    EXPECT_EQ(binary(kEq, bstr_variant("12/25/96"), date(35424.0)).iVal, -1);
    EXPECT_EQ(binary(kEq, date(35424.0), bstr_variant("12/25/96")).iVal, -1);
    EXPECT_EQ(binary(kLt, bstr_variant("12/25/96"), date(35424.5)).iVal, -1);
    EXPECT_EQ(binary(kGt, date(35425.0), bstr_variant("12/25/96")).iVal, -1);
    // Beside any other number the same text is simply the greater.
    EXPECT_EQ(binary(kLt, bstr_variant("12/25/96"), r8(1e300)).iVal, 0);
    // A text that is not a date is greater than a Date too.
    EXPECT_EQ(binary(kGt, bstr_variant("abc"), date(35424.0)).iVal, -1);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantStringOperators, StringComparisonIsBinaryUnlessTheHostAsksForTextCompare) {
    EXPECT_EQ(binary(kEq, bstr_variant("ABC"), bstr_variant("abc")).iVal, 0);
    EXPECT_EQ(binary(kLt, bstr_variant("ab"), bstr_variant("abc")).iVal, -1);
    EXPECT_EQ(binary(kLt, bstr_variant("B"), bstr_variant("a")).iVal, -1);
    EXPECT_EQ(binary(kGt, bstr_variant("\xe9"), bstr_variant("z")).iVal, -1); // unsigned bytes
    EXPECT_EQ(binary(kLe, empty_variant(), bstr_variant("")).iVal, -1);
    host().text_compare = true;
    EXPECT_EQ(binary(kEq, bstr_variant("ABC"), bstr_variant("abc")).iVal, -1);
    EXPECT_EQ(binary(kLt, bstr_variant("a"), bstr_variant("B")).iVal, -1);
    EXPECT_EQ(binary(kLt, bstr_variant("AB"), bstr_variant("abc")).iVal, -1);
}

TEST_F(VariantStringOperators, DistinctTextsNeverCompareEqual) {
    // A string and the same string with a NUL appended differ; so do two characters that the
    // single-byte code page cannot represent.
    EXPECT_EQ(binary(kEq, bstr_variant(std::u16string(u"a\0", 2)), bstr_variant("a")).iVal, 0);
    EXPECT_EQ(binary(kGt, bstr_variant(std::u16string(u"a\0", 2)), bstr_variant("a")).iVal, -1);
    EXPECT_EQ(binary(kEq, bstr_variant(u"\u4E00"), bstr_variant(u"\u4E01")).iVal, 0);
    EXPECT_EQ(binary(kLt, bstr_variant(u"\u4E00"), bstr_variant(u"\u4E01")).iVal, -1);
}

TEST_F(VariantStringOperators, CaseBlindComparisonLeavesTrailBytesAlone) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    // Two double-byte characters whose trail bytes are "A" and "a".
    uint32_t n1 = 0, n2 = 0;
    OLECHAR *w1 = ZbiCharToWide("\x83\x41", 2, &n1);
    OLECHAR *w2 = ZbiCharToWide("\x83\x61", 2, &n2);
    ASSERT_EQ(n1, 1u);
    ASSERT_EQ(n2, 1u);
    std::u16string c1(1, static_cast<char16_t>(w1[0])), c2(1, static_cast<char16_t>(w2[0]));
    ZrFree(w1);
    ZrFree(w2);
    ASSERT_NE(c1, c2);
    host().text_compare = true;
    EXPECT_EQ(binary(kEq, bstr_variant(c1), bstr_variant(c2)).iVal, 0);
    EXPECT_EQ(binary(kLt, bstr_variant(c1), bstr_variant(c2)).iVal, -1);
    EXPECT_EQ(binary(kEq, bstr_variant(c1 + u"X"), bstr_variant(c1 + u"x")).iVal, -1);
}

TEST_F(VariantStringOperators, OutOfMemoryTrapsSevenAndReleasesBothOperands) {
    // With no memory at all both the join and the comparison fail; with one allocation left the
    // join succeeds and the comparison still fails.
    for (long successes : {0L, 1L}) {
        BlockBalance balance;
        VARIANT a = bstr_variant("left"), b = bstr_variant("right");
        VARIANT c = bstr_variant("x"), d = bstr_variant("y");
        clear_traps();
        fail_allocations_after(successes, true);
        VARIANT joined = binary(kAdd, a, b);
        VARIANT compared = binary(kLt, c, d);
        fail_allocations_after(-1);
        if (successes == 0) {
            EXPECT_EQ(joined.vt, VT_EMPTY);
            EXPECT_EQ(traps(), (std::vector<Trap>{kNoMemory, kNoMemory}));
        } else {
            EXPECT_EQ(take_text(joined), "leftright");
            EXPECT_EQ(traps(), std::vector<Trap>{kNoMemory});
        }
        EXPECT_EQ(compared.vt, VT_EMPTY);
        release(joined);
        EXPECT_EQ(balance.delta(), 0);
    }
    // An Empty that must become an empty string without memory: trap 14.
    BlockBalance balance;
    VARIANT s = bstr_variant("x");
    clear_traps();
    fail_allocations_after(0);
    VARIANT v = binary(kAdd, empty_variant(), s);
    fail_allocations_after(-1);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_OUT_OF_STRING_SPACE, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantStringOperators, ConcatenationIntoTheLeftOperand) {
    BlockBalance balance;
    VARIANT left = bstr_variant("ab"), right = bstr_variant("cd");
    BiVariantBinOpTable[(kAdd * 14 + VT_BSTR) * 14 + VT_BSTR](kAdd, &left, &left, &right);
    EXPECT_EQ(take_text(left), "abcd");
    EXPECT_EQ(balance.delta(), 0);
}

} // namespace
} // namespace brtl_test
