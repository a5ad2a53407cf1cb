// Clear and copy of Variants, including the host's object subtype 15, whose reference count
// lives in the low 26 bits of the 32-bit word at byte 28 of the host object.
#include <cstring>

#include "brtl/platform.h"
#include "brtl/variant.h"

namespace {

constexpr uint32_t kCountMask = 0x03FFFFFFu;

// Adds delta to the 26-bit count, wrapping within those bits and keeping the host's six.
void adjust_host_count(const VARIANT *v, int delta) {
    auto *object = static_cast<unsigned char *>(v->byref);
    if (object == nullptr) return;
    uint32_t word;
    std::memcpy(&word, object + 28, sizeof word);
    uint32_t count = (word + static_cast<uint32_t>(delta)) & kCountMask;
    word = (word & ~kCountMask) | count;
    std::memcpy(object + 28, &word, sizeof word);
}

} // namespace

extern "C" {

BRTL_API HRESULT BiXVariantClear(VARIANT *v) {
    if (v->vt == VT_HOST_OBJECT) {
        adjust_host_count(v, -1);
        VariantInit(v);
        return S_OK;
    }
    return VariantClear(v);
}

BRTL_API HRESULT BiXVariantCopy(VARIANT *dst, const VARIANT *src) {
    if (src->vt == VT_HOST_OBJECT) {
        if (dst == src) return S_OK;
        VARIANT source = *src;
        HRESULT hr = BiXVariantClear(dst);
        if (hr != S_OK) return hr;
        adjust_host_count(&source, +1);
        *dst = source;
        return S_OK;
    }
    if (dst->vt == VT_HOST_OBJECT) BiXVariantClear(dst);
    return VariantCopy(dst, src);
}

BRTL_API HRESULT BiXVariantCopyInd(VARIANT *dst, const VARIANT *src) {
    if ((src->vt & VT_BYREF) == 0) return BiXVariantCopy(dst, src);
    if (dst->vt == VT_HOST_OBJECT && dst != src) BiXVariantClear(dst);
    return VariantCopyInd(dst, src);
}

BRTL_API HRESULT ZbiVariantCopyNoClear_(VARIANT *dst, const VARIANT *src) {
    VariantInit(dst);
    return BiXVariantCopy(dst, src);
}

} // extern "C"
