// The fixture of the Format suites: the English words for every text id the engine asks for
// (the engine keeps the host's words for the life of the process, so every test of a process
// must answer the same), a value of each kind Format takes, and table checks.
#pragma once

#include <string>

#include "brtl/brtl.h"
#include "harness/harness.h"

namespace brtl_test {

// A value and its kind: a Double or any Variant converts; S, I, L and C make the other kinds.
struct Value {
    int32_t kind;
    VARIANT v;
    Value(double d) : kind(BI_FORMAT_DOUBLE), v(r8(d)) {}
    Value(VARIANT variant) : kind(BI_FORMAT_VARIANT), v(variant) {}
    Value(int32_t k, VARIANT variant) : kind(k), v(variant) {}
    const void *ptr() const { return kind == BI_FORMAT_VARIANT ? &v : (const void *)&v.dblVal; }
};
inline const auto S = [](float x) { return Value(BI_FORMAT_SINGLE, r4(x)); };
inline const auto I = [](int16_t x) { return Value(BI_FORMAT_INTEGER, i2(x)); };
inline const auto L = [](int32_t x) { return Value(BI_FORMAT_LONG, i4(x)); };
inline const auto C = [](int64_t units) { return Value(BI_FORMAT_CURRENCY, cy(units)); };

// Format of a value with a temporary format text; a string Variant is freed afterwards.
inline std::string format(Value x, const std::string &f) {
    std::string text = take(ZbiBuiltIn_Format_(x.kind, x.ptr(), temp(f)));
    if (x.v.vt == VT_BSTR) VariantClear(&x.v);
    return text;
}

// A row: the value under the format gives the text and raises `trap` (0: none); with throwing
// hooks a trap leaves the call by the exception.
struct Case {
    Value x;
    std::string f, expected;
    int32_t trap = 0;
};
using F = Case;

inline void expect_format(const Case &c) {
    SCOPED_TRACE("format \"" + c.f + "\"");
    host().traps.clear();
    std::vector<Trap> traps;
    if (c.trap != 0) traps.push_back({c.trap, Family::Trap, ""});
    bool thrown = false;
    try {
        EXPECT_EQ(format(c.x, c.f), c.expected);
    } catch (const TrapException &) {
        thrown = true;
    }
    EXPECT_EQ(thrown, c.trap != 0 && host().mode == HookMode::Throw);
    EXPECT_EQ(host().traps, traps);
    host().traps.clear();
}
void expect_formats(const auto &...cases) {
    (expect_format(cases), ...);
}

class FormatTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        for (int32_t id = -1200; id <= -1001; ++id)
            if (const char *text = brtl_english_text(id)) host().texts[id] = text;
    }

    // Makes the engine read every host word and build every format it keeps for the process,
    // so that a leak check that follows counts only what one call owns.
    void fill_caches() {
        format(1.0, "Currency");
        format(1.0, "Medium Date");
        format(date(1.0), "mmmm dddd aaaa aaa h AMPM");
    }
};

// 5 January 1996 14:07:09 as a serial: day 35069 and 50829 seconds.
inline const double kJan5 = 35069.0 + (14 * 3600 + 7 * 60 + 9) / 86400.0;

} // namespace brtl_test
