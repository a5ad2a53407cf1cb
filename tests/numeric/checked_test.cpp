// Overflow-checked arithmetic: the integer routines against wider arithmetic, the floating-point
// routines under both strategies at the exact edges of the overflow and underflow bands, the
// floating-point environment the extended strategy leaves, and the shared helpers.
#include <bit>
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

constexpr int32_t S = 0, O = 1, U = 2; // stored, overflow, underflow

class CheckedTest : public RuntimeTest {
  protected:
    void TearDown() override {
        BiIsMathCoprocessorPresent = 1;
        std::fesetenv(FE_DFL_ENV);
        RuntimeTest::TearDown();
    }
};

// One integer routine against the exact value: stored when it fits, else status 1 and the result
// left alone.
template <typename T, typename Call> void expect_checked(Call call, int64_t exact, const char *op) {
    const bool fits =
        exact >= std::numeric_limits<T>::min() && exact <= std::numeric_limits<T>::max();
    T result = 77;
    const int32_t status = call(&result);
    EXPECT_EQ(status, fits ? S : O) << op << " = " << exact;
    EXPECT_EQ(result, fits ? static_cast<T>(exact) : T{77}) << op << " = " << exact;
}

} // namespace

TEST_F(CheckedTest, IntegerRoutinesMatchWiderArithmetic) {
    std::mt19937_64 engine(17);
    std::vector<int64_t> shorts = {0,   1,   -1,    2,      -2,    181,    182,   -182,
                                   255, 256, 32767, -32768, 32766, -32767, 16384, -16384};
    // 46341^2 just exceeds 2^31 - 1.
    std::vector<int64_t> longs = {
        0,     1,     -1,        2,         -2,      46340,      46341,         -46341,
        65535, 65536, INT32_MAX, INT32_MIN, 1 << 30, -(1 << 30), INT32_MAX - 1, INT32_MIN + 1};
    for (int i = 0; i < 300; ++i) {
        shorts.push_back(static_cast<int16_t>(engine()) >> (engine() % 16));
        longs.push_back(static_cast<int32_t>(engine()) >> (engine() % 32));
    }
    for (int64_t x : shorts)
        for (int64_t y : shorts) {
            const auto a = static_cast<int16_t>(x), b = static_cast<int16_t>(y);
            using I = int16_t;
            expect_checked<I>([&](I *r) { return ZbiOvfAddShorts(r, a, b); }, x + y, "add shorts");
            expect_checked<I>([&](I *r) { return ZbiOvfSubShorts(r, a, b); }, x - y, "sub shorts");
            expect_checked<I>([&](I *r) { return ZbiOvfMulShorts(r, a, b); }, x * y, "mul shorts");
        }
    for (int64_t x : longs)
        for (int64_t y : longs) {
            const auto a = static_cast<int32_t>(x), b = static_cast<int32_t>(y);
            using I = int32_t;
            expect_checked<I>([&](I *r) { return ZbiOvfAddInts(r, a, b); }, x + y, "add ints");
            expect_checked<I>([&](I *r) { return ZbiOvfSubInts(r, a, b); }, x - y, "sub ints");
            expect_checked<I>([&](I *r) { return ZbiOvfMulInts(r, a, b); }, x * y, "mul ints");
            expect_checked<I>([&](I *r) { return ZbiOvfAddLongs(r, &a, &b); }, x + y, "add longs");
            expect_checked<I>([&](I *r) { return ZbiOvfSubLongs(r, &a, &b); }, x - y, "sub longs");
            expect_checked<I>([&](I *r) { return ZbiOvfMulLongs(r, &a, &b); }, x * y, "mul longs");
        }
    EXPECT_TRUE(traps().empty());
}

// ---- Floating point under both strategies ------------------------------------------------------

namespace {

enum class Strategy { Coprocessor, Plain };

template <typename T> struct Edge {
    T a;
    char op;
    T b;
    int32_t status[2]; // coprocessor, plain
    T result[2];       // X: not written
};

int32_t call(char op, float *r, const float *a, const float *b) {
    return op == '+'   ? ZbiOvfAddFloats(r, a, b)
           : op == '-' ? ZbiOvfSubFloats(r, a, b)
           : op == '*' ? ZbiOvfMulFloats(r, a, b)
                       : ZbiOvfDivFloats(r, a, b);
}
int32_t call(char op, double *r, const double *a, const double *b) {
    return op == '+'   ? ZbiOvfAddDoubles(r, a, b)
           : op == '-' ? ZbiOvfSubDoubles(r, a, b)
           : op == '*' ? ZbiOvfMulDoubles(r, a, b)
                       : ZbiOvfDivDoubles(r, a, b);
}

template <typename T> auto bits_of(T v) {
    return std::bit_cast<std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>(v);
}

constexpr float X = 12345.0f; // the result's value before the call
const float kFMax = FLT_MAX, kFMin = FLT_MIN, kFTrue = FLT_TRUE_MIN;
const float kFSub = FLT_MIN - FLT_TRUE_MIN; // the largest subnormal
const float kFAbove = std::nextafter(FLT_MIN, 1.0f);
const float kTwo100 = 0x1p100f; // a quarter of the spacing of the largest Singles
const double kDSub = DBL_MIN - DBL_TRUE_MIN, kDAbove = std::nextafter(DBL_MIN, 1.0);
const double kTwo969 = 0x1p969; // a quarter of the spacing of the largest Doubles
// 1 + 2^-53 + 2^-64 lies just above the midpoint of 1 and the next Double; held to 64 bits it is
// the tie 1 + 2^-53, which rounds to the even 1.
const double kAboveHalf = 0x1p-53 + 0x1p-64;
// Their product is 2.5 x 2^-1074 x (1 + 2^-78), just above the midpoint of the subnormals 2 and 3
// x 2^-1074; rounded to 53 (or 64) bits first it is the tie, which rounds to the even 2 x 2^-1074.
const double kNearTie = 0x1.4000005p-73, kNearTieFactor = 0x1.ffffff8000002p-1001;
// Their quotient is 524288.5 x 2^-1074 x (1 + 2^-67.2), above a midpoint of subnormals by less
// than a 64-bit rounding keeps.
const double kNearTieDividend = 0x1.bf50d8120bbecp-55, kNearTieDivisor = 0x1.bf50bc1cfffcfp+1000;

// The coprocessor strategy checks the exact value (held to 64 significant bits) against the
// bands and stores only in range: underflow is (smallest subnormal, smallest normal] for a Single.
// The plain strategy rounds to double, then to single, stores unless it overflows and reports a
// stored nonzero subnormal.
const Edge<float> kSingles[] = {
    {kFMax, '*', 1.0f, {S, S}, {kFMax, kFMax}},
    {kFMax, '+', kTwo100, {O, O}, {X, X}}, // a quarter spacing above the largest
    {-kFMax, '-', kTwo100, {O, O}, {X, X}},
    {kFMax, '*', 2.0f, {O, O}, {X, X}},
    {kFAbove, '*', 1.0f, {S, S}, {kFAbove, kFAbove}},
    {kFMin, '*', 1.0f, {U, S}, {X, kFMin}},
    {-kFMin, '*', 1.0f, {U, S}, {X, -kFMin}},
    {kFSub, '*', 1.0f, {U, U}, {X, kFSub}},
    {kFTrue, '*', 1.5f, {U, U}, {X, 2 * kFTrue}},
    {kFTrue, '*', 1.0f, {S, U}, {kFTrue, kFTrue}},
    {kFTrue, '*', 0.75f, {S, U}, {kFTrue, kFTrue}},
    {kFTrue, '*', 0.5f, {S, S}, {0.0f, 0.0f}},
    {1e20f, '*', 1e20f, {O, O}, {X, X}},
    {1e-20f, '*', 1e-20f, {U, U}, {X, static_cast<float>(1e-40)}},
    {1e-30f, '*', 1e-20f, {S, S}, {0.0f, 0.0f}},
    {1.0f, '/', 0.0f, {O, O}, {X, X}},
    {kFMin, '/', 2.0f, {U, U}, {X, kFMin / 2}},
    {5.0f, '-', 5.0f, {S, S}, {0.0f, 0.0f}},
};

// For a Double the coprocessor band is [smallest subnormal, smallest normal]; the plain strategy
// stores every rounded result and reports an infinity and a nonzero value below the smallest
// normal. The plain strategy's result is the exact one rounded once, as double arithmetic gives
// it (an x87 unit, rounding to its wider significand first, must not round twice); the
// coprocessor strategy rounds the value it holds to 64 bits.
const Edge<double> kDoubles[] = {
    {DBL_MAX, '*', 1.0, {S, S}, {DBL_MAX, DBL_MAX}},
    {DBL_MAX, '+', kTwo969, {O, S}, {X, DBL_MAX}}, // a quarter spacing above the largest
    {DBL_MAX, '*', 2.0, {O, O}, {X, INFINITY}},
    {-DBL_MAX, '-', DBL_MAX, {O, O}, {X, -INFINITY}},
    {kDAbove, '*', 1.0, {S, S}, {kDAbove, kDAbove}},
    {DBL_MIN, '*', 1.0, {U, S}, {X, DBL_MIN}},
    {kDSub, '*', 1.0, {U, U}, {X, kDSub}},
    {DBL_TRUE_MIN, '*', 1.0, {U, U}, {X, DBL_TRUE_MIN}},
    {-DBL_TRUE_MIN, '*', 1.0, {U, U}, {X, -DBL_TRUE_MIN}},
    {DBL_TRUE_MIN, '*', 0.75, {S, U}, {DBL_TRUE_MIN, DBL_TRUE_MIN}},
    {DBL_TRUE_MIN, '*', 0.5, {S, S}, {0.0, 0.0}},
    {1e200, '*', 1e200, {O, O}, {X, INFINITY}},
    {1e-200, '*', 1e-200, {S, S}, {0.0, 0.0}},
    {1.0, '/', 0.0, {O, O}, {X, INFINITY}},
    {-1.0, '/', 0.0, {O, O}, {X, -INFINITY}},
    {1.5, '+', 2.25, {S, S}, {3.75, 3.75}},
    {1.0, '+', kAboveHalf, {S, S}, {1.0, 1.0 + 0x1p-52}},
    {-1.0, '-', kAboveHalf, {S, S}, {-1.0, -1.0 - 0x1p-52}},
    {kNearTie, '*', kNearTieFactor, {U, U}, {X, 3 * DBL_TRUE_MIN}},
    {kNearTieDividend, '/', kNearTieDivisor, {U, U}, {X, 524289 * DBL_TRUE_MIN}},
};

class CheckedFloatTest : public CheckedTest, public ::testing::WithParamInterface<Strategy> {
  protected:
    void SetUp() override {
        CheckedTest::SetUp();
        BiIsMathCoprocessorPresent = plain() ? 0 : 1;
    }
    bool plain() const { return GetParam() == Strategy::Plain; }
};

} // namespace

TEST_P(CheckedFloatTest, TheBandEdges) {
    const auto check = [this](const auto &cases) {
        for (size_t i = 0; i < std::size(cases); ++i) {
            const auto &c = cases[i];
            auto r = static_cast<decltype(c.a)>(X);
            EXPECT_EQ(call(c.op, &r, &c.a, &c.b), c.status[plain()]) << "row " << i;
            EXPECT_EQ(bits_of(r), bits_of(c.result[plain()])) << "row " << i << ": " << r;
        }
    };
    check(kSingles);
    check(kDoubles);
    // A null result only skips the store.
    const float two = 2.0f, one = 1.0f;
    const double tiny = DBL_TRUE_MIN, d1 = 1.0;
    EXPECT_EQ(ZbiOvfMulFloats(nullptr, &kFMax, &two), O);
    EXPECT_EQ(ZbiOvfMulFloats(nullptr, &kFMax, &one), S);
    EXPECT_EQ(ZbiOvfMulDoubles(nullptr, &tiny, &d1), U);
    EXPECT_TRUE(traps().empty());
}

namespace {

// The exact result of a Double operation rounded once: it is held in 113 bits first, more than
// twice a Double's 53 plus 2, which makes that first rounding harmless (unlike the 64 bits of an
// x87 unit, whose Double arithmetic this must not follow).
double rounded_once(char op, double a, double b) {
    const __float128 x = a, y = b;
    const __float128 exact = op == '+' ? x + y : op == '-' ? x - y : op == '*' ? x * y : x / y;
    return static_cast<double>(exact);
}

} // namespace

// Away from the bands both strategies give the correctly rounded Single (64 and 53 significant
// bits both exceed twice the Single's 24 plus 2); for a Double the plain strategy is double
// arithmetic rounded once, the extended one may differ by the second rounding, by at most one
// unit in the last place.
TEST_P(CheckedFloatTest, AwayFromTheBandsResultsAreRounded) {
    std::mt19937_64 engine(23);
    std::uniform_real_distribution<double> mantissa(1.0, 2.0);
    const auto draw = [&](int range) {
        return std::ldexp(mantissa(engine), static_cast<int>(engine() % (2 * range + 1)) - range);
    };
    for (int i = 0; i < 20000; ++i) {
        const double sign_a = i % 2 != 0 ? -1 : 1, sign_b = i % 3 != 0 ? 1 : -1;
        const float fa = static_cast<float>(draw(50) * sign_a);
        const float fb = static_cast<float>(draw(50) * sign_b);
        const double da = draw(400) * sign_a, db = draw(400) * sign_b;
        const float fe[4] = {fa + fb, fa - fb, fa * fb, fa / fb};
        const double de[4] = {rounded_once('+', da, db), rounded_once('-', da, db),
                              rounded_once('*', da, db), rounded_once('/', da, db)};
        for (int k = 0; k < 4; ++k) {
            const char op = "+-*/"[k];
            float fr = 0;
            double dr = 0;
            ASSERT_EQ(call(op, &fr, &fa, &fb), S) << fa << op << fb;
            ASSERT_EQ(bits_of(fr), bits_of(fe[k])) << fa << op << fb;
            ASSERT_EQ(call(op, &dr, &da, &db), S) << da << op << db;
            const double spacing = std::nextafter(std::fabs(de[k]), INFINITY) - std::fabs(de[k]);
            ASSERT_LE(std::fabs(dr - de[k]), plain() ? 0.0 : spacing) << da << op << db;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothStrategies, CheckedFloatTest,
                         ::testing::Values(Strategy::Coprocessor, Strategy::Plain),
                         [](const auto &param_info) {
                             return param_info.param == Strategy::Coprocessor ? "Coprocessor"
                                                                              : "Plain";
                         });

#if defined(__x86_64__) || defined(__i386__)
// The extended strategy computes with the 64-bit significand even when the caller left the x87
// unit at 53 bits: DBL_MAX + 2^969 exceeds the largest Double only at the wider precision.
TEST_F(CheckedTest, ExtendedStrategyRestoresTheFullPrecision) {
    uint16_t control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    control = static_cast<uint16_t>((control & ~0x0300u) | 0x0200u);
    __asm__ volatile("fldcw %0" : : "m"(control));
    const double max = DBL_MAX;
    double r = 0;
    EXPECT_EQ(ZbiOvfAddDoubles(&r, &max, &kTwo969), O);
    __asm__ volatile("fnstcw %0" : "=m"(control));
    EXPECT_EQ(control & 0x0300u, 0x0300u);
}
#endif

#if defined(__x86_64__) || defined(__i386__)
// Flags raised by x87 arithmetic are cleared as those of SSE arithmetic are, all but a lone
// inexact flag, which the routines leave as they find it (it decides nothing, and clearing it
// holds up the operation that follows).
TEST_F(CheckedTest, ExtendedStrategyClearsTheX87FlagsButALoneInexact) {
    volatile long double zero = 0.0L, one = 1.0L, three = 3.0L;
    volatile long double quotient = one / zero; // the x87 divide-by-zero flag
    static_cast<void>(quotient);
    ASSERT_TRUE(std::fetestexcept(FE_DIVBYZERO));
    const double a = 1.5, b = 2.25;
    double r = 0;
    EXPECT_EQ(ZbiOvfAddDoubles(&r, &a, &b), S);
    EXPECT_EQ(r, 3.75);
    EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO));
    quotient = one / three; // inexact
    EXPECT_EQ(ZbiOvfMulDoubles(&r, &a, &b), S);
    EXPECT_EQ(r, 3.375);
    EXPECT_TRUE(std::fetestexcept(FE_INEXACT));
    EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_UNDERFLOW | FE_INVALID));
}
#endif

TEST_F(CheckedTest, ExtendedStrategyResetsTheEnvironmentAndThePlainOneLeavesIt) {
    EXPECT_EQ(BiIsMathCoprocessorPresent, 1); // the extended strategy is the default
    std::fesetround(FE_UPWARD);
    std::feraiseexcept(FE_DIVBYZERO);
    const double one = 1.0, tiny = 0x1p-60;
    double r = 0;
    EXPECT_EQ(ZbiOvfAddDoubles(&r, &one, &tiny), S);
    EXPECT_EQ(r, 1.0); // rounded to nearest, not upward
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO));

    BiIsMathCoprocessorPresent = 0;
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(ZbiOvfAddDoubles(&r, &one, &tiny), S);
    EXPECT_EQ(r, std::nextafter(1.0, 2.0));
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
}

// ---- Helpers ----------------------------------------------------------------------------------

TEST_F(CheckedTest, FloatizeNarrowsInsideTheSingleRangeOnly) {
    const double max = FLT_MAX, above = max + 0x1p100; // narrowing `above` would give FLT_MAX
    const double cases[][2] = {
        {1e39, 1e39}, {-1e39, -1e39}, {above, above}, {max, max}, {std::nextafter(max, 0.0), max},
        {1e-46, 0.0}};
    for (const auto &c : cases)
        EXPECT_EQ(ZbiFloatizeDouble(c[0]), c[1]) << c[0];
    EXPECT_EQ(ZbiFloatizeDouble(0.1), 0.100000001490116119384765625);
    EXPECT_TRUE(std::isnan(ZbiFloatizeDouble(NAN)));
}

TEST_F(CheckedTest, DoubleRoundGoesHalfToEven) {
    // Beside the quarters below: just under a tie, beyond 2^53, an infinity.
    const double cases[][2] = {
        {1.495, 1.0}, {-2.6, -3.0}, {0x1p53 + 2, 0x1p53 + 2}, {INFINITY, INFINITY}};
    for (const auto &c : cases)
        EXPECT_EQ(ZbiDoubleRound(c[0]), c[1]) << c[0];
    EXPECT_EQ(ZbiDoubleRound(4503599627370495.5), 4503599627370496.0); // 2^52 - 0.5: odd below
    EXPECT_TRUE(std::signbit(ZbiDoubleRound(-0.5)));
    EXPECT_TRUE(std::isnan(ZbiDoubleRound(NAN)));
    // Against the C library's round-to-nearest-even on quarters and random values.
    std::mt19937_64 engine(43);
    for (int i = 0; i < 20000; ++i) {
        const double d =
            i < 4000 ? (i - 2000) / 4.0
                     : std::ldexp(static_cast<double>(engine() >> 11), -30) * (i % 2 ? -1 : 1);
        ASSERT_EQ(ZbiDoubleRound(d), std::nearbyint(d)) << d;
    }
}

TEST_F(CheckedTest, PowerFollowsTheLanguageRules) {
    const double cases[][3] = {
        {-2, 3, -8.0},   {-2, -2, 0.25}, {0, 0, 1.0},         {-0.0, 0, 1.0}, {0, 2.5, 0.0},
        {2, 10, 1024.0}, {4, 0.5, 2.0},  {10, 400, INFINITY}, // overflow is the caller's to detect
    };
    for (const auto &c : cases)
        EXPECT_EQ(ZbiDoExpD(c[0], c[1]), c[2]) << c[0] << " ^ " << c[1];
    // Powers rounded to the nearest Double, whose exact values lie a few hundredths of a unit in
    // the last place from a midpoint (the 32-bit x86 C library's pow gave the other neighbour).
    // The Windows build's extended power, MinGW-w64's, gives the other neighbour too.
    const double nearest[][3] = {
        {0x1.3fb8494f729e2p+4, 0x1.5406c3de6a9e4p+4, 0x1.c456a2fe09c56p+91},
        {0x1.2ef4a74e19fbdp+4, -0x1.d0247103a57cfp+4, 0x1.e32647901d7f5p-124},
    };
    for (const auto &c : nearest) {
        if (!kWindows) {
            EXPECT_EQ(ZbiDoExpD(c[0], c[1]), c[2]) << c[0] << " ^ " << c[1];
        }
    }
    EXPECT_TRUE(std::isnan(ZbiDoExpD(NAN, 2)));
    EXPECT_TRUE(traps().empty());
    // Trap 5 and 0 after a returning hook: a negative base with an exponent that is not whole
    // (an infinity is not), 0 to a negative power.
    for (const auto &c :
         {std::pair(-8.0, 1.0 / 3.0), std::pair(0.0, -1.0), std::pair(-2.0, double(INFINITY))}) {
        clear_traps();
        EXPECT_EQ(ZbiDoExpD(c.first, c.second), 0.0) << c.first << " ^ " << c.second;
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::NumericTrap, ""}}));
    }
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiDoExpD(-8, 0.5), TrapException);
    EXPECT_THROW(ZbiDoExpD(-0.0, -2), TrapException);
}
