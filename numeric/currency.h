// Helpers shared by the Currency routines.
#pragma once

#include <cstdint>

#include "brtl/numeric.h"
#include "numeric/int128.h"

namespace brtl::numeric {

// Units of 0.0001 in one.
constexpr int64_t kCurrencyScale = 10000;

// The whole number nearest c / 10000, a tie going to the even neighbour (2.5 gives 2, 3.5 gives
// 4, -2.5 gives -2). Always representable: its magnitude is below 2^50.
int64_t round_to_whole(BiCurrency c);

// An exact result as a Currency: when it lies outside the Currency range, raises trap 6 through
// the numeric trap hook and (when the hook returns) gives the wrapped low 64 bits.
BiCurrency to_currency(i128 exact);

} // namespace brtl::numeric
