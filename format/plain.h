// The conversions of the format engine that need no numeric or date format: the plain text of a
// value and the string formats.
#pragma once

#include <cstdint>

#include "brtl/types.h"

namespace brtl::format {

// The plain text of the value (a temporary): numbers as printed by the number-text rule with
// the locale's decimal separator, trailing fraction zeros removed and the exponent shortened; a
// leading space before a number that is not negative when asked. A String Variant gets the string
// format (leading space off) or is converted to a number first (leading space on).
BiString format_plain(int32_t kind, const void *value, const char *format, uint32_t format_length,
                      bool leading_space);

// The string formats "@", "&", "<", ">", "!" applied to the text of a Variant.
BiString format_string(const VARIANT *value, const char *format, uint32_t format_length);

} // namespace brtl::format
