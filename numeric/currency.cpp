// Currency arithmetic, comparison, bitwise operators and rounding. A Currency is a signed
// 64-bit count of ten-thousandths. Every result is first formed exactly (in 128 bits) and then
// checked once: a result outside the Currency range raises trap 6 through the numeric trap hook,
// a zero divisor trap 11; when the hook returns, the routine finishes with the wrapped low 64
// bits (0 after trap 11).
#include "numeric/currency.h"
#include "numeric/int128.h"

#include "brtl/numeric.h"
#include "runtime/hooks.h"

namespace brtl::numeric {

namespace {

uint64_t magnitude(int64_t v) {
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}
u128 magnitude(i128 v) {
    return v < 0 ? 0 - static_cast<u128>(v) : static_cast<u128>(v);
}

// Rounds a truncated quotient to nearest, ties to even, from the magnitudes of the remainder and
// the divisor: the magnitude of q grows by one when the remainder is more than half the divisor,
// or exactly half while q is odd. The direction comes from the sign of the exact quotient, not
// from q, which is 0 for every quotient of magnitude below one (-0.6 must become -1, not 1).
i128 round_quotient(i128 q, bool negative, u128 remainder, u128 divisor) {
    const u128 twice = remainder * 2; // remainder < divisor <= 2^63: no overflow
    const bool up = twice > divisor || (twice == divisor && (q & 1) != 0);
    if (!up) return q;
    return negative ? q - 1 : q + 1;
}

} // namespace

int64_t round_to_whole(BiCurrency c) {
    const uint64_t units = magnitude(c);
    const uint64_t whole = units / kCurrencyScale;
    const uint64_t rest = units % kCurrencyScale;
    const bool up = rest * 2 > kCurrencyScale || (rest * 2 == kCurrencyScale && (whole & 1) != 0);
    const auto rounded = static_cast<int64_t>(whole + (up ? 1 : 0)); // below 2^50
    return c < 0 ? -rounded : rounded;
}

BiCurrency to_currency(i128 exact) {
    if (exact < INT64_MIN || exact > INT64_MAX) runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
    return static_cast<BiCurrency>(static_cast<uint64_t>(static_cast<u128>(exact)));
}

} // namespace brtl::numeric

using brtl::numeric::i128;
using brtl::numeric::kCurrencyScale;
using brtl::numeric::to_currency;

extern "C" {

BRTL_API BiCurrency ZbiNegCurNum(BiCurrency c) {
    return brtl::numeric::to_currency(-static_cast<i128>(c));
}

BRTL_API BiCurrency ZbiAddCurNum(BiCurrency a, BiCurrency b) {
    return brtl::numeric::to_currency(static_cast<i128>(a) + b);
}

BRTL_API BiCurrency ZbiSubCurNum(BiCurrency a, BiCurrency b) {
    return brtl::numeric::to_currency(static_cast<i128>(a) - b);
}

// (a * b) / 10000, truncated toward zero.
BRTL_API BiCurrency ZbiMulCurNum(BiCurrency a, BiCurrency b) {
    return brtl::numeric::to_currency(static_cast<i128>(a) * b / brtl::numeric::kCurrencyScale);
}

// (a * 10000) / b, rounded half to even. The range is checked after the rounding, so a quotient
// that only leaves the range by rounding up still traps instead of wrapping.
BRTL_API BiCurrency ZbiDivCurNum(BiCurrency a, BiCurrency b) {
    if (b == 0) {
        brtl::runtime::raise_numeric_trap(BI_TRAP_DIVISION_BY_ZERO);
        return 0;
    }
    const i128 dividend = static_cast<i128>(a) * brtl::numeric::kCurrencyScale;
    const i128 q = dividend / b;
    const i128 r = dividend % b;
    const bool negative = (a < 0) != (b < 0);
    return brtl::numeric::to_currency(brtl::numeric::round_quotient(
        q, negative, brtl::numeric::magnitude(r), brtl::numeric::magnitude(b)));
}

// The remainder of the division of ZbiDivCurNum as a raw count of units: the magnitude
// |a * 10000| mod |b| with the sign of b.
BRTL_API BiCurrency ZbiModCurNum(BiCurrency a, BiCurrency b) {
    if (b == 0) {
        brtl::runtime::raise_numeric_trap(BI_TRAP_DIVISION_BY_ZERO);
        return 0;
    }
    const i128 dividend = static_cast<i128>(a) * brtl::numeric::kCurrencyScale;
    const auto rest =
        static_cast<uint64_t>(brtl::numeric::magnitude(dividend) % brtl::numeric::magnitude(b));
    return static_cast<BiCurrency>(b < 0 ? 0 - rest : rest); // below 2^63 either way
}

BRTL_API BiCurrency ZbiModfCurNum(BiCurrency c, int64_t *ip) {
    if (ip != nullptr) *ip = c / brtl::numeric::kCurrencyScale;
    return static_cast<BiCurrency>(brtl::numeric::magnitude(c) % brtl::numeric::kCurrencyScale);
}

BRTL_API int32_t ZbiCmpCurNum(BiCurrency a, BiCurrency b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

BRTL_API BiCurrency ZbiAbsCurNum(BiCurrency c) {
    return brtl::numeric::to_currency(c < 0 ? -static_cast<i128>(c) : c);
}

BRTL_API int32_t ZbiSgnCurNum(BiCurrency c) {
    return c < 0 ? -1 : (c == 0 ? 0 : 1);
}

BRTL_API BiCurrency ZbiNotCurNum(BiCurrency c) {
    return ~c;
}
BRTL_API BiCurrency ZbiAndCurNum(BiCurrency a, BiCurrency b) {
    return a & b;
}
BRTL_API BiCurrency ZbiOrCurNum(BiCurrency a, BiCurrency b) {
    return a | b;
}
BRTL_API BiCurrency ZbiXorCurNum(BiCurrency a, BiCurrency b) {
    return a ^ b;
}
BRTL_API BiCurrency ZbiEqvCurNum(BiCurrency a, BiCurrency b) {
    return ~(a ^ b);
}
BRTL_API BiCurrency ZbiImpCurNum(BiCurrency a, BiCurrency b) {
    return ~a | b;
}

BRTL_API BiCurrency BiRoundCurNum(BiCurrency c) {
    return brtl::numeric::to_currency(static_cast<i128>(brtl::numeric::round_to_whole(c)) *
                                      brtl::numeric::kCurrencyScale);
}

} // extern "C"
