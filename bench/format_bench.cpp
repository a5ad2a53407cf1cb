// Format beside the C library doing the nearest work: a Double with grouping and two decimals
// (snprintf "%'.2f" under a locale that groups digits, "%.2f" without grouping, to_chars in
// fixed form), a Double with the empty format (snprintf "%.15G", to_chars in general form) and
// a date with time (gmtime_r and strftime). The growth runs format N different values.
#include <locale.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

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

// "%'.2f" groups the thousands only under a locale that has a grouping; the first of these the
// system has is used for the calling thread, and without one the baseline is skipped.
void BM_SnprintfGroupedFixed(benchmark::State &state) {
    locale_t grouping = nullptr;
    for (const char *name : {"en_US.UTF-8", "en_US.utf8", "en_GB.UTF-8", "de_DE.UTF-8"})
        if ((grouping = newlocale(LC_NUMERIC_MASK, name, nullptr)) != nullptr) break;
    if (grouping == nullptr) {
        state.SkipWithError("no locale that groups digits");
        return;
    }
    locale_t previous = uselocale(grouping);
    char buf[64];
    double v = kAmount;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v);
        std::snprintf(buf, sizeof buf, "%'.2f", v);
        benchmark::DoNotOptimize(buf);
    }
    uselocale(previous);
    freelocale(grouping);
}
BENCHMARK(BM_SnprintfGroupedFixed);
static const int g_grouped_pair =
    brtl_bench::register_pair("Format Double \"#,##0.00\" / snprintf %'.2f",
                              "BM_FormatDoubleGrouped", "BM_SnprintfGroupedFixed");

void BM_ToCharsFixed(benchmark::State &state) {
    char buf[64];
    double v = kAmount;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v);
        auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
        benchmark::DoNotOptimize(r.ptr);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ToCharsFixed);
static const int g_fixed_pair = brtl_bench::register_pair(
    "Format Double \"#,##0.00\" / to_chars fixed 2", "BM_FormatDoubleGrouped", "BM_ToCharsFixed");

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

void BM_ToCharsGeneral(benchmark::State &state) {
    char buf[64];
    double v = kAmount;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v);
        auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
        benchmark::DoNotOptimize(r.ptr);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ToCharsGeneral);
static const int g_general_pair = brtl_bench::register_pair(
    "Format Double \"\" / to_chars general 15", "BM_FormatDoubleEmpty", "BM_ToCharsGeneral");

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

// Growth: N different amounts and N different dates per run; the time per item must stay flat
// from a thousand to a million items.
void BM_FormatGrowth(benchmark::State &state) {
    const auto n = static_cast<size_t>(state.range(0));
    std::vector<double> amounts(n);
    for (size_t i = 0; i < n; ++i)
        amounts[i] = static_cast<double>(i) * 1.37 + 0.5;
    BiString f = borrowed("#,##0.00");
    for (auto _ : state)
        for (double amount : amounts) {
            BiString result = ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &amount, f);
            benchmark::DoNotOptimize(result.data);
            if (BiStringLength(result) != 0) ZrFree(result.data);
        }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FormatDateGrowth(benchmark::State &state) {
    const auto n = static_cast<size_t>(state.range(0));
    std::vector<VARIANT> dates(n);
    for (size_t i = 0; i < n; ++i) {
        dates[i].vt = VT_DATE;
        dates[i].date = kSerial + static_cast<double>(i) * 0.3217;
    }
    BiString f = borrowed("yyyy-mm-dd hh:nn:ss");
    for (auto _ : state)
        for (const VARIANT &date : dates) {
            BiString result = ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &date, f);
            benchmark::DoNotOptimize(result.data);
            if (BiStringLength(result) != 0) ZrFree(result.data);
        }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_FormatGrowth)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
BENCHMARK(BM_FormatDateGrowth)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
