// The binary operator table, built at compile time from the cell rules: every cell of the nine
// rows is chosen by binary_cell() below, so the exported data is constant before any caller can
// read it. The re-dispatch used by handlers that convert an operand goes through the same table.
#include <array>
#include <utility>

#include "runtime/hooks.h"
#include "variant/ops.h"

namespace brtl::variant {

namespace {

// The families of subtypes the cell rules speak of.
enum class Kind { Empty, Null, Number, String, Object, Error, Boolean };

constexpr Kind kind_of(int vt) {
    switch (vt) {
    case VT_EMPTY:
        return Kind::Empty;
    case VT_NULL:
        return Kind::Null;
    case VT_BSTR:
        return Kind::String;
    case VT_ERROR:
        return Kind::Error;
    case VT_BOOL:
        return Kind::Boolean;
    case VT_DISPATCH:
    case VT_VARIANT:
    case VT_UNKNOWN:
        return Kind::Object;
    default:
        return Kind::Number;
    }
}

// The handlers of the numeric pairs of one row, indexed by (left - 2) x 6 + (right - 2).
template <template <int, int> class Pick, size_t... I>
constexpr std::array<BiBinaryHandler, 36> pair_handlers(std::index_sequence<I...>) {
    return {Pick<VT_I2 + static_cast<int>(I / 6), VT_I2 + static_cast<int>(I % 6)>::value...};
}

template <int L, int R> struct PickAddSub {
    static constexpr BiBinaryHandler value = &add_sub<L, R>;
};
template <int L, int R> struct PickMultiply {
    static constexpr BiBinaryHandler value = &multiply<L, R>;
};
template <int L, int R> struct PickBitwise {
    static constexpr BiBinaryHandler value = &bitwise<L, R>;
};
template <int L, int R> struct PickCompare {
    static constexpr BiBinaryHandler value = &compare<L, R>;
};

constexpr auto kAddSub = pair_handlers<PickAddSub>(std::make_index_sequence<36>());
constexpr auto kMultiply = pair_handlers<PickMultiply>(std::make_index_sequence<36>());
constexpr auto kBitwise = pair_handlers<PickBitwise>(std::make_index_sequence<36>());
constexpr auto kCompare = pair_handlers<PickCompare>(std::make_index_sequence<36>());

// Rule 12: two numbers go to the numeric handler of the row.
constexpr BiBinaryHandler numeric_cell(int row, int l, int r) {
    size_t pair = static_cast<size_t>((l - VT_I2) * 6 + (r - VT_I2));
    if (row <= kSub) return kAddSub[pair];
    if (row == kMul) return kMultiply[pair];
    if (row == kComparisonRow) return kCompare[pair];
    return kBitwise[pair];
}

// The cells of the bitwise rows 3, 4 and 7 that depart from the general rules; null elsewhere.
constexpr BiBinaryHandler exception_cell(int row, int l, int r) {
    const bool wide_number = l == VT_R4 || l == VT_R8 || l == VT_CY; // and: tested for Long range
    const bool wide_number_right = r == VT_R4 || r == VT_R8 || r == VT_CY;
    const bool long_convertible = is_numeric_subtype(l) && l != VT_I4; // or, imp: Long left
    const bool long_convertible_right = is_numeric_subtype(r) && r != VT_I4;
    if (row == kAnd) {
        if (l == VT_EMPTY && (r == VT_EMPTY || r == VT_NULL || r == VT_I2 || r == VT_I4))
            return long_zero;
        if (r == VT_EMPTY && (l == VT_NULL || l == VT_I2 || l == VT_I4 || l == VT_BOOL))
            return long_zero;
        if ((l == VT_NULL && wide_number_right) || (wide_number && r == VT_NULL))
            return and_null_checked;
    }
    if (row == kOr) {
        if (l == VT_EMPTY && r == VT_EMPTY) return long_zero;
        if (l == VT_NULL && r == VT_I4) return copy_right;
        if (l == VT_I4 && r == VT_NULL) return copy_left;
        if (l == VT_NULL && long_convertible_right) return long_right;
        if (long_convertible && r == VT_NULL) return long_left;
        if (l == VT_NULL && r == VT_BSTR) return string_right;
        if (l == VT_BSTR && r == VT_NULL) return string_left;
    }
    if (row == kImp) {
        if (l == VT_EMPTY && r == VT_NULL) return empty_left;
        if (l == VT_NULL && r == VT_I4) return imp_null_left;
        if (l == VT_I4 && r == VT_NULL) return imp_null_right;
        if (l == VT_NULL && long_convertible_right) return long_right;
        if (long_convertible && r == VT_NULL) return long_left;
    }
    return nullptr;
}

// The cell rules, in order of precedence.
constexpr BiBinaryHandler binary_cell(int row, int l, int r) {
    if (BiBinaryHandler h = exception_cell(row, l, r)) return h;
    const Kind a = kind_of(l);
    const Kind b = kind_of(r);
    // 1: an Error operand; two Errors compare as Longs.
    if (a == Kind::Error || b == Kind::Error) {
        return row == kComparisonRow && a == Kind::Error && b == Kind::Error ? compare_errors
                                                                             : type_mismatch;
    }
    // 2: an object on the left.
    if (a == Kind::Object) return b == Kind::Null ? null_result : type_mismatch;
    // 3: Null on the left.
    if (a == Kind::Null) return null_result;
    // 4: Empty on the left.
    if (a == Kind::Empty) return b == Kind::Null ? null_result : empty_left;
    // 5-7: the left is a number, a string or a Boolean.
    if (b == Kind::Empty) return empty_right;
    if (b == Kind::Null) return null_result;
    if (b == Kind::Object) return type_mismatch;
    // 8, 9: Booleans.
    if (a == Kind::Boolean) return b == Kind::String ? string_right : unsupported;
    if (b == Kind::Boolean) return unsupported;
    // 10: a string meets a number.
    if (a == Kind::String && b == Kind::Number) return string_left;
    if (a == Kind::Number && b == Kind::String) return string_right;
    // 11: two strings.
    if (a == Kind::String) {
        if (row == kAdd) return concatenate;
        if (row == kComparisonRow) return compare_strings;
        return string_left;
    }
    // 12: two numbers.
    return numeric_cell(row, l, r);
}

constexpr std::array<BiBinaryHandler, BI_VARIANT_BINOP_COUNT> build_binary_table() {
    std::array<BiBinaryHandler, BI_VARIANT_BINOP_COUNT> table{};
    for (int row = 0; row < kBinaryRows; ++row)
        for (int l = 0; l < kSubtypes; ++l)
            for (int r = 0; r < kSubtypes; ++r)
                table[static_cast<size_t>(binary_index(row, l, r))] = binary_cell(row, l, r);
    return table;
}

constexpr auto kBinaryCells = build_binary_table();

} // namespace

void dispatch_binary(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    if (op < kAdd || op > kNe || left->vt >= kSubtypes || right->vt >= kSubtypes) {
        fail_binary(result, left, right, BI_TRAP_UNSUPPORTED);
        return;
    }
    BiVariantBinOpTable[binary_index(row_of(op), left->vt, right->vt)](op, result, left, right);
}

} // namespace brtl::variant

#define BRTL_BINARY_CELL(i) brtl::variant::kBinaryCells[i]
#define BRTL_BINARY_LEFT14(base)                                                                   \
    BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 0 * 14),                                           \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 1 * 14),                                       \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 2 * 14),                                       \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 3 * 14),                                       \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 4 * 14),                                       \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 5 * 14),                                       \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 6 * 14),                                       \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 7 * 14),                                       \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 8 * 14),                                       \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 9 * 14),                                       \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 10 * 14),                                      \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 11 * 14),                                      \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 12 * 14),                                      \
        BRTL_TABLE_RUN14(BRTL_BINARY_CELL, (base) + 13 * 14)

extern "C" {

// Constant-initialised from the rule-built cells (exported by the header's declaration): nine
// rows of 14 x 14.
constinit BiBinaryHandler const BiVariantBinOpTable[BI_VARIANT_BINOP_COUNT] = {
    BRTL_BINARY_LEFT14(0 * 196), BRTL_BINARY_LEFT14(1 * 196), BRTL_BINARY_LEFT14(2 * 196),
    BRTL_BINARY_LEFT14(3 * 196), BRTL_BINARY_LEFT14(4 * 196), BRTL_BINARY_LEFT14(5 * 196),
    BRTL_BINARY_LEFT14(6 * 196), BRTL_BINARY_LEFT14(7 * 196), BRTL_BINARY_LEFT14(8 * 196)};

} // extern "C"

static_assert(sizeof(BiVariantBinOpTable) / sizeof(BiVariantBinOpTable[0]) ==
              BI_VARIANT_BINOP_COUNT);
