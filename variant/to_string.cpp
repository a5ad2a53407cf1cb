// Conversion of a Variant to a string Variant.
#include "brtl/format.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace {

// The plain text of a value by the format engine's empty format, as a string Variant in dst.
void store_text(VARIANT *dst, int32_t kind, const void *value) {
    BiString text = ZbiBuiltIn_Format_(kind, value, brtl::runtime::empty_string());
    ZbiEvalCvtSV(dst, text);
}

} // namespace

extern "C" {

BRTL_API void ZbiVariantCvtToBStr(VARIANT *dst, VARIANT *src) {
    switch (src->vt) {
    case VT_EMPTY: {
        BSTR empty = SysAllocStringLen(nullptr, 0);
        dst->vt = VT_BSTR;
        dst->bstrVal = empty;
        if (empty == nullptr) {
            dst->vt = VT_EMPTY;
            brtl::runtime::raise_trap(BI_TRAP_OUT_OF_STRING_SPACE);
        }
        return;
    }
    case VT_BSTR:
        if (dst != src) *dst = *src; // dst takes over the source's string
        if (src->bstrVal == nullptr) {
            dst->vt = VT_EMPTY;
            brtl::runtime::raise_trap(BI_TRAP_OUT_OF_STRING_SPACE);
        }
        return;
    case VT_NULL:
        brtl::runtime::raise_trap(BI_TRAP_INVALID_USE_OF_NULL);
        return;
    case VT_I2:
    case VT_BOOL: {
        int16_t value = src->iVal;
        store_text(dst, BI_FORMAT_INTEGER, &value);
        return;
    }
    case VT_I4: {
        int32_t value = src->lVal;
        store_text(dst, BI_FORMAT_LONG, &value);
        return;
    }
    case VT_R4: {
        float value = src->fltVal;
        store_text(dst, BI_FORMAT_SINGLE, &value);
        return;
    }
    case VT_R8: {
        double value = src->dblVal;
        store_text(dst, BI_FORMAT_DOUBLE, &value);
        return;
    }
    case VT_CY: {
        int64_t value = src->cyVal;
        store_text(dst, BI_FORMAT_CURRENCY, &value);
        return;
    }
    case VT_DATE: {
        VARIANT value = *src;
        store_text(dst, BI_FORMAT_VARIANT, &value);
        return;
    }
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_VARIANT:
    case VT_UNKNOWN:
        brtl::runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
        return;
    default:
        brtl::runtime::raise_trap(BI_TRAP_UNSUPPORTED);
        return;
    }
}

} // extern "C"
