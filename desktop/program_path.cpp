// The program name goes through the path check of the file-system builtins, which names the
// missing directory or drive; a name that passes it still was not found, and is reported here.
#include "desktop/program_path.h"

#include <cstring>

#include "brtl/host.h"
#include "fileio/paths.h"
#include "fileio/table.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"

namespace brtl::desktop {

void check_program_path(const char *command, size_t n) {
    runtime::ZrBuffer<char> name(static_cast<char *>(ZrMalloc(n + 1)));
    if (name == nullptr) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    std::memcpy(name.get(), command, n);
    name.get()[n] = '\0';
    if (fileio::check_path(name.get(), true, true))
        runtime::raise_file_trap(BI_TRAP_FILE_NOT_FOUND, fileio::subject_of(name.get(), n));
}

} // namespace brtl::desktop
