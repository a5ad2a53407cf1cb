#include "storage.h"

#include <cstring>
#include <new>
#include <vector>

#include "convert.h"
#include "core.h"
#include "strings.h"

namespace brtl::rt {

namespace {
constexpr uint32_t kFileLengthOfString = 4;
constexpr uint32_t kFileLengthOfVariant = 16;
} // namespace

uint32_t storage_size(const TypeRef &type) {
    switch (type.kind) {
    case Kind::Integer:
        return 2;
    case Kind::Long:
    case Kind::Single:
        return 4;
    case Kind::Double:
    case Kind::Currency:
        return 8;
    case Kind::String:
        return sizeof(BiString);
    case Kind::Fixed:
        return type.length + 1;
    case Kind::Variant:
        return sizeof(VARIANT);
    case Kind::Record:
        return type.record->size;
    }
    return 0;
}

// The alignment of each type is the one its C type has as a member of a structure, so that a
// record's layout is the C structure's in every build (a Double aligns to 4 bytes in a 32-bit x86
// one).
uint32_t storage_align(const TypeRef &type) {
    switch (type.kind) {
    case Kind::Integer:
        return alignof(int16_t);
    case Kind::Long:
        return alignof(int32_t);
    case Kind::Single:
        return alignof(float);
    case Kind::Double:
        return alignof(double);
    case Kind::Currency:
        return alignof(BiCurrency);
    case Kind::Fixed:
        return 1;
    case Kind::String:
        return alignof(BiString);
    case Kind::Variant:
        return alignof(VARIANT);
    case Kind::Record:
        return type.record->align;
    }
    return 1;
}

uint32_t file_length(const TypeRef &type) {
    switch (type.kind) {
    case Kind::String:
        return kFileLengthOfString;
    case Kind::Variant:
        return kFileLengthOfVariant;
    case Kind::Fixed:
        return type.length;
    case Kind::Record:
        return type.record->file_length;
    default:
        return storage_size(type);
    }
}

bool needs_release(const TypeRef &type) {
    if (type.kind == Kind::String || type.kind == Kind::Variant) return true;
    if (type.kind != Kind::Record) return false;
    for (uint32_t i = 0; i < type.record->count; ++i)
        if (needs_release(type.record->fields[i].type)) return true;
    return false;
}

void init_value(void *p, const TypeRef &type) {
    switch (type.kind) {
    case Kind::String:
        *static_cast<BiString *>(p) = empty_string();
        return;
    case Kind::Fixed:
        // A fixed-length string that nothing was assigned to holds NUL characters (assignment
        // pads with blanks).
        std::memset(p, 0, type.length + 1);
        return;
    case Kind::Variant:
        VariantInit(static_cast<VARIANT *>(p));
        return;
    case Kind::Record:
        std::memset(p, 0, type.record->size);
        for (uint32_t i = 0; i < type.record->count; ++i) {
            const Field &f = type.record->fields[i];
            init_value(static_cast<char *>(p) + f.offset, f.type);
        }
        return;
    default:
        std::memset(p, 0, storage_size(type));
        return;
    }
}

void clear_value(void *p, const TypeRef &type) {
    switch (type.kind) {
    case Kind::String:
        release(*static_cast<BiString *>(p));
        return;
    case Kind::Variant:
        clear_variant(*static_cast<VARIANT *>(p));
        return;
    case Kind::Record:
        for (uint32_t i = 0; i < type.record->count; ++i) {
            const Field &f = type.record->fields[i];
            clear_value(static_cast<char *>(p) + f.offset, f.type);
        }
        return;
    default:
        init_value(p, type);
        return;
    }
}

void copy_value(void *dst, const void *src, const TypeRef &type) {
    if (dst == src) return;
    switch (type.kind) {
    case Kind::String:
        assign(*static_cast<BiString *>(dst), *static_cast<const BiString *>(src));
        return;
    case Kind::Variant: {
        HRESULT hr = BiXVariantCopy(static_cast<VARIANT *>(dst), static_cast<const VARIANT *>(src));
        if (hr != S_OK) raise_trap(ZbiCvtHResultToTrapNo(hr));
        return;
    }
    case Kind::Record:
        for (uint32_t i = 0; i < type.record->count; ++i) {
            const Field &f = type.record->fields[i];
            copy_value(static_cast<char *>(dst) + f.offset,
                       static_cast<const char *>(src) + f.offset, f.type);
        }
        return;
    default:
        std::memcpy(dst, src, storage_size(type));
        return;
    }
}

namespace {

// The bytes of a record in its file layout, and back (numbers little-endian as in memory,
// a fixed-length string its n bytes, nested records in place).
void pack(const void *p, const RecordLayout &layout, std::vector<uint8_t> &out) {
    for (uint32_t i = 0; i < layout.count; ++i) {
        const Field &f = layout.fields[i];
        const auto *at = static_cast<const uint8_t *>(p) + f.offset;
        if (f.type.kind == Kind::Record) {
            pack(at, *f.type.record, out);
            continue;
        }
        uint32_t n = file_length(f.type);
        out.insert(out.end(), at, at + n);
    }
}

const uint8_t *unpack(void *p, const RecordLayout &layout, const uint8_t *in) {
    for (uint32_t i = 0; i < layout.count; ++i) {
        const Field &f = layout.fields[i];
        auto *at = static_cast<uint8_t *>(p) + f.offset;
        if (f.type.kind == Kind::Record) {
            in = unpack(at, *f.type.record, in);
            continue;
        }
        uint32_t n = file_length(f.type);
        std::memcpy(at, in, n);
        in += n;
    }
    return in;
}

} // namespace

void lset_record(void *dest, const RecordLayout &dest_layout, const void *src,
                 const RecordLayout &src_layout) {
    std::vector<uint8_t> to, from;
    pack(dest, dest_layout, to);
    pack(src, src_layout, from);
    ZbiBuiltIn_LSetRec(to.data(), static_cast<int32_t>(to.size()), from.data(),
                       static_cast<int32_t>(from.size()));
    unpack(dest, dest_layout, to.data());
}

// ---- Arrays ----------------------------------------------------------------------------------

void subscript_out_of_range() {
    raise_trap(kSubscriptOutOfRange);
}

namespace {

uint32_t element_count(const Array &a) {
    uint64_t n = a.dims > 0 ? 1 : 0;
    for (int32_t d = 0; d < a.dims; ++d)
        n *= static_cast<uint64_t>(a.count[d]);
    return static_cast<uint32_t>(n);
}

void for_each_element(Array &a, const TypeRef &element, void (*f)(void *, const TypeRef &)) {
    if (a.desc.data == nullptr) return;
    uint32_t n = element_count(a);
    for (uint32_t i = 0; i < n; ++i)
        f(ZbiArrayElementAddr(&a.desc, i), element);
}

// The element size and the number of elements of the shape, or trap 9 for a bound below the
// lower bound and 7 for storage beyond what the descriptor can hold.
uint64_t shape_bytes(const TypeRef &element, int32_t dims, const int32_t *lower,
                     const int32_t *upper, int32_t *count) {
    if (dims < 1 || dims > kMaxDimensions) subscript_out_of_range();
    uint64_t n = storage_size(element);
    if (n > UINT16_MAX) raise_trap(BI_TRAP_OUT_OF_MEMORY);
    for (int32_t d = 0; d < dims; ++d) {
        int64_t c = static_cast<int64_t>(upper[d]) - lower[d] + 1;
        if (c < 1) subscript_out_of_range();
        count[d] = static_cast<int32_t>(c);
        n *= static_cast<uint64_t>(c);
        if (n > UINT32_MAX) raise_trap(BI_TRAP_OUT_OF_MEMORY);
    }
    return n;
}

} // namespace

void array_free(Array &a, const TypeRef &element) {
    if (needs_release(element)) for_each_element(a, element, clear_value);
    ZbiFreeArrayData(&a.desc);
    a.desc.byte_size = 0;
    a.dims = 0;
}

void array_reset(Array &a, const TypeRef &element) {
    if (needs_release(element)) for_each_element(a, element, clear_value);
    ZbiClearArray(&a.desc);
    if (element.kind == Kind::String || element.kind == Kind::Fixed ||
        element.kind == Kind::Record || element.kind == Kind::Variant)
        for_each_element(a, element, init_value);
}

namespace {

// Preserve: only the last dimension changes; the storage grows or shrinks at its end.
void redim_preserve(Array &a, const TypeRef &element, int32_t dims, const int32_t *lower,
                    const int32_t *count, uint64_t bytes) {
    if (a.dims != dims) subscript_out_of_range();
    for (int32_t d = 0; d + 1 < dims; ++d)
        if (a.lower[d] != lower[d] || a.count[d] != count[d]) subscript_out_of_range();
    uint32_t old_n = element_count(a);
    uint32_t new_n = static_cast<uint32_t>(bytes / storage_size(element));
    for (uint32_t i = new_n; i < old_n; ++i)
        clear_value(ZbiArrayElementAddr(&a.desc, i), element);
    ZbiReallocArrayData(&a.desc, static_cast<uint32_t>(bytes));
    a.lower[dims - 1] = lower[dims - 1];
    a.count[dims - 1] = count[dims - 1];
    for (uint32_t i = old_n; i < new_n; ++i)
        init_value(ZbiArrayElementAddr(&a.desc, i), element);
}

} // namespace

void array_redim(Array &a, const TypeRef &element, int32_t dims, const int32_t *lower,
                 const int32_t *upper, bool preserve) {
    int32_t count[kMaxDimensions];
    uint64_t bytes = shape_bytes(element, dims, lower, upper, count);
    if (preserve && a.desc.data != nullptr) {
        redim_preserve(a, element, dims, lower, count, bytes);
        return;
    }
    array_free(a, element);
    a.desc.element_size = static_cast<uint16_t>(storage_size(element));
    a.desc.byte_size = static_cast<uint32_t>(bytes);
    ZbiAllocArrayData(&a.desc);
    if (a.desc.data == nullptr) raise_trap(BI_TRAP_OUT_OF_MEMORY);
    a.dims = dims;
    for (int32_t d = 0; d < dims; ++d) {
        a.lower[d] = lower[d];
        a.count[d] = count[d];
    }
    if (element.kind != Kind::Integer && element.kind != Kind::Long &&
        element.kind != Kind::Single && element.kind != Kind::Double &&
        element.kind != Kind::Currency && element.kind != Kind::Variant)
        for_each_element(a, element, init_value);
}

void *array_element(Array &a, const int32_t *subscripts, int32_t n) {
    if (n != a.dims) subscript_out_of_range();
    uint32_t index = 0, stride = 1;
    for (int32_t d = 0; d < n; ++d) {
        uint32_t i = static_cast<uint32_t>(subscripts[d] - a.lower[d]);
        if (i >= static_cast<uint32_t>(a.count[d])) subscript_out_of_range();
        index += i * stride;
        stride *= static_cast<uint32_t>(a.count[d]);
    }
    return ZbiArrayElementAddr(&a.desc, index);
}

int32_t array_bound(const Array &a, int32_t dim, bool upper) {
    if (dim < 1 || dim > a.dims) subscript_out_of_range();
    int32_t d = dim - 1;
    return upper ? a.lower[d] + a.count[d] - 1 : a.lower[d];
}

// ---- Arrays in Variants ----------------------------------------------------------------------

namespace {

constexpr TypeRef kVariantElement{Kind::Variant, 0, nullptr};

struct VariantArray {
    const BrtlUnknownVtbl *vtbl;
    uint32_t references;
    Array array;
};

HRESULT BRTL_COM_CALL query_interface(void *, const void *, void **out) {
    if (out != nullptr) *out = nullptr;
    return E_FAIL;
}

uint32_t BRTL_COM_CALL add_ref(void *self) {
    return ++static_cast<VariantArray *>(self)->references;
}

uint32_t BRTL_COM_CALL release_ref(void *self) {
    auto *object = static_cast<VariantArray *>(self);
    uint32_t left = --object->references;
    if (left == 0) {
        array_free(object->array, kVariantElement);
        delete object;
    }
    return left;
}

const BrtlUnknownVtbl kVariantArrayVtbl = {query_interface, add_ref, release_ref};

} // namespace

VARIANT make_variant_array(int32_t lower, int32_t count) {
    auto *object = new (std::nothrow) VariantArray{&kVariantArrayVtbl, 1, {}};
    if (object == nullptr) raise_trap(BI_TRAP_OUT_OF_MEMORY);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_UNKNOWN;
    v.punkVal = reinterpret_cast<BrtlUnknown *>(object);
    VariantGuard hold(v);
    if (count > 0) {
        int32_t upper = lower + count - 1;
        array_redim(object->array, kVariantElement, 1, &lower, &upper, false);
    }
    return hold.release();
}

Array *variant_array(const VARIANT &v) {
    if (v.vt != VT_UNKNOWN || v.punkVal == nullptr || v.punkVal->vtbl != &kVariantArrayVtbl)
        return nullptr;
    return &reinterpret_cast<VariantArray *>(v.punkVal)->array;
}

int16_t var_type(const VARIANT &v) {
    if (variant_array(v) != nullptr) return kVarTypeArrayOfVariants;
    return static_cast<int16_t>(v.vt);
}

} // namespace brtl::rt
