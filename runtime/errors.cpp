// The builtins of error handling (Error$, CVErr, Debug.Assert) and the OLE result mapping.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "brtl/host.h"
#include "brtl/runtime.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "runtime/placeholders.h"

namespace brtl::runtime {

size_t strip_placeholders(char *text) {
    char *out = text;
    for (const char *in = text; *in;) {
        if (in[0] != '%' || in[1] != 's') {
            *out++ = *in++;
            continue;
        }
        in += 2;
        if (out > text && out[-1] == '\'' && *in == '\'') {
            --out;
            ++in;
        }
        if (*in == ' ') ++in;
    }
    while (out > text && out[-1] == ' ')
        --out;
    *out = '\0';
    return static_cast<size_t>(out - text);
}

} // namespace brtl::runtime

extern "C" {

BRTL_API int32_t ZbiCvtHResultToTrapNo(HRESULT hr) {
    switch (static_cast<uint32_t>(hr)) {
    case 0:
        return 0;
    case 0x80020005u:
        return BI_TRAP_TYPE_MISMATCH;
    case 0x8002000Au:
        return BI_TRAP_OVERFLOW;
    case 0x8007000Eu:
        return BI_TRAP_OUT_OF_MEMORY;
    default:
        return BI_TRAP_ILLEGAL_CALL;
    }
}

BRTL_API BiString ZbiBuiltIn_Error_(int32_t trap) {
    if (trap < 0) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return brtl::runtime::empty_string();
    }
    const char *text = brtl::runtime::host_text(trap);
    if (text == nullptr || *text == '\0') return brtl::runtime::empty_string();
    BiString s = brtl::runtime::temporary_copy(text);
    if (brtl::runtime::length_of(s) == 0) return s;
    size_t n = brtl::runtime::strip_placeholders(s.data);
    if (n == 0) {
        ZrFree(s.data); // nothing left: the empty result must not hold a buffer
        return brtl::runtime::empty_string(true);
    }
    return BiString{s.data, static_cast<uint32_t>(n) | BI_STRING_TEMP_FLAG};
}

BRTL_API VARIANT *ZbiBuiltIn_CVErr(VARIANT *result, int32_t code) {
    result->vt = VT_ERROR;
    if (code < 0 || code > 65535) {
        result->scode = BI_TRAP_ILLEGAL_CALL;
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return result;
    }
    result->scode = code;
    return result;
}

BRTL_API void ZbiBuiltIn_Assert(BiString message, BiString source, uint32_t line, int32_t count,
                                ...) {
    brtl::runtime::OwnedString message_guard(message);
    brtl::runtime::OwnedString source_guard(source);
    bool failed = false;
    va_list ap;
    va_start(ap, count);
    int16_t words = static_cast<int16_t>(count);
    for (int16_t i = 0; i < words && !failed; ++i)
        failed = static_cast<int16_t>(va_arg(ap, int)) == 0;
    va_end(ap);
    if (!failed) return;
    static const char kFormat[] = "The following assertion failed in %s at line %lu: %s\n";
    size_t size = sizeof kFormat + source_guard.size() + message_guard.size() + 20;
    brtl::runtime::ZrBuffer<char> buffer(static_cast<char *>(ZrMalloc(size)));
    if (buffer) {
        ZrSnprintf(buffer.get(), size, kFormat, source_guard.data(),
                   static_cast<unsigned long>(line), message_guard.data());
        std::fputs(buffer.get(), stderr);
    }
    buffer.reset();
    message_guard.reset();
    source_guard.reset();
    brtl::runtime::raise_trap(BI_TRAP_ASSERTION);
}

} // extern "C"
