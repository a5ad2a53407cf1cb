// Overflow-checked arithmetic: the integer routines against wider arithmetic, the floating-point
// routines under both strategies at the exact edges of the overflow and underflow bands, the
// floating-point environment the extended strategy leaves, and the shared helpers.
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "harness/harness.h"
#include "numeric/big_oracle.h"

using namespace brtl_test;

namespace {

constexpr int32_t kStored = 0, kOverflow = 1, kUnderflow = 2;
constexpr float kUnset = 12345.0f;
constexpr double kUnsetD = 12345.0;

class CheckedTest : public RuntimeTest {
  protected:
    void TearDown() override {
        BiIsMathCoprocessorPresent = 1;
        std::fesetenv(FE_DFL_ENV);
        RuntimeTest::TearDown();
    }
};

// ---- Integers ---------------------------------------------------------------------------------

// Calls one integer routine and checks it against the exact value: stored when it fits, else
// status 1 and the result untouched.
template <typename T, typename Call>
void expect_checked(Call call, int64_t exact, const char *what) {
    const bool fits =
        exact >= std::numeric_limits<T>::min() && exact <= std::numeric_limits<T>::max();
    const T sentinel = static_cast<T>(77);
    T result = sentinel;
    const int32_t status = call(&result);
    if (fits) {
        EXPECT_EQ(status, kStored) << what << " = " << exact;
        EXPECT_EQ(result, static_cast<T>(exact)) << what;
    } else {
        EXPECT_EQ(status, kOverflow) << what << " = " << exact;
        EXPECT_EQ(result, sentinel) << what << ": result written on overflow";
    }
}

} // namespace

TEST_F(CheckedTest, IntegerDocumentedCases) {
    int16_t s = 77;
    EXPECT_EQ(ZbiOvfAddShorts(&s, 32767, 1), kOverflow);
    EXPECT_EQ(s, 77);
    EXPECT_EQ(ZbiOvfMulShorts(&s, -32768, -1), kOverflow);
    EXPECT_EQ(ZbiOvfSubShorts(&s, -32768, 1), kOverflow);
    EXPECT_EQ(s, 77);
    EXPECT_EQ(ZbiOvfSubShorts(&s, -32767, 1), kStored);
    EXPECT_EQ(s, -32768);
    int32_t l = 77;
    EXPECT_EQ(ZbiOvfSubInts(&l, INT32_MIN, 1), kOverflow);
    EXPECT_EQ(l, 77);
    const int32_t a = 46341, b = 46341; // 46341^2 just exceeds 2^31 - 1
    EXPECT_EQ(ZbiOvfMulLongs(&l, &a, &b), kOverflow);
    EXPECT_EQ(ZbiOvfMulInts(&l, a, b), kOverflow);
    const int32_t c = 46340;
    EXPECT_EQ(ZbiOvfMulLongs(&l, &c, &c), kStored);
    EXPECT_EQ(l, 2147395600);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CheckedTest, IntegerRoutinesMatchWiderArithmetic) {
    std::mt19937_64 engine(17);
    std::vector<int64_t> shorts = {0,   1,   -1,    2,      -2,    181,    182,   -182,
                                   255, 256, 32767, -32768, 32766, -32767, 16384, -16384};
    std::vector<int64_t> longs = {
        0,       1,         -1,    2,         -2,        46340,         46341,
        -46341,  65535,     65536, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1,
        1 << 30, -(1 << 30)};
    for (int i = 0; i < 300; ++i) {
        shorts.push_back(static_cast<int16_t>(engine()) >> (engine() % 16));
        longs.push_back(static_cast<int32_t>(engine()) >> (engine() % 32));
    }
    for (int64_t x : shorts)
        for (int64_t y : shorts) {
            const auto a = static_cast<int16_t>(x), b = static_cast<int16_t>(y);
            expect_checked<int16_t>([&](int16_t *r) { return ZbiOvfAddShorts(r, a, b); }, x + y,
                                    "add shorts");
            expect_checked<int16_t>([&](int16_t *r) { return ZbiOvfSubShorts(r, a, b); }, x - y,
                                    "sub shorts");
            expect_checked<int16_t>([&](int16_t *r) { return ZbiOvfMulShorts(r, a, b); }, x * y,
                                    "mul shorts");
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
}

TEST_F(CheckedTest, SixtyFourBitAndCurrencyRoutinesStoreTheWrappedValue) {
    int64_t a = int64_t{1} << 62, b = 2, r = 0;
    EXPECT_EQ(ZbiOvfMul64bits(&a, &b, &r), 1);
    EXPECT_EQ(r, INT64_MIN);
    a = int64_t{1} << 31; // beyond 32 bits only: no report
    EXPECT_EQ(ZbiOvfMul64bits(&a, &b, &r), 0);
    EXPECT_EQ(r, int64_t{1} << 32);
    a = INT64_MIN;
    b = -1;
    EXPECT_EQ(ZbiOvfMul64bits(&a, &b, &a), 1);
    EXPECT_EQ(a, INT64_MIN);

    BiCurrency x = INT64_MAX, y = 1, z = 0;
    EXPECT_EQ(ZbiOvfAddCurrencies(&z, &x, &y), 1);
    EXPECT_EQ(z, INT64_MIN);
    x = -5;
    EXPECT_EQ(ZbiOvfAddCurrencies(&z, &x, &y), 0);
    EXPECT_EQ(z, -4);
    x = INT64_MIN;
    EXPECT_EQ(ZbiOvfNegCurrency(&z, &x), 1);
    EXPECT_EQ(z, INT64_MIN);
    x = 7;
    EXPECT_EQ(ZbiOvfNegCurrency(&x, &x), 0);
    EXPECT_EQ(x, -7);
    EXPECT_TRUE(traps().empty()); // statuses, not traps
}

TEST_F(CheckedTest, CurrencyMultiplyAndDivideTrapThemselvesAndReturnZero) {
    BiCurrency a = 15000, b = 20000, r = 0;
    EXPECT_EQ(ZbiOvfMulCurrencies(&r, &a, &b), 0);
    EXPECT_EQ(r, 30000);
    EXPECT_EQ(ZbiOvfDivCurrencies(&r, &a, &b), 0);
    EXPECT_EQ(r, 7500);
    a = INT64_MAX;
    EXPECT_EQ(ZbiOvfMulCurrencies(&r, &a, &b), 0);
    b = 0;
    EXPECT_EQ(ZbiOvfDivCurrencies(&r, &a, &b), 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(traps(),
              (std::vector<Trap>{{6, Family::NumericTrap, ""}, {11, Family::NumericTrap, ""}}));

    set_mode(HookMode::Throw);
    r = 99;
    EXPECT_THROW(ZbiOvfDivCurrencies(&r, &a, &b), TrapException);
    EXPECT_EQ(r, 99); // left before anything was stored
}

// ---- Floating point under both strategies ------------------------------------------------------

namespace {

enum class Strategy { Coprocessor, Plain };
std::ostream &operator<<(std::ostream &os, Strategy s) {
    return os << (s == Strategy::Coprocessor ? "coprocessor" : "plain");
}

struct SingleCase {
    const char *what;
    float a, b;
    char op;           // '+', '-', '*', '/'
    int32_t status[2]; // coprocessor, plain
    bool stored[2];    // whether the result is written
    float result;      // when stored
};

struct DoubleCase {
    const char *what;
    double a, b;
    char op;
    int32_t status[2];
    bool stored[2];
    double result[2];
};

int32_t call_single(char op, float *r, const float *a, const float *b) {
    switch (op) {
    case '+':
        return ZbiOvfAddFloats(r, a, b);
    case '-':
        return ZbiOvfSubFloats(r, a, b);
    case '*':
        return ZbiOvfMulFloats(r, a, b);
    default:
        return ZbiOvfDivFloats(r, a, b);
    }
}

int32_t call_double(char op, double *r, const double *a, const double *b) {
    switch (op) {
    case '+':
        return ZbiOvfAddDoubles(r, a, b);
    case '-':
        return ZbiOvfSubDoubles(r, a, b);
    case '*':
        return ZbiOvfMulDoubles(r, a, b);
    default:
        return ZbiOvfDivDoubles(r, a, b);
    }
}

uint32_t bits_of(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}
uint64_t bits_of(double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

const float kFltMax = FLT_MAX, kFltMin = FLT_MIN, kFltTrue = FLT_TRUE_MIN;
const float kFltLargestSubnormal = FLT_MIN - FLT_TRUE_MIN;
const float kTwo100 = 0x1p100f; // a quarter of the spacing of the largest Singles
const double kDblLargestSubnormal = DBL_MIN - DBL_TRUE_MIN;
const double kTwo969 = 0x1p969; // a quarter of the spacing of the largest Doubles

// The coprocessor strategy checks the exact value (held to 64 significant bits) against the
// bands: underflow is (smallest subnormal, smallest normal] for a Single. The plain strategy
// rounds to double, then to single, and reports a stored nonzero subnormal.
const SingleCase kSingleCases[] = {
    {"largest", kFltMax, 1.0f, '*', {kStored, kStored}, {true, true}, kFltMax},
    {"a quarter spacing above the largest",
     kFltMax,
     kTwo100,
     '+',
     {kOverflow, kOverflow},
     {false, false},
     0},
    {"below minus the largest", -kFltMax, kTwo100, '-', {kOverflow, kOverflow}, {false, false}, 0},
    {"twice the largest", kFltMax, 2.0f, '*', {kOverflow, kOverflow}, {false, false}, 0},
    {"just above the smallest normal",
     std::nextafter(kFltMin, 1.0f),
     1.0f,
     '*',
     {kStored, kStored},
     {true, true},
     std::nextafter(kFltMin, 1.0f)},
    {"smallest normal", kFltMin, 1.0f, '*', {kUnderflow, kStored}, {false, true}, kFltMin},
    {"minus the smallest normal",
     -kFltMin,
     1.0f,
     '*',
     {kUnderflow, kStored},
     {false, true},
     -kFltMin},
    {"largest subnormal",
     kFltLargestSubnormal,
     1.0f,
     '*',
     {kUnderflow, kUnderflow},
     {false, true},
     kFltLargestSubnormal},
    {"one and a half smallest subnormals",
     kFltTrue,
     1.5f,
     '*',
     {kUnderflow, kUnderflow},
     {false, true},
     2 * kFltTrue},
    {"smallest subnormal", kFltTrue, 1.0f, '*', {kStored, kUnderflow}, {true, true}, kFltTrue},
    {"three quarters of the smallest subnormal",
     kFltTrue,
     0.75f,
     '*',
     {kStored, kUnderflow},
     {true, true},
     kFltTrue},
    {"half the smallest subnormal", kFltTrue, 0.5f, '*', {kStored, kStored}, {true, true}, 0.0f},
    {"1e20 * 1e20", 1e20f, 1e20f, '*', {kOverflow, kOverflow}, {false, false}, 0},
    {"1e-20 * 1e-20",
     1e-20f,
     1e-20f,
     '*',
     {kUnderflow, kUnderflow},
     {false, true},
     static_cast<float>(1e-40)},
    {"1e-30 * 1e-20", 1e-30f, 1e-20f, '*', {kStored, kStored}, {true, true}, 0.0f},
    {"1 / 0", 1.0f, 0.0f, '/', {kOverflow, kOverflow}, {false, false}, 0},
    {"smallest normal / 2",
     kFltMin,
     2.0f,
     '/',
     {kUnderflow, kUnderflow},
     {false, true},
     kFltMin / 2},
    {"zero", 5.0f, 5.0f, '-', {kStored, kStored}, {true, true}, 0.0f},
};

// For a Double the coprocessor band is [smallest subnormal, smallest normal]; the plain strategy
// stores every rounded result, reports an infinity and a nonzero value below the smallest
// normal.
const DoubleCase kDoubleCases[] = {
    {"largest", DBL_MAX, 1.0, '*', {kStored, kStored}, {true, true}, {DBL_MAX, DBL_MAX}},
    {"a quarter spacing above the largest",
     DBL_MAX,
     kTwo969,
     '+',
     {kOverflow, kStored},
     {false, true},
     {0, DBL_MAX}},
    {"twice the largest", DBL_MAX, 2.0, '*', {kOverflow, kOverflow}, {false, true}, {0, INFINITY}},
    {"below minus the largest",
     -DBL_MAX,
     DBL_MAX,
     '-',
     {kOverflow, kOverflow},
     {false, true},
     {0, -INFINITY}},
    {"just above the smallest normal",
     std::nextafter(DBL_MIN, 1.0),
     1.0,
     '*',
     {kStored, kStored},
     {true, true},
     {std::nextafter(DBL_MIN, 1.0), std::nextafter(DBL_MIN, 1.0)}},
    {"smallest normal", DBL_MIN, 1.0, '*', {kUnderflow, kStored}, {false, true}, {0, DBL_MIN}},
    {"largest subnormal",
     kDblLargestSubnormal,
     1.0,
     '*',
     {kUnderflow, kUnderflow},
     {false, true},
     {0, kDblLargestSubnormal}},
    {"smallest subnormal",
     DBL_TRUE_MIN,
     1.0,
     '*',
     {kUnderflow, kUnderflow},
     {false, true},
     {0, DBL_TRUE_MIN}},
    {"minus the smallest subnormal",
     -DBL_TRUE_MIN,
     1.0,
     '*',
     {kUnderflow, kUnderflow},
     {false, true},
     {0, -DBL_TRUE_MIN}},
    {"three quarters of the smallest subnormal",
     DBL_TRUE_MIN,
     0.75,
     '*',
     {kStored, kUnderflow},
     {true, true},
     {DBL_TRUE_MIN, DBL_TRUE_MIN}},
    {"half the smallest subnormal",
     DBL_TRUE_MIN,
     0.5,
     '*',
     {kStored, kStored},
     {true, true},
     {0.0, 0.0}},
    {"1e200 * 1e200", 1e200, 1e200, '*', {kOverflow, kOverflow}, {false, true}, {0, INFINITY}},
    {"1e-200 * 1e-200", 1e-200, 1e-200, '*', {kStored, kStored}, {true, true}, {0.0, 0.0}},
    {"1 / 0", 1.0, 0.0, '/', {kOverflow, kOverflow}, {false, true}, {0, INFINITY}},
    {"-1 / 0", -1.0, 0.0, '/', {kOverflow, kOverflow}, {false, true}, {0, -INFINITY}},
    {"1.5 + 2.25", 1.5, 2.25, '+', {kStored, kStored}, {true, true}, {3.75, 3.75}},
};

class CheckedFloatTest : public CheckedTest, public ::testing::WithParamInterface<Strategy> {
  protected:
    void SetUp() override {
        CheckedTest::SetUp();
        BiIsMathCoprocessorPresent = GetParam() == Strategy::Coprocessor ? 1 : 0;
    }
    int index() const { return GetParam() == Strategy::Coprocessor ? 0 : 1; }
};

} // namespace

TEST_P(CheckedFloatTest, SinglesAtTheBandEdges) {
    for (const SingleCase &c : kSingleCases) {
        float r = kUnset;
        EXPECT_EQ(call_single(c.op, &r, &c.a, &c.b), c.status[index()]) << c.what;
        if (c.stored[index()])
            EXPECT_EQ(bits_of(r), bits_of(c.result)) << c.what << ": " << r;
        else
            EXPECT_EQ(r, kUnset) << c.what << ": written";
    }
    EXPECT_TRUE(traps().empty());
}

TEST_P(CheckedFloatTest, DoublesAtTheBandEdges) {
    for (const DoubleCase &c : kDoubleCases) {
        double r = kUnsetD;
        EXPECT_EQ(call_double(c.op, &r, &c.a, &c.b), c.status[index()]) << c.what;
        if (c.stored[index()])
            EXPECT_EQ(bits_of(r), bits_of(c.result[index()])) << c.what << ": " << r;
        else
            EXPECT_EQ(r, kUnsetD) << c.what << ": written";
    }
    EXPECT_TRUE(traps().empty());
}

// Away from the bands both strategies give the correctly rounded Single (64 and 53 significant
// bits both exceed twice the Single's 24 plus 2, so the intermediate rounding never shows).
TEST_P(CheckedFloatTest, SinglesAgreeWithSinglePrecisionArithmetic) {
    std::mt19937 engine(23);
    std::uniform_real_distribution<float> mantissa(1.0f, 2.0f);
    std::uniform_int_distribution<int> exponent(-50, 50);
    for (int i = 0; i < 20000; ++i) {
        const float a = std::ldexp(mantissa(engine), exponent(engine)) * (i % 2 ? -1.0f : 1.0f);
        const float b = std::ldexp(mantissa(engine), exponent(engine)) * (i % 3 ? 1.0f : -1.0f);
        float r = 0;
        ASSERT_EQ(ZbiOvfAddFloats(&r, &a, &b), kStored);
        ASSERT_EQ(bits_of(r), bits_of(a + b)) << a << " + " << b;
        ASSERT_EQ(ZbiOvfSubFloats(&r, &a, &b), kStored);
        ASSERT_EQ(bits_of(r), bits_of(a - b)) << a << " - " << b;
        ASSERT_EQ(ZbiOvfMulFloats(&r, &a, &b), kStored);
        ASSERT_EQ(bits_of(r), bits_of(a * b)) << a << " * " << b;
        ASSERT_EQ(ZbiOvfDivFloats(&r, &a, &b), kStored);
        ASSERT_EQ(bits_of(r), bits_of(a / b)) << a << " / " << b;
    }
}

// The plain strategy is double arithmetic itself; the extended one may differ from it by the
// second rounding, never by more than one unit in the last place.
TEST_P(CheckedFloatTest, DoublesAgreeWithDoublePrecisionArithmetic) {
    std::mt19937_64 engine(29);
    std::uniform_real_distribution<double> mantissa(1.0, 2.0);
    std::uniform_int_distribution<int> exponent(-400, 400);
    for (int i = 0; i < 20000; ++i) {
        const double a = std::ldexp(mantissa(engine), exponent(engine)) * (i % 2 ? -1.0 : 1.0);
        const double b = std::ldexp(mantissa(engine), exponent(engine)) * (i % 3 ? 1.0 : -1.0);
        const double expected[4] = {a + b, a - b, a * b, a / b};
        const char ops[4] = {'+', '-', '*', '/'};
        for (int k = 0; k < 4; ++k) {
            double r = 0;
            ASSERT_EQ(call_double(ops[k], &r, &a, &b), kStored) << a << ops[k] << b;
            if (GetParam() == Strategy::Plain) {
                ASSERT_EQ(bits_of(r), bits_of(expected[k])) << a << ops[k] << b;
            } else {
                const double spacing =
                    std::nextafter(std::fabs(expected[k]), INFINITY) - std::fabs(expected[k]);
                ASSERT_LE(std::fabs(r - expected[k]), spacing) << a << ops[k] << b;
            }
        }
    }
}

TEST_P(CheckedFloatTest, NullResultPointerOnlySkipsTheStore) {
    const float a = FLT_MAX, two = 2.0f, one = 1.0f;
    EXPECT_EQ(ZbiOvfMulFloats(nullptr, &a, &two), kOverflow);
    EXPECT_EQ(ZbiOvfMulFloats(nullptr, &a, &one), kStored);
    const double d = DBL_TRUE_MIN, d1 = 1.0;
    EXPECT_EQ(ZbiOvfMulDoubles(nullptr, &d, &d1), kUnderflow);
}

INSTANTIATE_TEST_SUITE_P(BothStrategies, CheckedFloatTest,
                         ::testing::Values(Strategy::Coprocessor, Strategy::Plain),
                         [](const auto &info) {
                             return info.param == Strategy::Coprocessor ? "Coprocessor" : "Plain";
                         });

TEST_F(CheckedTest, TheStrategyFlagStartsAtOne) {
    EXPECT_EQ(BiIsMathCoprocessorPresent, 1);
}

#if defined(__x86_64__) || defined(__i386__)
namespace {
// Sets the x87 precision control to the 53-bit significand.
void set_x87_double_precision() {
    uint16_t control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    control = static_cast<uint16_t>((control & ~0x0300u) | 0x0200u);
    __asm__ volatile("fldcw %0" : : "m"(control));
}
uint16_t x87_control() {
    uint16_t control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    return control;
}
} // namespace

// The extended strategy computes with the 64-bit significand even when the caller left the unit
// at 53 bits: DBL_MAX + 2^969 exceeds the largest Double only at the wider precision.
TEST_F(CheckedTest, ExtendedStrategyRestoresTheFullPrecision) {
    set_x87_double_precision();
    const double a = DBL_MAX, b = kTwo969;
    double r = kUnsetD;
    EXPECT_EQ(ZbiOvfAddDoubles(&r, &a, &b), kOverflow);
    EXPECT_EQ(x87_control() & 0x0300u, 0x0300u);
}
#endif

TEST_F(CheckedTest, ExtendedStrategyResetsRoundingAndExceptionFlags) {
    std::fesetround(FE_UPWARD);
    std::feraiseexcept(FE_DIVBYZERO);
    const double one = 1.0, tiny = 0x1p-60;
    double r = 0;
    EXPECT_EQ(ZbiOvfAddDoubles(&r, &one, &tiny), kStored);
    EXPECT_EQ(r, 1.0); // rounded to nearest, not upward
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO));
}

TEST_F(CheckedTest, PlainStrategyLeavesTheEnvironmentAlone) {
    BiIsMathCoprocessorPresent = 0;
    std::fesetround(FE_UPWARD);
    const double one = 1.0, tiny = 0x1p-60;
    double r = 0;
    EXPECT_EQ(ZbiOvfAddDoubles(&r, &one, &tiny), kStored);
    EXPECT_EQ(r, std::nextafter(1.0, 2.0));
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
}

// ---- Helpers ----------------------------------------------------------------------------------

TEST_F(CheckedTest, ImplicationOfLongs) {
    EXPECT_EQ(ZbiImpLngNum(0, 0), -1);
    EXPECT_EQ(ZbiImpLngNum(-1, 0), 0);
    EXPECT_EQ(ZbiImpLngNum(0xC, 0xA), ~0x4);
    std::mt19937 engine(41);
    for (int i = 0; i < 1000; ++i) {
        const auto a = static_cast<int32_t>(engine()), b = static_cast<int32_t>(engine());
        const auto r = static_cast<uint32_t>(ZbiImpLngNum(a, b));
        for (int bit = 0; bit < 32; ++bit) {
            const bool in_a = (static_cast<uint32_t>(a) >> bit) & 1;
            const bool in_b = (static_cast<uint32_t>(b) >> bit) & 1;
            ASSERT_EQ(((r >> bit) & 1) != 0, !in_a || in_b);
        }
    }
}

TEST_F(CheckedTest, FloatizeNarrowsInsideTheSingleRangeOnly) {
    EXPECT_EQ(ZbiFloatizeDouble(0.1), 0.100000001490116119384765625);
    EXPECT_EQ(ZbiFloatizeDouble(1e39), 1e39);
    EXPECT_EQ(ZbiFloatizeDouble(-1e39), -1e39);
    // Just above the largest Single: left alone, although narrowing would give FLT_MAX.
    const double above = static_cast<double>(FLT_MAX) + 0x1p100;
    EXPECT_EQ(ZbiFloatizeDouble(above), above);
    EXPECT_EQ(ZbiFloatizeDouble(FLT_MAX), static_cast<double>(FLT_MAX));
    const double below = std::nextafter(static_cast<double>(FLT_MAX), 0.0);
    EXPECT_EQ(ZbiFloatizeDouble(below), static_cast<double>(FLT_MAX));
    EXPECT_EQ(ZbiFloatizeDouble(1e-46), 0.0);
    EXPECT_TRUE(std::isnan(ZbiFloatizeDouble(NAN)));
}

TEST_F(CheckedTest, DoubleRoundGoesHalfToEven) {
    EXPECT_EQ(ZbiDoubleRound(0.5), 0.0);
    EXPECT_EQ(ZbiDoubleRound(1.5), 2.0);
    EXPECT_EQ(ZbiDoubleRound(2.5), 2.0);
    EXPECT_EQ(ZbiDoubleRound(3.5), 4.0);
    EXPECT_EQ(ZbiDoubleRound(1.495), 1.0);
    EXPECT_EQ(ZbiDoubleRound(-2.5), -2.0);
    EXPECT_EQ(ZbiDoubleRound(-2.6), -3.0);
    const double minus_half = ZbiDoubleRound(-0.5);
    EXPECT_EQ(minus_half, 0.0);
    EXPECT_TRUE(std::signbit(minus_half));
    EXPECT_EQ(ZbiDoubleRound(0x1p53 + 2), 0x1p53 + 2);
    EXPECT_EQ(ZbiDoubleRound(4503599627370495.5), 4503599627370496.0); // 2^52 - 0.5: odd below
    EXPECT_TRUE(std::isinf(ZbiDoubleRound(INFINITY)));
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
    EXPECT_EQ(ZbiDoExpD(-2, 3), -8.0);
    EXPECT_EQ(ZbiDoExpD(-2, -2), 0.25);
    EXPECT_EQ(ZbiDoExpD(0, 0), 1.0);
    EXPECT_EQ(ZbiDoExpD(-0.0, 0), 1.0);
    EXPECT_EQ(ZbiDoExpD(0, 2.5), 0.0);
    EXPECT_EQ(ZbiDoExpD(2, 10), 1024.0);
    EXPECT_EQ(ZbiDoExpD(4, 0.5), 2.0);
    EXPECT_TRUE(std::isnan(ZbiDoExpD(NAN, 2)));
    EXPECT_TRUE(std::isinf(ZbiDoExpD(10, 400))); // overflow is the caller's to detect
    EXPECT_TRUE(traps().empty());
}

TEST_F(CheckedTest, PowerRaisesTrapFiveAndGivesZeroAfterAReturningHook) {
    const Trap illegal{5, Family::NumericTrap, ""};
    EXPECT_EQ(ZbiDoExpD(-8, 1.0 / 3.0), 0.0);
    EXPECT_EQ(traps(), std::vector<Trap>{illegal});
    clear_traps();
    EXPECT_EQ(ZbiDoExpD(0, -1), 0.0);
    EXPECT_EQ(traps(), std::vector<Trap>{illegal});
    clear_traps();
    EXPECT_EQ(ZbiDoExpD(-2, INFINITY), 0.0); // not a whole exponent
    EXPECT_EQ(traps(), std::vector<Trap>{illegal});

    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiDoExpD(-8, 0.5), TrapException);
    EXPECT_THROW(ZbiDoExpD(-0.0, -2), TrapException);
}
