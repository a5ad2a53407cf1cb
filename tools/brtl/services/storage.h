// Typed storage: the kinds of value a variable, an array element or a record field holds, the
// layout of records, and the arrays a program keeps in the library's array storage.
#pragma once

#include <cstdint>

#include "brtl/brtl.h"

namespace brtl::rt {

// What a piece of storage holds. Boolean variables are Integers and Date variables Variants;
// the checks that keep them so are the assignments', not the storage's.
enum class Kind : uint8_t {
    Integer,
    Long,
    Single,
    Double,
    Currency,
    String,
    Fixed,
    Variant,
    Record
};

struct RecordLayout;

// The type of one piece of storage: its kind, the length of a fixed-length string, the layout
// of a record.
struct TypeRef {
    Kind kind;
    uint32_t length;
    const RecordLayout *record;
};

// One field of a record, at its offset in memory.
struct Field {
    const char *name;
    TypeRef type;
    uint32_t offset;
};

// A user type in memory: its fields in order, each aligned as a C structure aligns it, and its
// length in a file (the dialect's record length: Integer 2, Long 4, Single 4, Double 8,
// Currency 8, String * n n bytes, a String 4, a Variant 16, a nested record its own length).
struct RecordLayout {
    const char *name;
    uint32_t size;
    uint32_t align;
    uint32_t file_length;
    const Field *fields;
    uint32_t count;
};

// Bytes of memory the kind takes (a fixed-length string n + 1, for its NUL).
uint32_t storage_size(const TypeRef &type);
uint32_t storage_align(const TypeRef &type);
// The dialect's length of a value of the type in a record (Len of a record).
uint32_t file_length(const TypeRef &type);

// Makes p hold the empty value of its type (0, "", a fixed-length string of NUL characters,
// Empty, a record of empty fields); p's old contents are not looked at.
void init_value(void *p, const TypeRef &type);
// Releases what p holds (strings, Variants, the fields of a record) and leaves it empty.
void clear_value(void *p, const TypeRef &type);
// Replaces what dst holds by a copy of src (strings copied, Variants copied).
void copy_value(void *dst, const void *src, const TypeRef &type);
// LSet of one record over another of another type: the bytes of src's record layout (its file
// layout, no gaps) over dest's, as many as both have; dest keeps the rest. Neither holds a String
// or a Variant.
void lset_record(void *dest, const RecordLayout &dest_layout, const void *src,
                 const RecordLayout &src_layout);
// True when values of the type hold something to release (a String, a Variant, or a record
// with one of them).
bool needs_release(const TypeRef &type);

// ---- Arrays ----------------------------------------------------------------------------------

constexpr int32_t kMaxDimensions = 8;

// An array: the library's descriptor of its element storage, then the bounds. The elements lie
// with the first subscript varying fastest, so ReDim Preserve of the last dimension keeps them.
struct Array {
    BiArrayDesc desc;
    int32_t dims; // 0 while a dynamic array has no storage
    int32_t lower[kMaxDimensions];
    int32_t count[kMaxDimensions];
};

// Gives the array its bounds and fresh storage of empty elements (ReDim). With preserve, the
// elements that both shapes hold keep their values; only the last dimension may change then
// (trap 9 otherwise). The old storage is released.
void array_redim(Array &a, const TypeRef &element, int32_t dims, const int32_t *lower,
                 const int32_t *upper, bool preserve);
// Erase of a dynamic array (and the end of any array's life): releases the elements, frees the
// storage, forgets the bounds.
void array_free(Array &a, const TypeRef &element);
// Erase of a fixed-size array: every element becomes empty again.
void array_reset(Array &a, const TypeRef &element);
// The address of the element at the subscripts (trap 9 outside the bounds).
void *array_element(Array &a, const int32_t *subscripts, int32_t n);
inline void *array_element1(Array &a, int32_t i);
// LBound / UBound of dimension dim (1-based); trap 9 for a dimension it does not have.
int32_t array_bound(const Array &a, int32_t dim, bool upper);
[[noreturn]] void subscript_out_of_range();

// The element's address is computed here as the library's ZbiArrayElementAddr computes it (the
// descriptor's layout is the translated code's), without a call on every subscript.
inline void *array_element1(Array &a, int32_t i) {
    uint32_t index = static_cast<uint32_t>(i) - static_cast<uint32_t>(a.lower[0]);
    if (a.dims != 1 || index >= static_cast<uint32_t>(a.count[0])) subscript_out_of_range();
    return static_cast<char *>(a.desc.data) + static_cast<size_t>(a.desc.element_size) * index;
}
// The same where the element's C type is known (translated code): its size is the compiler's.
template <typename T> inline void *array_element1(Array &a, int32_t i) {
    uint32_t index = static_cast<uint32_t>(i) - static_cast<uint32_t>(a.lower[0]);
    if (a.dims != 1 || index >= static_cast<uint32_t>(a.count[0])) subscript_out_of_range();
    return static_cast<T *>(a.desc.data) + index;
}

// ---- Arrays in Variants ----------------------------------------------------------------------

// An array of Variants held by a Variant (what Array(...) makes): an object with a reference
// count, so that the library's copy and clear of the Variant take and drop references.
VARIANT make_variant_array(int32_t lower, int32_t count);
// The array a Variant holds, or null when it holds none.
Array *variant_array(const VARIANT &v);
// VarType of a Variant: 8204 (an array of Variants) for an array, else its subtype.
int16_t var_type(const VARIANT &v);
constexpr int16_t kVarTypeArrayOfVariants = 8192 + VT_VARIANT;

} // namespace brtl::rt
