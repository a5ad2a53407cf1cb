// The string assignment statements (Mid =, MidB =, LSet, RSet): one row each.
#include "interp.h"

namespace brtl_host {

const StatementTable &string_statements() {
    static const StatementTable rows = {};
    return rows;
}

} // namespace brtl_host
