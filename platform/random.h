// The random generator of the platform C runtime that translated programs were written for, so
// that a seeded sequence repeats the numbers those programs drew: a linear congruential
// generator with state = state * 214013 + 2531011 (mod 2^32), each number the bits 16-30 of the
// new state (0 to 32767). The state is process-wide and starts as srand(1) leaves it.
#pragma once

#include <cstdint>

namespace brtl::platform {

// The largest number rand returns.
constexpr int32_t kRandMax = 0x7FFF;

// Sets the generator's state to seed.
void srand(uint32_t seed);
// Advances the state and returns the next number, 0 to kRandMax.
int32_t rand();

} // namespace brtl::platform
