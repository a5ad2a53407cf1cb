#include "desktop/program_path.h"

#include "fileio/table.h"
#include "runtime/frame.h"

namespace brtl {

void check_program_path(const char *command, size_t n) {
    raise_file_trap(BI_TRAP_FILE_NOT_FOUND, fileio::subject_of(command, n));
}

} // namespace brtl
