// The sequential readers over an arbitrary file: Input # into every target type, Line Input #
// into a string, a Variant and a fixed-length string, Input(n) and InputC(n). The first eight
// bytes choose the reads, the rest is the file.
#include "fuzz_files.h"

namespace {

void read_one(uint8_t op, int16_t number) {
    switch (op % 12) {
    case 0: {
        VARIANT v;
        VariantInit(&v);
        ZbiBuiltIn_Input(number, 1, BI_TYPE_VARIANT, &v);
        BiXVariantClear(&v);
        break;
    }
    case 1: {
        int16_t x = 0;
        ZbiBuiltIn_Input(number, 1, BI_TYPE_INTEGER, &x);
        break;
    }
    case 2: {
        int32_t x = 0;
        ZbiBuiltIn_Input(number, 1, BI_TYPE_LONG, &x);
        break;
    }
    case 3: {
        float x = 0;
        ZbiBuiltIn_Input(number, 1, BI_TYPE_SINGLE, &x);
        break;
    }
    case 4: {
        double x = 0;
        ZbiBuiltIn_Input(number, 1, BI_TYPE_DOUBLE, &x);
        break;
    }
    case 5: {
        BiCurrency x = 0;
        ZbiBuiltIn_Input(number, 1, BI_TYPE_CURRENCY, &x);
        break;
    }
    case 6: {
        BiString s{const_cast<char *>(""), 0};
        ZbiBuiltIn_Input(number, 1, BI_TYPE_STRING, &s);
        fuzz::free_variable(s);
        break;
    }
    case 7: {
        char fixed[7];
        ZbiBuiltIn_Input(number, 1, BI_TYPE_FIXED_STRING, static_cast<int>(sizeof fixed), fixed);
        break;
    }
    case 8: {
        BiString s{const_cast<char *>(""), 0};
        ZbiBuiltIn_LineInput(number, BI_TYPE_STRING, 0, &s);
        fuzz::free_variable(s);
        break;
    }
    case 9: {
        VARIANT v;
        VariantInit(&v);
        ZbiBuiltIn_LineInput(number, BI_TYPE_VARIANT, 0, &v);
        BiXVariantClear(&v);
        break;
    }
    case 10: {
        char fixed[5];
        ZbiBuiltIn_LineInput(number, BI_TYPE_FIXED_STRING, sizeof fixed, fixed);
        break;
    }
    default:
        fuzz::release((op & 0x10) != 0 ? ZbiBuiltIn_InputC_(op >> 5, number)
                                       : ZbiBuiltIn_Input_(op >> 5, number));
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    fuzz::Input in(data, size);
    uint8_t ops[8];
    for (uint8_t &op : ops)
        op = in.byte();
    fuzz::use_code_page(ops[0]);
    static const std::string path = fuzz::scratch_file("input.txt");
    fuzz::write_bytes(path, in.rest());
    fuzz::open_file(path, BI_FILE_MODE_INPUT, 1);
    for (uint8_t op : ops)
        read_one(op, 1);
    fuzz::close_file(1);
    return 0;
}
