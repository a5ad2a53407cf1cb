// The comparison operators on two numeric Variants (and on two Error values). The pair of
// subtypes chooses the type the two values are compared in; the answer is an Integer, -1 for
// true and 0 for false.
#include <cmath>

#include "runtime/hooks.h"
#include "variant/ops.h"

namespace brtl::variant {

namespace {

enum class Ordering {
    Long,          // two Integers or Longs
    Single,        // Integers and Singles
    Double,        // a Long with a Single, or any pair with a Double or Date but no Currency
    Currency,      // a Currency with an Integer, a Long or a Currency
    CurrencyDouble // a Currency with a Single, a Double or a Date
};

constexpr Ordering ordering_of(int l, int r) {
    auto either = [&](int vt) { return l == vt || r == vt; };
    auto integral = [](int vt) { return vt == VT_I2 || vt == VT_I4 || vt == VT_CY; };
    if (either(VT_CY))
        return integral(l) && integral(r) ? Ordering::Currency : Ordering::CurrencyDouble;
    if (either(VT_R8) || either(VT_DATE)) return Ordering::Double;
    if (either(VT_R4)) return either(VT_I4) ? Ordering::Double : Ordering::Single;
    return Ordering::Long;
}

constexpr bool is_double_like(int vt) {
    return vt == VT_R8 || vt == VT_DATE;
}

// Beyond these a double is greater (or smaller) than every Currency.
constexpr double kCurrencyLimit = 922337203685477.5;
constexpr int kUnordered = 2;

// The order of a Currency against a double: -1, 0 or 1, or kUnordered for a NaN.
int order_currency_double(BiCurrency c, double d) {
    if (std::isnan(d)) return kUnordered;
    if (d > kCurrencyLimit) return -1;
    if (d < -kCurrencyLimit) return 1;
    return ZbiCmpCurNum(c, ZbiCvtDblCurNum(d));
}

} // namespace

template <int L, int R> void compare(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    if (!is_comparison(op)) {
        fail_binary(result, left, right, BI_TRAP_UNSUPPORTED);
        return;
    }
    constexpr Ordering kind = ordering_of(L, R);
    if constexpr (kind == Ordering::Long) {
        set_truth(result, holds(op, long_of<L>(left), long_of<R>(right)));
    } else if constexpr (kind == Ordering::Single) {
        set_truth(result, holds(op, single_of<L>(left), single_of<R>(right)));
    } else if constexpr (kind == Ordering::Double) {
        double a = double_of<L>(left), b = double_of<R>(right);
        // A Single beside a Double or Date meets the Double rounded to single precision.
        if constexpr (L == VT_R4 && is_double_like(R)) b = ZbiFloatizeDouble(b);
        if constexpr (R == VT_R4 && is_double_like(L)) a = ZbiFloatizeDouble(a);
        set_truth(result, holds(op, a, b));
    } else if constexpr (kind == Ordering::Currency) {
        set_truth(result, holds(op, ZbiCmpCurNum(currency_of<L>(left), currency_of<R>(right)), 0));
    } else if constexpr (L == VT_CY) {
        int order = order_currency_double(left->cyVal, double_of<R>(right));
        set_truth(result, order == kUnordered ? op == kNe : holds(op, order, 0));
    } else {
        int order = order_currency_double(right->cyVal, double_of<L>(left));
        set_truth(result, order == kUnordered ? op == kNe : holds(op, 0, order));
    }
}

void compare_errors(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    if (!is_comparison(op)) {
        fail_binary(result, left, right, BI_TRAP_UNSUPPORTED);
        return;
    }
    set_truth(result, holds(op, left->scode, right->scode));
}

#define BRTL_INSTANTIATE_COMPARE(L, R)                                                             \
    template void compare<L, R>(int32_t, VARIANT *, VARIANT *, VARIANT *);
BRTL_NUMERIC_PAIRS(BRTL_INSTANTIATE_COMPARE)
#undef BRTL_INSTANTIATE_COMPARE

} // namespace brtl::variant
