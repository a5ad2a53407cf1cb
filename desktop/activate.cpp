// AppActivate and Beep on the desktop of the platform.
#include "brtl/desktop.h"
#include "desktop/utf8.h"
#include "platform/desktop.h"
#include "runtime/bistring.h"
#include "runtime/frame.h"

extern "C" {

BRTL_API void ZbiAppActivate(const char *title) {
    if (title == nullptr) {
        brtl::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    brtl::ZrBuffer<char> utf8 = brtl::utf8_of(title);
    if (utf8 == nullptr) {
        brtl::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    if (!brtl::pf::activate_window(title, utf8.get())) brtl::raise_trap(BI_TRAP_ILLEGAL_CALL);
}

BRTL_API void ZbiBuiltIn_AppActivate(BiString title) {
    brtl::OwnedString owned(title);
    if (owned.size() == 0) {
        brtl::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    ZbiAppActivate(owned.data());
}

BRTL_API void ZbiBuiltIn_Beep(void) {
    brtl::pf::bell();
}

} // extern "C"
