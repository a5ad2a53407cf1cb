// The user's profile: a file in win.ini syntax from which the library reads its national
// conventions (the [intl] section). The file is the one brtl_set_profile_path names, else
// $BRTL_PROFILE, else $XDG_CONFIG_HOME/brtl/win.ini, else ~/.config/brtl/win.ini.
//
// Syntax: "[section]" lines open a section; "key=value" lines inside it give values (blanks
// around the key and the value are dropped, and one pair of matching single or double quotes
// around the whole value is removed); lines starting with ";" are comments. Section and key names
// match without regard to ASCII case; the first matching key of the first matching section
// wins. A missing file, section or key gives the caller's default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace brtl::platform {

// The longest value the profile functions return: the callers' buffers hold 63 characters and
// a NUL, and a longer value is cut to its first 63 characters.
constexpr size_t kProfileValueMax = 63;

// Copies the value of key in section (or fallback when there is none) into buffer, cut to
// size - 1 bytes and NUL-terminated; returns the number of bytes copied. A key that is present
// with an empty value gives the empty text, not the fallback. Nothing is written when size is 0.
size_t profile_string(const char *section, const char *key, const char *fallback, char *buffer,
                      size_t size);

// The value of key in section read as a decimal integer: leading blanks, an optional sign and
// the digits up to the first other character (0 when there are no digits; values beyond the
// 32-bit range wrap as a 32-bit count would). A missing or empty value gives fallback.
int32_t profile_int(const char *section, const char *key, int32_t fallback);

// Overrides the file the profile is read from; null goes back to the lookup described above.
void set_profile_path(const char *path);
// The file set_profile_path named; none when no file is set.
std::optional<std::string> profile_override();
// The file the profile is read from now (empty when no file can be named).
std::string profile_path();

} // namespace brtl::platform
