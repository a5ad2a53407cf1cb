// Environ by name, by position and by Variant, and Command: reads of the process environment and
// of the command-line buffer the host fills.
#include <cstring>

#include "brtl/desktop.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "brtl/variant.h"
#include "platform/environment.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"

extern "C" {
BRTL_API char BiBuiltInVar_Command_[256] = {};
}

namespace brtl::desktop {

namespace {

// The highest position EnvironIdx accepts.
constexpr int32_t kLastPosition = 255;

BiString copy_or_empty(const char *text) {
    return text == nullptr ? runtime::empty_string(true) : runtime::temporary_copy(text);
}

// The name without the blanks around it; the name itself when it has none.
BiString trimmed_name(BiString name) {
    uint32_t n = runtime::length_of(name);
    if (n > 0 && name.data[0] != ' ' && name.data[n - 1] != ' ') return name;
    return ZbiBuiltIn_RTrim_(ZbiBuiltIn_LTrim_(name));
}

BiString environ_by_name(BiString name) {
    runtime::OwnedString trimmed(trimmed_name(name));
    if (trimmed.size() == 0) return runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    return copy_or_empty(platform::environment_value(trimmed.data()));
}

BiString environ_by_position(int32_t position) {
    if (position < 1 || position > kLastPosition)
        return runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    return copy_or_empty(platform::environment_entry(position));
}

// A String Variant's text as a temporary runtime string; false after trap 7.
bool variant_text(VARIANT *v, BiString &out) {
    uint32_t bytes = 0;
    char *text = ZbiOleToChar(v->bstrVal, &bytes);
    if (text == nullptr) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    out = runtime::adopt_buffer(text, bytes);
    return true;
}

// The Integer a numeric Variant converts to with the runtime's traps; false after a trap.
bool position_of(VARIANT *v, int32_t &position) {
    uint64_t before = runtime::traps_raised();
    variant::OwnedVariant converted;
    ZbiVariantChangeTypeAndTrap(converted.get(), v, VT_I2);
    if (runtime::traps_raised() != before || converted->vt != VT_I2) return false;
    position = converted->iVal;
    return true;
}

BiString environ_by_variant(VARIANT *v) {
    switch (v->vt) {
    case VT_BSTR: {
        BiString name;
        bool converted = variant_text(v, name);
        BiXVariantClear(v);
        return converted ? environ_by_name(name) : runtime::empty_string(true);
    }
    case VT_I2:
        return environ_by_position(v->iVal);
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE: {
        int32_t position = 0;
        if (!position_of(v, position)) return runtime::empty_string(true);
        return environ_by_position(position);
    }
    case VT_EMPTY:
        return environ_by_position(0);
    case VT_NULL:
        return runtime::empty_after_trap(BI_TRAP_INVALID_USE_OF_NULL);
    case VT_ERROR:
        return runtime::empty_after_trap(BI_TRAP_TYPE_MISMATCH);
    default:
        return runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    }
}

} // namespace

} // namespace brtl::desktop

extern "C" {

BRTL_API BiString ZbiBuiltIn_EnvironStr(BiString name) {
    return brtl::desktop::environ_by_name(name);
}

BRTL_API BiString ZbiBuiltIn_EnvironIdx(int32_t position) {
    return brtl::desktop::environ_by_position(position);
}

BRTL_API BiString ZbiBuiltIn_EnvironVar(VARIANT v) {
    brtl::variant::OwnedVariant owned(&v);
    return brtl::desktop::environ_by_variant(&v);
}

BRTL_API BiString ZbiBuiltIn_Command_(void) {
    size_t n = strnlen(BiBuiltInVar_Command_, sizeof BiBuiltInVar_Command_);
    return brtl::runtime::temporary_copy(BiBuiltInVar_Command_, n);
}

} // extern "C"
