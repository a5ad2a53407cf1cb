// The profile read from a file in win.ini syntax.
#include "platform/profile.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace brtl::platform {

namespace {

// Section and key names longer than this cannot be one the library asks for; such a line is
// read to its end and matches nothing.
constexpr size_t kNameMax = 255;
// Enough of a value to hold kProfileValueMax characters after an opening quote.
constexpr size_t kValuePrefix = kProfileValueMax + 2;

bool is_blank(int c) {
    return c == ' ' || c == '\t' || c == '\r';
}

int ascii_lower(int c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

bool same_name(const char *a, size_t n, const char *b) {
    if (std::strlen(b) != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (ascii_lower(static_cast<unsigned char>(a[i])) !=
            ascii_lower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A name read from the file: at most kNameMax bytes kept, blanks trimmed at both ends.
struct Name {
    char text[kNameMax];
    size_t length = 0;
    bool overflow = false;

    void add(int c) {
        if (length == 0 && is_blank(c)) return;
        if (length < kNameMax)
            text[length++] = static_cast<char>(c);
        else
            overflow = true;
    }
    void trim() {
        while (length > 0 && is_blank(static_cast<unsigned char>(text[length - 1])))
            --length;
    }
    bool is(const char *wanted) const { return !overflow && same_name(text, length, wanted); }
};

// The value of a matching key: its first kValuePrefix bytes after the leading blanks, the
// length without trailing blanks, and the last byte that is not a blank.
struct Value {
    char prefix[kValuePrefix];
    size_t length = 0;  // bytes read so far, leading blanks excluded
    size_t trimmed = 0; // length up to and including the last byte that is not a blank
    int last = 0;

    void add(int c) {
        if (length == 0 && is_blank(c)) return;
        if (length < kValuePrefix) prefix[length] = static_cast<char>(c);
        ++length;
        if (!is_blank(c)) {
            trimmed = length;
            last = c;
        }
    }
    // Copies the value without trailing blanks and without one pair of enclosing quotes.
    size_t copy_to(char *buffer, size_t size) const {
        size_t start = 0;
        size_t n = trimmed;
        if (n >= 2 && (prefix[0] == '"' || prefix[0] == '\'') && last == prefix[0]) {
            start = 1;
            n -= 2;
        }
        if (n > size - 1) n = size - 1;
        std::memcpy(buffer, prefix + start, n);
        buffer[n] = '\0';
        return n;
    }
};

int skip_to_end_of_line(FILE *f) {
    int c;
    while ((c = std::getc(f)) != EOF && c != '\n') {
    }
    return c;
}

// Scans the file for the key and copies its value into buffer (size >= 1). Every line is read
// one byte at a time, so a line of any length is handled within fixed storage.
bool scan(FILE *f, const char *section, const char *key, char *buffer, size_t size,
          size_t &copied) {
    bool in_section = false;
    bool first_line = true;
    int c = 0;
    while (c != EOF) {
        c = std::getc(f);
        if (first_line && c == 0xEF) { // a UTF-8 byte order mark
            if (std::getc(f) == 0xBB && std::getc(f) == 0xBF) c = std::getc(f);
        }
        first_line = false;
        while (is_blank(c))
            c = std::getc(f);
        if (c == EOF) break;
        if (c == '\n') continue;
        if (c == ';') {
            c = skip_to_end_of_line(f);
            continue;
        }
        if (c == '[') {
            Name name;
            while ((c = std::getc(f)) != EOF && c != '\n' && c != ']')
                name.add(c);
            name.trim();
            if (c == ']') c = skip_to_end_of_line(f);
            in_section = name.is(section);
            continue;
        }
        Name name;
        for (; c != EOF && c != '\n' && c != '='; c = std::getc(f))
            name.add(c);
        if (c != '=') continue; // not a key line
        name.trim();
        if (!in_section || !name.is(key)) {
            c = skip_to_end_of_line(f);
            continue;
        }
        Value value;
        while ((c = std::getc(f)) != EOF && c != '\n')
            value.add(c);
        copied = value.copy_to(buffer, size);
        return true;
    }
    return false;
}

// Looks the key up in the profile file; false when the file, the section or the key is missing.
bool lookup(const char *section, const char *key, char *buffer, size_t size, size_t &copied) {
    std::string path;
    try {
        path = profile_path();
    } catch (...) { // no memory for the name: read as if there were no profile
        return false;
    }
    if (path.empty()) return false;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    bool found = scan(f, section, key, buffer, size, copied);
    std::fclose(f);
    return found;
}

std::string home_directory() {
    const char *home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return home;
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> storage(hint > 0 ? static_cast<size_t>(hint) : 16384);
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(getuid(), &entry, storage.data(), storage.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr)
        return found->pw_dir;
    return {};
}

} // namespace

std::string profile_path() {
    if (std::optional<std::string> set_by_host = profile_override()) return *set_by_host;
    const char *named = std::getenv("BRTL_PROFILE");
    if (named != nullptr && *named != '\0') return named;
    const char *config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/brtl/win.ini";
    std::string home = home_directory();
    if (home.empty()) return {};
    return home + "/.config/brtl/win.ini";
}

size_t profile_string(const char *section, const char *key, const char *fallback, char *buffer,
                      size_t size) {
    if (size == 0) return 0;
    size_t copied = 0;
    if (lookup(section, key, buffer, size, copied)) return copied;
    size_t n = fallback != nullptr ? std::strlen(fallback) : 0;
    if (n > size - 1) n = size - 1;
    if (n != 0) std::memcpy(buffer, fallback, n);
    buffer[n] = '\0';
    return n;
}

int32_t profile_int(const char *section, const char *key, int32_t fallback) {
    char text[kProfileValueMax + 1];
    size_t length = 0;
    if (!lookup(section, key, text, sizeof text, length) || length == 0) return fallback;
    const char *p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    uint32_t n = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        n = n * 10u + static_cast<uint32_t>(*p - '0');
    if (negative) n = 0u - n;
    return static_cast<int32_t>(n);
}

} // namespace brtl::platform
