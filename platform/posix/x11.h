// The X11 desktop: the library's connection to the display named by DISPLAY, top-level windows
// by title, the input focus, window activation, the bell, and key events through XTest. libX11
// and libXtst are loaded at run time, so that the library has no hard desktop dependency.
#pragma once

#include <cstdint>

namespace brtl::platform {
// The X11 keysym of the key that carries the virtual key (unshifted), 0 when none.
uint32_t keysym_of_virtual_key(uint32_t vk);
} // namespace brtl::platform

namespace brtl::platform::x11 {

// An X11 window id; 0 is no window.
using Window = unsigned long;

// A connection to the display that DISPLAY names, for the length of one builtin: the library
// keeps no connection between calls, so that a server that goes away between them cannot end
// the process.
class Session {
  public:
    Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;
    ~Session();

    // False when DISPLAY is unset or empty, libX11 is missing or the display does not open.
    bool open() const { return dpy_ != nullptr; }
    // The window with the input focus (the root when the focus follows the pointer), 0 when
    // nothing has the focus.
    Window focused_window();
    // The top-level window (a child of the root, or a window managed inside a frame of one)
    // whose title is exactly the text: _NET_WM_NAME compared with its UTF-8 form, else WM_NAME
    // with the text itself; 0 when none.
    Window find_window(const char *title, const char *utf8_title);
    // True when the input focus is in the window or one of its descendants.
    bool has_focus(Window window);
    // Asks for the window to become active: through the window manager's _NET_ACTIVE_WINDOW
    // when one supports it, else raises it and sets the input focus on it. False when the
    // window is not viewable or the request fails.
    bool activate(Window window);
    // Rings the display's bell.
    void bell();
    // True when libXtst is there and the server has the XTest extension, which plays keys.
    bool can_play_keys();

  private:
    void *dpy_;
};

// A connection of its own for playing keys from a thread other than the caller's.
struct KeySink;
// Null when there is no display or XTest is missing.
KeySink *open_key_sink();
// Presses or releases the key that carries the virtual key (the scan code serves for a key whose
// keysym the running keyboard map lacks); false when the map has no key for it.
bool send_key(KeySink *sink, uint32_t vk, uint32_t scan, bool press);
void close_key_sink(KeySink *sink);

} // namespace brtl::platform::x11
