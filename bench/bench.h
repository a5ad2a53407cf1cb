// Pairs of benchmarks: a builtin and the standard baseline doing the same work in the same run.
// The program prints each pair's ratio (builtin time / baseline time) after the runs.
#pragma once

#include <benchmark/benchmark.h>

namespace brtl_bench {

struct Pair {
    const char *label;
    const char *measured;
    const char *baseline;
};

// Registers a pair by the names of its two benchmark functions.
int register_pair(const char *label, const char *measured, const char *baseline);

} // namespace brtl_bench

#define BRTL_BENCH_CONCAT2(a, b) a##b
#define BRTL_BENCH_CONCAT(a, b) BRTL_BENCH_CONCAT2(a, b)
#define BRTL_BENCH_PAIR(label, measured, baseline)                                                 \
    BENCHMARK(measured);                                                                           \
    static const int BRTL_BENCH_CONCAT(brtl_pair_, __LINE__) =                                     \
        brtl_bench::register_pair(label, #measured, #baseline)
