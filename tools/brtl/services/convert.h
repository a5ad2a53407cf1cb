// Conversions between the types of a program's storage, each through the library's own
// conversion routines so that they round and trap as the dialect does: 6 when the value does not
// fit, 13 when a text or a Variant is no number, 94 for Null where a value is needed. A String or
// Variant argument passed by value is consumed (a temporary string freed, a Variant cleared).
#pragma once

#include <cstdint>

#include "brtl/brtl.h"

namespace brtl::rt {

// True for a Variant that holds nothing to release (no string, object, array or reference):
// clearing or copying it is plain work on its bytes, without the library's routines.
inline bool is_plain(const VARIANT &v) {
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_ERROR:
    case VT_BOOL:
        return true;
    default:
        return false;
    }
}
// Releases what a Variant holds and leaves it Empty.
inline void clear_variant(VARIANT &v) {
    if (!is_plain(v)) BiXVariantClear(&v);
    VariantInit(&v);
}

// A Variant that clears itself: holds a consumed Variant until the routine is done with it.
class VariantGuard {
  public:
    explicit VariantGuard(VARIANT v) : v_(v) {}
    VariantGuard() { VariantInit(&v_); }
    ~VariantGuard() { clear_variant(v_); }
    VariantGuard(const VariantGuard &) = delete;
    VariantGuard &operator=(const VariantGuard &) = delete;
    VARIANT *get() { return &v_; }
    VARIANT release() {
        VARIANT out = v_;
        VariantInit(&v_);
        return out;
    }

  private:
    VARIANT v_;
};

// Holds a consumed string until the routine is done with it (a temporary is freed).
class StringGuard {
  public:
    explicit StringGuard(BiString s) : s_(s) {}
    ~StringGuard();
    StringGuard(const StringGuard &) = delete;
    StringGuard &operator=(const StringGuard &) = delete;
    BiString get() const { return s_; }
    BiString release() {
        BiString out = s_;
        s_ = BiString{const_cast<char *>(""), 0};
        return out;
    }

  private:
    BiString s_;
};

int16_t to_i2(int32_t v);
int16_t to_i2(float v);
int16_t to_i2(double v);
int16_t to_i2(BiCurrency v);
int16_t to_i2(BiString v);
int16_t to_i2(VARIANT v);

int32_t to_i4(float v);
int32_t to_i4(double v);
int32_t to_i4(BiCurrency v);
int32_t to_i4(BiString v);
int32_t to_i4(VARIANT v);

float to_r4(double v);
float to_r4(BiCurrency v);
float to_r4(BiString v);
float to_r4(VARIANT v);

double to_r8(BiCurrency v);
double to_r8(BiString v);
double to_r8(VARIANT v);

BiCurrency to_cy(int32_t v);
BiCurrency to_cy(double v);
BiCurrency to_cy(BiString v);
BiCurrency to_cy(VARIANT v);

// The text of a number as the Variant conversion gives it ("5", "-1.5"); a temporary.
BiString to_str(int16_t v);
BiString to_str(int32_t v);
BiString to_str(float v);
BiString to_str(double v);
BiString to_str(BiCurrency v);
BiString to_str(VARIANT v);

VARIANT to_var(int16_t v);
VARIANT to_var(int32_t v);
VARIANT to_var(float v);
VARIANT to_var(double v);
VARIANT to_var(BiCurrency v);
// A String Variant of the text; a temporary s is freed.
VARIANT to_var(BiString s);
// A copy of a Variant (a reference taken, a string copied).
VARIANT copy_var(const VARIANT &v);

// The Boolean storage: -1 for any value that is not zero, else 0.
int16_t to_bool(int32_t v);
int16_t to_bool(double v);
int16_t to_bool(BiCurrency v);
int16_t to_bool(BiString v);
int16_t to_bool(VARIANT v);
// The Date storage: a Variant of subtype Date (a text read as a date, a number as a serial).
VARIANT to_date(VARIANT v);

// The truth of a condition: the library's zero test (Null counts as false).
bool is_true(VARIANT v);
bool is_true(BiString s);

} // namespace brtl::rt
