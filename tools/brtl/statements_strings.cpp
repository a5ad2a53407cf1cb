// The string assignment statements: Mid(v, start[, length]) = t and MidB on a variable (the
// Variant forms; Mid$ and MidB$ take the runtime-string forms), LSet v = t and RSet v = t.
#include "interp.h"

namespace brtl_host {
namespace {

constexpr int32_t kToTheEnd = 0x7FFFFFFF; // the length of a Mid without one

const Expr &target_of(const Stmt &s, const char *form) {
    const Expr *target = s.args.empty() ? nullptr : s.args[0].expr.get();
    if (target == nullptr || target->kind != Expr::Kind::Name || target->parens)
        throw HostError{std::string(form) + ": a variable expected"};
    return *target;
}

// Mid(target, start[, length]): the start and the length.
void positions(Interp &in, const Stmt &s, int32_t &start, int32_t &length) {
    if (s.args.size() < 2 || s.args.size() > 3 || !s.args[1].expr)
        throw HostError{"Mid(variable, start[, length]) = text expected"};
    start = to_i32(in.eval(*s.args[1].expr));
    length = s.args.size() == 3 && s.args[2].expr ? to_i32(in.eval(*s.args[2].expr)) : kToTheEnd;
}

// A string variable of the library: the text of a value in a buffer of its own, freed when the
// statement is done with it (the statement may have given it a new buffer).
class StringVariable {
  public:
    explicit StringVariable(const Value &v) : s_(to_bistring(v)) {
        s_.length_word &= BI_STRING_LENGTH_MASK;
    }
    StringVariable(const StringVariable &) = delete;
    StringVariable &operator=(const StringVariable &) = delete;
    ~StringVariable() {
        if (BiStringLength(s_) != 0) ZbiFreeBiString(s_);
    }
    BiString *get() { return &s_; }
    std::string text() const { return std::string(s_.data, BiStringLength(s_)); }

  private:
    BiString s_;
};

using VariantStatement = void (*)(VARIANT *, VARIANT, int32_t, int32_t);
using StringStatement = void (*)(BiString *, BiString, int32_t, int32_t);

template <VariantStatement F> void mid_variant(Interp &in, const Stmt &s) {
    const Expr &target = target_of(s, "Mid");
    int32_t start = 0, length = 0;
    positions(in, s, start, length);
    Value text = in.eval(*s.value);
    if (text.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    Value dest = in.variable(target);
    F(dest.get(), text.release(), start, length);
    in.assign(target, std::move(dest));
}

template <StringStatement F> void mid_string(Interp &in, const Stmt &s) {
    const Expr &target = target_of(s, "Mid$");
    int32_t start = 0, length = 0;
    positions(in, s, start, length);
    OwnedBiString text(to_bistring(in.eval(*s.value)));
    StringVariable dest(in.variable(target));
    F(dest.get(), text.release(), start, length);
    in.assign(target, from_text(dest.text()));
}

template <void (*F)(VARIANT *, VARIANT)> void justify(Interp &in, const Stmt &s) {
    const Expr &target = target_of(s, "LSet variable = text");
    if (s.args.size() != 1) throw HostError{"LSet variable = text expected"};
    Value text = in.eval(*s.value);
    if (text.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    Value dest = in.variable(target);
    F(dest.get(), text.release());
    in.assign(target, std::move(dest));
}

} // namespace

const StatementTable &string_statements() {
    static const StatementTable rows = {
        {"Mid", "ZbiBuiltIn_MidStmt", Shape::Assign, mid_variant<ZbiBuiltIn_MidStmt>},
        {"MidB", "ZbiBuiltIn_MidBStmt", Shape::Assign, mid_variant<ZbiBuiltIn_MidBStmt>},
        {"Mid$", "ZbiBuiltIn_MidStmt_", Shape::Assign, mid_string<ZbiBuiltIn_MidStmt_>},
        {"MidB$", "ZbiBuiltIn_MidBStmt_", Shape::Assign, mid_string<ZbiBuiltIn_MidBStmt_>},
        {"LSet", "ZbiBuiltIn_LSetVar", Shape::Assign, justify<ZbiBuiltIn_LSetVar>},
        {"RSet", "ZbiBuiltIn_RSetVar", Shape::Assign, justify<ZbiBuiltIn_RSetVar>},
    };
    return rows;
}

} // namespace brtl_host
