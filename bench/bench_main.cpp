// Runs every benchmark, then prints the ratio of each registered pair.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench.h"
#include "brtl/brtl.h"

namespace brtl_bench {

namespace {

std::vector<Pair> &pairs() {
    static std::vector<Pair> all;
    return all;
}

// Keeps the time per iteration of every run beside the usual console output; with repetitions
// (--benchmark_repetitions) the median of them.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
            else if (run.aggregate_name == "median")
                times[run.run_name.str()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

int16_t quiet_trap(int32_t) {
    return 0;
}

} // namespace

int register_pair(const char *label, const char *measured, const char *baseline) {
    pairs().push_back({label, measured, baseline});
    return 0;
}

} // namespace brtl_bench

int main(int argc, char **argv) {
    using namespace brtl_bench;
    ZbiInitBasicRTL(nullptr, quiet_trap, nullptr, quiet_trap, nullptr, nullptr, nullptr, nullptr);
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-44s %12s %12s %8s\n", "builtin vs baseline", "builtin ns", "baseline ns",
                "ratio");
    for (const Pair &p : pairs()) {
        auto m = reporter.times.find(p.measured);
        auto b = reporter.times.find(p.baseline);
        if (m == reporter.times.end() || b == reporter.times.end() || b->second <= 0) continue;
        std::printf("%-44s %12.1f %12.1f %8.2f\n", p.label, m->second, b->second,
                    m->second / b->second);
    }
    benchmark::Shutdown();
    return 0;
}
