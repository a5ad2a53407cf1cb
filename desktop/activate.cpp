// AppActivate and Beep on the X11 desktop.
#include <chrono>
#include <thread>

#include "brtl/desktop.h"
#include "desktop/utf8.h"
#include "platform/terminal.h"
#include "platform/x11.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace brtl::desktop {

namespace {

// How long AppActivate waits for the focus to arrive: this many polls, one millisecond apart.
constexpr int kFocusPolls = 2000;

bool wait_for_focus(platform::x11::Session &x, platform::x11::Window window) {
    for (int i = 0; i < kFocusPolls; ++i) {
        if (x.has_focus(window)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return x.has_focus(window);
}

// False when there is no display, the window is missing, cannot be activated or does not get
// the focus in time.
bool app_activate(const char *title, const char *utf8_title) {
    platform::x11::Session x;
    if (!x.open()) return false;
    platform::x11::Window window = x.find_window(title, utf8_title);
    if (window == 0) return false;
    if (x.has_focus(window)) return true;
    return x.activate(window) && wait_for_focus(x, window);
}

} // namespace

} // namespace brtl::desktop

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
    if (!brtl::desktop::app_activate(title, utf8.get()))
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
    brtl::platform::x11::Session x;
    if (x.open())
        x.bell();
    else
        brtl::platform::terminal_bell();
}

} // extern "C"
