// The terminal the process runs on.
#pragma once

namespace brtl::platform {

// Writes BEL to the controlling terminal, or to standard error when there is none.
void terminal_bell();

} // namespace brtl::platform
