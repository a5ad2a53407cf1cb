// The predicates on a Variant's kind (IsEmpty, IsNull, IsError, IsDate) and the host's words for
// True and False.
#include "brtl/datetime.h"
#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/texts.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/ops.h"
#include "variant/owned_variant.h"

namespace brtl::variant {

namespace {

constexpr int32_t kParseDateAndTime = 2;

// The multibyte text of a string Variant as a temporary; false (trap 7) when memory runs out.
bool text_of_string(const VARIANT *v, BiString &text) {
    uint32_t bytes = 0;
    char *buffer = ZbiOleToChar(v->bstrVal, &bytes);
    if (buffer == nullptr) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    text = runtime::adopt_buffer(buffer, bytes);
    return true;
}

// Whether the text (a temporary handed to the parser) reads as a date and time, asked quietly.
bool text_is_date(BiString text) {
    OwnedVariant parsed;
    ZbiParseDateAndTime(parsed.get(), text, kParseDateAndTime, 1);
    return parsed->vt == VT_DATE;
}

VARIANT_BOOL boolean(bool x) {
    return x ? -1 : 0;
}

// Keeps v when its subtype is vt (it owns nothing worth keeping then); releases it otherwise.
VARIANT_BOOL is_subtype(VARIANT &v, VARTYPE vt) {
    if (v.vt == vt) return -1;
    BiXVariantClear(&v);
    return 0;
}

// The copies of the host's words for True and False, made on first use and kept.
struct BooleanTexts {
    char *true_text = nullptr;
    char *false_text = nullptr;
};
BooleanTexts g_boolean_texts;

// Fills the cache; false when memory runs out (it is then filled by a later call).
bool boolean_texts_ready() {
    if (g_boolean_texts.true_text != nullptr) return true;
    // Each word is copied before the next is asked for: the host may reuse its buffer.
    const char *word = runtime::host_text(BI_TEXT_TRUE);
    runtime::ZrBuffer<char> true_copy(ZrStrCopy(word != nullptr ? word : ""));
    if (!true_copy) return false;
    word = runtime::host_text(BI_TEXT_FALSE);
    runtime::ZrBuffer<char> false_copy(ZrStrCopy(word != nullptr ? word : ""));
    if (!false_copy) return false;
    g_boolean_texts.false_text = false_copy.release();
    g_boolean_texts.true_text = true_copy.release();
    return true;
}

} // namespace

bool string_is_date(const VARIANT *v) {
    BiString text;
    return text_of_string(v, text) && text_is_date(text);
}

} // namespace brtl::variant

extern "C" {

BRTL_API VARIANT_BOOL ZbiBuiltIn_IsEmpty(VARIANT v) {
    return brtl::variant::is_subtype(v, VT_EMPTY);
}

BRTL_API VARIANT_BOOL ZbiBuiltIn_IsNull(VARIANT v) {
    return brtl::variant::is_subtype(v, VT_NULL);
}

BRTL_API VARIANT_BOOL ZbiBuiltIn_IsError(VARIANT v) {
    return brtl::variant::is_subtype(v, VT_ERROR);
}

BRTL_API VARIANT_BOOL ZbiBuiltIn_IsDate(VARIANT v) {
    if (v.vt == VT_DATE) return -1;
    if (v.vt != VT_BSTR) {
        BiXVariantClear(&v);
        return 0;
    }
    brtl::variant::OwnedVariant owned(&v);
    BiString text;
    bool converted = brtl::variant::text_of_string(&v, text);
    owned.reset(); // the string is released before its text is parsed
    return brtl::variant::boolean(converted && brtl::variant::text_is_date(text));
}

BRTL_API BiString ZbiCvtBooleanToString(int32_t b) {
    if (!brtl::variant::boolean_texts_ready())
        return brtl::runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    if (b != -1 && b != 0) return brtl::runtime::empty_after_trap(BI_TRAP_UNSUPPORTED);
    return brtl::runtime::temporary_copy(b == -1 ? brtl::variant::g_boolean_texts.true_text
                                                 : brtl::variant::g_boolean_texts.false_text);
}

} // extern "C"
