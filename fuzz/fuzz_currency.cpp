// Currency text: ZbiCvtStrCurNum over arbitrary NUL-terminated text.
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    std::string text(reinterpret_cast<const char *>(data), size); // c_str() ends it with a NUL
    BiCurrency value = 0;
    (void)ZbiCvtStrCurNum(text.c_str(), &value);
    return 0;
}
