// The date and time parser over arbitrary text, for each kind (time, date, both) and quiet mode,
// under both code pages. The date order is the process's: BRTL_FUZZ_DATE_ORDER=0 (month first,
// the default), 1 (day first) or 2 (year first) picks the short date pattern of the profile the
// target writes for itself, so scripts/fuzz runs this target once per order.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    const char *order = std::getenv("BRTL_FUZZ_DATE_ORDER");
    const char *pattern = "mm/dd/yy";
    if (order != nullptr && order[0] == '1') pattern = "dd/mm/yy";
    if (order != nullptr && order[0] == '2') pattern = "yy/mm/dd";
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("brtl-fuzz-dates-" + std::to_string(getpid()) + ".ini"))
                                        .string();
    std::ofstream(path) << "[intl]\nsShortDate=" << pattern << "\n";
    brtl_set_profile_path(path.c_str());
    std::atexit([] { std::remove(path.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    fuzz::Input in(data, size);
    uint8_t selector = in.byte();
    fuzz::use_code_page(selector);
    VARIANT result;
    VariantInit(&result);
    ZbiParseDateAndTime(&result, fuzz::temporary(in.rest()), selector % 3, (selector >> 2) & 1);
    BiXVariantClear(&result);
    return 0;
}
