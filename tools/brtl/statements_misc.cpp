// Randomize, the Error statement and Debug.Assert.
#include "interp.h"

namespace brtl_host {
namespace {

constexpr int32_t kLargestErrorNumber = 65535;

// Randomize without a seed takes the seconds since midnight.
void randomize(Interp &in, const Stmt &s) {
    Value seed;
    if (!s.args.empty() && s.args[0].expr)
        seed = in.eval(*s.args[0].expr);
    else
        ZbiBuiltIn_Timer(seed.get());
    ZbiBuiltIn_Randomize(to_double(seed));
}

// Error n raises trap n, as a builtin's trap would.
void error(Interp &in, const Stmt &s) {
    if (s.args.size() != 1 || !s.args[0].expr) throw HostError{"Error n expected"};
    int32_t n = to_i32(in.eval(*s.args[0].expr));
    if (n < 1 || n > kLargestErrorNumber) throw BasicTrap{BI_TRAP_ILLEGAL_CALL};
    throw BasicTrap{n};
}

// Debug.Assert condition: the library writes the message and raises trap 17 when it is False.
void debug_assert(Interp &in, const Stmt &s) {
    if (s.args.size() != 1 || !s.args[0].expr) throw HostError{"Debug.Assert condition expected"};
    int16_t holds = is_true(in.eval(*s.args[0].expr)) ? -1 : 0;
    OwnedBiString message(to_bistring(from_text("Debug.Assert")));
    OwnedBiString source(to_bistring(from_text("brtl")));
    ZbiBuiltIn_Assert(message.release(), source.release(), 0, 1, int{holds});
}

} // namespace

const StatementTable &misc_statements() {
    static const StatementTable rows = {
        {"Randomize", "ZbiBuiltIn_Randomize", Shape::Args, randomize},
        {"Error", "", Shape::Args, error},
        {"Debug.Assert", "ZbiBuiltIn_Assert", Shape::Args, debug_assert},
    };
    return rows;
}

} // namespace brtl_host
