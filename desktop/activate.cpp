// AppActivate and Beep on the X11 desktop.
#include <chrono>
#include <thread>

#include "brtl/desktop.h"
#include "platform/terminal.h"
#include "platform/x11.h"
#include "runtime/bistring.h"
#include "runtime/frame.h"

namespace brtl {

namespace {

// How long AppActivate waits for the focus to arrive: this many polls, one millisecond apart.
constexpr int kFocusPolls = 2000;

bool wait_for_focus(pf::x11::Window window) {
    for (int i = 0; i < kFocusPolls; ++i) {
        if (pf::x11::has_focus(window)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return pf::x11::has_focus(window);
}

// False when the window is missing, cannot be activated or does not get the focus in time.
bool app_activate(const char *title) {
    if (title == nullptr) return false;
    pf::x11::Window window = pf::x11::find_window(title);
    if (window == 0) return false;
    if (pf::x11::has_focus(window)) return true;
    return pf::x11::activate(window) && wait_for_focus(window);
}

} // namespace

} // namespace brtl

extern "C" {

BRTL_API void ZbiAppActivate(const char *title) {
    if (!brtl::app_activate(title)) brtl::raise_trap(BI_TRAP_ILLEGAL_CALL);
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
    if (!brtl::pf::x11::bell()) brtl::pf::terminal_bell();
}

} // extern "C"
