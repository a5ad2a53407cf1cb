// Conversion of a Variant to a string Variant.
#include "brtl/platform.h"
#include "brtl/variant.h"
#include "runtime/frame.h"

extern "C" {

BRTL_API void ZbiVariantCvtToBStr(VARIANT *dst, VARIANT *src) {
    switch (src->vt) {
    case VT_EMPTY: {
        BSTR empty = SysAllocStringLen(nullptr, 0);
        dst->vt = VT_BSTR;
        dst->bstrVal = empty;
        if (empty == nullptr) {
            dst->vt = VT_EMPTY;
            brtl::raise_trap(BI_TRAP_OUT_OF_STRING_SPACE);
        }
        return;
    }
    case VT_BSTR:
        if (dst != src) *dst = *src; // dst takes over the source's string
        if (src->bstrVal == nullptr) {
            dst->vt = VT_EMPTY;
            brtl::raise_trap(BI_TRAP_OUT_OF_STRING_SPACE);
        }
        return;
    case VT_NULL:
        brtl::raise_trap(BI_TRAP_INVALID_USE_OF_NULL);
        return;
    case VT_I2:
    case VT_BOOL:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_VARIANT:
    case VT_UNKNOWN:
        brtl::raise_trap(BI_TRAP_TYPE_MISMATCH);
        return;
    default:
        brtl::raise_trap(BI_TRAP_UNSUPPORTED);
        return;
    }
}

} // extern "C"
