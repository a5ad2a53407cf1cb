// The date and time parser as the library's own code calls it, and its multibyte rewrite.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brtl::datetime {

enum class ParseKind : int32_t { Time = 0, Date = 1, DateAndTime = 2 };

enum class ParseResult {
    Accepted,
    NotAccepted, // the caller reports it (or not, in quiet mode)
    Reported,    // a trap or a fatal error was already raised while parsing
};

// Parses n bytes of text for a time, a date, or both (kind 0, 1, 2); on success *serial is the
// date serial. Allocates nothing (beyond the host's words, read once).
ParseResult parse_date_time(const char *text, size_t n, int32_t kind, double *serial);

// The longest text the multibyte rewrite builds, in bytes.
constexpr size_t kRewriteCapacity = 160;

// Rewrites a date in the multibyte locale's notation (era names, unit markers) into plain
// numbers and month names. Writes at most kRewriteCapacity bytes and a NUL into out; false when
// the text cannot be rewritten (it is then parsed as it was).
bool rewrite_multibyte_date(const char *text, size_t n, char (&out)[kRewriteCapacity + 1],
                            size_t *out_length);

} // namespace brtl::datetime
