// InStr, StrComp and Like beside standard baselines: std::u16string_view::find, a plain
// towlower search, memcmp and fnmatch. The builtins own and free their operand Variants, so each
// iteration hands them fresh BSTRs; the baselines make the same BSTRs, so that both sides of a
// pair do the same allocation work.
#include <fnmatch.h>

#include <cstring>
#include <cwctype>
#include <string>
#include <string_view>

#include "bench.h"
#include "brtl/brtl.h"

namespace {

constexpr size_t kLongText = size_t{1} << 20; // UTF-16 units

// A text of letters with the sought word 100 units before its end.
const std::u16string &long_text() {
    static const std::u16string text = [] {
        std::u16string t(kLongText, u'a');
        uint32_t seed = 1;
        for (auto &c : t) {
            seed = seed * 1103515245u + 12345u;
            c = static_cast<char16_t>(u'a' + (seed >> 16) % 26);
        }
        const std::u16string word = u"needle!!";
        t.replace(kLongText - 100, word.size(), word);
        return t;
    }();
    return text;
}
const std::u16string kSought = u"needle!!", kSoughtUpper = u"NEEDLE!!";

VARIANT bstr(const std::u16string &units) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR *>(units.data()),
                                  static_cast<uint32_t>(units.size()));
    return v;
}

// InStr in binary mode on 1 Mi units: the text BSTR is made while the clock is stopped.
void BM_InStrBinary(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        VARIANT text = bstr(long_text()), sought = bstr(kSought);
        state.ResumeTiming();
        VARIANT r;
        ZbiBuiltIn_InStr(&r, 1, text, sought, 0);
        benchmark::DoNotOptimize(r.lVal);
    }
}

void BM_U16Find(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        VARIANT text = bstr(long_text()), sought = bstr(kSought);
        state.ResumeTiming();
        std::u16string_view haystack(reinterpret_cast<const char16_t *>(text.bstrVal),
                                     SysStringLen(text.bstrVal));
        std::u16string_view needle(reinterpret_cast<const char16_t *>(sought.bstrVal),
                                   SysStringLen(sought.bstrVal));
        benchmark::DoNotOptimize(haystack.find(needle));
        VariantClear(&text);
        VariantClear(&sought);
    }
}

// InStr in text mode, and a search written plainly with towlower on every unit.
void BM_InStrText(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        VARIANT text = bstr(long_text()), sought = bstr(kSoughtUpper);
        state.ResumeTiming();
        VARIANT r;
        ZbiBuiltIn_InStr(&r, 1, text, sought, 1);
        benchmark::DoNotOptimize(r.lVal);
    }
}

size_t towlower_find(const char16_t *t, size_t n, const char16_t *s, size_t m) {
    for (size_t p = 0; p + m <= n; ++p) {
        size_t i = 0;
        while (i < m && std::towlower(t[p + i]) == std::towlower(s[i]))
            ++i;
        if (i == m) return p;
    }
    return std::u16string_view::npos;
}

void BM_TowlowerFind(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        VARIANT text = bstr(long_text()), sought = bstr(kSoughtUpper);
        state.ResumeTiming();
        benchmark::DoNotOptimize(towlower_find(
            reinterpret_cast<const char16_t *>(text.bstrVal), SysStringLen(text.bstrVal),
            reinterpret_cast<const char16_t *>(sought.bstrVal), SysStringLen(sought.bstrVal)));
        VariantClear(&text);
        VariantClear(&sought);
    }
}

// StrComp of two 1 KiB texts equal up to the last unit, and memcmp after the same conversion to
// the code page (the BSTRs made inside the clock on both sides).
const std::u16string kKiBa(1024, u'k'), kKiBb = std::u16string(1023, u'k') + u"l";

void BM_StrComp(benchmark::State &state) {
    for (auto _ : state) {
        VARIANT a = bstr(kKiBa), b = bstr(kKiBb), r;
        ZbiBuiltIn_StrComp(&r, a, b, 0);
        benchmark::DoNotOptimize(r.iVal);
    }
}

void BM_ConvertMemcmp(benchmark::State &state) {
    for (auto _ : state) {
        VARIANT a = bstr(kKiBa), b = bstr(kKiBb);
        uint32_t la = 0, lb = 0;
        char *ta = ZbiOleToChar(a.bstrVal, &la), *tb = ZbiOleToChar(b.bstrVal, &lb);
        benchmark::DoNotOptimize(std::memcmp(ta, tb, la < lb ? la : lb));
        ZrFree(ta);
        ZrFree(tb);
        VariantClear(&a);
        VariantClear(&b);
    }
}

// Like on typical patterns, and fnmatch on the same texts (the BSTRs made on both sides).
void like_loop(benchmark::State &state, const std::u16string &text, const std::u16string &pattern) {
    for (auto _ : state) {
        VARIANT t = bstr(text), p = bstr(pattern), r;
        ZbiMatchPattern(&r, t, p);
        benchmark::DoNotOptimize(r.iVal);
    }
}
void fnmatch_loop(benchmark::State &state, const std::u16string &text, const char *text_bytes,
                  const std::u16string &pattern, const char *pattern_bytes) {
    for (auto _ : state) {
        VARIANT t = bstr(text), p = bstr(pattern);
        benchmark::DoNotOptimize(fnmatch(pattern_bytes, text_bytes, 0));
        VariantClear(&t);
        VariantClear(&p);
    }
}

void BM_LikeSuffix(benchmark::State &state) {
    like_loop(state, u"quarterly_report_2024.txt", u"*.txt");
}
void BM_FnmatchSuffix(benchmark::State &state) {
    fnmatch_loop(state, u"quarterly_report_2024.txt", "quarterly_report_2024.txt", u"*.txt",
                 "*.txt");
}
void BM_LikeClass(benchmark::State &state) {
    like_loop(state, u"B52 bomber", u"[A-Z]##*");
}
void BM_FnmatchClass(benchmark::State &state) {
    fnmatch_loop(state, u"B52 bomber", "B52 bomber", u"[A-Z]##*", "[A-Z][0-9][0-9]*");
}

// The adversarial input: n units of "a" against 20 repetitions of "*a" and a "b". The time per
// text unit (the ns/unit counter) must not grow with n.
void BM_LikeAdversarial(benchmark::State &state) {
    const std::u16string text(static_cast<size_t>(state.range(0)), u'a');
    std::u16string pattern;
    for (int i = 0; i < 20; ++i)
        pattern += u"*a";
    pattern += u"b";
    for (auto _ : state) {
        state.PauseTiming();
        VARIANT t = bstr(text), p = bstr(pattern), r;
        state.ResumeTiming();
        ZbiMatchPattern(&r, t, p);
        benchmark::DoNotOptimize(r.iVal);
    }
    state.counters["ns/unit"] = benchmark::Counter(static_cast<double>(state.range(0)) * 1e-9,
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_U16Find);
BENCHMARK(BM_TowlowerFind);
BENCHMARK(BM_ConvertMemcmp);
BENCHMARK(BM_FnmatchSuffix);
BENCHMARK(BM_FnmatchClass);
BENCHMARK(BM_LikeAdversarial)->Arg(1000)->Arg(3000)->Arg(10000)->Arg(30000)->Arg(100000);
BRTL_BENCH_PAIR("InStr binary, 1 Mi units / u16string_view::find", BM_InStrBinary, BM_U16Find);
BRTL_BENCH_PAIR("InStr text, 1 Mi units / towlower search", BM_InStrText, BM_TowlowerFind);
BRTL_BENCH_PAIR("StrComp of 1 KiB texts / convert+memcmp", BM_StrComp, BM_ConvertMemcmp);
BRTL_BENCH_PAIR("Like \"*.txt\" / fnmatch", BM_LikeSuffix, BM_FnmatchSuffix);
BRTL_BENCH_PAIR("Like \"[A-Z]##*\" / fnmatch", BM_LikeClass, BM_FnmatchClass);
