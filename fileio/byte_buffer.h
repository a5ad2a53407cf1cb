// A growable byte buffer for the text a sequential read collects: a local array first, then a
// heap block (ZrMalloc) that doubles when full, released when the buffer goes out of scope.
#pragma once

#include <cstddef>
#include <cstring>

#include "brtl/host.h"

namespace brtl::fileio {

class ByteBuffer {
  public:
    ByteBuffer() = default;
    ByteBuffer(const ByteBuffer &) = delete;
    ByteBuffer &operator=(const ByteBuffer &) = delete;
    ~ByteBuffer() {
        if (data_ != local_) ZrFree(data_);
    }

    // Appends a byte; false when the buffer cannot grow (no memory, or past the largest
    // runtime string).
    bool push(char c) {
        if (size_ + 1 == capacity_ && !grow()) return false;
        data_[size_++] = c;
        return true;
    }
    // Drops trailing spaces and tabs, keeping at least the first keep bytes.
    void trim_blanks(size_t keep = 0) {
        while (size_ > keep && (data_[size_ - 1] == ' ' || data_[size_ - 1] == '\t'))
            --size_;
    }
    void clear() { size_ = 0; }
    // The bytes, NUL-terminated (there is always room for the NUL).
    char *c_str() {
        data_[size_] = '\0';
        return data_;
    }
    const char *data() const { return data_; }
    size_t size() const { return size_; }

  private:
    static constexpr size_t kLocal = 256;
    static constexpr size_t kLargest = 0x7FFFFFFF;

    bool grow() {
        if (capacity_ > kLargest) return false;
        size_t capacity = capacity_ * 2;
        char *data;
        if (data_ == local_) {
            data = static_cast<char *>(ZrMalloc(capacity));
            if (data != nullptr) std::memcpy(data, local_, size_);
        } else {
            data = static_cast<char *>(ZrRealloc(data_, capacity));
        }
        if (data == nullptr) return false;
        data_ = data;
        capacity_ = capacity;
        return true;
    }

    char local_[kLocal];
    char *data_ = local_;
    size_t size_ = 0;
    size_t capacity_ = kLocal;
};

} // namespace brtl::fileio
