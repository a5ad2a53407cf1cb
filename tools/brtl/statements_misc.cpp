// Randomize, the Error statement, Debug.Assert and Option Compare.
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

// Option Compare Text | Binary: whether string comparisons ignore letter case.
void option_compare(Interp &, const Stmt &s) {
    const Expr *word = s.args.size() == 1 && s.args[0].expr ? s.args[0].expr.get() : nullptr;
    if (word == nullptr || word->kind != Expr::Kind::Name || word->parens ||
        (word->name != "TEXT" && word->name != "BINARY"))
        throw HostError{"Option Compare Text or Binary expected"};
    set_text_compare(word->name == "TEXT");
}

} // namespace

const StatementTable &misc_statements() {
    static const StatementTable rows = {
        {"Randomize", "ZbiBuiltIn_Randomize", Shape::Args, randomize},
        {"Error", "", Shape::Args, error},
        {"Debug.Assert", "ZbiBuiltIn_Assert", Shape::Args, debug_assert},
        {"Option Compare", "", Shape::Args, option_compare},
    };
    return rows;
}

} // namespace brtl_host
