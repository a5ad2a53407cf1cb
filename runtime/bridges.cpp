// The bridges between runtime strings and Variants, and the two small text helpers of the
// format engine.
#include <cstring>

#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/frame.h"
#include "runtime/guards.h"

extern "C" {

BRTL_API VARIANT *ZbiEvalCvtSV(VARIANT *result, BiString s) {
    brtl::OwnedString text(s);
    uint32_t count = 0;
    brtl::ZrBuffer<OLECHAR> wide(ZbiCharToOle(text.data(), text.size(), &count));
    result->vt = VT_BSTR;
    result->bstrVal = wide ? SysAllocStringLen(wide.get(), count) : nullptr;
    wide.reset();
    text.reset();
    if (result->bstrVal == nullptr) {
        result->vt = VT_EMPTY;
        brtl::raise_trap(BI_TRAP_OUT_OF_MEMORY);
    }
    return result;
}

BRTL_API BiString ZbiEvalCvtVS(VARIANT v, uint8_t clear) {
    // With the clear flag the Variant is ours to release; without it the caller keeps what it
    // passed, but a string this call converts it into is ours.
    brtl::OwnedVariant owned(clear ? &v : nullptr);
    if (v.vt != VT_BSTR) {
        ZbiVariantCvtToBStr(&v, &v);
        if (v.vt != VT_BSTR) return brtl::empty_string(true);
        if (!clear) owned.adopt(&v);
    }
    uint32_t bytes = 0;
    brtl::ZrBuffer<char> text(ZbiOleToChar(v.bstrVal, &bytes));
    if (!text) {
        brtl::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return brtl::empty_string(true);
    }
    return brtl::temporary_copy(text.get(), bytes);
}

BRTL_API int32_t CountLetter(const char **pp, const char *end, uint32_t max) {
    const char *p = *pp;
    int letter = brtl::pf::to_lower(static_cast<unsigned char>(*p));
    uint32_t run = 1;
    ++p;
    while (p < end && run < max && brtl::pf::to_lower(static_cast<unsigned char>(*p)) == letter) {
        ++p;
        ++run;
    }
    *pp = p;
    return static_cast<int32_t>(run);
}

BRTL_API BiFormatStackCell *PushStringOnStack(const char *text, BiFormatStackCell *top) {
    for (const char *p = text; *p; ++p) {
        auto *cell = static_cast<BiFormatStackCell *>(ZrMalloc(sizeof(BiFormatStackCell)));
        if (cell == nullptr) {
            brtl::raise_trap(BI_TRAP_OUT_OF_MEMORY);
            return top;
        }
        cell->ch = *p;
        cell->next = top;
        top = cell;
    }
    return top;
}

} // extern "C"
