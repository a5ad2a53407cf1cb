// The decimal digits of a format number, as the numeric stages place them: a Double printed with
// 15 significant digits, a Single with 7 (by the library's number-text rule), a Currency exactly;
// then rounded half away from zero at the section's number of decimals.
#pragma once

#include "format/engine.h"
#include "platform/numtext.h"

namespace brtl::format {

// The digits of a format number: no leading zeros and no trailing zeros.
using Decimal = platform::DecimalDigits;

void decimal_of(const FormatNumber &number, Decimal &out);

// The digits of the number moved by 10^shift and rounded at `decimals` places.
struct Digits {
    bool negative = false; // a minus sign belongs to the rounded number (it is not zero)
    runtime::SmallBuffer<char, 64>
        integer; // the integer digits without leading zeros; empty below 1
    runtime::SmallBuffer<char, 32>
        fraction; // the first `decimals` fraction digits without trailing zeros
};

void round_digits(const Decimal &decimal, int shift, int decimals, Digits &out);

} // namespace brtl::format
