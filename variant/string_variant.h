// Text into a String Variant, for every builtin that stores text in a Variant.
#pragma once

#include <cstddef>

#include "brtl/types.h"

namespace brtl::variant {

// Stores n bytes of code-page text in target as a String Variant (the target's old value is not
// cleared). When memory runs out raises trap 7, leaves target as it was and returns false.
bool store_text_variant(VARIANT *target, const char *text, size_t n);
// As store_text_variant for a short text (a number's), widened straight into the new BSTR when
// every character is one byte.
bool store_short_text_variant(VARIANT *target, const char *text, size_t n);

} // namespace brtl::variant
