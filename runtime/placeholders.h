// Removal of the "%s" placeholders of a message template.
#pragma once

#include <cstddef>

namespace brtl::runtime {

// Rewrites the NUL-terminated text in place without its "%s" placeholders: a placeholder
// between two single quotes takes both quotes with it, and one blank right after it goes too;
// then trailing blanks are removed. Returns the new length.
size_t strip_placeholders(char *text);

} // namespace brtl::runtime
