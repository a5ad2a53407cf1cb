// The matcher behind Like: literal characters, "?", "*", "#" and bracketed lists, on bytes of
// the single-byte code page or on UTF-16 units. It walks the pattern once and, on a failure,
// retries only from the most recent "*", so the time is bounded by the product of the two
// lengths, the stack by a constant, and the lists are met in the order of a walk that tries
// every "*" position in turn: the first list found malformed is the one that walk would find.
#pragma once

#include <cstddef>

#include "brtl/types.h"

namespace brtl::strings {

enum class MatchResult {
    NoMatch,
    Match,
    // A list without its "]" or with a bad range was reached while a text character remained;
    // the caller raises the trap (once) and answers no match.
    BadList,
};

// The byte matcher: bytes compared as signed values in ranges, ASCII case folded when
// ignore_case.
MatchResult match_bytes(const char *text, size_t text_length, const char *pattern,
                        size_t pattern_length, bool ignore_case);

// The wide matcher: literals folded by the wide rules when ignore_case, list items compared by
// their code page text (the host's collation when ignore_case, else byte order); "[!]" is a
// negated empty list.
MatchResult match_wide(const OLECHAR *text, size_t text_length, const OLECHAR *pattern,
                       size_t pattern_length, bool ignore_case);

} // namespace brtl::strings
