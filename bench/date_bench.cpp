// The date parser beside the C library's strptime reading the same text: a numeric date with
// a time, and a date with a month name and AM/PM.
#include <cstring>
#include <ctime>

#include "bench.h"
#include "brtl/brtl.h"

namespace {

BiString borrowed(const char *text) {
    return BiString{const_cast<char *>(text), static_cast<uint32_t>(std::strlen(text))};
}

void run_parse(benchmark::State &state, const char *text) {
    // English month names and AM/PM, as a host would install them.
    ZbiInitBasicRTL(brtl_english_text, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
    BiString s = borrowed(text);
    VARIANT v{};
    ZbiParseDateAndTime(&v, s, 2, 1);
    if (v.vt != VT_DATE) state.SkipWithError("the text did not parse");
    for (auto _ : state) {
        ZbiParseDateAndTime(&v, s, 2, 1);
        benchmark::DoNotOptimize(v.date);
    }
}

void run_strptime(benchmark::State &state, const char *text, const char *format) {
    struct tm parts;
    std::memset(&parts, 0, sizeof parts);
    if (strptime(text, format, &parts) == nullptr) state.SkipWithError("strptime failed");
    for (auto _ : state) {
        benchmark::DoNotOptimize(text);
        strptime(text, format, &parts);
        benchmark::DoNotOptimize(parts);
    }
}

const char kNumeric[] = "1/5/1996 14:07:09";
const char kNamed[] = "Jan 5, 1996 2:07:09 PM";

void BM_ParseNumericDate(benchmark::State &state) {
    run_parse(state, kNumeric);
}
void BM_StrptimeNumericDate(benchmark::State &state) {
    run_strptime(state, kNumeric, "%m/%d/%Y %H:%M:%S");
}
BRTL_BENCH_PAIR("ZbiParseDateAndTime \"1/5/1996 14:07:09\" / strptime", BM_ParseNumericDate,
                BM_StrptimeNumericDate);
BENCHMARK(BM_StrptimeNumericDate);

void BM_ParseNamedDate(benchmark::State &state) {
    run_parse(state, kNamed);
}
void BM_StrptimeNamedDate(benchmark::State &state) {
    run_strptime(state, kNamed, "%b %d, %Y %I:%M:%S %p");
}
BRTL_BENCH_PAIR("ZbiParseDateAndTime \"Jan 5, 1996 2:07:09 PM\" / strptime", BM_ParseNamedDate,
                BM_StrptimeNamedDate);
BENCHMARK(BM_StrptimeNamedDate);

} // namespace
