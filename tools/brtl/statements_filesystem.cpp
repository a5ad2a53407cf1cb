// The file system statements: Kill, Name ... As, MkDir, RmDir, ChDir, ChDrive, FileCopy and
// SetAttr.
#include "interp.h"

namespace brtl_host {
namespace {

// The arguments of a statement that takes `count` of them, separated by `between` ("," or As).
std::vector<Value> arguments(Interp &in, const Stmt &s, size_t count, const char *between,
                             const char *form) {
    if (s.args.size() != count) throw HostError{std::string(form) + " expected"};
    std::vector<Value> values;
    for (size_t i = 0; i < count; ++i) {
        const StmtArg &a = s.args[i];
        if (!a.expr || a.hash || a.before != (i == 0 ? "" : between))
            throw HostError{std::string(form) + " expected"};
        values.push_back(in.eval(*a.expr));
    }
    return values;
}

template <void (*F)(BiString)> void one_name(Interp &in, const Stmt &s) {
    std::vector<Value> v = arguments(in, s, 1, "", "a name");
    F(to_bistring(v[0]));
}

template <void (*F)(BiString, BiString)>
void two_names(Interp &in, const Stmt &s, const char *as, const char *form) {
    std::vector<Value> v = arguments(in, s, 2, as, form);
    OwnedBiString first(to_bistring(v[0]));
    BiString second = to_bistring(v[1]);
    F(first.release(), second);
}

void name(Interp &in, const Stmt &s) {
    two_names<ZbiBuiltIn_Name>(in, s, "As", "Name old As new");
}
void file_copy(Interp &in, const Stmt &s) {
    two_names<ZbiBuiltIn_FileCopy>(in, s, ",", "FileCopy source, destination");
}

void set_attr(Interp &in, const Stmt &s) {
    std::vector<Value> v = arguments(in, s, 2, ",", "SetAttr name, attributes");
    int16_t bits = to_i16(v[1]);
    ZbiBuiltIn_SetAttr(to_bistring(v[0]), bits);
}

} // namespace

const StatementTable &filesystem_statements() {
    static const StatementTable rows = {
        {"Kill", "ZbiBuiltIn_Kill", Shape::Args, one_name<ZbiBuiltIn_Kill>},
        {"Name", "ZbiBuiltIn_Name", Shape::Args, name},
        {"MkDir", "ZbiBuiltIn_MkDir", Shape::Args, one_name<ZbiBuiltIn_MkDir>},
        {"RmDir", "ZbiBuiltIn_RmDir", Shape::Args, one_name<ZbiBuiltIn_RmDir>},
        {"ChDir", "ZbiBuiltIn_ChDir", Shape::Args, one_name<ZbiBuiltIn_ChDir>},
        {"ChDrive", "ZbiBuiltIn_ChDrive", Shape::Args, one_name<ZbiBuiltIn_ChDrive>},
        {"FileCopy", "ZbiBuiltIn_FileCopy", Shape::Args, file_copy},
        {"SetAttr", "ZbiBuiltIn_SetAttr", Shape::Args, set_attr},
    };
    return rows;
}

} // namespace brtl_host
