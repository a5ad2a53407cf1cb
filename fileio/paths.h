// The path helpers of the file-system builtins: the directory part of a name and the check of a
// path's drive, readiness and directory before a builtin uses it.
#pragma once

#include <cstddef>

namespace brtl::fileio {

// The length of the directory part of the n bytes of a path: up to and including its last "\"
// (or, without one, its last ":"), the "." characters right after it, and without a final "\"
// that does not follow ":". A path without either character has no directory part (0), unless it
// is "." or "..", which are kept whole. Double-byte characters are stepped over whole.
size_t directory_part_length(const char *path, size_t n);

// The checks of IsPathValid. False after the trap: strip cuts the path to its directory part
// first; whole reports every failure as trap 53 with the whole path as subject.
bool check_path(const char *path, bool strip, bool whole);

} // namespace brtl::fileio
