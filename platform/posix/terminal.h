// The terminal the process runs on.
#pragma once

namespace brtl::pf {

// Writes BEL to the controlling terminal, or to standard error when there is none.
void terminal_bell();

} // namespace brtl::pf
