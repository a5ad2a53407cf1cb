/* Compiles the whole interface as C11 and makes a few calls through the shared library. */
#include <stdio.h>
#include <string.h>

#include "brtl/brtl.h"

static int trap_seen;

static int16_t on_trap(int32_t trap) {
    trap_seen = trap;
    return 0;
}

int main(void) {
#if defined(_WIN64)
    _Static_assert(sizeof(VARIANT) == 24, "the system's VARIANT is 24 bytes");
#else
    _Static_assert(sizeof(VARIANT) == 16, "VARIANT is 16 bytes");
#endif
    _Static_assert(offsetof(BiArrayDesc, data) == 16, "the storage pointer is at offset 16");
    _Static_assert(offsetof(BiArrayDesc, byte_size) == 8, "the byte size is at offset 8");

    ZbiInitBasicRTL(NULL, on_trap, NULL, NULL, NULL, NULL, NULL, NULL);

    BiString s = ZbiAllocBiString(3);
    memcpy(s.data, "abc", 4);
    BiString copy = ZbiDuplicateString(s);
    if (BiStringLength(copy) != 3 || strcmp(copy.data, "abc") != 0) return 1;
    ZbiFreeBiString(copy);

    VARIANT v;
    VariantInit(&v);
    s.length_word |= BI_STRING_TEMP_FLAG; /* handed over: ZbiEvalCvtSV frees it */
    ZbiEvalCvtSV(&v, s);
    if (v.vt != VT_BSTR || SysStringLen(v.bstrVal) != 3) return 2;
    VariantClear(&v);

    ZbiBuiltIn_Error_(-1);
    if (trap_seen != 5) return 3;
    ZbiTermBasicRTL();
    puts("ok");
    return 0;
}
