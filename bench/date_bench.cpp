// The date parser beside the C library's strptime reading the same text: a numeric date with
// a time, and a date with a month name and AM/PM. The growth run reads N different texts.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

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

// The Date serial of broken-down parts, as the parser gives it: the days from 30 December 1899
// (std::chrono's civil calendar) and the time of day as a fraction of a day.
double serial_of(const struct tm &parts) {
    using namespace std::chrono;
    constexpr sys_days kDayZero = year{1899} / December / 30;
    const sys_days day = year{parts.tm_year + 1900} / (parts.tm_mon + 1) / parts.tm_mday;
    const double time = (parts.tm_hour * 3600.0 + parts.tm_min * 60.0 + parts.tm_sec) / 86400.0;
    return static_cast<double>((day - kDayZero).count()) + time;
}

// strptime reading the text into broken-down parts, and the parts made into the same Date
// serial, so that both sides give the same result.
void run_strptime(benchmark::State &state, const char *text, const char *format) {
    struct tm parts;
    std::memset(&parts, 0, sizeof parts);
    if (strptime(text, format, &parts) == nullptr) state.SkipWithError("strptime failed");
    VARIANT parsed{};
    ZbiParseDateAndTime(&parsed, borrowed(text), 2, 1);
    if (serial_of(parts) != parsed.date) state.SkipWithError("the serials differ");
    for (auto _ : state) {
        benchmark::DoNotOptimize(text);
        strptime(text, format, &parts);
        double serial = serial_of(parts);
        benchmark::DoNotOptimize(serial);
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

namespace {

// Growth: N different numeric dates with times per run; the time per item must stay flat from a
// thousand to a million items.
void BM_ParseDateGrowth(benchmark::State &state) {
    ZbiInitBasicRTL(brtl_english_text, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
    const auto n = static_cast<size_t>(state.range(0));
    std::vector<std::string> texts(n);
    for (size_t i = 0; i < n; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%zu/%zu/%zu %02zu:%02zu:%02zu", i % 12 + 1, i % 28 + 1,
                      1900 + i % 200, i % 24, i % 60, i * 7 % 60);
        texts[i] = text;
    }
    VARIANT v{};
    for (auto _ : state)
        for (const std::string &text : texts) {
            ZbiParseDateAndTime(&v, borrowed(text.c_str()), 2, 1);
            benchmark::DoNotOptimize(v.date);
        }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_ParseDateGrowth)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
