// Shell's report of a program whose directory is missing.
#pragma once

#include <cstddef>

namespace brtl::desktop {

// Checks the program name (the first n bytes of command) as a path and raises trap 53 with the
// whole name through the file trap hook: by the path check when it finds the fault, else here.
void check_program_path(const char *command, size_t n);

} // namespace brtl::desktop
