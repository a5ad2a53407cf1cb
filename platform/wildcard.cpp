// The wildcards of the dialect's directory search: "*" and "?", matched without regard to case,
// with "*.*" naming every file.
#include <cstring>

#include "platform/codepage.h"
#include "platform/file_system.h"

namespace brtl::platform {

namespace {

bool same_char(const char *a, size_t a_len, const char *b, size_t b_len) {
    if (a_len != b_len) return false;
    if (a_len == 1)
        return to_upper(static_cast<unsigned char>(*a)) == to_upper(static_cast<unsigned char>(*b));
    return std::memcmp(a, b, a_len) == 0;
}

} // namespace

bool wildcard_match(const char *pattern, const char *name) {
    if (std::strcmp(pattern, "*.*") == 0) return true;
    // The greedy walk with one remembered star: linear in practice, never exponential.
    const char *p = pattern, *n = name;
    const char *star = nullptr, *resume = nullptr;
    while (*n != '\0') {
        size_t n_len = char_length(n, 2);
        size_t p_len = *p == '\0' ? 0 : char_length(p, 2);
        if (*p == '*') {
            star = ++p;
            resume = n;
            continue;
        }
        if (*p != '\0' && (*p == '?' || same_char(p, p_len, n, n_len))) {
            p += p_len;
            n += n_len;
            continue;
        }
        if (star == nullptr) return false;
        p = star;
        resume += char_length(resume, 2);
        n = resume;
    }
    while (*p == '*')
        ++p;
    return *p == '\0';
}

} // namespace brtl::platform
