// What every fuzz target shares: quiet hooks (a trap returns, a file trap's subject is freed),
// runtime strings and Variants made from fuzz bytes, and a reader that takes the input apart.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "brtl/brtl.h"

namespace fuzz {

// Traps raised so far in this process, counted by the hooks.
inline long traps_raised = 0;

inline int16_t ignore_trap(int32_t) {
    ++traps_raised;
    return 0;
}
inline int16_t ignore_file_trap(int32_t, BiString subject) {
    ++traps_raised;
    if (BiStringIsTemporary(subject) && BiStringLength(subject) != 0) ZrFree(subject.data);
    return 0;
}
inline void ignore_fatal(int32_t, int32_t, const char *) {}
// The answer of the host's text-compare question (Option Compare Text), set per input.
inline bool host_text_compare = false;
inline uint8_t answer_text_compare() {
    return host_text_compare ? 1 : 0;
}

// Installs the hooks once per process.
inline void init_runtime() {
    static bool ready = [] {
        ZbiInitBasicRTL(brtl_english_text, ignore_trap, ignore_file_trap, ignore_trap, ignore_fatal,
                        nullptr, nullptr, answer_text_compare);
        return true;
    }();
    (void)ready;
}

// The code page of this input: Ja_JP when the selector byte's top bit is set, else "C".
inline void use_code_page(uint8_t selector) {
    brtl_setlocale((selector & 0x80) != 0 ? "Ja_JP" : "C");
}

// A temporary runtime string (ZrMalloc) holding text; the builtin that receives it frees it.
inline BiString temporary(std::string_view text) {
    if (text.empty()) return BiString{const_cast<char *>(""), BI_STRING_TEMP_FLAG};
    auto *data = static_cast<char *>(ZrMalloc(text.size() + 1));
    if (data == nullptr) return BiString{const_cast<char *>(""), BI_STRING_TEMP_FLAG};
    std::memcpy(data, text.data(), text.size());
    data[text.size()] = '\0';
    return BiString{data, static_cast<uint32_t>(text.size()) | BI_STRING_TEMP_FLAG};
}

inline void release(BiString s) {
    if (BiStringIsTemporary(s) && BiStringLength(s) != 0) ZrFree(s.data);
}

// Releases a string variable's value (the empty string is shared and never freed).
inline void free_variable(BiString s) {
    if (BiStringLength(s) != 0) ZrFree(s.data);
}

inline std::string text_of(BiString s) {
    return std::string(s.data, BiStringLength(s));
}

// A String Variant (a BSTR) of the text.
inline VARIANT string_variant(std::string_view text) {
    VARIANT v;
    VariantInit(&v);
    ZbiEvalCvtSV(&v, temporary(text));
    return v;
}

// Takes bytes off the front of the input; past the end every read gives zeros or "".
class Input {
  public:
    Input(const uint8_t *data, size_t size) : p_(data), end_(data + size) {}

    uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
    template <class T> T value() {
        T v{};
        size_t n = std::min(sizeof v, static_cast<size_t>(end_ - p_));
        std::memcpy(&v, p_, n);
        p_ += n;
        return v;
    }
    // Text up to the next NUL byte (dropped) or the end of the input.
    std::string_view text() {
        const uint8_t *start = p_;
        while (p_ < end_ && *p_ != 0)
            ++p_;
        std::string_view t(reinterpret_cast<const char *>(start), static_cast<size_t>(p_ - start));
        if (p_ < end_) ++p_;
        return t;
    }
    std::string_view rest() {
        std::string_view t(reinterpret_cast<const char *>(p_), static_cast<size_t>(end_ - p_));
        p_ = end_;
        return t;
    }
    bool empty() const { return p_ >= end_; }

  private:
    const uint8_t *p_;
    const uint8_t *end_;
};

// A Variant of every subtype a builtin may meet, chosen and filled from the input.
inline VARIANT any_variant(Input &in) {
    VARIANT v;
    VariantInit(&v);
    switch (in.byte() % 10) {
    case 0:
        break; // Empty
    case 1:
        v.vt = VT_NULL;
        break;
    case 2:
        v.vt = VT_I2;
        v.iVal = in.value<int16_t>();
        break;
    case 3:
        v.vt = VT_I4;
        v.lVal = in.value<int32_t>();
        break;
    case 4:
        v.vt = VT_R4;
        v.fltVal = in.value<float>();
        break;
    case 5:
        v.vt = VT_R8;
        v.dblVal = in.value<double>();
        break;
    case 6:
        v.vt = VT_CY;
        v.cyVal = in.value<int64_t>();
        break;
    case 7:
        v.vt = VT_DATE;
        v.date = in.value<double>();
        break;
    case 8:
        v.vt = VT_BOOL;
        v.boolVal = static_cast<VARIANT_BOOL>((in.byte() & 1) != 0 ? -1 : 0);
        break;
    default:
        v = string_variant(in.text());
        break;
    }
    return v;
}

} // namespace fuzz
