// Window titles of the X11 desktop are UTF-8 (_NET_WM_NAME); the library's text is in the code
// page.
#pragma once

#include "runtime/guards.h"

namespace brtl::desktop {

// The UTF-8 form of NUL-terminated code-page text (ZrMalloc, NUL-terminated); null when memory
// runs out. An unpaired surrogate becomes U+FFFD.
runtime::ZrBuffer<char> utf8_of(const char *text);

} // namespace brtl::desktop
