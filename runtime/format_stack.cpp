// The two small text helpers of the format engine: counting a run of one letter and pushing a
// text on the engine's character stack.
#include "brtl/host.h"
#include "brtl/runtime.h"
#include "platform/codepage.h"
#include "runtime/hooks.h"

extern "C" {

BRTL_API int32_t CountLetter(const char **pp, const char *end, uint32_t max) {
    const char *p = *pp;
    int letter = brtl::platform::to_lower(static_cast<unsigned char>(*p));
    uint32_t run = 1;
    ++p;
    while (p < end && run < max &&
           brtl::platform::to_lower(static_cast<unsigned char>(*p)) == letter) {
        ++p;
        ++run;
    }
    *pp = p;
    return static_cast<int32_t>(run);
}

// Pushes the whole text or nothing: without memory for a cell, the cells already pushed for
// this text are freed before the trap, since a hook that leaves by an exception would otherwise
// lose them (the caller still holds the old top).
BRTL_API BiFormatStackCell *PushStringOnStack(const char *text, BiFormatStackCell *top) {
    BiFormatStackCell *const start = top;
    for (const char *p = text; *p; ++p) {
        auto *cell = static_cast<BiFormatStackCell *>(ZrMalloc(sizeof(BiFormatStackCell)));
        if (cell == nullptr) {
            while (top != start) {
                BiFormatStackCell *below = top->next;
                ZrFree(top);
                top = below;
            }
            brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
            return start;
        }
        cell->ch = *p;
        cell->next = top;
        top = cell;
    }
    return top;
}

} // extern "C"
