// Rnd and Randomize: seeded sequences against the generator's recurrence computed here, the
// first-draw rule (in a new process, since the flag lives for the whole process), and the
// range of the values.
#include <vector>

#include "harness/fresh_process.h"
#include "harness/harness.h"

using namespace brtl_test;

namespace {

// A draw: the generator's number plus one, times the double nearest 1/32769.
double scaled(uint32_t r) {
    return (r + 1.0) * (1.0 / 32769.0);
}

// The generator's recurrence and the draw formula, written out independently of the library.
struct Generator {
    uint32_t state;
    double next() {
        state = static_cast<uint32_t>((uint64_t{state} * 214013u + 2531011u) % 4294967296u);
        return scaled((state >> 16) % 32768u);
    }
};

std::vector<double> sequence(uint32_t seed, int count) {
    Generator g{seed};
    std::vector<double> out;
    for (int i = 0; i < count; ++i)
        out.push_back(g.next());
    return out;
}

std::vector<double> rnd_positive(int count) {
    std::vector<double> out;
    for (int i = 0; i < count; ++i)
        out.push_back(ZbiBuiltIn_Rnd(1.0));
    return out;
}

// The seed whose first number is r: solves (seed * 214013 + 2531011) >> 16 == r for the seed,
// with the multiplier's inverse modulo 2^32 found by Newton's iteration.
uint32_t seed_giving(uint32_t r) {
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    uint32_t wanted_state = r << 16;
    return (wanted_state - 2531011u) * inverse;
}

// A negative argument whose truncation has the given low 32 bits.
double negative_for(uint32_t seed) {
    return -(4294967296.0 - seed);
}

class RndTest : public RuntimeTest {};

} // namespace

TEST_F(RndTest, FirstCallOfAProcessDrawsBeforeAnything) {
    // The generator starts as a seed of 1 leaves it: 41, 18467, 6334, ...
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZbiBuiltIn_Rnd(0.0), scaled(41)); // the first draw, repeated
        EXPECT_EQ(ZbiBuiltIn_Rnd(0.0), scaled(41));
        EXPECT_EQ(ZbiBuiltIn_Rnd(5.0), scaled(18467));
    });
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZbiBuiltIn_Rnd(1.0), scaled(18467)); // the first draw is made and replaced
    });
    BRTL_IN_FRESH_PROCESS({
        // The first draw comes from the unseeded sequence, then -3 seeds and draws again.
        EXPECT_EQ(ZbiBuiltIn_Rnd(-3.0), sequence(0xFFFFFFFDu, 1)[0]);
        ZbiBuiltIn_Randomize(1.0);
        EXPECT_EQ(ZbiBuiltIn_Rnd(1.0), scaled(41));
    });
}

TEST_F(RndTest, NegativeArgumentRestartsItsOwnSequence) {
    const std::vector<double> expected = sequence(0xFFFFFFFDu, 4); // -3 as an unsigned seed
    EXPECT_EQ(ZbiBuiltIn_Rnd(-3.0), expected[0]);
    EXPECT_EQ(ZbiBuiltIn_Rnd(-3.0), expected[0]);
    EXPECT_EQ(ZbiBuiltIn_Rnd(0.0), expected[0]);
    EXPECT_EQ(rnd_positive(3), std::vector<double>(expected.begin() + 1, expected.end()));
}

TEST_F(RndTest, NegativeSeedsAreTruncatedToTheirLow32Bits) {
    EXPECT_EQ(ZbiBuiltIn_Rnd(-1.9), sequence(0xFFFFFFFFu, 1)[0]);          // truncated toward zero
    EXPECT_EQ(ZbiBuiltIn_Rnd(-4294967297.0), sequence(0xFFFFFFFFu, 1)[0]); // beyond 32 bits
    EXPECT_EQ(ZbiBuiltIn_Rnd(-4294967296.0), sequence(0u, 1)[0]);
    EXPECT_EQ(ZbiBuiltIn_Rnd(-0.5), sequence(0u, 1)[0]);   // truncates to 0 but is negative
    EXPECT_EQ(ZbiBuiltIn_Rnd(-1e300), sequence(0u, 1)[0]); // beyond 64 bits: seed 0
}

TEST_F(RndTest, RandomizeSeedsFromIntegerAndFraction) {
    struct Case {
        double argument;
        uint32_t seed;
    };
    const Case cases[] = {
        {5.0, 5},
        {5, 5},
        {1.5, 5001},
        {-5.0, 5},
        {-1.25, 2501},
        {0.0001, 1},
        {4294967295.0, 0},
        {4294967296.5, 5001}, // taken modulo 4294967295
        {123456.75, 130956},
    };
    ZbiBuiltIn_Rnd(0.0); // the first Rnd of a process draws once more: make it now
    for (const Case &c : cases) {
        SCOPED_TRACE(c.argument);
        ZbiBuiltIn_Randomize(c.argument);
        EXPECT_EQ(rnd_positive(5), sequence(c.seed, 5));
    }
}

TEST_F(RndTest, RandomizeLeavesTheLastValue) {
    double last = ZbiBuiltIn_Rnd(-7.0);
    ZbiBuiltIn_Randomize(99.0);
    EXPECT_EQ(ZbiBuiltIn_Rnd(0.0), last);
    EXPECT_EQ(ZbiBuiltIn_Rnd(1.0), sequence(99, 1)[0]);
}

TEST_F(RndTest, ValuesLieStrictlyBetweenZeroAndOne) {
    const uint32_t lowest = seed_giving(0);
    const uint32_t highest = seed_giving(32767);
    const double first_low = ZbiBuiltIn_Rnd(negative_for(lowest));
    EXPECT_EQ(first_low, scaled(0));
    EXPECT_GT(first_low, 0.0);
    const double first_high = ZbiBuiltIn_Rnd(negative_for(highest));
    EXPECT_EQ(first_high, scaled(32767));
    EXPECT_LT(first_high, 1.0);
    for (double v : rnd_positive(10000)) {
        EXPECT_GT(v, 0.0);
        EXPECT_LT(v, 1.0);
    }
}
