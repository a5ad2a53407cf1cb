// The key-string compiler of SendKeys: the notation to a list of key-down and key-up events.
#pragma once

#include <cstddef>
#include <cstdint>

#include "brtl/desktop.h"

namespace brtl::desktop {

// Window messages of the key events.
constexpr uint32_t kKeyDown = 256;
constexpr uint32_t kKeyUp = 257;
constexpr uint32_t kSysKeyDown = 260;
constexpr uint32_t kSysKeyUp = 261;

// The most events a list (and the playback queue) holds; more is failure 2.
constexpr size_t kMaxKeyEvents = size_t{1} << 24;

// Failure codes of the engine.
enum class KeyFailure { None = 0, Syntax = 1, NoMemory = 2, NoWindow = 3 };

// A growable list of events on the host library's allocator, grown by whole blocks of 256
// records.
class KeyList {
  public:
    KeyList() = default;
    KeyList(const KeyList &) = delete;
    KeyList &operator=(const KeyList &) = delete;
    ~KeyList();

    // Appends one event; false when the list is full or memory runs out.
    bool push(uint32_t message, uint32_t key) {
        if (count_ == capacity_ && !reserve(count_ + 1)) return false;
        events_[count_++] = BrtlKeyEvent{message, key};
        return true;
    }
    // Makes room for n more events; false when they do not fit or memory runs out.
    bool reserve_more(size_t n) {
        if (n > kMaxKeyEvents - count_) return false;
        return count_ + n <= capacity_ || reserve(count_ + n);
    }
    // Appends every event of other; false (nothing appended) when they do not fit.
    bool append(const KeyList &other);
    void clear();

    const BrtlKeyEvent *data() const { return events_; }
    size_t size() const { return count_; }

  private:
    bool reserve(size_t wanted);

    BrtlKeyEvent *events_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

// Compiles the NUL-terminated key string into out (appending); on failure out may hold part of
// the string's events, which the caller discards.
KeyFailure compile_keys(const char *keys, KeyList &out);

} // namespace brtl::desktop
