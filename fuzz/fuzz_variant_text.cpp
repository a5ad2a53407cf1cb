// A String Variant of arbitrary text converted to a number by the operators' conversion and by
// VariantChangeType to every subtype.
#include "fuzz_support.h"

namespace {
const VARTYPE kTargets[] = {VT_EMPTY, VT_NULL, VT_I2,   VT_I4,   VT_R4,    VT_R8,
                            VT_CY,    VT_DATE, VT_BSTR, VT_BOOL, VT_ERROR, VT_VARIANT};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    fuzz::Input in(data, size);
    uint8_t selector = in.byte();
    fuzz::use_code_page(selector);
    std::string_view text = in.rest();
    VARIANT v = fuzz::string_variant(text);
    BiVariantCvtStrToNum(&v);
    BiXVariantClear(&v);
    VARIANT source = fuzz::string_variant(text), target;
    VariantInit(&target);
    VariantChangeType(&target, &source, 0, kTargets[(selector & 0x7F) % std::size(kTargets)]);
    VariantClear(&target);
    VariantClear(&source);
    return 0;
}
