// The name handling of the file-system builtins.
#include "fileio/names.h"

#include <cerrno>
#include <cstring>

#include "brtl/host.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

bool NameArgument::accept(int32_t too_long_trap) {
    size_t n = owned_.size();
    if (n > kMaxName || std::memchr(owned_.data(), '\0', n) != nullptr) {
        runtime::raise_file_trap(too_long_trap, subject());
        return false;
    }
    const char *name = owned_.data();
    for (size_t i = 0; i < n;) { // a trail byte of a double-byte character is never changed
        size_t len = platform::char_length(name + i, n - i);
        std::memcpy(text_ + i, name + i, len);
        if (len == 1 && text_[i] == '/') text_[i] = '\\';
        i += len;
    }
    resize(n);
    return true;
}

BiString NameArgument::subject() const {
    return subject_of(owned_.data(), owned_.size());
}

bool open_in_file_table(const char *name) {
    char full[platform::kMaxFullPath + 1];
    size_t n = platform::full_path(name, full, sizeof full);
    if (n == 0 || n >= sizeof full) return false;
    FileRecord *const *slots = table::slots();
    for (int k = 0; k < kFileNumbers; ++k)
        if (slots[k] != nullptr && ZrStrICmp(slots[k]->path, full) == 0) return true;
    return false;
}

int crt_errno_of(int system_errno) {
    return platform::crt_errno(system_errno);
}

} // namespace brtl::fileio
