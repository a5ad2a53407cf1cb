// The text a sequential read collects: a small buffer of bytes that always keeps room for a
// terminating NUL and stops at the largest runtime string.
#pragma once

#include <cstddef>

#include "runtime/small_buffer.h"

namespace brtl::fileio {

class ByteBuffer {
  public:
    // Appends a byte; false when the buffer cannot grow (no memory, or past the largest
    // runtime string).
    bool push(char c) {
        return bytes_.size() < kLargest && bytes_.reserve(bytes_.size() + 2) && bytes_.push(c);
    }
    // Appends n bytes; false when the buffer cannot grow.
    bool append(const char *bytes, size_t n) {
        if (n > kLargest - bytes_.size() || !bytes_.reserve(bytes_.size() + n + 1)) return false;
        bytes_.append(bytes, n);
        return true;
    }
    // Drops trailing spaces and tabs, keeping at least the first keep bytes.
    void trim_blanks(size_t keep = 0) {
        size_t n = bytes_.size();
        while (n > keep && (bytes_[n - 1] == ' ' || bytes_[n - 1] == '\t'))
            --n;
        bytes_.shrink(n);
    }
    void clear() { bytes_.clear(); }
    // The bytes, NUL-terminated (every push keeps room for the NUL).
    char *c_str() {
        bytes_.data()[bytes_.size()] = '\0';
        return bytes_.data();
    }
    const char *data() const { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }

  private:
    static constexpr size_t kLargest = 0x7FFFFFFF;
    runtime::SmallBuffer<char, 256> bytes_;
};

} // namespace brtl::fileio
