// The Variant predicates, IIf, Choose, Switch, Partition and the Boolean texts.
#include "harness/fresh_process.h"
#include "variant/operator_support.h"

namespace brtl_test {
namespace {

class VariantSelection : public RuntimeTest {};

const Trap kIllegalCall{BI_TRAP_ILLEGAL_CALL, Family::Trap, ""};
const Trap kUnsupported{BI_TRAP_UNSUPPORTED, Family::Trap, ""};

// An argument list as translated code pushes it: item k at first - k.
struct ArgumentList {
    std::vector<VARIANT> storage;
    explicit ArgumentList(std::vector<VARIANT> items) : storage(items.rbegin(), items.rend()) {}
    VARIANT *first() { return &storage.back(); }
    int16_t count() const { return static_cast<int16_t>(storage.size()); }
};

TEST_F(VariantSelection, KindPredicatesReleaseWhatTheyDoNotMatch) {
    BlockBalance balance;
    EXPECT_EQ(ZbiBuiltIn_IsEmpty(empty_variant()), -1);
    EXPECT_EQ(ZbiBuiltIn_IsEmpty(bstr_variant("")), 0);
    EXPECT_EQ(ZbiBuiltIn_IsNull(null_variant()), -1);
    EXPECT_EQ(ZbiBuiltIn_IsNull(bstr_variant("x")), 0);
    EXPECT_EQ(ZbiBuiltIn_IsError(error_variant(5)), -1);
    EXPECT_EQ(ZbiBuiltIn_IsError(bstr_variant("x")), 0);
    EXPECT_EQ(balance.delta(), 0);
    CountedObject object;
    EXPECT_EQ(ZbiBuiltIn_IsNull(object.variant()), 0);
    EXPECT_EQ(object.references, 0);
}

TEST_F(VariantSelection, IsDate) {
    BlockBalance balance;
    EXPECT_EQ(ZbiBuiltIn_IsDate(date(35424.0)), -1);
    EXPECT_EQ(ZbiBuiltIn_IsDate(r8(36000.0)), 0); // a number is not a date
    EXPECT_EQ(ZbiBuiltIn_IsDate(bstr_variant("12/25/96")), -1);
    EXPECT_EQ(ZbiBuiltIn_IsDate(bstr_variant("abc")), 0);
    EXPECT_EQ(ZbiBuiltIn_IsDate(bstr_variant("")), 0);
    EXPECT_TRUE(traps().empty()) << "a text that is not a date raises no trap";
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantSelection, IIfTestsTheConditionByItsZeroTest) {
    BlockBalance balance;
    struct Case {
        VARIANT condition;
        const char *picked;
    } cases[] = {{bstr_variant(""), "no"},
                 {bstr_variant("0"), "yes"},
                 {null_variant(), "no"},
                 {empty_variant(), "no"},
                 {i2(0), "no"},
                 {i4(-1), "yes"},
                 {r8(-0.0), "no"},
                 {r4(0.5f), "yes"},
                 {cy(0), "no"},
                 {date(0.0), "no"},
                 {date(1.0), "yes"}};
    for (Case &c : cases) {
        VARIANT result;
        ZbiBuiltIn_IIf(&result, c.condition, bstr_variant("yes"), bstr_variant("no"));
        EXPECT_EQ(take_text(result), c.picked);
    }
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantSelection, IIfWithABooleanConditionTrapsFiftyOne) {
    VARIANT result;
    ZbiBuiltIn_IIf(&result, boolean(true), i2(1), i2(2));
    EXPECT_EQ(traps(), std::vector<Trap>{kUnsupported});
    EXPECT_EQ(result.vt, VT_I2); // taken as false
    EXPECT_EQ(result.iVal, 2);
    set_mode(HookMode::Throw);
    BlockBalance balance;
    CountedObject object;
    EXPECT_THROW(ZbiBuiltIn_IIf(&result, object.variant(), bstr_variant("a"), bstr_variant("b")),
                 TrapException);
    EXPECT_EQ(object.references, 0);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantSelection, ChooseMovesOneChoiceAndReleasesTheOthers) {
    BlockBalance balance;
    for (int16_t index : {0, 1, 2, 3, 4}) {
        ArgumentList list({bstr_variant("one"), bstr_variant("two"), bstr_variant("three")});
        VARIANT result;
        ZbiBuiltIn_Choose(&result, list.count(), index, list.first());
        const char *names[] = {"one", "two", "three"};
        if (index >= 1 && index <= 3)
            EXPECT_EQ(take_text(result), names[index - 1]);
        else
            EXPECT_EQ(result.vt, VT_NULL) << index;
    }
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantSelection, ChooseOfMoreThanThirteenUnderStrictLimits) {
    std::vector<VARIANT> items;
    for (int k = 0; k < 14; ++k)
        items.push_back(i2(static_cast<int16_t>(k + 1)));
    ArgumentList relaxed(items), strict(items);
    VARIANT result;
    ZbiBuiltIn_Choose(&result, relaxed.count(), 14, relaxed.first());
    EXPECT_EQ(result.iVal, 14);
    EXPECT_TRUE(traps().empty());
    host().strict_limits = true;
    ZbiBuiltIn_Choose(&result, strict.count(), 14, strict.first());
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{kIllegalCall});
}

TEST_F(VariantSelection, SwitchPicksTheFirstPairWhoseExpressionHolds) {
    BlockBalance balance;
    ArgumentList list({empty_variant(), bstr_variant("a"), bstr_variant("0"), bstr_variant("b"),
                       i2(5), bstr_variant("c"), i2(1), bstr_variant("d")});
    VARIANT result;
    BiBuiltIn_Switch(&result, list.count(), list.first());
    EXPECT_EQ(take_text(result), "c");
    // A string that is not a number matches; a later Boolean is never evaluated.
    ArgumentList words({bstr_variant("abc"), bstr_variant("x"), boolean(true), bstr_variant("y")});
    BiBuiltIn_Switch(&result, words.count(), words.first());
    EXPECT_EQ(take_text(result), "x");
    ArgumentList none({null_variant(), bstr_variant("a"), r8(0.0), bstr_variant("b")});
    BiBuiltIn_Switch(&result, none.count(), none.first());
    EXPECT_EQ(result.vt, VT_NULL);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantSelection, SwitchWithAnOddCountTrapsAndReleasesEverything) {
    BlockBalance balance;
    ArgumentList list({i2(0), bstr_variant("a"), bstr_variant("lone")});
    VARIANT result;
    BiBuiltIn_Switch(&result, list.count(), list.first());
    EXPECT_EQ(result.vt, VT_NULL);
    EXPECT_EQ(traps(), std::vector<Trap>{kIllegalCall});
    EXPECT_EQ(balance.delta(), 0);
    clear_traps();
    set_mode(HookMode::Throw);
    CountedObject object;
    ArgumentList thrown({object.variant(), bstr_variant("a"), bstr_variant("b"), i2(1)});
    EXPECT_THROW(BiBuiltIn_Switch(&result, thrown.count(), thrown.first()), TrapException);
    EXPECT_EQ(traps(), std::vector<Trap>{kUnsupported});
    EXPECT_EQ(object.references, 0);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantSelection, SwitchOfMoreThanFourteenUnderStrictLimits) {
    std::vector<VARIANT> items;
    for (int k = 0; k < 16; ++k)
        items.push_back(i2(static_cast<int16_t>(k % 2)));
    ArgumentList list(items);
    host().strict_limits = true;
    VARIANT result;
    BiBuiltIn_Switch(&result, list.count(), list.first());
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{kIllegalCall});
}

std::string partition(VARIANT n, VARIANT start, VARIANT stop, VARIANT interval) {
    VARIANT result;
    ZbiBuiltIn_Partition(&result, n, start, stop, interval);
    return take_text(result);
}

TEST_F(VariantSelection, PartitionLaysOutTheRange) {
    BlockBalance balance;
    EXPECT_EQ(partition(i2(5), i2(0), i2(99), i2(10)), "  0:  9");
    EXPECT_EQ(partition(i2(-1), i2(0), i2(99), i2(10)), "   : -1");
    EXPECT_EQ(partition(i2(100), i2(0), i2(99), i2(10)), "100:   ");
    EXPECT_EQ(partition(i2(15), i2(0), i2(100), i2(10)), " 10: 19");
    EXPECT_EQ(partition(i2(99), i2(0), i2(99), i2(30)), " 90: 99");
    EXPECT_EQ(partition(bstr_variant("15"), r8(0.0), bstr_variant("100"), cy(100000)), " 10: 19");
    EXPECT_EQ(partition(i4(1999), i4(1000), i4(2999), i4(5000)), "1000:2999");
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantSelection, PartitionFieldsWidenForANumberLongerThanStopPlusOne) {
    // stop + 1 = 6 has one digit, but start - 1 = -1 has two.
    EXPECT_EQ(partition(i2(-3), i2(0), i2(5), i2(1)), "  :-1");
    EXPECT_EQ(partition(i2(3), i2(0), i2(5), i2(1)), "3:3");
    EXPECT_EQ(partition(i4(INT32_MAX), i4(0), i4(INT32_MAX), i4(1)), "2147483647:2147483647");
    EXPECT_TRUE(traps().empty());
}

TEST_F(VariantSelection, PartitionWithBadBoundsTrapsFiveAndNeverDividesByLessThanOne) {
    struct Case {
        VARIANT n, start, stop, interval;
        const char *text;
    } cases[] = {{i2(3), i2(0), i2(9), i2(0), " 3: 3"},
                 {i2(3), i2(0), i2(9), i2(-5), " 3: 3"},
                 {i2(7), i2(10), i2(5), i2(2), " :9"},
                 {i2(-7), i2(-10), i2(5), i2(4), "-10: -7"}};
    for (Case &c : cases) {
        clear_traps();
        EXPECT_EQ(partition(c.n, c.start, c.stop, c.interval), c.text);
        EXPECT_EQ(traps(), std::vector<Trap>{kIllegalCall});
    }
}

TEST_F(VariantSelection, PartitionOfNull) {
    BlockBalance balance;
    VARIANT result;
    ZbiBuiltIn_Partition(&result, bstr_variant("5"), null_variant(), i2(9), i2(1));
    EXPECT_EQ(result.vt, VT_NULL);
    EXPECT_TRUE(traps().empty());
    host().strict_limits = true;
    ZbiBuiltIn_Partition(&result, i2(5), i2(0), i2(9), null_variant());
    EXPECT_EQ(result.vt, VT_NULL);
    EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_INVALID_USE_OF_NULL, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantSelection, PartitionReleasesItsArgumentsWhenAConversionHookThrows) {
    set_mode(HookMode::Throw);
    BlockBalance balance;
    VARIANT result;
    EXPECT_THROW(ZbiBuiltIn_Partition(&result, bstr_variant("5"), bstr_variant("abc"),
                                      bstr_variant("9"), bstr_variant("1")),
                 TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantSelection, BooleanTextsComeFromTheHostOnceAndAreKept) {
    BRTL_IN_FRESH_PROCESS({
        host().texts[-1038] = "Wahr";
        host().texts[-1039] = "Falsch";
        EXPECT_EQ(take(ZbiCvtBooleanToString(-1)), "Wahr");
        host().texts[-1038] = "Yes"; // cached: not asked again
        EXPECT_EQ(take(ZbiCvtBooleanToString(-1)), "Wahr");
        EXPECT_EQ(take(ZbiCvtBooleanToString(0)), "Falsch");
        BiString other = ZbiCvtBooleanToString(1);
        EXPECT_EQ(BiStringLength(other), 0u);
        EXPECT_EQ(traps(), std::vector<Trap>{kUnsupported});
    });
}

TEST_F(VariantSelection, BooleanTextsAreEmptyWithTheDefaultHooks) {
    BRTL_IN_FRESH_PROCESS({
        ZbiTermBasicRTL();
        BiString t = ZbiCvtBooleanToString(-1);
        EXPECT_EQ(BiStringLength(t), 0u);
        EXPECT_EQ(t.data[0], '\0');
    });
}

} // namespace
} // namespace brtl_test
