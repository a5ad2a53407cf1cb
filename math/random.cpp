// Rnd and Randomize on the platform C runtime's generator, which the per-run reset also seeds.
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>

#include "brtl/math.h"
#include "platform/random.h"

namespace brtl::math {

namespace {

// 1/32769: a draw (r + 1) / 32769 lies strictly between 0 and 1.
const double kDrawScale = std::bit_cast<double>(UINT64_C(0x3EFFFFC0007FFF00));

// Set by the first Rnd; the value Rnd returned last. Process-wide, like the generator.
std::atomic<bool> g_drawn{false};
std::atomic<double> g_last{0.0};

double draw() {
    return (platform::rand() + 1.0) * kDrawScale;
}

// The low 32 bits of x truncated toward zero to a 64-bit integer; 0 when x is NaN or beyond the
// 64-bit range, as the processor's conversion gives its "integer indefinite" value there.
uint32_t truncated_low_bits(double x) {
    double whole = std::trunc(x);
    if (!(whole >= -9223372036854775808.0 && whole < 9223372036854775808.0)) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(whole)));
}

} // namespace

} // namespace brtl::math

extern "C" {

BRTL_API double ZbiBuiltIn_Rnd(double n) {
    if (!brtl::math::g_drawn.exchange(true)) brtl::math::g_last.store(brtl::math::draw());
    if (n < 0.0) brtl::platform::srand(brtl::math::truncated_low_bits(n));
    if (n != 0.0) brtl::math::g_last.store(brtl::math::draw());
    return brtl::math::g_last.load();
}

BRTL_API void ZbiBuiltIn_Randomize(double seed) {
    double whole = 0.0;
    double fraction = std::modf(seed, &whole);
    double s = std::fmod(std::fabs(whole) + std::fabs(fraction) * 10000.0, 4294967295.0);
    brtl::platform::srand(brtl::math::truncated_low_bits(s));
}

} // extern "C"
