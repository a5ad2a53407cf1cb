// The per-run reset and the bracketing of nested runs: the state they act on is the file table's
// and the random generator's.
#include "brtl/fileio.h"
#include "brtl/runtime.h"
#include "platform/random.h"

extern "C" {

BRTL_API int32_t ZbiReset_Rtl(void) {
    // The generator is seeded and drawn once even when closing a file raises a trap: a hook that
    // leaves by an exception must not leave the next run at another point of the sequence.
    int32_t first = 0;
    struct Reseed {
        int32_t &first;
        ~Reseed() {
            brtl::platform::srand(1);
            first = brtl::platform::rand();
        }
    };
    {
        Reseed reseed{first};
        ZbiBuiltIn_Reset();
    }
    return first;
}

BRTL_API int32_t ZbiPushRuntimeEnvironment(void) {
    return ZbiPushFileIORuntimeState();
}

BRTL_API void ZbiPopRuntimeEnvironment(void) {
    ZbiPopFileIORuntimeState();
}

} // extern "C"
