// Addition, subtraction and multiplication of two numeric Variants. Each pair of subtypes has a
// handler of its own that computes in the subtype of the promotion tables; Integer, Long and
// Single results that overflow are recomputed exactly in the wider subtype instead of trapping.
#include "runtime/hooks.h"
#include "variant/ops.h"

namespace brtl::variant {

namespace {

// The arithmetic of a pair under + and -.
enum class Sum {
    Short,      // Integer, widening to Long
    Long,       // Long, widening to Double
    Single,     // Single, widening to Double
    LongSingle, // a Long with a Single: Double without checks
    Double,     // checked Double
    Currency,   // Currency
    Date        // checked Double, giving a Date
};

constexpr Sum sum_of(int l, int r) {
    auto either = [&](int vt) { return l == vt || r == vt; };
    if (either(VT_DATE)) return Sum::Date;
    if (either(VT_CY)) return Sum::Currency;
    if (either(VT_R8)) return Sum::Double;
    if (either(VT_R4)) return either(VT_I4) ? Sum::LongSingle : Sum::Single;
    if (either(VT_I4)) return Sum::Long;
    return Sum::Short;
}

// The arithmetic of a pair under *.
enum class Product {
    Short,   // Integer, widening to Long
    Long,    // Long, widening to Double
    Single,  // Single, widening to Double
    Double,  // checked Double (a Date counts as a Double; a Currency with a Single, Double or
             // Date is converted to a double)
    Currency // Currency with an Integer, a Long or a Currency
};

constexpr Product product_of(int l, int r) {
    auto either = [&](int vt) { return l == vt || r == vt; };
    auto integral = [](int vt) { return vt == VT_I2 || vt == VT_I4 || vt == VT_CY; };
    if (either(VT_CY)) return integral(l) && integral(r) ? Product::Currency : Product::Double;
    if (either(VT_R8) || either(VT_DATE)) return Product::Double;
    if (either(VT_R4)) return either(VT_I4) ? Product::Double : Product::Single;
    if (either(VT_I4)) return Product::Long;
    return Product::Short;
}

} // namespace

template <int L, int R> void add_sub(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    constexpr Sum kind = sum_of(L, R);
    const bool sub = op == kSub;
    if constexpr (kind == Sum::Short) {
        int16_t a = value_of<L>(left), b = value_of<R>(right), r;
        if ((sub ? ZbiOvfSubShorts(&r, a, b) : ZbiOvfAddShorts(&r, a, b)) == 0)
            set_i2(result, r);
        else
            set_i4(result, sub ? int32_t{a} - b : int32_t{a} + b);
    } else if constexpr (kind == Sum::Long) {
        int32_t a = long_of<L>(left), b = long_of<R>(right), r;
        if ((sub ? ZbiOvfSubLongs(&r, &a, &b) : ZbiOvfAddLongs(&r, &a, &b)) == 0)
            set_i4(result, r);
        else
            set_r8(result, sub ? double(a) - double(b) : double(a) + double(b));
    } else if constexpr (kind == Sum::Single) {
        float a = single_of<L>(left), b = single_of<R>(right), r;
        if ((sub ? ZbiOvfSubFloats(&r, &a, &b) : ZbiOvfAddFloats(&r, &a, &b)) == 0)
            set_r4(result, r);
        else
            set_r8(result, sub ? double(a) - double(b) : double(a) + double(b));
    } else if constexpr (kind == Sum::LongSingle) {
        double a = double_of<L>(left), b = double_of<R>(right);
        set_r8(result, sub ? a - b : a + b);
    } else if constexpr (kind == Sum::Currency) {
        BiCurrency a = currency_of<L>(left), b = currency_of<R>(right);
        set_cy(result, sub ? ZbiSubCurNum(a, b) : ZbiAddCurNum(a, b));
    } else {
        double a = double_of<L>(left), b = double_of<R>(right);
        double r = sub ? a - b : a + b; // kept when the checked routine stores nothing
        int32_t status = sub ? ZbiOvfSubDoubles(&r, &a, &b) : ZbiOvfAddDoubles(&r, &a, &b);
        store_checked_double(result, kind == Sum::Date ? VT_DATE : VT_R8, r, status);
    }
}

template <int L, int R> void multiply(int32_t, VARIANT *result, VARIANT *left, VARIANT *right) {
    constexpr Product kind = product_of(L, R);
    if constexpr (kind == Product::Short) {
        int16_t a = value_of<L>(left), b = value_of<R>(right), r;
        if (ZbiOvfMulShorts(&r, a, b) == 0)
            set_i2(result, r);
        else
            set_i4(result, int32_t{a} * b);
    } else if constexpr (kind == Product::Long) {
        int32_t a = long_of<L>(left), b = long_of<R>(right), r;
        if (ZbiOvfMulLongs(&r, &a, &b) == 0)
            set_i4(result, r);
        else
            set_r8(result, double(a) * double(b));
    } else if constexpr (kind == Product::Single) {
        float a = single_of<L>(left), b = single_of<R>(right), r;
        if (ZbiOvfMulFloats(&r, &a, &b) == 0)
            set_r4(result, r);
        else
            set_r8(result, double(a) * double(b));
    } else if constexpr (kind == Product::Currency) {
        set_cy(result, ZbiMulCurNum(currency_of<L>(left), currency_of<R>(right)));
    } else {
        double a = double_of<L>(left), b = double_of<R>(right);
        double r = a * b;
        int32_t status = ZbiOvfMulDoubles(&r, &a, &b);
        store_checked_double(result, VT_R8, r, status);
    }
}

#define BRTL_INSTANTIATE_ARITHMETIC(L, R)                                                          \
    template void add_sub<L, R>(int32_t, VARIANT *, VARIANT *, VARIANT *);                         \
    template void multiply<L, R>(int32_t, VARIANT *, VARIANT *, VARIANT *);
BRTL_NUMERIC_PAIRS(BRTL_INSTANTIATE_ARITHMETIC)
#undef BRTL_INSTANTIATE_ARITHMETIC

} // namespace brtl::variant
