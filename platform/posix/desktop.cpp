// The desktop on X11: AppActivate finds the window by title and waits for the focus, the bell
// rings on the display (or the terminal), and keys are played with XTest.
#include "platform/desktop.h"

#include <chrono>
#include <thread>

#include "platform/keymap.h"
#include "platform/posix/terminal.h"
#include "platform/posix/x11.h"

namespace brtl::platform {

namespace {

// How long activation waits for the focus to arrive: this many polls, one millisecond apart.
constexpr int kFocusPolls = 2000;

constexpr uint32_t kKeyDown = 256;
constexpr uint32_t kSysKeyDown = 260;

bool wait_for_focus(x11::Session &x, x11::Window window) {
    for (int i = 0; i < kFocusPolls; ++i) {
        if (x.has_focus(window)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return x.has_focus(window);
}

} // namespace

bool activate_window(const char *title, const char *utf8_title) {
    x11::Session x;
    if (!x.open()) return false;
    x11::Window window = x.find_window(title, utf8_title);
    if (window == 0) return false;
    if (x.has_focus(window)) return true;
    return x.activate(window) && wait_for_focus(x, window);
}

void bell() {
    x11::Session x;
    if (x.open())
        x.bell();
    else
        terminal_bell();
}

// X11 has no disabled windows: any window with the focus takes keys.
KeyTarget key_target() {
    x11::Session x;
    if (!x.open() || x.focused_window() == 0) return KeyTarget::NoWindow;
    return x.can_play_keys() ? KeyTarget::Ready : KeyTarget::CannotPlay;
}

// A down message presses the key, an up message releases it.
void play_keys(const KeyStroke *keys, size_t count) {
    x11::KeySink *sink = x11::open_key_sink();
    if (sink == nullptr) return;
    for (size_t i = 0; i < count; ++i) {
        uint32_t vk = keys[i].key & 0xFF;
        bool press = keys[i].message == kKeyDown || keys[i].message == kSysKeyDown;
        x11::send_key(sink, vk, map_virtual_key(vk), press);
    }
    x11::close_key_sink(sink);
}

} // namespace brtl::platform
