// The fixture of the Format suites: the English words for every text id the engine asks for
// (the engine keeps the host's words for the life of the process, so every test of a process
// must answer the same), and short calls of ZbiBuiltIn_Format_ for each kind of value.
#pragma once

#include <string>

#include "brtl/brtl.h"
#include "harness/harness.h"

namespace brtl_test {

class FormatTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        for (int32_t id = -1200; id <= -1001; ++id)
            if (const char *text = brtl_english_text(id)) host().texts[id] = text;
    }

    // Format of a Variant; the Variant stays the caller's (a string one is cleared here).
    std::string format(VARIANT v, const std::string &f) {
        std::string text = take(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &v, temp(f)));
        VariantClear(&v);
        return text;
    }
    std::string format(double d, const std::string &f) {
        return take(ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &d, temp(f)));
    }
    std::string format_single(float s, const std::string &f) {
        return take(ZbiBuiltIn_Format_(BI_FORMAT_SINGLE, &s, temp(f)));
    }
    std::string format_integer(int16_t i, const std::string &f) {
        return take(ZbiBuiltIn_Format_(BI_FORMAT_INTEGER, &i, temp(f)));
    }
    std::string format_long(int32_t l, const std::string &f) {
        return take(ZbiBuiltIn_Format_(BI_FORMAT_LONG, &l, temp(f)));
    }
    std::string format_currency(int64_t units, const std::string &f) {
        return take(ZbiBuiltIn_Format_(BI_FORMAT_CURRENCY, &units, temp(f)));
    }
    std::string format_date(double serial, const std::string &f) { return format(date(serial), f); }

    // Makes the engine read every host word and build every format it keeps for the process,
    // so that a leak check that follows counts only what one call owns.
    void fill_caches() {
        format(1.0, "Currency");
        format(1.0, "Medium Date");
        format_date(1.0, "mmmm dddd aaaa aaa h AMPM");
    }
};

// 5 January 1996 14:07:09 as a serial: day 35069 and 50829 seconds.
inline double jan5_1996_140709() {
    return 35069.0 + (14 * 3600 + 7 * 60 + 9) / 86400.0;
}

} // namespace brtl_test
