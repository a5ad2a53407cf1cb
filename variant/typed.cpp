// The bridges between Variants and the typed storage of translated code, and the change of type
// with the runtime's traps.
#include <cstring>

#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "brtl/variant.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/number_text.h"

namespace {

// The subtype a type code converts to, and the bytes it stores; false for codes without one.
bool target_of(int32_t code, VARTYPE &vt, size_t &bytes) {
    switch (code) {
    case BI_TYPE_INTEGER:
        vt = VT_I2, bytes = 2;
        return true;
    case BI_TYPE_LONG32:
    case BI_TYPE_LONG:
        vt = VT_I4, bytes = 4;
        return true;
    case BI_TYPE_SINGLE:
        vt = VT_R4, bytes = 4;
        return true;
    case BI_TYPE_DOUBLE:
        vt = VT_R8, bytes = 8;
        return true;
    case BI_TYPE_CURRENCY:
        vt = VT_CY, bytes = 8;
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" {

BRTL_API int32_t ZbiVariantCvtToVariant(VARIANT *dst, const void *p, int32_t code) {
    switch (code) {
    case BI_TYPE_VARIANT:
        std::memcpy(dst, p, sizeof(VARIANT));
        return 0;
    case BI_TYPE_INTEGER:
        dst->vt = VT_I2;
        std::memcpy(&dst->iVal, p, 2);
        return 0;
    case BI_TYPE_LONG32:
    case BI_TYPE_LONG:
        dst->vt = VT_I4;
        std::memcpy(&dst->lVal, p, 4);
        return 0;
    case BI_TYPE_SINGLE:
        dst->vt = VT_R4;
        std::memcpy(&dst->fltVal, p, 4);
        return 0;
    case BI_TYPE_DOUBLE:
        dst->vt = VT_R8;
        std::memcpy(&dst->dblVal, p, 8);
        return 0;
    case BI_TYPE_CURRENCY:
        dst->vt = VT_CY;
        std::memcpy(&dst->cyVal, p, 8);
        return 0;
    case BI_TYPE_OBJECT:
        dst->vt = VT_BYREF;
        std::memcpy(&dst->byref, p, sizeof(void *));
        return 0;
    case BI_TYPE_STRING: {
        BiString s;
        std::memcpy(&s, p, sizeof s);
        ZbiEvalCvtSV(dst, s);
        return dst->vt == VT_BSTR ? 0 : -1;
    }
    case BI_TYPE_TEXT: {
        const char *text;
        std::memcpy(&text, p, sizeof text);
        brtl::runtime::ZrBuffer<OLECHAR> wide(ZrCharToWide(text != nullptr ? text : ""));
        dst->vt = VT_BSTR;
        dst->bstrVal = wide ? SysAllocString(wide.get()) : nullptr;
        if (dst->bstrVal == nullptr) {
            dst->vt = VT_EMPTY;
            brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
            return -1;
        }
        return 0;
    }
    default:
        dst->vt = VT_EMPTY;
        brtl::runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
        return -1;
    }
}

BRTL_API int32_t ZbiVariantCvtFromVariant(void *p, int32_t code, VARIANT *src) {
    if (code == BI_TYPE_VARIANT) {
        std::memcpy(p, src, sizeof(VARIANT));
        return 0;
    }
    VARTYPE vt = VT_EMPTY;
    size_t bytes = 0;
    if (code == BI_TYPE_STRING) {
        ZbiVariantChangeTypeAndTrap(src, src, VT_BSTR);
        if (src->vt != VT_BSTR) return -1;
        BiString s = ZbiEvalCvtVS(*src, 0);
        std::memcpy(p, &s, sizeof s);
        return 0;
    }
    if (!target_of(code, vt, bytes)) {
        brtl::runtime::raise_trap(BI_TRAP_UNSUPPORTED);
        return -1;
    }
    ZbiVariantChangeTypeAndTrap(src, src, vt);
    if (src->vt != vt) return -1;
    std::memcpy(p, &src->iVal, bytes);
    return 0;
}

// A conversion that already raised its trap inside (a text it could not make for lack of
// memory) is not reported a second time from its HRESULT.
BRTL_API void ZbiVariantChangeTypeAndTrap(VARIANT *dst, VARIANT *src, VARTYPE vt) {
    const uint64_t traps_before = brtl::runtime::traps_raised();
    HRESULT hr;
    if (src->vt == VT_ERROR) {
        VARIANT code = *src; // the error code converts as a Long
        code.vt = VT_I4;
        hr = VariantChangeType(dst, &code, 0, vt);
    } else {
        if (vt >= VT_I2 && vt <= VT_DATE && src->vt == VT_BSTR &&
            !brtl::variant::string_is_numeric(src)) {
            brtl::runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
            return;
        }
        hr = VariantChangeType(dst, src, 0, vt);
    }
    if (dst != src) BiXVariantClear(src);
    int32_t trap = ZbiCvtHResultToTrapNo(hr);
    if (trap != 0 && brtl::runtime::traps_raised() == traps_before) brtl::runtime::raise_trap(trap);
}

} // extern "C"
