// The Variant + operator through the exported table, as translated code calls it, beside the
// plain work it stands for: a C++ add of two numbers (and the same checked add through a
// std::visit), the join of two std::u16string of the heap.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "bench.h"
#include "brtl/brtl.h"

namespace {

VARIANT make_i2(int16_t x) {
    VARIANT v{};
    v.vt = VT_I2;
    v.iVal = x;
    return v;
}

VARIANT make_r8(double x) {
    VARIANT v{};
    v.vt = VT_R8;
    v.dblVal = x;
    return v;
}

// One call of the + handler that the operands' subtypes select.
inline void variant_add(VARIANT *result, VARIANT *left, VARIANT *right) {
    BiVariantBinOpTable[left->vt * 14 + right->vt](0, result, left, right);
}

void VariantAddIntegers(benchmark::State &state) {
    int16_t x = 1234;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        VARIANT left = make_i2(x), right = make_i2(4321), result{};
        variant_add(&result, &left, &right);
        benchmark::DoNotOptimize(result);
    }
}

void PlainAddIntegers(benchmark::State &state) {
    int16_t x = 1234, y = 4321;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        int32_t sum = x + y;
        benchmark::DoNotOptimize(sum);
    }
}

void VariantAddDoubles(benchmark::State &state) {
    double x = 1.25;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        VARIANT left = make_r8(x), right = make_r8(2.5), result{};
        variant_add(&result, &left, &right);
        benchmark::DoNotOptimize(result);
    }
}

// The same dispatch and checked add over a std::variant of the four numeric types: std::visit
// picks the pair, the sum is taken in extended precision and checked against the overflow and
// underflow bands of a Double, and the result is a Double in the variant. What it leaves out
// is the floating-point environment, which the checked routines must set and the C++ code
// takes as it finds.
using Number = std::variant<int16_t, int32_t, float, double>;

Number visit_add(const Number &left, const Number &right) {
    return std::visit(
        [](auto a, auto b) -> Number {
            const long double v = static_cast<long double>(a) + static_cast<long double>(b);
            const long double m = std::fabs(v);
            if (m > DBL_MAX) return std::numeric_limits<double>::infinity();
            if (m >= DBL_TRUE_MIN && m <= DBL_MIN) return 0.0;
            return static_cast<double>(v);
        },
        left, right);
}

void VisitAddDoubles(benchmark::State &state) {
    double x = 1.25;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        Number left = x, right = 2.5;
        Number result = visit_add(left, right);
        benchmark::DoNotOptimize(result);
    }
}

void PlainAddDoubles(benchmark::State &state) {
    double x = 1.25, y = 2.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        double sum = x + y;
        benchmark::DoNotOptimize(sum);
    }
}

// Two strings of 16 units each. The handler consumes its operands, so a batch of fresh operand
// pairs is made (and the joined results freed) outside the timed part.
constexpr size_t kBatch = 1024;
const char16_t kLeftText[] = u"Variant operands";
const char16_t kRightText[] = u" joined together";
const OLECHAR *const kLeft = reinterpret_cast<const OLECHAR *>(kLeftText);
const OLECHAR *const kRight = reinterpret_cast<const OLECHAR *>(kRightText);
constexpr uint32_t kUnits = 16;

void VariantConcatenate(benchmark::State &state) {
    std::vector<VARIANT> left(kBatch), right(kBatch), result(kBatch);
    while (state.KeepRunningBatch(kBatch)) {
        state.PauseTiming();
        for (size_t i = 0; i < kBatch; ++i) {
            left[i].vt = right[i].vt = VT_BSTR;
            left[i].bstrVal = SysAllocStringLen(kLeft, kUnits);
            right[i].bstrVal = SysAllocStringLen(kRight, kUnits);
            result[i].vt = VT_EMPTY;
        }
        state.ResumeTiming();
        for (size_t i = 0; i < kBatch; ++i)
            variant_add(&result[i], &left[i], &right[i]);
        state.PauseTiming();
        for (VARIANT &v : result)
            VariantClear(&v);
        state.ResumeTiming();
    }
}

// The same join of two strings of the heap: the left one grows to hold the right one's units and
// the right one is given up, as the handler consumes both operands. Fresh operands are made (and
// the joins freed) outside the timed part.
void PlainConcatenate(benchmark::State &state) {
    std::vector<std::u16string> left(kBatch), right(kBatch);
    while (state.KeepRunningBatch(kBatch)) {
        state.PauseTiming();
        for (size_t i = 0; i < kBatch; ++i) {
            left[i].assign(kLeftText, kUnits);
            right[i].assign(kRightText, kUnits);
        }
        state.ResumeTiming();
        for (size_t i = 0; i < kBatch; ++i) {
            left[i] += right[i];
            std::u16string().swap(right[i]);
        }
        benchmark::DoNotOptimize(left.data());
        state.PauseTiming();
        for (std::u16string &joined : left)
            std::u16string().swap(joined);
        state.ResumeTiming();
    }
}

// The join in a steady loop, as a program's v = a & b runs it: each step makes the two operands
// (the handler consumes them), joins them and gives up the join, as the next assignment to v
// would. VariantJoinOperands is the same loop without the join: the operands made and freed.
// The difference of the two is the join itself in a loop whose allocator caches stay warm: a new
// string made from two and the previous one given up, the work the peer's loop times.
void VariantJoinStep(benchmark::State &state) {
    for (auto _ : state) {
        VARIANT left{}, right{}, joined{};
        left.vt = right.vt = VT_BSTR;
        left.bstrVal = SysAllocStringLen(kLeft, kUnits);
        right.bstrVal = SysAllocStringLen(kRight, kUnits);
        variant_add(&joined, &left, &right);
        benchmark::DoNotOptimize(joined.bstrVal);
        VariantClear(&joined);
    }
}

void VariantJoinOperands(benchmark::State &state) {
    for (auto _ : state) {
        VARIANT left{}, right{};
        left.vt = right.vt = VT_BSTR;
        left.bstrVal = SysAllocStringLen(kLeft, kUnits);
        right.bstrVal = SysAllocStringLen(kRight, kUnits);
        benchmark::DoNotOptimize(left.bstrVal);
        benchmark::DoNotOptimize(right.bstrVal);
        VariantClear(&left);
        VariantClear(&right);
    }
}

// The same steady loop with std::u16string: both operands made, joined into the left one, and
// everything given up.
void PlainJoinStep(benchmark::State &state) {
    for (auto _ : state) {
        std::u16string left(kLeftText, kUnits), right(kRightText, kUnits);
        left += right;
        benchmark::DoNotOptimize(left.data());
    }
}

// The text of a Double Variant, as ZbiEvalCvtVS and the String conversions make it, beside the
// limit of the C++ library: std::to_chars of the Double in general form with 15 digits.
void VariantDoubleText(benchmark::State &state) {
    double x = 1234567.891;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        VARIANT v = make_r8(x), text{};
        ZbiVariantCvtToBStr(&text, &v);
        benchmark::DoNotOptimize(text.bstrVal);
        VariantClear(&text);
    }
}

void PlainDoubleText(benchmark::State &state) {
    double x = 1234567.891;
    char text[32];
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        auto r = std::to_chars(text, text + sizeof text, x, std::chars_format::general, 15);
        benchmark::DoNotOptimize(r.ptr);
        benchmark::ClobberMemory();
    }
}

// s = s & "x", repeated: the time per step must stay flat as the string grows. The baseline is a
// real join: a std::u16string appended one unit at a time, its operand made on the heap at every
// step as each step's BSTR is (a one-unit std::u16string would sit in its own small buffer).
const OLECHAR kX[] = {OLECHAR('x'), 0};

void VariantAppendGrowth(benchmark::State &state) {
    const int64_t steps = state.range(0);
    for (auto _ : state) {
        VARIANT s{};
        s.vt = VT_BSTR;
        s.bstrVal = SysAllocStringLen(nullptr, 0);
        for (int64_t i = 0; i < steps; ++i) {
            VARIANT x{};
            x.vt = VT_BSTR;
            x.bstrVal = SysAllocStringLen(kX, 1);
            BiVariantBinOpTable[VT_BSTR * 14 + VT_BSTR](0, &s, &s, &x);
        }
        benchmark::DoNotOptimize(s.bstrVal);
        VariantClear(&s);
    }
    state.SetItemsProcessed(state.iterations() * steps);
}

void PlainAppendGrowth(benchmark::State &state) {
    const int64_t steps = state.range(0);
    for (auto _ : state) {
        std::u16string s;
        for (int64_t i = 0; i < steps; ++i) {
            std::vector<char16_t> x(1, u'x');
            benchmark::DoNotOptimize(x.data());
            s.append(x.data(), x.size());
        }
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * steps);
}

} // namespace

BENCHMARK(VariantAppendGrowth)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
BENCHMARK(PlainAppendGrowth)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
static const int g_append_pair = brtl_bench::register_pair(
    "s = s & \"x\", 100,000 steps / u16string +=", "VariantAppendGrowth/100000",
    "PlainAppendGrowth/100000");

BENCHMARK(PlainDoubleText);
BRTL_BENCH_PAIR("Text of a Double Variant / to_chars general 15", VariantDoubleText,
                PlainDoubleText);
BENCHMARK(PlainAddIntegers);
BRTL_BENCH_PAIR("Variant + of two Integers", VariantAddIntegers, PlainAddIntegers);
BENCHMARK(PlainAddDoubles);
BRTL_BENCH_PAIR("Variant + of two Doubles", VariantAddDoubles, PlainAddDoubles);
BENCHMARK(VisitAddDoubles);
static const int g_visit_pair = brtl_bench::register_pair(
    "Variant + of two Doubles / std::visit checked", "VariantAddDoubles", "VisitAddDoubles");
BENCHMARK(PlainConcatenate);
BRTL_BENCH_PAIR("Variant + of two strings (concatenation)", VariantConcatenate, PlainConcatenate);
BENCHMARK(VariantJoinOperands);
BENCHMARK(PlainJoinStep);
BRTL_BENCH_PAIR("Variant + of two strings, steady loop", VariantJoinStep, PlainJoinStep);
