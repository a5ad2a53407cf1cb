// The conversion of an Input # field into a Variant, guessing the subtype from the text.
#pragma once

#include <cstddef>

#include "brtl/types.h"

namespace brtl::fileio {

// Stores the field (read with quotes kept, NUL-terminated at n) into the target Variant, whose
// old value is released: Empty, Null, Integer, Long, Currency, Double, Date or String. False
// after a trap (6 for a number that overflows, 7 for no memory); the target is then Empty.
bool store_variant_field(const char *field, size_t n, VARIANT *target);

} // namespace brtl::fileio
