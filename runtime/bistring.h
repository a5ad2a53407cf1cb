// Runtime strings as the library's own code handles them: the shared empty text, the freeing
// rule, fresh temporaries and the guard that applies the freeing rule on every path.
#pragma once

#include <cstddef>
#include <cstdint>

#include "brtl/types.h"

namespace brtl::runtime {

// The shared empty text every empty BiString points at; never freed, never written.
extern char g_empty_text[1];

inline BiString empty_string(bool temporary = false) {
    return BiString{g_empty_text, temporary ? BI_STRING_TEMP_FLAG : 0u};
}
inline uint32_t length_of(BiString s) {
    return s.length_word & BI_STRING_LENGTH_MASK;
}
inline bool is_temporary(BiString s) {
    return (s.length_word & BI_STRING_TEMP_FLAG) != 0;
}

// The freeing rule: a temporary that is not empty is freed; anything else is left alone.
void free_string(BiString s);

// A fresh temporary holding n bytes of text and a NUL. When memory runs out raises trap 7 and
// returns the empty string.
BiString temporary_copy(const char *text, size_t n);
BiString temporary_copy(const char *text);
// As temporary_copy without the trap: false (and out untouched) when memory runs out.
bool try_temporary_copy(const char *text, size_t n, BiString &out);
// A new string owned by a variable (no temporary flag) holding n bytes of text and a NUL; the
// empty string for n = 0. When memory runs out raises trap 7 and returns the empty string.
BiString owned_copy(const char *text, size_t n);
// Releases the old value of a string variable before an assignment and leaves it empty.
void release_variable(BiString &variable);
// Assigns n bytes of text to a string variable: into the block of its old value when that block
// holds them (no allocation in a loop that reads into one variable), else as a new owned copy
// after the old value is released. Trap 7, the variable left empty, when memory runs out.
void assign_variable(BiString &variable, const char *text, size_t n);
// True when the block of a string variable's value holds n bytes and a NUL.
bool variable_holds(const BiString &variable, size_t n);
// Raises the trap and returns the empty temporary: the trap path of a builtin returning a string,
// whose result once a returning hook is back is the empty string.
BiString empty_after_trap(int32_t trap);
// Takes a ZrMalloc buffer of n bytes plus a NUL as a temporary (the empty string for n = 0,
// freeing the buffer).
BiString adopt_buffer(char *buffer, size_t n);

// Holds a BiString argument or temporary and applies the freeing rule when it goes out of
// scope, unless it was released (handed on as a result).
class OwnedString {
  public:
    explicit OwnedString(BiString s) : s_(s) {}
    OwnedString(const OwnedString &) = delete;
    OwnedString &operator=(const OwnedString &) = delete;
    ~OwnedString() {
        if (owned_) free_string(s_);
    }

    const BiString &get() const { return s_; }
    const char *data() const { return s_.data; }
    uint32_t size() const { return length_of(s_); }
    bool temporary() const { return is_temporary(s_); }
    // Gives up ownership and returns the string.
    BiString release() {
        owned_ = false;
        return s_;
    }
    // Frees now (by the freeing rule) instead of at the end of the scope.
    void reset() {
        if (owned_) free_string(s_);
        owned_ = false;
    }

  private:
    BiString s_;
    bool owned_ = true;
};

} // namespace brtl::runtime
