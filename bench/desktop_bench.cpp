// Environ by name beside getenv and a copy; the key-string compiler beside a table lookup that
// writes the same two events per character.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "brtl/brtl.h"

namespace {

void free_result(BiString s) {
    if (BiStringIsTemporary(s) && BiStringLength(s) != 0) ZrFree(s.data);
}

// Environ of a borrowed name: trim, look up, copy the value.
void BM_EnvironStr(benchmark::State &state) {
    setenv("BRTL_BENCH_VALUE", "a value of some thirty-two bytes", 1);
    static char name[] = "BRTL_BENCH_VALUE";
    for (auto _ : state) {
        BiString r = ZbiBuiltIn_EnvironStr(BiString{name, sizeof name - 1});
        benchmark::DoNotOptimize(r.data);
        free_result(r);
    }
}

void BM_GetenvCopy(benchmark::State &state) {
    setenv("BRTL_BENCH_VALUE", "a value of some thirty-two bytes", 1);
    for (auto _ : state) {
        const char *v = std::getenv("BRTL_BENCH_VALUE");
        size_t n = std::strlen(v);
        char *p = static_cast<char *>(std::malloc(n + 1));
        std::memcpy(p, v, n + 1);
        benchmark::DoNotOptimize(p);
        std::free(p);
    }
}

// 1 KiB of lowercase text and digits: two events per character, no modifiers.
const std::string kText = [] {
    std::string s;
    while (s.size() < 1024)
        s += "the quick brown fox 0123456789 ";
    return s.substr(0, 1024);
}();

void BM_CompileKeys(benchmark::State &state) {
    std::vector<BrtlKeyEvent> out(2048);
    for (auto _ : state) {
        int32_t n = brtl_compile_keys(kText.c_str(), out.data(), 2048);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(out.data());
    }
}

// The same events from a 256-entry table into a growing vector.
void BM_TableEvents(benchmark::State &state) {
    uint16_t table[256] = {};
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = static_cast<uint16_t>(c - 'a' + 'A');
    for (int c = '0'; c <= '9'; ++c)
        table[c] = static_cast<uint16_t>(c);
    table[' '] = 0x20;
    std::vector<BrtlKeyEvent> out(2048);
    for (auto _ : state) {
        std::vector<BrtlKeyEvent> events;
        for (unsigned char c : kText) {
            events.push_back({256, table[c]});
            events.push_back({257, table[c]});
        }
        std::memcpy(out.data(), events.data(), events.size() * sizeof(BrtlKeyEvent));
        benchmark::DoNotOptimize(out.data());
    }
}

} // namespace

BRTL_BENCH_PAIR("Environ by name / getenv and copy", BM_EnvironStr, BM_GetenvCopy);
BENCHMARK(BM_GetenvCopy);
BRTL_BENCH_PAIR("SendKeys compiler, 1 KiB / table into a vector", BM_CompileKeys, BM_TableEvents);
BENCHMARK(BM_TableEvents);
