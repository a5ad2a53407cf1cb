// String builtins and number reading beside memcpy and strtod.
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench.h"
#include "brtl/brtl.h"

namespace {

const std::string kKiB(1024, 'x');

BiString borrowed(const std::string &s) {
    return BiString{const_cast<char *>(s.c_str()), static_cast<uint32_t>(s.size())};
}

void free_result(BiString s) {
    if (BiStringIsTemporary(s) && BiStringLength(s) != 0) ZrFree(s.data);
}

// Left_ of 1000 bytes of a borrowed 1 KiB string: one allocation and one copy.
void BM_Left(benchmark::State &state) {
    for (auto _ : state) {
        BiString r = ZbiBuiltIn_Left_(borrowed(kKiB), 1000);
        benchmark::DoNotOptimize(r.data);
        free_result(r);
    }
}

void BM_Mid(benchmark::State &state) {
    for (auto _ : state) {
        BiString r = ZbiBuiltIn_MidFunc_(borrowed(kKiB), 12, 1000);
        benchmark::DoNotOptimize(r.data);
        free_result(r);
    }
}

// The same work by hand: allocate and copy 1000 bytes.
void BM_MallocMemcpy(benchmark::State &state) {
    for (auto _ : state) {
        char *p = static_cast<char *>(std::malloc(1001));
        std::memcpy(p, kKiB.data() + 11, 1000);
        p[1000] = '\0';
        benchmark::DoNotOptimize(p);
        std::free(p);
    }
}

const std::string kNumber = "12345.678";

void BM_Val(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ZbiBuiltIn_Val(borrowed(kNumber)));
}

void BM_CvtStrToNum(benchmark::State &state) {
    const OLECHAR units[] = {'1', '2', '3', '4', '5', '.', '6', '7', '8'};
    for (auto _ : state) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(units, 9);
        BiVariantCvtStrToNum(&v);
        benchmark::DoNotOptimize(v.dblVal);
    }
}

void BM_Strtod(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(std::strtod(kNumber.c_str(), nullptr));
}

} // namespace

BENCHMARK(BM_MallocMemcpy);
BENCHMARK(BM_Strtod);
BRTL_BENCH_PAIR("Left_ of a 1 KiB string / malloc+memcpy", BM_Left, BM_MallocMemcpy);
BRTL_BENCH_PAIR("Mid_ of a 1 KiB string / malloc+memcpy", BM_Mid, BM_MallocMemcpy);
BRTL_BENCH_PAIR("Val of \"12345.678\" / strtod", BM_Val, BM_Strtod);
BRTL_BENCH_PAIR("BiVariantCvtStrToNum (with BSTR) / strtod", BM_CvtStrToNum, BM_Strtod);
