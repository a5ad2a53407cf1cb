// Every cell of BiVariantBinOpTable and BiVariantUnOpTable against a reference model of the
// operator rules: for each operator and pair of subtypes, sample operands (strings and objects
// among them, so that every path has something to release) go through the exported table, and
// the result's subtype and value and the traps raised are compared with the model's. The model
// restates the rules at the level of values (not of handlers), with exact arithmetic in long
// double and the promotion tables transcribed as data.
#include <cfloat>
#include <cmath>
#include <optional>
#include <sstream>

#include "variant/operator_support.h"

namespace brtl_test {
namespace {

constexpr int kEmpty = VT_EMPTY, kNull = VT_NULL, kI2 = VT_I2, kI4 = VT_I4, kR4 = VT_R4,
              kR8 = VT_R8, kCy = VT_CY, kDate = VT_DATE, kStr = VT_BSTR, kErr = VT_ERROR,
              kBool = VT_BOOL;

bool is_number(int vt) {
    return vt >= kI2 && vt <= kDate;
}
bool is_object(int vt) {
    return vt == VT_DISPATCH || vt == VT_VARIANT || vt == VT_UNKNOWN;
}

struct Value {
    int vt;
    long double num = 0; // numbers, Booleans (-1/0) and Error codes
    std::string text;    // strings
};

struct Outcome {
    int vt = kEmpty;
    long double num = 0;
    std::string text;
    std::vector<Trap> traps;
};

Outcome typed(int vt, long double x) {
    return Outcome{vt, x, {}, {}};
}
Outcome null_outcome() {
    return Outcome{kNull, 0, {}, {}};
}
Outcome trap_outcome(int32_t n, Family f = Family::Trap) {
    return Outcome{kEmpty, 0, {}, {{n, f, ""}}};
}
Outcome with_trap(Outcome o, int32_t n, Family f) {
    o.traps.insert(o.traps.begin(), Trap{n, f, ""});
    return o;
}

long double half_even(long double x) {
    return std::nearbyint(x);
} // default rounding: ties to even

int order_of(long double a, long double b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool comparison_holds(int32_t op, int order) {
    switch (op) {
    case kLt:
        return order < 0;
    case kLe:
        return order <= 0;
    case kGt:
        return order > 0;
    case kGe:
        return order >= 0;
    case kEq:
        return order == 0;
    default:
        return order != 0;
    }
}
Outcome truth(int32_t op, int order) {
    return typed(kI2, comparison_holds(op, order) ? -1 : 0);
}

// Whole numbers only: the texts the samples use.
std::optional<long double> parse_number(const std::string &text) {
    if (text.empty()) return std::nullopt;
    long double x = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        x = x * 10 + (c - '0');
    }
    return x;
}

int32_t imp(int32_t a, int32_t b) {
    return ~a | b;
}

// The 32-bit operand of a bitwise operator; nullopt when it is out of range (trap 6).
std::optional<int32_t> bits_of(const Value &v) {
    long double x = v.num;
    if (v.vt == kI2 || v.vt == kI4) return static_cast<int32_t>(x);
    long double high = v.vt == kR4 ? 2147483648.0L : 2147483647.0L;
    if (v.vt == kCy) x = half_even(x), high = 2147483647.0L;
    if (x < -2147483648.0L || x > high) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(half_even(x))));
}

// Conversion to a Long with round half to even (nullopt beyond the Long range).
std::optional<int32_t> long_of(const Value &v) {
    long double x = half_even(v.num);
    if (x < -2147483648.0L || x > 2147483647.0L) return std::nullopt;
    return static_cast<int32_t>(x);
}

// The promotion tables: result subtype, and the wider one an overflow recomputes in (0: none).
struct Promotion {
    int vt, wider;
};
const Promotion kSumTable[6][6] = {
    {{kI2, kI4}, {kI4, kR8}, {kR4, kR8}, {kR8, 0}, {kCy, 0}, {kDate, 0}},
    {{kI4, kR8}, {kI4, kR8}, {kR8, 0}, {kR8, 0}, {kCy, 0}, {kDate, 0}},
    {{kR4, kR8}, {kR8, 0}, {kR4, kR8}, {kR8, 0}, {kCy, 0}, {kDate, 0}},
    {{kR8, 0}, {kR8, 0}, {kR8, 0}, {kR8, 0}, {kCy, 0}, {kDate, 0}},
    {{kCy, 0}, {kCy, 0}, {kCy, 0}, {kCy, 0}, {kCy, 0}, {kDate, 0}},
    {{kDate, 0}, {kDate, 0}, {kDate, 0}, {kDate, 0}, {kDate, 0}, {kDate, 0}}};
const Promotion kProductTable[6][6] = {
    {{kI2, kI4}, {kI4, kR8}, {kR4, kR8}, {kR8, 0}, {kCy, 0}, {kR8, 0}},
    {{kI4, kR8}, {kI4, kR8}, {kR8, 0}, {kR8, 0}, {kCy, 0}, {kR8, 0}},
    {{kR4, kR8}, {kR8, 0}, {kR4, kR8}, {kR8, 0}, {kR8, 0}, {kR8, 0}},
    {{kR8, 0}, {kR8, 0}, {kR8, 0}, {kR8, 0}, {kR8, 0}, {kR8, 0}},
    {{kCy, 0}, {kCy, 0}, {kR8, 0}, {kR8, 0}, {kCy, 0}, {kR8, 0}},
    {{kR8, 0}, {kR8, 0}, {kR8, 0}, {kR8, 0}, {kR8, 0}, {kR8, 0}}};

bool fits(int vt, long double x) {
    switch (vt) {
    case kI2:
        return x >= -32768 && x <= 32767;
    case kI4:
        return x >= -2147483648.0L && x <= 2147483647.0L;
    case kR4:
        return std::fabs(x) <= FLT_MAX && (x == 0 || std::fabs(x) > FLT_MIN);
    default:
        return true;
    }
}

Outcome numeric(int32_t op, const Value &a, const Value &b) {
    int i = a.vt - kI2, j = b.vt - kI2;
    if (op == kAdd || op == kSub || op == kMul) {
        Promotion p = op == kMul ? kProductTable[i][j] : kSumTable[i][j];
        long double x = op == kAdd ? a.num + b.num : op == kSub ? a.num - b.num : a.num * b.num;
        int vt = fits(p.vt, x) || p.wider == 0 ? p.vt : p.wider;
        if (vt == kR4) x = static_cast<float>(x);
        if (vt == kCy) x = std::trunc(x * 10000) / 10000; // a Currency product is truncated
        return typed(vt, x);
    }
    if (op <= kImp) {
        auto x = bits_of(a), y = bits_of(b);
        if (!x || !y) return trap_outcome(BI_TRAP_OVERFLOW, Family::NumericTrap);
        int32_t r = op == kAnd   ? (*x & *y)
                    : op == kOr  ? (*x | *y)
                    : op == kXor ? (*x ^ *y)
                    : op == kEqv ? ~(*x ^ *y)
                                 : imp(*x, *y);
        return typed(kI4, r);
    }
    return truth(op, order_of(a.num, b.num));
}

Outcome model(int32_t op, const Value &a, const Value &b);

// A string meeting a number (or a Boolean): compared as the greater, or parsed and the operation
// done again.
Outcome string_meets(int32_t op, const Value &s, const Value &other, bool string_left) {
    if (op >= kLt) return truth(op, string_left ? 1 : -1); // the samples are not dates
    auto x = parse_number(s.text);
    if (!x) return trap_outcome(BI_TRAP_TYPE_MISMATCH);
    Value converted{(op == kAdd || op == kSub) && other.vt == kCy ? kCy : kR8, *x, {}};
    return string_left ? model(op, converted, other) : model(op, other, converted);
}

// The Null cells of Or and Imp: the other operand as a Long.
Outcome null_beside_long(int32_t op, const Value &other, bool null_left) {
    Value v = other;
    if (v.vt == kStr) {
        auto x = parse_number(v.text);
        if (!x) return trap_outcome(BI_TRAP_TYPE_MISMATCH);
        v = Value{kR8, *x, {}};
    }
    auto n = long_of(v);
    if (!n) return with_trap(null_outcome(), BI_TRAP_OVERFLOW, Family::NumericTrap);
    if (op == kOr) return typed(kI4, *n);
    return typed(kI4, null_left ? imp(0, *n) : imp(*n, 0));
}

Outcome model(int32_t op, const Value &a, const Value &b) {
    const int row = op < kLt ? op : 8;
    auto in = [](int vt, std::initializer_list<int> set) {
        for (int s : set)
            if (vt == s) return true;
        return false;
    };
    // The exceptions of the bitwise rows.
    if (row == kAnd) {
        if ((a.vt == kEmpty && in(b.vt, {kEmpty, kNull, kI2, kI4})) ||
            (b.vt == kEmpty && in(a.vt, {kNull, kI2, kI4, kBool})))
            return typed(kI4, 0);
        const Value *number = a.vt == kNull ? &b : b.vt == kNull ? &a : nullptr;
        if (number && in(number->vt, {kR4, kR8, kCy}) && (a.vt == kNull) != (b.vt == kNull)) {
            if (!bits_of(*number))
                return with_trap(null_outcome(), BI_TRAP_OVERFLOW, Family::NumericTrap);
            return null_outcome();
        }
    }
    if (row == kOr) {
        if (a.vt == kEmpty && b.vt == kEmpty) return typed(kI4, 0);
        if (a.vt == kNull && (is_number(b.vt) || b.vt == kStr))
            return null_beside_long(op, b, true);
        if (b.vt == kNull && (is_number(a.vt) || a.vt == kStr))
            return null_beside_long(op, a, false);
    }
    if (row == kImp) {
        if (a.vt == kEmpty && b.vt == kNull) return typed(kI4, imp(0, 0));
        if (a.vt == kNull && is_number(b.vt)) return null_beside_long(op, b, true);
        if (b.vt == kNull && is_number(a.vt)) return null_beside_long(op, a, false);
    }
    // Rules 1 to 12.
    if (a.vt == kErr || b.vt == kErr) {
        if (row == 8 && a.vt == kErr && b.vt == kErr) return truth(op, order_of(a.num, b.num));
        return trap_outcome(BI_TRAP_TYPE_MISMATCH);
    }
    if (is_object(a.vt))
        return b.vt == kNull ? null_outcome() : trap_outcome(BI_TRAP_TYPE_MISMATCH);
    if (a.vt == kNull) return null_outcome();
    if (a.vt == kEmpty) {
        if (b.vt == kNull) return null_outcome();
        if (b.vt == kEmpty) return typed(kI2, in(op, {kEqv, kImp, kLe, kGe, kEq}) ? -1 : 0);
        if (is_object(b.vt)) return trap_outcome(BI_TRAP_TYPE_MISMATCH);
        return model(op, Value{b.vt, 0, {}}, b);
    }
    if (b.vt == kEmpty) return model(op, a, Value{a.vt, 0, {}});
    if (b.vt == kNull) return null_outcome();
    if (is_object(b.vt)) return trap_outcome(BI_TRAP_TYPE_MISMATCH);
    if (a.vt == kBool)
        return b.vt == kStr ? string_meets(op, b, a, false) : trap_outcome(BI_TRAP_UNSUPPORTED);
    if (b.vt == kBool) return trap_outcome(BI_TRAP_UNSUPPORTED);
    if (a.vt == kStr && b.vt == kStr) {
        if (op == kAdd) return Outcome{kStr, 0, a.text + b.text, {}};
        if (row == 8) return truth(op, a.text.compare(b.text) < 0 ? -1 : a.text == b.text ? 0 : 1);
        auto x = parse_number(a.text);
        if (!x) return trap_outcome(BI_TRAP_TYPE_MISMATCH);
        return model(op, Value{kR8, *x, {}}, b);
    }
    if (a.vt == kStr) return string_meets(op, a, b, true);
    if (b.vt == kStr) return string_meets(op, b, a, false);
    return numeric(op, a, b);
}

// ---- Samples --------------------------------------------------------------------------------

// The sample of each subtype on each side. Strings are numbers under the arithmetic and bitwise
// operators and words under the comparisons.
Value sample(int vt, bool left, bool comparison) {
    switch (vt) {
    case kI2:
        return {vt, left ? 6.0L : -3.0L, {}};
    case kI4:
        return {vt, left ? 100000.0L : 70000.0L, {}};
    case kR4:
        return {vt, left ? 2.5L : 0.5L, {}};
    case kR8:
        return {vt, left ? 1.75L : -1.25L, {}};
    case kCy:
        return {vt, left ? 3.5L : -1.5L, {}};
    case kDate:
        return {vt, left ? 3.25L : 2.0L, {}};
    case kStr:
        return {vt, 0, comparison ? (left ? "abc" : "abd") : (left ? "4" : "2")};
    case kErr:
        return {vt, left ? 7.0L : 9.0L, {}};
    case kBool:
        return {vt, left ? -1.0L : 0.0L, {}};
    default:
        return {vt, 0, {}};
    }
}

VARIANT variant_of(const Value &v, CountedObject &object) {
    switch (v.vt) {
    case kI2:
        return i2(static_cast<int16_t>(v.num));
    case kI4:
        return i4(static_cast<int32_t>(v.num));
    case kR4:
        return r4(static_cast<float>(v.num));
    case kR8:
        return r8(static_cast<double>(v.num));
    case kCy:
        return cy(std::llround(v.num * 10000));
    case kDate:
        return date(static_cast<double>(v.num));
    case kStr:
        return bstr_variant(v.text);
    case kErr:
        return error_variant(static_cast<int32_t>(v.num));
    case kBool:
        return boolean(v.num != 0);
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return object.variant(static_cast<VARTYPE>(v.vt));
    default: {
        VARIANT x{};
        x.vt = static_cast<VARTYPE>(v.vt); // Empty, Null and VT_VARIANT hold nothing
        return x;
    }
    }
}

std::string describe(int32_t op, int l, int r) {
    std::ostringstream os;
    os << "operator " << op << ", left subtype " << l << ", right subtype " << r;
    return os.str();
}

void expect_result(const Outcome &want, const VARIANT &got) {
    ASSERT_EQ(got.vt, want.vt);
    switch (want.vt) {
    case kI2:
        EXPECT_EQ(got.iVal, want.num);
        break;
    case kI4:
        EXPECT_EQ(got.lVal, want.num);
        break;
    case kR4:
        EXPECT_EQ(got.fltVal, static_cast<float>(want.num));
        break;
    case kR8:
    case kDate:
        EXPECT_EQ(got.dblVal, static_cast<double>(want.num));
        break;
    case kCy:
        EXPECT_EQ(got.cyVal, std::llround(want.num * 10000));
        break;
    case kStr:
        EXPECT_EQ(ascii_of(got.bstrVal), want.text);
        break;
    default:
        break;
    }
}

class OperatorCells : public RuntimeTest {};

TEST_F(OperatorCells, EveryBinaryCellFollowsTheRules) {
    for (int32_t op = kAdd; op <= kNe; ++op) {
        for (int l = 0; l < 14; ++l) {
            for (int r = 0; r < 14; ++r) {
                SCOPED_TRACE(describe(op, l, r));
                Value a = sample(l, true, op >= kLt), b = sample(r, false, op >= kLt);
                Outcome want = model(op, a, b);
                BlockBalance balance;
                CountedObject object;
                clear_traps();
                VARIANT got = binary(op, variant_of(a, object), variant_of(b, object));
                expect_result(want, got);
                EXPECT_EQ(traps(), want.traps);
                release(got);
                EXPECT_EQ(object.references, 0) << "an object operand was not released";
                EXPECT_EQ(balance.delta(), 0) << "a string operand was not released";
            }
        }
    }
}

TEST_F(OperatorCells, EveryBinaryCellReleasesItsOperandsWhenAHookThrows) {
    set_mode(HookMode::Throw);
    for (int32_t op = kAdd; op <= kNe; ++op) {
        for (int l = 0; l < 14; ++l) {
            for (int r = 0; r < 14; ++r) {
                SCOPED_TRACE(describe(op, l, r));
                Value a = sample(l, true, op >= kLt), b = sample(r, false, op >= kLt);
                BlockBalance balance;
                CountedObject object;
                VARIANT left = variant_of(a, object), right = variant_of(b, object);
                VARIANT result{};
                int row = op < kLt ? op : 8;
                bool thrown = false;
                try {
                    BiVariantBinOpTable[(row * 14 + l) * 14 + r](op, &result, &left, &right);
                } catch (const TrapException &) {
                    thrown = true;
                }
                EXPECT_EQ(thrown, !model(op, a, b).traps.empty());
                ASSERT_LT(result.vt, 14) << "the result is not a valid Variant";
                release(result);
                EXPECT_EQ(object.references, 0);
                EXPECT_EQ(balance.delta(), 0);
            }
        }
    }
}

// ---- Unary operators ----------------------------------------------------------------------

Outcome unary_model(int op, const Value &v) {
    switch (v.vt) {
    case kEmpty:
        return op == 3 ? typed(kI4, -1) : typed(kI2, 0);
    case kNull:
        return op == 1 ? trap_outcome(BI_TRAP_INVALID_USE_OF_NULL) : null_outcome();
    case kStr: {
        auto x = parse_number(v.text);
        if (!x) return trap_outcome(BI_TRAP_TYPE_MISMATCH);
        return unary_model(op, Value{fits(kI2, *x) ? kI2 : kI4, *x, {}});
    }
    case kBool:
        return unary_model(op, Value{kI2, v.num, {}});
    case kErr:
    case VT_DISPATCH:
    case VT_VARIANT:
    case VT_UNKNOWN:
        return trap_outcome(BI_TRAP_TYPE_MISMATCH);
    default:
        break;
    }
    long double x = v.num;
    int vt = v.vt == kDate ? kR8 : v.vt; // a Date is negated as a Double
    switch (op) {
    case 0:
        return typed(fits(vt, -x) ? vt : (vt == kI2 ? kI4 : kR8), -x);
    case 1:
        return typed(kI2, x > 0 ? 1 : x < 0 ? -1 : 0);
    case 2:
        return x < 0 ? unary_model(0, v) : typed(vt, x);
    default: {
        auto n = long_of(v);
        return typed(kI4, ~*n);
    }
    }
}

TEST_F(OperatorCells, EveryUnaryCellFollowsTheRules) {
    for (int op = 0; op < 4; ++op) {
        for (int t = 0; t < 14; ++t) {
            for (bool first : {true, false}) {
                SCOPED_TRACE(describe(op, t, first));
                Value v = sample(t, first, false);
                Outcome want = unary_model(op, v);
                BlockBalance balance;
                CountedObject object;
                clear_traps();
                VARIANT got = unary(op, variant_of(v, object));
                expect_result(want, got);
                EXPECT_EQ(traps(), want.traps);
                release(got);
                EXPECT_EQ(object.references, 0);
                EXPECT_EQ(balance.delta(), 0);
            }
        }
    }
}

} // namespace
} // namespace brtl_test
