// Get over an arbitrary Random or Binary file into every field kind: the first input bytes pick
// the mode, the record length, the position and the fields; the rest is the file.
#include <cstddef>
#include <cstring>
#include <vector>

#include "fuzz_files.h"

namespace {

// A field list as a translator builds it: count descriptors after the count.
struct FieldList {
    std::vector<unsigned char> storage;
    const BiFileFieldList *make(const std::vector<BiFileField> &fields) {
        storage.assign(offsetof(BiFileFieldList, fields) + fields.size() * sizeof(BiFileField), 0);
        auto *list = reinterpret_cast<BiFileFieldList *>(storage.data());
        list->count = static_cast<int32_t>(fields.size());
        std::memcpy(storage.data() + offsetof(BiFileFieldList, fields), fields.data(),
                    fields.size() * sizeof(BiFileField));
        return list;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    fuzz::Input in(data, size);
    uint8_t selector = in.byte();
    fuzz::use_code_page(selector);
    bool binary = (selector & 1) != 0;
    int16_t length = static_cast<int16_t>(1 + in.byte() % 128);
    int32_t position = in.byte() % 8;
    uint8_t kinds = in.byte();
    static const std::string path = fuzz::scratch_file("get.dat");
    fuzz::write_bytes(path, in.rest());
    ZbiBuiltIn_Open(fuzz::temporary(path), binary ? BI_FILE_MODE_BINARY : BI_FILE_MODE_RANDOM, 0, 0,
                    1, binary ? -1 : length);

    int16_t integer = 0;
    int32_t long_value = 0;
    double real = 0;
    char fixed[13] = {};
    BiString text{};
    VARIANT variant;
    VariantInit(&variant);
    std::vector<BiFileField> fields;
    for (int bit = 0; bit < 6; ++bit) {
        if ((kinds & (1 << bit)) == 0) continue;
        switch (bit) {
        case 0:
            fields.push_back({0, &integer, sizeof integer});
            break;
        case 1:
            fields.push_back({0, &long_value, sizeof long_value});
            break;
        case 2:
            fields.push_back({0, &real, sizeof real});
            break;
        case 3:
            fields.push_back({0, fixed, 12});
            break;
        case 4:
            fields.push_back({BI_TYPE_STRING, &text, binary ? 5 : 0});
            break;
        default:
            fields.push_back({BI_TYPE_VARIANT, &variant, 0});
            break;
        }
    }
    FieldList list;
    if (!fields.empty()) ZbiBuiltIn_Get(1, position, position != 0, list.make(fields));
    fuzz::free_variable(text);
    VariantClear(&variant);
    ZbiBuiltIn_Reset();
    return 0;
}
