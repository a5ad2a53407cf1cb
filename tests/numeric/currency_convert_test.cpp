// Currency conversions: integers, Double in both directions, the parser and the text form.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "harness/harness.h"
#include "numeric/big_oracle.h"

using namespace brtl_test;

namespace {

class CurrencyConvertTest : public RuntimeTest {};

const Trap kOverflow{6, Family::NumericTrap, ""};

// The text form worked out another way: printf of the whole part and four decimals, then the
// trailing zeros (and a bare point) dropped, and "-0." shortened to "-.".
std::string expected_text(int64_t c) {
    if (c == 0) return "0";
    const bool negative = c < 0;
    const uint64_t m = negative ? 0 - static_cast<uint64_t>(c) : static_cast<uint64_t>(c);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%" PRIu64 ".%04" PRIu64, negative ? "-" : "", m / 10000,
                  m % 10000);
    std::string s = buf;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    return s;
}

// The whole number nearest units / 10000, ties to even, from the floor quotient.
int64_t nearest_whole(int64_t units) {
    int64_t q = units / 10000, r = units % 10000;
    if (r < 0) {
        q -= 1;
        r += 10000;
    }
    if (r > 5000 || (r == 5000 && (q & 1) != 0)) q += 1;
    return q;
}

int32_t parse(const char *text, int64_t *value) {
    return ZbiCvtStrCurNum(text, value);
}

} // namespace

// ---- Integers -------------------------------------------------------------------------------

TEST_F(CurrencyConvertTest, LongsScaleExactly) {
    EXPECT_EQ(ZbiCvtLngCurNum(0), 0);
    EXPECT_EQ(ZbiCvtLngCurNum(-3), -30000);
    EXPECT_EQ(ZbiCvtLngCurNum(INT32_MIN), -21474836480000);
    EXPECT_EQ(ZbiCvtLngCurNum(INT32_MAX), 21474836470000);
}

TEST_F(CurrencyConvertTest, IntegerConversionsRoundHalfToEvenAndTrapOutsideTheirRange) {
    EXPECT_EQ(ZbiCvtCurNumShort(327674999), 32767);
    EXPECT_EQ(ZbiCvtCurNumShort(-327685000), -32768); // -32768.5 to even
    EXPECT_EQ(ZbiCvtCurNumShort(25000), 2);
    EXPECT_EQ(ZbiCvtCurNumShort(-35000), -4);
    EXPECT_EQ(ZbiCvtCurNumInt(21474836465000), 2147483646); // 2147483646.5 to even
    EXPECT_EQ(ZbiCvtCurNumLng(-21474836485000), INT32_MIN); // -2147483648.5 to even
    EXPECT_TRUE(traps().empty());

    EXPECT_EQ(ZbiCvtCurNumShort(327675000), 0);  // 32767.5 rounds to 32768
    EXPECT_EQ(ZbiCvtCurNumShort(-327695000), 0); // -32769.5 rounds to -32770
    EXPECT_EQ(ZbiCvtCurNumInt(21474836475000), 0);
    EXPECT_EQ(ZbiCvtCurNumLng(-21474836495000), 0);
    EXPECT_EQ(ZbiCvtCurNumLng(INT64_MAX), 0); // one trap, not one for the rounding and another
    EXPECT_EQ(ZbiCvtCurNumInt(INT64_MIN), 0);
    EXPECT_EQ(traps(), std::vector<Trap>(6, kOverflow));
}

TEST_F(CurrencyConvertTest, IntegerConversionsMatchTheReferenceNearTheirLimits) {
    std::mt19937_64 engine(3);
    for (int i = 0; i < 20000; ++i) {
        // Values within a few units of the limits, and anywhere in the range.
        const int64_t centres[] = {327675000, -327685000, 21474836475000, -21474836485000, 0};
        const int64_t c = centres[i % 5] + static_cast<int64_t>(engine() % 40001) - 20000 +
                          (i % 7 == 0 ? static_cast<int64_t>(engine() >> 8) - (1LL << 55) : 0);
        const int64_t whole = nearest_whole(c);

        clear_traps();
        const int16_t s = ZbiCvtCurNumShort(c);
        const bool short_fits = whole >= INT16_MIN && whole <= INT16_MAX;
        ASSERT_EQ(s, short_fits ? whole : 0) << c;
        ASSERT_EQ(traps().size(), short_fits ? 0u : 1u) << c;

        clear_traps();
        const int32_t l = ZbiCvtCurNumLng(c);
        const bool long_fits = whole >= INT32_MIN && whole <= INT32_MAX;
        ASSERT_EQ(l, long_fits ? whole : 0) << c;
        ASSERT_EQ(ZbiCvtCurNumInt(c), l) << c;
        ASSERT_EQ(traps().size(), long_fits ? 0u : 2u) << c;
    }
}

// ---- From Double --------------------------------------------------------------------------------

TEST_F(CurrencyConvertTest, FromDoubleRoundsTheFifthDecimalAwayFromZero) {
    EXPECT_EQ(ZbiCvtDblCurNum(1.00005), 10001);
    EXPECT_EQ(ZbiCvtDblCurNum(-1.00005), -10001);
    EXPECT_EQ(ZbiCvtDblCurNum(1.5), 15000);
    EXPECT_EQ(ZbiCvtDblCurNum(-1.5), -15000);
    // 2.00015 + 0.00005 lies just below 2.0002 in binary.
    EXPECT_EQ(ZbiCvtDblCurNum(2.00015), 20001);
    EXPECT_EQ(ZbiCvtDblCurNum(0.0), 0);
    EXPECT_EQ(ZbiCvtDblCurNum(-0.0), 0);
    EXPECT_EQ(ZbiCvtDblCurNum(0.00004), 0);
    EXPECT_EQ(ZbiCvtDblCurNum(0.75), 7500);
    EXPECT_EQ(ZbiCvtDblCurNum(922337203685477.5), 9223372036854775000);
    EXPECT_EQ(ZbiCvtDblCurNum(-922337203685477.5), -9223372036854775000);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyConvertTest, FromDoubleOutsideTheRangeRaisesTrapSixAndGivesZero) {
    const double beyond = std::nextafter(922337203685477.5, 1e300); // ...477.625
    const double values[] = {922337203685477.6, beyond, -beyond, 1e300, INFINITY, -INFINITY, NAN};
    for (double d : values) {
        clear_traps();
        EXPECT_EQ(ZbiCvtDblCurNum(d), 0) << d;
        EXPECT_EQ(traps(), std::vector<Trap>{kOverflow}) << d;
    }
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiCvtDblCurNum(1e20), TrapException);
}

TEST_F(CurrencyConvertTest, FromDoubleGivesBackEveryFourDecimalValue) {
    std::mt19937_64 engine(11);
    for (int i = 0; i < 50000; ++i) {
        // Units below 2^40: the nearest double of units / 10000 is far closer than half a unit.
        auto units = static_cast<int64_t>(engine() >> 24);
        if (i % 2 != 0) units = -units;
        const double d = static_cast<double>(units) / 10000.0;
        ASSERT_EQ(ZbiCvtDblCurNum(d), units) << d;
    }
    EXPECT_TRUE(traps().empty());
}

// ---- To Double ------------------------------------------------------------------------------

TEST_F(CurrencyConvertTest, ToDoubleOfExactValues) {
    EXPECT_EQ(ZbiCvtCurNumDbl(15000), 1.5);
    EXPECT_EQ(ZbiCvtCurNumDbl(-2500), -0.25);
    EXPECT_EQ(ZbiCvtCurNumDbl(1), 0.0001);
    EXPECT_EQ(ZbiCvtCurNumDbl(-1), -0.0001);
    const double zero = ZbiCvtCurNumDbl(0);
    EXPECT_EQ(zero, 0.0);
    EXPECT_FALSE(std::signbit(zero));
    EXPECT_EQ(ZbiCvtCurNumSng(-2500), -0.25);
    // Multiples of 625 units are sixteenths: exact in binary.
    std::mt19937_64 engine(5);
    for (int i = 0; i < 10000; ++i) {
        auto k = static_cast<int64_t>(engine() >> 21); // 625 * k stays far inside the range
        if (i % 2 != 0) k = -k;
        ASSERT_EQ(ZbiCvtCurNumDbl(625 * k), static_cast<double>(k) / 16.0) << k;
    }
}

// The most negative value converts like every other value: its magnitude is taken as 2^63
// units, so no trap.
TEST_F(CurrencyConvertTest, ToDoubleOfTheLimits) {
    EXPECT_EQ(ZbiCvtCurNumDbl(INT64_MIN), -922337203685477.625); // nearest to ...477.5808
    EXPECT_EQ(ZbiCvtCurNumSng(INT64_MIN), -922337203685477.625);
    EXPECT_EQ(ZbiCvtCurNumDbl(INT64_MAX), 922337203685477.625); // nearest to ...477.5807
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyConvertTest, ToDoubleStaysWithinOneUnitInTheLastPlace) {
    oracle::OperandSource source(8);
    for (int i = 0; i < 50000; ++i) {
        const int64_t c = source.random64();
        const double d = ZbiCvtCurNumDbl(c);
        const long double exact = static_cast<long double>(c) / 10000.0L;
        const long double ulp = std::nextafter(std::fabs(d), INFINITY) - std::fabs(d);
        ASSERT_LE(std::fabs(static_cast<long double>(d) - exact), ulp) << c;
        if (c != INT64_MIN) {
            ASSERT_EQ(ZbiCvtCurNumDbl(-c), -d) << c;
        }
    }
}

// ---- Parsing ----------------------------------------------------------------------------------

TEST_F(CurrencyConvertTest, ParserAcceptsThePlainForm) {
    struct Case {
        const char *text;
        int64_t value;
    };
    const Case cases[] = {{"12.5", 125000},
                          {"-.25", -2500},
                          {"+3", 30000},
                          {"1.2345", 12345},
                          {"-214748.3649", -2147483649},
                          {"", 0},
                          {"-", 0},
                          {"+", 0},
                          {".", 0},
                          {"1.", 10000},
                          {".5", 5000},
                          {"007", 70000},
                          {"922337203685477.5807", INT64_MAX},
                          {"-922337203685477.5808", INT64_MIN}};
    for (const Case &c : cases) {
        int64_t value = 99;
        EXPECT_EQ(parse(c.text, &value), 0) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyConvertTest, ParserRejectsEverythingElseWithoutATrap) {
    const char *texts[] = {"1.23456",
                           "1.2.3",
                           "1e5",
                           " 1",
                           "1,000",
                           "1 ",
                           "--1",
                           "+-1",
                           "..",
                           "1..",
                           "1.00000",
                           "0x10",
                           "$1",
                           "922337203685477.5808",  // one unit beyond the largest value
                           "-922337203685477.5809", // one unit below the most negative
                           "922337203685478",       // fits as digits, not once scaled
                           "99999999999999999999"};
    for (const char *text : texts) {
        int64_t value = 0;
        EXPECT_EQ(parse(text, &value), 1) << text;
    }
    int64_t value = 5;
    EXPECT_EQ(ZbiCvtStrCurNum(nullptr, &value), 1);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ZbiCvtStrCurNum("2", nullptr), 0);
    EXPECT_TRUE(traps().empty());
}

// ---- Text form ----------------------------------------------------------------------------------

TEST_F(CurrencyConvertTest, TextFormOfTheDocumentedValues) {
    struct Case {
        int64_t value;
        const char *text;
    };
    const Case cases[] = {{15000, "1.5"},
                          {10000, "1"},
                          {10, "0.001"},
                          {2500, "0.25"},
                          {-2500, "-.25"},
                          {-15000, "-1.5"},
                          {-10, "-.001"},
                          {100, "0.01"},
                          {0, "0"},
                          {1, "0.0001"},
                          {-1, "-.0001"},
                          {1000000, "100"},
                          {1234567, "123.4567"},
                          {INT64_MAX, "922337203685477.5807"},
                          {INT64_MIN, "-922337203685477.5808"}};
    for (const Case &c : cases) {
        BiString s = ZbiCvtCurNumStr(c.value, 10);
        EXPECT_TRUE(BiStringIsTemporary(s));
        EXPECT_EQ(take(s), c.text) << c.value;
    }
}

TEST_F(CurrencyConvertTest, TextFormMatchesTheReferenceAndParsesBack) {
    auto values = oracle::OperandSource::boundaries64();
    oracle::OperandSource source(31);
    for (int i = 0; i < 20000; ++i)
        values.push_back(source.random64());
    BlockBalance balance;
    for (int64_t c : values) {
        const std::string text = take(ZbiCvtCurNumStr(c, 10));
        ASSERT_EQ(text, expected_text(c)) << c;
        int64_t back = 0;
        ASSERT_EQ(parse(text.c_str(), &back), 0) << text;
        ASSERT_EQ(back, c) << text;
    }
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(CurrencyConvertTest, TextFormWithoutMemoryRaisesTrapSeven) {
    fail_allocations_after(0);
    BiString s = ZbiCvtCurNumStr(15000, 10);
    EXPECT_EQ(BiStringLength(s), 0u);
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}}));

    clear_traps();
    set_mode(HookMode::Throw);
    BlockBalance balance;
    fail_allocations_after(0);
    EXPECT_THROW(ZbiCvtCurNumStr(-2500, 10), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(CurrencyConvertTest, TextFormIgnoresAnyOtherBase) {
    EXPECT_EQ(take(ZbiCvtCurNumStr(15000, 16)), "1.5");
    EXPECT_EQ(take(ZbiCvtCurNumStr(-2500, 1)), "-.25");
    EXPECT_EQ(take(ZbiCvtCurNumStr(10000, 0)), "1");
}
