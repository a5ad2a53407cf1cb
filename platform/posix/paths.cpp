// Names in the dialect's form: the full path of a name and the system path of a full path.
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/codepage.h"
#include "platform/files.h"

namespace brtl::platform {

namespace {

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

// A bounded text being built; remembers when something did not fit.
struct PathBuilder {
    static constexpr size_t kCapacity = PATH_MAX + 2 * (kMaxFullPath + 1);
    char text[kCapacity];
    size_t length = 0;
    size_t root = 0; // bytes that ".." never removes
    bool overflow = false;

    void append(const char *p, size_t n) {
        if (length + n >= kCapacity) {
            overflow = true;
            return;
        }
        std::memcpy(text + length, p, n);
        length += n;
        text[length] = '\0';
    }
    // Where the last component starts (its separator), walking whole characters so that a trail
    // byte of a double-byte character is never taken for a separator; root when there is none.
    size_t last_separator() const {
        size_t last = root;
        for (size_t i = root; i < length; i += platform::char_length(text + i, 2))
            if (text[i] == '\\') last = i;
        return last;
    }
    // Adds one component of a name: "." is nothing, ".." drops the last component.
    void component(const char *p, size_t n) {
        if (n == 0 || (n == 1 && p[0] == '.')) return;
        if (n == 2 && p[0] == '.' && p[1] == '.') {
            length = last_separator();
            text[length] = '\0';
            return;
        }
        append("\\", 1);
        append(p, n);
    }
    // Adds every component of a name whose separators are "\" or "/" (character-aware, so a
    // trail byte of a double-byte character is never a separator).
    void components(const char *p) {
        while (*p != '\0') {
            while (is_separator(*p))
                ++p;
            const char *start = p;
            while (*p != '\0' && !is_separator(*p))
                p += platform::char_length(p, 2);
            component(start, static_cast<size_t>(p - start));
        }
    }
};

bool is_drive_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The current directory as components after "C:"; false (errno set) when it cannot be read.
bool add_current_directory(PathBuilder &path) {
    char cwd[PATH_MAX + 1];
    if (getcwd(cwd, sizeof cwd) == nullptr) {
        if (errno == ERANGE) path.overflow = true;
        return errno == ERANGE;
    }
    path.components(cwd);
    return true;
}

} // namespace

size_t full_path(const char *name, char *out, size_t cap) {
    PathBuilder path;
    const char *p = name;
    if (is_drive_letter(p[0]) && p[1] == ':') {
        char drive[2] = {static_cast<char>(platform::to_upper(static_cast<unsigned char>(p[0]))),
                         ':'};
        path.append(drive, 2);
        path.root = 2;
        p += 2;
        // A drive-relative name is taken from the current directory of that drive: the process's
        // own for C:, the root for a drive that does not exist here.
        if (!is_separator(*p) && drive[0] == 'C' && !add_current_directory(path)) return 0;
    } else if (is_separator(p[0]) && is_separator(p[1])) {
        path.append("\\\\", 2); // a network name keeps its form; no system path names it
        path.root = 2;
        p += 2;
    } else {
        path.append("C:", 2);
        path.root = 2;
        if (!is_separator(*p) && !add_current_directory(path)) return 0;
    }
    path.components(p);
    size_t n = std::strlen(name);
    bool trailing = n > 0 && is_separator(name[n - 1]) && path.length > path.root;
    if (path.length == path.root || trailing) path.append("\\", 1);
    if (path.overflow) {
        if (cap > 0) out[0] = '\0';
        return cap > PathBuilder::kCapacity ? cap : PathBuilder::kCapacity;
    }
    if (path.length >= cap) {
        if (cap > 0) out[0] = '\0';
        return path.length;
    }
    std::memcpy(out, path.text, path.length + 1);
    return path.length;
}

bool refused_in_name(char c) {
    return (c > 0 && c < 32) || std::strchr("*?<>|\"", c) != nullptr;
}

bool to_system_path(const char *path, char *out, size_t cap) {
    const char *p = path;
    if (is_drive_letter(p[0]) && p[1] == ':') {
        if (platform::to_upper(static_cast<unsigned char>(p[0])) != 'C') {
            errno = ENOENT;
            return false;
        }
        p += 2;
        if (*p == '\0') p = "\\";
    } else if (is_separator(p[0]) && is_separator(p[1])) {
        errno = ENOENT;
        return false;
    }
    size_t n = 0;
    while (*p != '\0') {
        size_t len = is_separator(*p) ? 1 : platform::char_length(p, 2);
        if (len == 1 && refused_in_name(*p)) {
            errno = EINVAL; // the dialect's platform has no such name
            return false;
        }
        if (n + len >= cap) {
            errno = ENAMETOOLONG;
            return false;
        }
        if (is_separator(*p))
            out[n] = '/';
        else
            std::memcpy(out + n, p, len);
        n += len;
        p += len;
    }
    if (cap == 0) return false;
    out[n] = '\0';
    return true;
}

bool exists(const char *path) {
    char system_path[PATH_MAX + 1];
    return to_system_path(path, system_path, sizeof system_path) && access(system_path, F_OK) == 0;
}

} // namespace brtl::platform
