// memmem where the C library has it; the C++ library's search elsewhere.
#include "platform/byte_search.h"

#include <cstring>
#include <string_view>

namespace brtl::platform {

const void *find_bytes(const void *haystack, size_t n, const void *needle, size_t m) {
#if defined(_WIN32)
    std::string_view text(static_cast<const char *>(haystack), n);
    size_t at = text.find(std::string_view(static_cast<const char *>(needle), m));
    return at == std::string_view::npos ? nullptr : text.data() + at;
#else
    return memmem(haystack, n, needle, m);
#endif
}

} // namespace brtl::platform
