// The name handling shared by the file-system builtins: the 260-byte limit, "/" turned into "\",
// and whether a name's full path is open in the file table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "brtl/types.h"
#include "runtime/bistring.h"

namespace brtl::fileio {

constexpr size_t kMaxName = 260;

// A name argument, owned by the builtin (a temporary is freed at the end of its scope).
class NameArgument {
  public:
    explicit NameArgument(BiString name) : owned_(name) {}

    // The common name handling: a name over 260 bytes (or holding a NUL) raises too_long_trap
    // through the file trap hook with the name as subject; otherwise the name is normalized.
    // False after the trap.
    bool accept(int32_t too_long_trap = BI_TRAP_BAD_FILE_NAME);
    // The normalized name, NUL-terminated, with room for `kSpare` more bytes.
    char *text() { return text_; }
    size_t size() const { return size_; }
    void resize(size_t n) {
        size_ = n;
        text_[n] = '\0';
    }
    // The name as given, as a fresh subject for the file trap hook.
    BiString subject() const;
    static constexpr size_t kSpare = 8;

  private:
    runtime::OwnedString owned_;
    char text_[kMaxName + kSpare + 1] = {};
    size_t size_ = 0;
};

// True when the full path of the name is that of a file open in the file table (ignoring case).
bool open_in_file_table(const char *name);

// The dialect's errno number of the system's errno value (recording the system error code).
int crt_errno_of(int system_errno);

} // namespace brtl::fileio
