// ZbiStripOutFormatChars: the "%s" placeholders out of a message template.
#include "brtl/strings.h"
#include "runtime/placeholders.h"

extern "C" {

BRTL_API int32_t ZbiStripOutFormatChars(char *s) {
    return static_cast<int32_t>(brtl::runtime::strip_placeholders(s));
}

} // extern "C"
