// Currency conversions: integers, Double in both directions, the parser and the text form.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>

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
    const uint64_t m = c < 0 ? 0 - static_cast<uint64_t>(c) : static_cast<uint64_t>(c);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%" PRIu64 ".%04" PRIu64, c < 0 ? "-" : "", m / 10000,
                  m % 10000);
    std::string s = buf;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    return s;
}

} // namespace

TEST_F(CurrencyConvertTest, IntegerConversionsRoundHalfToEvenAndTrapOutsideTheirRange) {
    const std::pair<int32_t, int64_t> longs[] = {
        {0, 0}, {-3, -30000}, {INT32_MIN, -21474836480000}, {INT32_MAX, 21474836470000}};
    for (auto [n, units] : longs)
        EXPECT_EQ(ZbiCvtLngCurNum(n), units) << n;
    // The ties at either limit of each type (-32768.5 rounds to even in range, 32767.5 out of it)
    // and the limits of Currency (one trap, not one for the rounding and another), then values
    // within a few units of the limits and anywhere in the range.
    std::vector<int64_t> values = {327674999,      -327685000,      25000,     -35000,
                                   21474836465000, -21474836485000, 327675000, -327695000,
                                   21474836475000, -21474836495000, INT64_MAX, INT64_MIN};
    std::mt19937_64 engine(3);
    const int64_t centres[] = {327675000, -327685000, 21474836475000, -21474836485000, 0};
    for (int i = 0; i < 20000; ++i)
        values.push_back(centres[i % 5] + static_cast<int64_t>(engine() % 40001) - 20000 +
                         (i % 7 == 0 ? static_cast<int64_t>(engine() >> 8) - (1LL << 55) : 0));
    for (int64_t c : values) {
        const auto whole = static_cast<int64_t>(oracle::round_half_even(c, 10000));
        const bool short_fits = whole >= INT16_MIN && whole <= INT16_MAX;
        const bool long_fits = whole >= INT32_MIN && whole <= INT32_MAX;
        clear_traps();
        ASSERT_EQ(ZbiCvtCurNumShort(c), short_fits ? whole : 0) << c;
        ASSERT_EQ(traps(), std::vector<Trap>(short_fits ? 0 : 1, kOverflow)) << c;
        clear_traps();
        ASSERT_EQ(ZbiCvtCurNumLng(c), long_fits ? whole : 0) << c;
        ASSERT_EQ(ZbiCvtCurNumInt(c), long_fits ? whole : 0) << c;
        ASSERT_EQ(traps(), std::vector<Trap>(long_fits ? 0 : 2, kOverflow)) << c;
    }
}

TEST_F(CurrencyConvertTest, FromDoubleRoundsTheFifthDecimalAwayFromZeroAndTrapsOutsideTheRange) {
    // 2.00015 + 0.00005 lies just below 2.0002 in binary.
    const std::pair<double, int64_t> cases[] = {{1.00005, 10001}, {-1.00005, -10001}, {1.5, 15000},
                                                {-1.5, -15000},   {2.00015, 20001},   {0.0, 0},
                                                {-0.0, 0},        {0.00004, 0},       {0.75, 7500}};
    for (auto [d, units] : cases)
        EXPECT_EQ(ZbiCvtDblCurNum(d), units) << d;
    EXPECT_EQ(ZbiCvtDblCurNum(922337203685477.5), 9223372036854775000);
    EXPECT_EQ(ZbiCvtDblCurNum(-922337203685477.5), -9223372036854775000);
    EXPECT_TRUE(traps().empty());
    const double beyond = std::nextafter(922337203685477.5, 1e300); // ...477.625
    for (double d : {922337203685477.6, beyond, -beyond, 1e300, double(INFINITY), -double(INFINITY),
                     double(NAN)}) {
        clear_traps();
        EXPECT_EQ(ZbiCvtDblCurNum(d), 0) << d;
        EXPECT_EQ(traps(), std::vector<Trap>{kOverflow}) << d;
    }
    // Below 2^40 units the nearest Double of units / 10000 is far closer than half a unit.
    std::mt19937_64 engine(11);
    for (int i = 0; i < 50000; ++i) {
        const auto units = static_cast<int64_t>(engine() >> 24) * (i % 2 != 0 ? -1 : 1);
        ASSERT_EQ(ZbiCvtDblCurNum(static_cast<double>(units) / 10000.0), units) << units;
    }
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiCvtDblCurNum(1e20), TrapException);
}

TEST_F(CurrencyConvertTest, ToDoubleStaysWithinOneUnitInTheLastPlace) {
    EXPECT_EQ(ZbiCvtCurNumDbl(-1), -0.0001);
    // The most negative value converts like any other, its magnitude taken as 2^63 units: the
    // nearest Doubles to ...477.5808 and ...477.5807.
    EXPECT_EQ(ZbiCvtCurNumDbl(INT64_MIN), -922337203685477.625);
    EXPECT_EQ(ZbiCvtCurNumDbl(INT64_MAX), 922337203685477.625);
    EXPECT_FALSE(std::signbit(ZbiCvtCurNumDbl(0)));
    EXPECT_EQ(ZbiCvtCurNumSng(-2500), -0.25);
    EXPECT_EQ(ZbiCvtCurNumSng(INT64_MIN), -922337203685477.625);
    EXPECT_TRUE(traps().empty());
    std::mt19937_64 engine(5);
    for (int i = 0; i < 50000; ++i) {
        // Multiples of 625 units are sixteenths: exact in binary.
        const auto k = static_cast<int64_t>(engine() >> 21) * (i % 2 != 0 ? -1 : 1);
        ASSERT_EQ(ZbiCvtCurNumDbl(625 * k), static_cast<double>(k) / 16.0) << k;
        const int64_t c = oracle::random64(engine);
        const double d = ZbiCvtCurNumDbl(c);
        const long double exact = static_cast<long double>(c) / 10000.0L;
        const long double ulp = std::nextafter(std::fabs(d), INFINITY) - std::fabs(d);
        ASSERT_LE(std::fabs(static_cast<long double>(d) - exact), ulp) << c;
        if (c != INT64_MIN) {
            ASSERT_EQ(ZbiCvtCurNumDbl(-c), -d) << c;
        }
    }
}

TEST_F(CurrencyConvertTest, ParserAcceptsThePlainFormOnly) {
    // Canonical texts are parsed back in the round trip of the text form below.
    const std::pair<const char *, int64_t> accepted[] = {
        {"12.5", 125000}, {"+3", 30000}, {"1.2345", 12345}, {"", 0},      {"-", 0},
        {"+", 0},         {".", 0},      {"1.", 10000},     {".5", 5000}, {"007", 70000}};
    for (auto [text, units] : accepted) {
        int64_t value = 99;
        EXPECT_EQ(ZbiCvtStrCurNum(text, &value), 0) << text;
        EXPECT_EQ(value, units) << text;
    }
    // The last four: one unit beyond either limit, digits that fit only before scaling.
    for (const char *text : {"1.23456", "1.2.3", "1e5", " 1", "1,000", "1 ", "--1", "+-1", "..",
                             "1..", "1.00000", "0x10", "$1", "922337203685477.5808",
                             "-922337203685477.5809", "922337203685478", "99999999999999999999"}) {
        int64_t value = 0;
        EXPECT_EQ(ZbiCvtStrCurNum(text, &value), 1) << text;
    }
    int64_t value = 5;
    EXPECT_EQ(ZbiCvtStrCurNum(nullptr, &value), 1);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ZbiCvtStrCurNum("2", nullptr), 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyConvertTest, TextFormMatchesTheReferenceAndParsesBack) {
    // Any base is taken as 10.
    const std::tuple<int64_t, int32_t, const char *> bases[] = {
        {15000, 16, "1.5"}, {-2500, 1, "-.25"}, {10000, 0, "1"}};
    for (auto [value, base, text] : bases) {
        BiString s = ZbiCvtCurNumStr(value, base);
        EXPECT_TRUE(BiStringIsTemporary(s));
        EXPECT_EQ(take(s), text) << value;
    }
    auto values = oracle::boundaries64();
    values.insert(values.end(), {15000, 10, 2500, -2500, -15000, -10, 100, 1000000, 1234567});
    std::mt19937_64 engine(31);
    for (int i = 0; i < 20000; ++i)
        values.push_back(oracle::random64(engine));
    BlockBalance balance;
    for (int64_t c : values) {
        const std::string text = take(ZbiCvtCurNumStr(c, 10));
        ASSERT_EQ(text, expected_text(c)) << c;
        int64_t back = 0;
        ASSERT_EQ(ZbiCvtStrCurNum(text.c_str(), &back), 0) << text;
        ASSERT_EQ(back, c) << text;
    }
    EXPECT_EQ(balance.delta(), 0);
}
