// Format: an arbitrary format string applied to a value of every Variant subtype, to each typed
// kind (Integer, Long, Single, Double, Currency), and to a runtime string, under both code pages.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    fuzz::Input in(data, size);
    uint8_t selector = in.byte();
    fuzz::use_code_page(selector);
    switch (selector % 7) {
    case 0: {
        int16_t x = in.value<int16_t>();
        fuzz::release(ZbiBuiltIn_Format_(BI_FORMAT_INTEGER, &x, fuzz::temporary(in.rest())));
        break;
    }
    case 1: {
        int32_t x = in.value<int32_t>();
        fuzz::release(ZbiBuiltIn_Format_(BI_FORMAT_LONG, &x, fuzz::temporary(in.rest())));
        break;
    }
    case 2: {
        float x = in.value<float>();
        fuzz::release(ZbiBuiltIn_Format_(BI_FORMAT_SINGLE, &x, fuzz::temporary(in.rest())));
        break;
    }
    case 3: {
        double x = in.value<double>();
        fuzz::release(ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &x, fuzz::temporary(in.rest())));
        break;
    }
    case 4: {
        BiCurrency x = in.value<BiCurrency>();
        fuzz::release(ZbiBuiltIn_Format_(BI_FORMAT_CURRENCY, &x, fuzz::temporary(in.rest())));
        break;
    }
    case 5: { // a runtime string as the value: its text, then the format
        std::string_view value = in.text();
        VARIANT v = fuzz::string_variant(value);
        fuzz::release(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &v, fuzz::temporary(in.rest())));
        BiXVariantClear(&v);
        break;
    }
    default: {
        VARIANT v = fuzz::any_variant(in);
        fuzz::release(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &v, fuzz::temporary(in.rest())));
        BiXVariantClear(&v);
        break;
    }
    }
    return 0;
}
