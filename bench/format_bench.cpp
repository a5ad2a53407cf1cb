// Format beside the C library doing the nearest work: a Double with grouping and two decimals
// (snprintf "%.2f", which has no grouping in the C locale), a Double with the empty format
// (snprintf "%.15G") and a date with time (gmtime_r and strftime).
#include <cstdio>
#include <cstring>
#include <ctime>

#include "bench.h"
#include "brtl/brtl.h"

namespace {

BiString borrowed(const char *text) {
    return BiString{const_cast<char *>(text), static_cast<uint32_t>(std::strlen(text))};
}

void run_format(benchmark::State &state, int32_t kind, const void *value, const char *format) {
    BiString f = borrowed(format);
    for (auto _ : state) {
        BiString result = ZbiBuiltIn_Format_(kind, value, f);
        benchmark::DoNotOptimize(result.data);
        if (BiStringLength(result) != 0) ZrFree(result.data);
    }
}

const double kAmount = 1234567.891;
// 5 January 1996 14:07:09, as a date serial and as seconds since 1970.
const double kSerial = 35069.0 + 50829.0 / 86400.0;
const time_t kSeconds = 820850829;

void BM_FormatDoubleGrouped(benchmark::State &state) {
    run_format(state, BI_FORMAT_DOUBLE, &kAmount, "#,##0.00");
}
void BM_SnprintfFixed(benchmark::State &state) {
    char buf[64];
    double v = kAmount;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v);
        std::snprintf(buf, sizeof buf, "%.2f", v);
        benchmark::DoNotOptimize(buf);
    }
}
BRTL_BENCH_PAIR("Format Double \"#,##0.00\" / snprintf %.2f", BM_FormatDoubleGrouped,
                BM_SnprintfFixed);
BENCHMARK(BM_SnprintfFixed);

void BM_FormatDoubleEmpty(benchmark::State &state) {
    run_format(state, BI_FORMAT_DOUBLE, &kAmount, "");
}
void BM_SnprintfGeneral(benchmark::State &state) {
    char buf[64];
    double v = kAmount;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v);
        std::snprintf(buf, sizeof buf, "%.15G", v);
        benchmark::DoNotOptimize(buf);
    }
}
BRTL_BENCH_PAIR("Format Double \"\" / snprintf %.15G", BM_FormatDoubleEmpty, BM_SnprintfGeneral);
BENCHMARK(BM_SnprintfGeneral);

void BM_FormatDate(benchmark::State &state) {
    VARIANT v{};
    v.vt = VT_DATE;
    v.date = kSerial;
    run_format(state, BI_FORMAT_VARIANT, &v, "yyyy-mm-dd hh:nn:ss");
}
void BM_Strftime(benchmark::State &state) {
    char buf[64];
    time_t t = kSeconds;
    for (auto _ : state) {
        benchmark::DoNotOptimize(t);
        struct tm parts;
        gmtime_r(&t, &parts);
        std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &parts);
        benchmark::DoNotOptimize(buf);
    }
}
BRTL_BENCH_PAIR("Format Date \"yyyy-mm-dd hh:nn:ss\" / strftime", BM_FormatDate, BM_Strftime);
BENCHMARK(BM_Strftime);

} // namespace
