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

// The draws of the generator's recurrence from a seed, written out independently of the library.
std::vector<double> sequence(uint32_t seed, int count) {
    std::vector<double> out;
    for (uint64_t state = seed; count-- > 0;) {
        state = (state * 214013u + 2531011u) % 4294967296u;
        out.push_back(scaled((state >> 16) % 32768u));
    }
    return out;
}

std::vector<double> rnd_positive(int count) {
    std::vector<double> out;
    while (count-- > 0)
        out.push_back(ZbiBuiltIn_Rnd(1.0));
    return out;
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

TEST_F(RndTest, NegativeArgumentRestartsTheSequenceOfItsLow32Bits) {
    const std::vector<double> expected = sequence(0xFFFFFFFDu, 4); // -3 as an unsigned seed
    EXPECT_EQ(ZbiBuiltIn_Rnd(-3.0), expected[0]);
    EXPECT_EQ(ZbiBuiltIn_Rnd(-3.0), expected[0]);
    EXPECT_EQ(ZbiBuiltIn_Rnd(0.0), expected[0]);
    EXPECT_EQ(rnd_positive(3), std::vector<double>(expected.begin() + 1, expected.end()));
    // Truncated toward zero; beyond 32 bits the low ones; beyond 64 bits seed 0; -0.5 truncates
    // to 0 but is negative.
    const std::pair<double, uint32_t> seeds[] = {{-1.9, 0xFFFFFFFFu},
                                                 {-4294967297.0, 0xFFFFFFFFu},
                                                 {-4294967296.0, 0u},
                                                 {-0.5, 0u},
                                                 {-1e300, 0u}};
    for (auto [argument, seed] : seeds)
        EXPECT_EQ(ZbiBuiltIn_Rnd(argument), sequence(seed, 1)[0]) << argument;
    // Randomize leaves the last value.
    const double last = ZbiBuiltIn_Rnd(-7.0);
    ZbiBuiltIn_Randomize(99.0);
    EXPECT_EQ(ZbiBuiltIn_Rnd(0.0), last);
    EXPECT_EQ(ZbiBuiltIn_Rnd(1.0), sequence(99, 1)[0]);
}

TEST_F(RndTest, RandomizeSeedsFromIntegerAndFraction) {
    const std::pair<double, uint32_t> cases[] = {
        {5.0, 5},
        {1.5, 5001},
        {-5.0, 5},
        {-1.25, 2501},
        {0.0001, 1},
        {4294967295.0, 0},
        {123456.75, 130956},
        {4294967296.5, 5001}, // taken modulo 4294967295
    };
    ZbiBuiltIn_Rnd(0.0); // the first Rnd of a process draws once more: make it now
    for (auto [argument, seed] : cases) {
        ZbiBuiltIn_Randomize(argument);
        EXPECT_EQ(rnd_positive(5), sequence(seed, 5)) << argument;
    }
}

TEST_F(RndTest, TheExtremeNumbersLieStrictlyBetweenZeroAndOne) {
    // The seed whose first number is r solves (seed * 214013 + 2531011) >> 16 == r, with the
    // multiplier's inverse modulo 2^32 found by Newton's iteration; -(2^32 - seed) truncates to
    // a negative argument with those low 32 bits.
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    for (uint32_t r : {0u, 32767u}) {
        const uint32_t seed = ((r << 16) - 2531011u) * inverse;
        const double v = ZbiBuiltIn_Rnd(-(4294967296.0 - seed));
        EXPECT_EQ(v, scaled(r));
        EXPECT_TRUE(v > 0.0 && v < 1.0) << v;
    }
}
