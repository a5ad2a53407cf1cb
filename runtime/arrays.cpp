// Element storage of the dynamic arrays that translated code describes with a BiArrayDesc.
#include <cstring>

#include "brtl/host.h"
#include "brtl/runtime.h"
#include "runtime/hooks.h"

namespace {
constexpr int32_t kPool = 2;
}

extern "C" {

BRTL_API void ZbiAllocArrayData(BiArrayDesc *desc) {
    size_t element = desc->element_size != 0 ? desc->element_size : 1;
    void *data = ZrMemCalloc(desc->byte_size / element, element, kPool);
    desc->data = data;
    if (data == nullptr) brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
}

BRTL_API void ZbiReallocArrayData(BiArrayDesc *desc, uint32_t new_size) {
    void *data = ZrMemRealloc(desc->data, new_size, kPool);
    if (data == nullptr) {
        // The old block is still valid and still described by the descriptor.
        brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    if (new_size > desc->byte_size)
        std::memset(static_cast<char *>(data) + desc->byte_size, 0, new_size - desc->byte_size);
    desc->data = data;
    desc->byte_size = new_size;
}

BRTL_API void ZbiFreeArrayData(BiArrayDesc *desc) {
    if (desc->data == nullptr) return;
    ZrFree(desc->data);
    desc->data = nullptr;
}

BRTL_API void ZbiClearArray(BiArrayDesc *desc) {
    if (desc->data != nullptr) std::memset(desc->data, 0, desc->byte_size);
}

BRTL_API void ZbiCopyArrayData(void *destination, const void *source, uint32_t count) {
    if (count != 0) std::memcpy(destination, source, count);
}

BRTL_API void *ZbiArrayElementAddr(const BiArrayDesc *desc, uint32_t index) {
    return static_cast<char *>(desc->data) + static_cast<size_t>(desc->element_size) * index;
}

} // extern "C"
