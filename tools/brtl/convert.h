// Conversions of host values for the library's calls, all done by the library's Variant
// routines: a failed conversion raises the library's trap, which leaves by the host's exception.
#pragma once

#include <string>
#include <vector>

#include "value.h"

namespace brtl_host {

// The trap a hook raised, carried out of the builtin to the statement that called it.
struct BasicTrap {
    int32_t number;
};

// A failure of the host itself (an unknown name, a wrong argument count).
struct HostError {
    std::string message;
};

// A new Variant holding v converted to vt (VariantChangeType with the runtime's traps).
Value change_type(const Value &v, VARTYPE vt);
int32_t to_i32(const Value &v);
int16_t to_i16(const Value &v);
double to_double(const Value &v);
// A temporary runtime string of the value's text.
BiString to_bistring(const Value &v);
std::string to_text(const Value &v);
// A String value of the text.
Value from_text(const std::string &text);
// A String value adopting a runtime string (a temporary is freed).
Value from_bistring(BiString s);
Value from_double(double d);
Value from_i2(int16_t n);
Value from_i4(int32_t n);
Value from_bool(bool b);
// The elements of an array value (or one value) as Doubles.
std::vector<double> to_doubles(const Value &v);
// True when the condition holds (the library's zero test).
bool is_true(const Value &v);
// Frees a runtime string the host received, by the freeing rule.
void free_bistring(BiString s);

// Holds a runtime string until it is handed to a callee, so that a trap in between frees it.
class OwnedBiString {
  public:
    explicit OwnedBiString(BiString s) : s_(s) {}
    OwnedBiString(const OwnedBiString &) = delete;
    OwnedBiString &operator=(const OwnedBiString &) = delete;
    ~OwnedBiString() {
        if (owned_) free_bistring(s_);
    }
    BiString release() {
        owned_ = false;
        return s_;
    }

  private:
    BiString s_;
    bool owned_ = true;
};

} // namespace brtl_host
