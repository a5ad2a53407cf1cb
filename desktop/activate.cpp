// AppActivate and Beep on the desktop of the platform.
#include "brtl/desktop.h"
#include "desktop/utf8.h"
#include "platform/desktop.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

extern "C" {

BRTL_API void ZbiAppActivate(const char *title) {
    if (title == nullptr) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    brtl::runtime::ZrBuffer<char> utf8 = brtl::desktop::utf8_of(title);
    if (utf8 == nullptr) {
        brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    if (!brtl::platform::activate_window(title, utf8.get()))
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
}

BRTL_API void ZbiBuiltIn_AppActivate(BiString title) {
    brtl::runtime::OwnedString owned(title);
    if (owned.size() == 0) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    ZbiAppActivate(owned.data());
}

BRTL_API void ZbiBuiltIn_Beep(void) {
    brtl::platform::bell();
}

} // extern "C"
