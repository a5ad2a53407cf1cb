// The platform C runtime's generator that seeded Rnd sequences must repeat.
#include <vector>

#include "harness/harness.h"
#include "platform/random.h"

using namespace brtl_test;
namespace pf = brtl::pf;

namespace {

// The generator's recurrence, written out here independently of the library.
std::vector<int32_t> expected_sequence(uint32_t seed, int count) {
    std::vector<int32_t> out;
    uint64_t state = seed;
    for (int i = 0; i < count; ++i) {
        state = (state * 214013u + 2531011u) % 4294967296u;
        out.push_back(static_cast<int32_t>((state / 65536u) % 32768u));
    }
    return out;
}

std::vector<int32_t> drawn(int count) {
    std::vector<int32_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(pf::rand());
    return out;
}

class RandomTest : public RuntimeTest {};

} // namespace

TEST_F(RandomTest, SeedOneGivesTheWellKnownSequence) {
    pf::srand(1);
    EXPECT_EQ(drawn(10), (std::vector<int32_t>{41, 18467, 6334, 26500, 19169, 15724, 11478, 29358,
                                               26962, 24464}));
}

TEST_F(RandomTest, EverySeedFollowsTheRecurrence) {
    for (uint32_t seed : {0u, 1u, 5u, 5001u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFDu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(seed);
        pf::srand(seed);
        EXPECT_EQ(drawn(1000), expected_sequence(seed, 1000));
    }
}
