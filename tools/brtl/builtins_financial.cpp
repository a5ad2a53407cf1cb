// The financial functions, with the dialect's optional arguments (fv and type 0, guess 0.1).
#include "builtins.h"

namespace brtl_host {
namespace {

constexpr double kDefaultGuess = 0.1;

int32_t type_arg(Call &c, size_t i) {
    return c.has(i) ? c.i32(i) : 0;
}

void fv(Call &c) {
    c.ret(ZbiBuiltIn_FV(c.dbl(0), c.dbl(1), c.dbl(2), c.dbl_or(3, 0), type_arg(c, 4)));
}
void pv(Call &c) {
    c.ret(ZbiBuiltIn_PV(c.dbl(0), c.dbl(1), c.dbl(2), c.dbl_or(3, 0), type_arg(c, 4)));
}
void pmt(Call &c) {
    c.ret(ZbiBuiltIn_Pmt(c.dbl(0), c.dbl(1), c.dbl(2), c.dbl_or(3, 0), type_arg(c, 4)));
}
void nper(Call &c) {
    c.ret(ZbiBuiltIn_NPer(c.dbl(0), c.dbl(1), c.dbl(2), c.dbl_or(3, 0), type_arg(c, 4)));
}
void ipmt(Call &c) {
    c.ret(ZbiBuiltIn_IPmt(c.dbl(0), c.dbl(1), c.dbl(2), c.dbl(3), c.dbl_or(4, 0), type_arg(c, 5)));
}
void ppmt(Call &c) {
    c.ret(ZbiBuiltIn_PPmt(c.dbl(0), c.dbl(1), c.dbl(2), c.dbl(3), c.dbl_or(4, 0), type_arg(c, 5)));
}
void rate(Call &c) {
    c.ret(ZbiBuiltIn_Rate(c.dbl(0), c.dbl(1), c.dbl(2), c.dbl_or(3, 0), type_arg(c, 4),
                          c.dbl_or(5, kDefaultGuess)));
}

// The cash flows: an array (literal or variable) of at most 32767 values.
std::vector<double> flows(Call &c, size_t i) {
    std::vector<double> values = c.doubles(i);
    if (values.size() > 32767) throw BasicTrap{BI_TRAP_ILLEGAL_CALL};
    return values;
}
int16_t count_of(const std::vector<double> &v) {
    return static_cast<int16_t>(v.size());
}

void npv(Call &c) {
    double r = c.dbl(0);
    std::vector<double> v = flows(c, 1);
    c.ret(ZbiBuiltIn_NPV(r, v.data(), count_of(v)));
}
void irr(Call &c) {
    std::vector<double> v = flows(c, 0);
    c.ret(ZbiBuiltIn_IRR(v.data(), count_of(v), c.dbl_or(1, kDefaultGuess)));
}
// MIRR uses count - 1 values: the count it is given is one more than the array's length.
void mirr(Call &c) {
    std::vector<double> v = flows(c, 0);
    if (v.size() == 32767) throw BasicTrap{BI_TRAP_ILLEGAL_CALL};
    c.ret(ZbiBuiltIn_MIRR(v.data(), static_cast<int16_t>(count_of(v) + 1), c.dbl(1), c.dbl(2)));
}
void sln(Call &c) {
    c.ret(ZbiBuiltIn_SLN(c.dbl(0), c.dbl(1), c.dbl(2)));
}
void syd(Call &c) {
    c.ret(ZbiBuiltIn_SYD(c.dbl(0), c.dbl(1), c.dbl(2), c.dbl(3)));
}
void ddb(Call &c) {
    c.ret(ZbiBuiltIn_DDB(c.dbl(0), c.dbl(1), c.dbl(2), c.dbl(3)));
}

} // namespace

const BuiltinTable &financial_builtins() {
    static const BuiltinTable rows = {
        {"FV", "ZbiBuiltIn_FV", 3, 5, fv},       {"PV", "ZbiBuiltIn_PV", 3, 5, pv},
        {"Pmt", "ZbiBuiltIn_Pmt", 3, 5, pmt},    {"NPer", "ZbiBuiltIn_NPer", 3, 5, nper},
        {"IPmt", "ZbiBuiltIn_IPmt", 4, 6, ipmt}, {"PPmt", "ZbiBuiltIn_PPmt", 4, 6, ppmt},
        {"Rate", "ZbiBuiltIn_Rate", 3, 6, rate}, {"NPV", "ZbiBuiltIn_NPV", 2, 2, npv},
        {"IRR", "ZbiBuiltIn_IRR", 1, 2, irr},    {"MIRR", "ZbiBuiltIn_MIRR", 3, 3, mirr},
        {"SLN", "ZbiBuiltIn_SLN", 3, 3, sln},    {"SYD", "ZbiBuiltIn_SYD", 4, 4, syd},
        {"DDB", "ZbiBuiltIn_DDB", 4, 4, ddb},
    };
    return rows;
}

} // namespace brtl_host
