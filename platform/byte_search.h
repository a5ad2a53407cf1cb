// The search of a byte sequence in memory.
#pragma once

#include <cstddef>

namespace brtl::platform {

// The first place where the m bytes of needle occur in the n bytes of haystack, or null (memmem).
const void *find_bytes(const void *haystack, size_t n, const void *needle, size_t m);

} // namespace brtl::platform
