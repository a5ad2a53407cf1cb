// Val and IsNumeric over arbitrary text, under both code pages: the two number grammars.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    fuzz::Input in(data, size);
    brtl_setlocale((in.byte() & 1) != 0 ? "Ja_JP" : "C");
    std::string_view text = in.rest();
    (void)ZbiBuiltIn_Val(fuzz::temporary(text));
    (void)ZbiBuiltIn_IsNumeric(fuzz::string_variant(text));
    return 0;
}
