// Feeds arbitrary text to the builtins that read text: the date parser, Val, IsNumeric, the
// string-to-number conversion and Format (with the text as the format of a number and of a
// date, and as the value). The first byte picks the code page and the builtin.
#include <cstdint>
#include <cstring>
#include <string>

#include "brtl/brtl.h"

namespace {

int16_t ignore_trap(int32_t) { return 0; }
int16_t ignore_file_trap(int32_t, BiString subject) {
    if (BiStringIsTemporary(subject) && BiStringLength(subject) != 0) ZrFree(subject.data);
    return 0;
}
void ignore_fatal(int32_t, int32_t, const char *) {}

BiString temporary(const std::string &text) {
    if (text.empty()) return BiString{const_cast<char *>(""), BI_STRING_TEMP_FLAG};
    auto *data = static_cast<char *>(ZrMalloc(text.size() + 1));
    std::memcpy(data, text.c_str(), text.size() + 1);
    return BiString{data, static_cast<uint32_t>(text.size()) | BI_STRING_TEMP_FLAG};
}

void release(BiString s) {
    if (BiStringIsTemporary(s) && BiStringLength(s) != 0) ZrFree(s.data);
}

VARIANT string_variant(const std::string &text) {
    VARIANT v;
    ZbiEvalCvtSV(&v, temporary(text));
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = [] {
        ZbiInitBasicRTL(brtl_english_text, ignore_trap, ignore_file_trap, ignore_trap, ignore_fatal,
                        nullptr, nullptr, nullptr);
        return true;
    }();
    (void)ready;
    if (size == 0) return 0;
    uint8_t selector = data[0];
    std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    brtl_setlocale((selector & 0x80) != 0 ? "Ja_JP" : "C");
    VARIANT result;
    switch (selector & 0x07) {
    case 0:
        ZbiParseDateAndTime(&result, temporary(text), selector >> 3 & 3, 1);
        BiXVariantClear(&result);
        break;
    case 1:
        ZbiBuiltIn_Val(temporary(text));
        break;
    case 2:
        ZbiBuiltIn_IsNumeric(string_variant(text));
        break;
    case 3: {
        VARIANT v = string_variant(text);
        BiVariantCvtStrToNum(&v);
        BiXVariantClear(&v);
        break;
    }
    case 4: {
        double number = -1234.5678;
        release(ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &number, temporary(text)));
        break;
    }
    case 5: {
        VARIANT date;
        date.vt = VT_DATE;
        date.date = 35424.75;
        release(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &date, temporary(text)));
        break;
    }
    case 6: {
        VARIANT v = string_variant(text);
        release(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &v, temporary("@@@;\\e\\m\\p\\t\\y")));
        release(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &v, temporary("0.00")));
        BiXVariantClear(&v);
        break;
    }
    default: {
        int64_t currency = 0;
        ZbiCvtStrCurNum(text.c_str(), &currency);
        release(ZbiBuiltIn_Trim_(temporary(text)));
        break;
    }
    }
    return 0;
}
