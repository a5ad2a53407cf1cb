// The per-run reset and the bracketing of nested runs: the state they act on is the file table's
// and the random generator's.
#include "brtl/fileio.h"
#include "brtl/runtime.h"

extern "C" {

BRTL_API int32_t ZbiPushRuntimeEnvironment(void) {
    return ZbiPushFileIORuntimeState();
}

BRTL_API void ZbiPopRuntimeEnvironment(void) {
    ZbiPopFileIORuntimeState();
}

} // extern "C"
