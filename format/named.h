// The formats the named formats stand for that are built from the locale.
#pragma once

#include "platform/monetary.h"

namespace brtl::format {

// The Currency format for the monetary conventions: a positive and a negative section with the
// symbol escaped ("$" when the locale has none) and the digits written with "," and ".". A fresh
// ZrMalloc text, or null when memory runs out.
char *build_currency_format(const platform::MonetaryConventions &conventions);

// The Medium Date format for a short date pattern: its first run of M letters (either case)
// becomes "mmm". A fresh ZrMalloc text, or null when memory runs out.
char *build_medium_date_format(const char *short_date_pattern);

} // namespace brtl::format
