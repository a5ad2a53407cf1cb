// Reading the number a string Variant holds: the grammar of the Variant conversions, shared by
// the string-to-number conversion and the platform's change of type.
#pragma once

#include <cstddef>

#include "brtl/types.h"

namespace brtl::variant {

enum class NumberScan { Ok, NotANumber, OutOfMemory };

// Reads the number of a multibyte text of len bytes: blanks, an optional leading comma (after
// which anything may follow), a "&H"/"&O" radix literal or a decimal number in which the locale's
// thousands separators are ignored, then only blanks or a comma and anything after it.
NumberScan scan_number_text(const char *text, size_t len, double &value);

// The value of a numeric subtype (Empty, Integer, Boolean, Long, Single, Double, Date,
// Currency) as a double; false for any other subtype.
bool numeric_value(const VARIANT *v, double &value);

// IsNumeric of a string Variant, which stays as it is (IsNumeric itself consumes a copy).
bool string_is_numeric(const VARIANT *v);

} // namespace brtl::variant
