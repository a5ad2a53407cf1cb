// The platform C runtime's generator that seeded Rnd sequences must repeat.
#include <vector>

#include "harness/harness.h"
#include "platform/random.h"

using namespace brtl_test;
namespace platform = brtl::platform;

namespace {

class RandomTest : public RuntimeTest {};

std::vector<int32_t> drawn(uint32_t seed, int count) {
    platform::srand(seed);
    std::vector<int32_t> out;
    while (count-- > 0)
        out.push_back(platform::rand());
    return out;
}

} // namespace

TEST_F(RandomTest, EverySeedFollowsTheRecurrence) {
    EXPECT_EQ(drawn(1, 10), (std::vector<int32_t>{41, 18467, 6334, 26500, 19169, 15724, 11478,
                                                  29358, 26962, 24464})); // the well-known one
    for (uint32_t seed : {0u, 1u, 5u, 5001u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFDu, 0xFFFFFFFFu}) {
        // The recurrence, written out here independently of the library.
        std::vector<int32_t> expected;
        for (uint64_t state = seed; expected.size() < 1000;) {
            state = (state * 214013u + 2531011u) % 4294967296u;
            expected.push_back(static_cast<int32_t>((state / 65536u) % 32768u));
        }
        EXPECT_EQ(drawn(seed, 1000), expected) << seed;
    }
}
