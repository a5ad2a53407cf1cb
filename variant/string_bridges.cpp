// The bridges between runtime strings and Variants: a runtime string into a String Variant and a
// Variant into a runtime string.
#include "variant/owned_variant.h"
#include "variant/string_variant.h"

#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"

namespace brtl::variant {

bool store_text_variant(VARIANT *target, const char *text, size_t n) {
    uint32_t count = 0;
    runtime::ZrBuffer<OLECHAR> wide(ZbiCharToOle(text, static_cast<uint32_t>(n), &count));
    BSTR b = wide ? SysAllocStringLen(wide.get(), count) : nullptr;
    if (b == nullptr) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    target->vt = VT_BSTR;
    target->bstrVal = b;
    return true;
}

bool store_short_text_variant(VARIANT *target, const char *text, size_t n) {
    BSTR b = SysAllocStringLen(nullptr, static_cast<uint32_t>(n));
    if (b != nullptr && !platform::widen_bytes(text, n, b)) {
        SysFreeString(b);
        return store_text_variant(target, text, n);
    }
    if (b == nullptr) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    target->vt = VT_BSTR;
    target->bstrVal = b;
    return true;
}

} // namespace brtl::variant

extern "C" {

BRTL_API VARIANT *ZbiEvalCvtSV(VARIANT *result, BiString s) {
    brtl::runtime::OwnedString text(s);
    result->vt = VT_EMPTY;
    brtl::variant::store_text_variant(result, text.data(), text.size());
    return result;
}

BRTL_API BiString ZbiEvalCvtVS(VARIANT v, uint8_t clear) {
    // With the clear flag the Variant is ours to release; without it the caller keeps what it
    // passed, but a string this call converts it into is ours.
    brtl::variant::OwnedVariant owned(clear ? &v : nullptr);
    if (v.vt != VT_BSTR) {
        ZbiVariantCvtToBStr(&v, &v);
        if (v.vt != VT_BSTR) return brtl::runtime::empty_string(true);
        if (!clear) owned.adopt(&v);
    }
    uint32_t bytes = 0;
    brtl::runtime::ZrBuffer<char> text(ZbiOleToChar(v.bstrVal, &bytes));
    if (!text) return brtl::runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    return brtl::runtime::temporary_copy(text.get(), bytes);
}

} // extern "C"
