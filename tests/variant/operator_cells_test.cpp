// Every cell of BiVariantBinOpTable and BiVariantUnOpTable against a reference model of the
// operator rules: for each operator and pair of subtypes, sample operands (strings and objects
// among them, so that every path has something to release) go through the exported table, with
// returning and with throwing hooks, and the result's subtype and value and the traps raised are
// compared with the model's. The model restates the rules at the level of values (not of
// handlers), with exact arithmetic in long double and the promotion tables transcribed as data.
#include <algorithm>
#include <cfloat>
#include <optional>

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
bool in(int x, std::initializer_list<int> set) {
    return std::find(set.begin(), set.end(), x) != set.end();
}

// An operand, or an outcome with the traps it raises.
struct Value {
    int vt;
    long double num = 0;   // numbers, Booleans (-1/0) and Error codes
    std::string text = {}; // strings
    std::vector<Trap> traps = {};
};
using Outcome = Value;

Outcome typed(int vt, long double x) {
    return Outcome{vt, x};
}
Outcome trapped(Trap t, int vt = kEmpty) {
    return Outcome{vt, 0, {}, {t}};
}
const Outcome kNullOutcome{kNull};

long double half_even(long double x) {
    return std::nearbyint(x); // default rounding: ties to even
}

Outcome truth(int32_t op, long double a, long double b) {
    const bool holds[] = {(a < b), (a <= b), (a > b), (a >= b), (a == b), (a != b)};
    return typed(kI2, holds[op - kLt] ? -1 : 0);
}

// Whole numbers only: the texts the samples use.
std::optional<long double> parse_number(const std::string &text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return {};
    return std::stold(text);
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
    if (vt == kI2) return x >= -32768 && x <= 32767;
    if (vt == kI4) return x >= -2147483648.0L && x <= 2147483647.0L;
    return vt != kR4 || (std::fabs(x) <= FLT_MAX && (x == 0 || std::fabs(x) > FLT_MIN));
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
        if (!x || !y) return trapped(kOverflow);
        const int32_t r[] = {*x & *y, *x | *y, *x ^ *y, ~(*x ^ *y), imp(*x, *y)};
        return typed(kI4, r[op - kAnd]);
    }
    return truth(op, a.num, b.num);
}

Outcome model(int32_t op, const Value &a, const Value &b);

// A string meeting a number (or a Boolean): compared as the greater, or parsed and the operation
// done again.
Outcome string_meets(int32_t op, const Value &s, const Value &other, bool string_left) {
    if (op >= kLt) return truth(op, string_left, !string_left); // the samples are not dates
    auto x = parse_number(s.text);
    if (!x) return trapped(kMismatch);
    Value converted{(op == kAdd || op == kSub) && other.vt == kCy ? kCy : kR8, *x};
    return string_left ? model(op, converted, other) : model(op, other, converted);
}

// The Null cells of Or and Imp: the other operand as a Long.
Outcome null_beside_long(int32_t op, const Value &other, bool null_left) {
    Value v = other;
    if (v.vt == kStr) {
        auto x = parse_number(v.text);
        if (!x) return trapped(kMismatch);
        v = Value{kR8, *x};
    }
    auto n = long_of(v);
    if (!n) return trapped(kOverflow, kNull);
    if (op == kOr) return typed(kI4, *n);
    return typed(kI4, null_left ? imp(0, *n) : imp(*n, 0));
}

Outcome model(int32_t op, const Value &a, const Value &b) {
    const int row = op < kLt ? op : 8;
    // The exceptions of the bitwise rows.
    if (row == kAnd) {
        if ((a.vt == kEmpty && in(b.vt, {kEmpty, kNull, kI2, kI4})) ||
            (b.vt == kEmpty && in(a.vt, {kNull, kI2, kI4, kBool})))
            return typed(kI4, 0);
        const Value *number = a.vt == kNull ? &b : b.vt == kNull ? &a : nullptr;
        if (number && in(number->vt, {kR4, kR8, kCy}) && (a.vt == kNull) != (b.vt == kNull))
            return bits_of(*number) ? kNullOutcome : trapped(kOverflow, kNull);
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
    // The rules every row shares, the first that applies deciding.
    if (a.vt == kErr || b.vt == kErr) {
        if (row == 8 && a.vt == kErr && b.vt == kErr) return truth(op, a.num, b.num);
        return trapped(kMismatch);
    }
    if (is_object(a.vt)) return b.vt == kNull ? kNullOutcome : trapped(kMismatch);
    if (a.vt == kNull) return kNullOutcome;
    if (a.vt == kEmpty) {
        if (b.vt == kNull) return kNullOutcome;
        if (b.vt == kEmpty) return typed(kI2, in(op, {kEqv, kImp, kLe, kGe, kEq}) ? -1 : 0);
        if (is_object(b.vt)) return trapped(kMismatch);
        return model(op, Value{b.vt, 0}, b);
    }
    if (b.vt == kEmpty) return model(op, a, Value{a.vt, 0});
    if (b.vt == kNull) return kNullOutcome;
    if (is_object(b.vt)) return trapped(kMismatch);
    if (a.vt == kBool) return b.vt == kStr ? string_meets(op, b, a, false) : trapped(kUnsupported);
    if (b.vt == kBool) return trapped(kUnsupported);
    if (a.vt == kStr && b.vt == kStr) {
        if (op == kAdd) return Outcome{kStr, 0, a.text + b.text};
        if (row == 8) return truth(op, a.text.compare(b.text), 0);
        auto x = parse_number(a.text);
        if (!x) return trapped(kMismatch);
        return model(op, Value{kR8, *x}, b);
    }
    if (a.vt == kStr) return string_meets(op, a, b, true);
    if (b.vt == kStr) return string_meets(op, b, a, false);
    return numeric(op, a, b);
}

Outcome unary_model(int op, const Value &v) {
    switch (v.vt) {
    case kEmpty:
        return op == 3 ? typed(kI4, -1) : typed(kI2, 0);
    case kNull:
        return op == 1 ? trapped(trap(BI_TRAP_INVALID_USE_OF_NULL)) : kNullOutcome;
    case kStr: {
        auto x = parse_number(v.text);
        if (!x) return trapped(kMismatch);
        return unary_model(op, Value{fits(kI2, *x) ? kI2 : kI4, *x});
    }
    case kBool:
        return unary_model(op, Value{kI2, v.num});
    case kErr:
    case VT_DISPATCH:
    case VT_VARIANT:
    case VT_UNKNOWN:
        return trapped(kMismatch);
    }
    long double x = v.num;
    int vt = v.vt == kDate ? kR8 : v.vt; // a Date is negated as a Double
    if (op == 0) return typed(fits(vt, -x) ? vt : (vt == kI2 ? kI4 : kR8), -x);
    if (op == 1) return typed(kI2, x > 0 ? 1 : x < 0 ? -1 : 0);
    if (op == 2) return x < 0 ? unary_model(0, v) : typed(vt, x);
    return typed(kI4, ~*long_of(v));
}

// ---- Samples and the sweeps -----------------------------------------------------------------

// The sample of each subtype on each side. Strings are numbers under the arithmetic and bitwise
// operators and words under the comparisons.
Value sample(int vt, bool left, bool comparison) {
    static const long double kNumbers[14][2] = {
        {0, 0},    {0, 0}, {6, -3}, {100000, 70000}, {2.5, 0.5}, {1.75, -1.25}, {3.5, -1.5},
        {3.25, 2}, {0, 0}, {0, 0},  {7, 9},          {-1, 0},    {0, 0},        {0, 0}};
    if (vt == kStr) return {vt, 0, comparison ? (left ? "abc" : "abd") : (left ? "4" : "2")};
    return {vt, kNumbers[vt][left ? 0 : 1]};
}

VARIANT variant_of(const Value &v, HostObject &object) {
    if (v.vt == kI2) return i2(static_cast<int16_t>(v.num));
    if (v.vt == kI4) return i4(static_cast<int32_t>(v.num));
    if (v.vt == kR4) return r4(static_cast<float>(v.num));
    if (v.vt == kR8) return r8(static_cast<double>(v.num));
    if (v.vt == kCy) return cy(std::llround(v.num * 10000));
    if (v.vt == kDate) return date(static_cast<double>(v.num));
    if (v.vt == kStr) return bstr_variant(v.text);
    if (v.vt == kErr) return error_variant(static_cast<int32_t>(v.num));
    if (v.vt == kBool) return boolean(v.num != 0);
    if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) return object.variant(VARTYPE(v.vt));
    VARIANT x{};
    x.vt = static_cast<VARTYPE>(v.vt); // Empty, Null and VT_VARIANT hold nothing
    return x;
}

// One cell through the exported table (binary when b is given), with the present hook style:
// with returning hooks the result and traps are the model's; with throwing hooks the call throws
// exactly when the model traps and leaves a valid result. Every operand is released either way.
void expect_cell(int32_t op, const Value &a, const Value *b) {
    const Outcome want = b ? model(op, a, *b) : unary_model(op, a);
    BlockBalance balance;
    HostObject object;
    VARIANT result{}, left = variant_of(a, object), right = b ? variant_of(*b, object) : VARIANT{};
    bool thrown = false;
    try {
        if (b) {
            int row = op < kLt ? op : 8;
            BiVariantBinOpTable[(row * 14 + a.vt) * 14 + b->vt](op, &result, &left, &right);
        } else {
            BiVariantUnOpTable[op * 14 + a.vt](&result, &left);
        }
    } catch (const TrapException &) {
        thrown = true;
    }
    if (host().mode == HookMode::Throw) {
        EXPECT_EQ(thrown, !want.traps.empty());
        EXPECT_LT(result.vt, 14) << "the result is not a valid Variant";
        if (result.vt < 14) release(result);
        host().traps.clear();
    } else {
        long double x = want.num;
        if (want.vt == kR4) x = static_cast<float>(x);
        if (want.vt == kR8 || want.vt == kDate) x = static_cast<double>(x);
        if (want.vt == kCy) x = std::llround(x * 10000);
        if (want.vt == kEmpty || want.vt == kNull || want.vt == kStr) x = kAny;
        const char *text = want.vt == kStr ? want.text.c_str() : nullptr;
        check({{got(result), static_cast<VARTYPE>(want.vt), x, want.traps, text}});
    }
    EXPECT_EQ(object.references, 0) << "an object operand was not released";
    EXPECT_EQ(balance.delta(), 0) << "a string operand was not released";
}

class OperatorCells : public RuntimeTest {};

TEST_F(OperatorCells, EveryCellOfBothTablesFollowsTheRulesAndReleasesItsOperands) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        for (int l = 0; l < 14; ++l) {
            for (int32_t op = kAdd; op <= kNe; ++op) {
                for (int r = 0; r < 14; ++r) {
                    SCOPED_TRACE(testing::Message() << "operator " << op << ", subtypes " << l
                                                    << " and " << r << ", throwing " << int(mode));
                    Value a = sample(l, true, op >= kLt), b = sample(r, false, op >= kLt);
                    expect_cell(op, a, &b);
                }
            }
            for (int op = 0; op < 4; ++op) {
                for (bool first : {true, false}) {
                    SCOPED_TRACE(testing::Message() << "unary operator " << op << ", subtype " << l
                                                    << (first ? " (first)" : " (second)")
                                                    << ", throwing " << int(mode));
                    expect_cell(op, sample(l, first, false), nullptr);
                }
            }
        }
    }
}

} // namespace
} // namespace brtl_test
