// The runtime frame as the library's own code uses it: trap raising through the four hook
// families, the three host questions and the host's texts.
#pragma once

#include <cstdint>

#include "brtl/types.h"

namespace brtl::runtime {

// Each raiser calls the hook of its family and returns when the hook returns; a host hook may
// also leave by an exception, so callers hold what they own in guards. raise_trap returns the
// trap hook's result.
int16_t raise_trap(int32_t trap);
// The subject (the file name or number as text) is handed to the hook, which owns it. Returns
// the hook's result.
int16_t raise_file_trap(int32_t trap, BiString subject);
void raise_numeric_trap(int32_t trap);
// How many traps (of the three families above) this thread has raised: a builtin compares it
// before and after a call it makes to keep to one trap per call.
uint64_t traps_raised();
// A broken consistency check of the format and date code: code -1, source "biformat".
void raise_fatal(int32_t line);

bool strict_limits();
bool skip_first_value();
bool text_compare();

// The host's text for an id (a trap number or a negative word id); may be null.
const char *host_text(int32_t id);

} // namespace brtl::runtime
