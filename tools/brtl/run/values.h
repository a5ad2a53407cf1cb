// The interpreter's handling of typed storage: reading and writing slots, taking temporaries,
// and the operations that depend on a kind (conversions, printing, file items).
#pragma once

#include <cstdint>
#include <cstring>

#include "lang/program.h"

namespace brtl::basic {

template <typename T> inline T load(const void *p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename T> inline void save(void *p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// Copies a number of 2, 4 or 8 bytes (or any other size) between slots.
inline void copy_bytes(void *d, const void *s, uint32_t size) {
    switch (size) {
    case 2:
        std::memcpy(d, s, 2);
        return;
    case 4:
        std::memcpy(d, s, 4);
        return;
    case 8:
        std::memcpy(d, s, 8);
        return;
    default:
        std::memcpy(d, s, size);
        return;
    }
}

// The String in a slot; a temporary is taken (the slot is left empty).
BiString take_string(void *p, bool temp);
// The Variant in a slot, which must be a temporary: taken, the slot left Empty.
VARIANT take_variant(void *p);
// Releases what a String or Variant temporary holds (a String whatever its flag says).
void release_temp(void *p, Kind kind);

// d = a converted between kinds (k = from << 4 | to); a String or Variant temporary a is taken.
void convert(uint8_t kinds, void *d, void *a, bool temp);
// -1 or 0 of a value of kind k (the Boolean storage).
int16_t to_boolean(Kind k, void *a, bool temp);
// The truth of a condition of kind k.
bool truth_of(Kind k, void *a, bool temp);
// The typed arithmetic of the kind.
void arithmetic(Op op, Kind k, void *d, const void *a, const void *b);
// Integer -1 or 0: a (cond) b in kind k.
int16_t compare_values(Kind k, uint32_t condition, void *a, void *b, bool temp_a, bool temp_b);
// The 32-bit operand of a bitwise operator.
int32_t bits_of(Kind k, const void *a);

void print_value(Kind k, void *a, bool temp);
void file_print_value(int16_t number, Kind k, void *a, bool temp);

// Whether a < b, a <= b, a > b, a >= b, a = b or a <> b holds, by the operator's table code.
template <typename T> inline bool holds(uint32_t condition, T a, T b) {
    switch (condition) {
    case BI_OP_LT:
        return a < b;
    case BI_OP_LE:
        return a <= b;
    case BI_OP_GT:
        return a > b;
    case BI_OP_GE:
        return a >= b;
    case BI_OP_EQ:
        return a == b;
    default:
        return a != b;
    }
}

} // namespace brtl::basic
