// Memory of the host library. Every block, whichever function made it, is freed with ZrFree.
// The pool argument of the ZrMem functions names a heap of the original host; this library has
// one heap and ignores it.
#include "platform/memory.h"
#include "brtl/host.h"

extern "C" {

BRTL_API void *ZrMalloc(size_t bytes) {
    return brtl::platform::allocate(bytes);
}
BRTL_API void ZrFree(void *block) {
    brtl::platform::release(block);
}
BRTL_API void *ZrCalloc(size_t count, size_t size) {
    return brtl::platform::allocate_zeroed(count, size);
}
BRTL_API void *ZrRealloc(void *block, size_t bytes) {
    return brtl::platform::reallocate(block, bytes);
}

BRTL_API void *ZrMemAlloc(size_t bytes, int32_t) {
    return brtl::platform::allocate(bytes);
}
BRTL_API void *ZrMemCalloc(size_t count, size_t size, int32_t) {
    return brtl::platform::allocate_zeroed(count, size);
}
BRTL_API void *ZrMemRealloc(void *block, size_t bytes, int32_t) {
    return brtl::platform::reallocate(block, bytes);
}

} // extern "C"
