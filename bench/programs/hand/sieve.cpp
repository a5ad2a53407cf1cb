// sieve.bas by hand: the sieve of Eratosthenes over the numbers up to 2,000,000, one Integer flag
// each, run three times; prints the count of primes and their total over the rounds. A plain C++
// array and loops, with the checks the dialect makes: every Integer and Long sum and product
// (the For counters' steps included) traps on overflow, every subscript is checked against the
// array's bounds.
#include <vector>

#include "hand.h"

namespace {

constexpr int32_t kLimit = 2000000;
constexpr int16_t kRounds = 3;

void program() {
    // Dim flags(LIMIT) As Integer: subscripts 0 to LIMIT, every flag 0.
    std::vector<int16_t> flags(static_cast<size_t>(kLimit) + 1);
    auto flag = [&flags](int32_t i) -> int16_t & { return flags[hand::subscript(i, 0, kLimit)]; };
    int32_t i = 0, j = 0, primes = 0, total = 0;

    for (int16_t round = 1; round <= kRounds; round = hand::add(round, int16_t{1})) {
        for (i = 2; i <= kLimit; i = hand::add(i, 1))
            flag(i) = 1;
        i = 2;
        while (hand::mul(i, i) <= kLimit) {
            if (flag(i) == 1) {
                for (j = hand::mul(i, i); j <= kLimit; j = hand::add(j, i))
                    flag(j) = 0;
            }
            i = hand::add(i, 1);
        }
        primes = 0;
        for (i = 2; i <= kLimit; i = hand::add(i, 1))
            if (flag(i) == 1) primes = hand::add(primes, 1);
        total = hand::add(total, primes);
    }

    using brtl::rt::concat;
    BiString line = concat(hand::text("checksum sieve "), hand::cstr(primes));
    line = concat(line, hand::text(" "));
    line = concat(line, hand::cstr(total));
    brtl::rt::print_item(line);
    brtl::rt::console_newline();
}

} // namespace

int main() {
    return hand::run(program);
}
