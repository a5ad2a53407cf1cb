// The OLE Automation subset: BSTRs (a 32-bit byte count, the UTF-16 units, a NUL unit) and the
// Variant clear and copy primitives. Objects behind VT_DISPATCH and VT_UNKNOWN are reference
// counted through their AddRef and Release entries, as OLE does.
#include <cstdint>
#include <cstring>

#include "brtl/platform.h"
#include "platform/bstr.h"
#include "platform/memory.h"

namespace {

constexpr uint32_t kMaxUnits = (UINT32_MAX - 8) / 2;

uint32_t *prefix_of(BSTR b) {
    return reinterpret_cast<uint32_t *>(b) - 1;
}

bool is_known_base_type(VARTYPE vt) {
    return vt <= VT_UNKNOWN;
}

bool is_valid_type(VARTYPE vt) {
    VARTYPE base = vt & static_cast<VARTYPE>(~VT_BYREF);
    if ((vt & VT_BYREF) != 0)
        return is_known_base_type(base) && base != VT_EMPTY && base != VT_NULL;
    return is_known_base_type(vt);
}

// Copies the 16 bytes of src into dst and takes dst's own share of what src refers to.
HRESULT copy_owned(VARIANT *dst, const VARIANT &src) {
    *dst = src;
    if (src.vt == VT_BSTR && src.bstrVal != nullptr) {
        dst->bstrVal = SysAllocStringLen(src.bstrVal, SysStringLen(src.bstrVal));
        if (dst->bstrVal == nullptr) {
            dst->vt = VT_EMPTY;
            return E_OUTOFMEMORY;
        }
    } else if ((src.vt == VT_DISPATCH || src.vt == VT_UNKNOWN) && src.punkVal != nullptr) {
        src.punkVal->vtbl->AddRef(src.punkVal);
    }
    return S_OK;
}

} // namespace

namespace brtl::platform {

namespace {

// Blocks below this size move by a fresh allocation and a copy (the allocator's per-thread
// cache serves those at once, where realloc takes its slower general path); larger ones by
// realloc, which can move their pages without copying them.
constexpr size_t kCopiedGrowth = 64 * 1024;

// A block of at least `needed` bytes holding the first `used` bytes of block (of `capacity`
// usable bytes), which is given up; null (block unchanged) when memory runs out. A block that
// keeps growing grows by half its capacity again at least, so a string built by repeated
// appends is copied a bounded number of times, while one join of two strings takes only what
// it needs.
void *grown_block(void *block, size_t used, size_t capacity, size_t needed) {
    const size_t grown = needed > capacity + capacity / 2 ? needed : capacity + capacity / 2;
    if (needed >= kCopiedGrowth) {
        void *moved = reallocate(block, grown);
        return moved != nullptr ? moved : reallocate(block, needed);
    }
    void *moved = allocate(grown);
    if (moved == nullptr) moved = allocate(needed);
    if (moved == nullptr) return nullptr;
    std::memcpy(moved, block, used);
    release(block);
    return moved;
}

} // namespace

BSTR append_units(BSTR b, const OLECHAR *units, uint32_t n) {
    uint32_t length = SysStringLen(b);
    if (n > kMaxUnits - length) return nullptr;
    uint32_t total = length + n;
    size_t needed = sizeof(uint32_t) + 2u * size_t{total} + 2u;
    void *block = prefix_of(b);
    const size_t capacity = usable_size(block);
    if (capacity < needed) {
        block = grown_block(block, sizeof(uint32_t) + 2u * size_t{length}, capacity, needed);
        if (block == nullptr) return nullptr;
    }
    auto *prefix = static_cast<uint32_t *>(block);
    prefix[0] = 2u * total;
    BSTR joined = reinterpret_cast<BSTR>(prefix + 1);
    if (n != 0) std::memcpy(joined + length, units, 2u * size_t{n});
    joined[total] = 0;
    return joined;
}

} // namespace brtl::platform

extern "C" {

BRTL_API BSTR SysAllocStringLen(const OLECHAR *text, uint32_t len) {
    if (len > kMaxUnits) return nullptr;
    auto *block =
        static_cast<uint32_t *>(brtl::platform::allocate(sizeof(uint32_t) + 2u * len + 2u));
    if (block == nullptr) return nullptr;
    block[0] = 2u * len;
    BSTR b = reinterpret_cast<BSTR>(block + 1);
    if (text != nullptr) std::memcpy(b, text, 2u * len);
    b[len] = 0;
    return b;
}

BRTL_API BSTR SysAllocString(const OLECHAR *text) {
    if (text == nullptr) return nullptr;
    uint32_t len = 0;
    while (text[len] != 0)
        ++len;
    return SysAllocStringLen(text, len);
}

BRTL_API void SysFreeString(BSTR b) {
    if (b != nullptr) brtl::platform::release(prefix_of(b));
}

BRTL_API uint32_t SysStringLen(BSTR b) {
    return b == nullptr ? 0 : *prefix_of(b) / 2;
}

BRTL_API void VariantInit(VARIANT *v) {
    v->vt = VT_EMPTY;
}

BRTL_API HRESULT VariantClear(VARIANT *v) {
    if (!is_valid_type(v->vt)) return DISP_E_BADVARTYPE;
    switch (v->vt) {
    case VT_BSTR:
        SysFreeString(v->bstrVal);
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (v->punkVal != nullptr) v->punkVal->vtbl->Release(v->punkVal);
        break;
    default:
        break;
    }
    v->vt = VT_EMPTY;
    return S_OK;
}

BRTL_API HRESULT VariantCopy(VARIANT *dst, const VARIANT *src) {
    if (dst == src) return S_OK;
    if (!is_valid_type(src->vt)) return DISP_E_BADVARTYPE;
    VARIANT source = *src; // src may live inside what clearing dst releases
    HRESULT hr = VariantClear(dst);
    if (hr != S_OK) return hr;
    return copy_owned(dst, source);
}

BRTL_API HRESULT VariantCopyInd(VARIANT *dst, const VARIANT *src) {
    if ((src->vt & VT_BYREF) == 0) return VariantCopy(dst, src);
    if (!is_valid_type(src->vt)) return DISP_E_BADVARTYPE;
    VARIANT value{};
    VARTYPE base = src->vt & static_cast<VARTYPE>(~VT_BYREF);
    value.vt = base;
    switch (base) {
    case VT_I2:
        value.iVal = *src->piVal;
        break;
    case VT_BOOL:
        value.boolVal = *src->pboolVal;
        break;
    case VT_I4:
        value.lVal = *src->plVal;
        break;
    case VT_ERROR:
        value.scode = *src->pscode;
        break;
    case VT_R4:
        value.fltVal = *src->pfltVal;
        break;
    case VT_R8:
        value.dblVal = *src->pdblVal;
        break;
    case VT_DATE:
        value.date = *src->pdate;
        break;
    case VT_CY:
        value.cyVal = *src->pcyVal;
        break;
    case VT_BSTR:
        value.bstrVal = *src->pbstrVal;
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        value.punkVal = *src->ppunkVal;
        break;
    case VT_VARIANT:
        value = *src->pvarVal;
        if ((value.vt & VT_BYREF) != 0 || !is_valid_type(value.vt)) return E_INVALIDARG;
        break;
    default:
        return DISP_E_BADVARTYPE;
    }
    // dst may be src itself: value is already read, so clearing dst cannot lose it.
    if (dst != src) {
        HRESULT hr = VariantClear(dst);
        if (hr != S_OK) return hr;
    }
    return copy_owned(dst, value);
}

} // extern "C"
