// A growable array of plain values for the hot paths: the first N elements live inside the
// object (on the caller's stack), more come from ZrMalloc. A failed allocation does not throw: the
// buffer keeps what it had, drops the rest and remembers the failure, which the caller turns
// into trap 7 at one place.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "brtl/host.h"

namespace brtl::runtime {

template <typename T, size_t N> class SmallBuffer {
    static_assert(std::is_trivially_copyable_v<T>, "the buffer moves its elements with memcpy");

  public:
    SmallBuffer() = default;
    SmallBuffer(const SmallBuffer &) = delete;
    SmallBuffer &operator=(const SmallBuffer &) = delete;
    ~SmallBuffer() {
        if (data_ != inline_) ZrFree(data_);
    }

    T *data() { return data_; }
    const T *data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // False once an allocation failed; the contents are then incomplete.
    bool ok() const { return !failed_; }
    T &operator[](size_t i) { return data_[i]; }
    const T &operator[](size_t i) const { return data_[i]; }
    T &back() { return data_[size_ - 1]; }

    void clear() { size_ = 0; }
    void shrink(size_t n) {
        if (n < size_) size_ = n;
    }
    // Room for n elements in all; false when it cannot be made.
    bool reserve(size_t n) { return n <= capacity_ || grow(n); }
    // Appends a value; false when the buffer cannot grow.
    bool push(const T &value) {
        if (size_ == capacity_ && !grow(size_ + 1)) return false;
        data_[size_++] = value;
        return true;
    }
    void append(const T *values, size_t n) {
        if (n == 0 || (size_ + n > capacity_ && !grow(size_ + n))) return;
        std::memcpy(data_ + size_, values, n * sizeof(T));
        size_ += n;
    }
    // Inserts n values before position at (at <= size()).
    void insert(size_t at, const T *values, size_t n) {
        if (n == 0 || (size_ + n > capacity_ && !grow(size_ + n))) return;
        std::memmove(data_ + at + n, data_ + at, (size_ - at) * sizeof(T));
        std::memcpy(data_ + at, values, n * sizeof(T));
        size_ += n;
    }
    void reverse() {
        for (size_t i = 0, j = size_; i + 1 < j; ++i, --j) {
            T t = data_[i];
            data_[i] = data_[j - 1];
            data_[j - 1] = t;
        }
    }

  private:
    bool grow(size_t needed) {
        if (failed_) return false;
        size_t capacity = capacity_ * 2 > needed ? capacity_ * 2 : needed;
        T *block = capacity <= static_cast<size_t>(-1) / sizeof(T)
                       ? static_cast<T *>(ZrMalloc(capacity * sizeof(T)))
                       : nullptr;
        if (block == nullptr) {
            failed_ = true;
            return false;
        }
        std::memcpy(block, data_, size_ * sizeof(T));
        if (data_ != inline_) ZrFree(data_);
        data_ = block;
        capacity_ = capacity;
        return true;
    }

    T inline_[N];
    T *data_ = inline_;
    size_t size_ = 0;
    size_t capacity_ = N;
    bool failed_ = false;
};

} // namespace brtl::runtime
