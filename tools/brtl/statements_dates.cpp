// The statements that set the clock: Date = and Time =.
#include "interp.h"

namespace brtl_host {
namespace {

void date_stmt(Interp &in, const Stmt &s) {
    ZbiBuiltIn_DateStmt(in.eval(*s.value).release());
}
void date_text_stmt(Interp &in, const Stmt &s) {
    ZbiBuiltIn_DateStmt_(to_text(in.eval(*s.value)).c_str());
}
void time_stmt(Interp &in, const Stmt &s) {
    ZbiBuiltIn_TimeStmt(in.eval(*s.value).release());
}
void time_text_stmt(Interp &in, const Stmt &s) {
    ZbiBuiltIn_TimeStmt_(to_text(in.eval(*s.value)).c_str());
}

} // namespace

const StatementTable &date_statements() {
    static const StatementTable rows = {
        {"Date", "ZbiBuiltIn_DateStmt", Shape::Assign, date_stmt},
        {"Date$", "ZbiBuiltIn_DateStmt_", Shape::Assign, date_text_stmt},
        {"Time", "ZbiBuiltIn_TimeStmt", Shape::Assign, time_stmt},
        {"Time$", "ZbiBuiltIn_TimeStmt_", Shape::Assign, time_text_stmt},
    };
    return rows;
}

} // namespace brtl_host
