// The desktop as AppActivate, Beep and SendKeys see it: top-level windows by title, the window
// with the input focus, the bell, and key events played into the focused window. POSIX has the
// X11 display that DISPLAY names; Windows has its own desktop.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brtl::platform {

// Activates the top-level window whose title is exactly the text (title in the code page, the
// same text in UTF-8 for systems that keep titles in UTF-8) and waits for it to have the input
// focus. False when there is no desktop, no such window, or it cannot be activated or does not
// get the focus in time.
bool activate_window(const char *title, const char *utf8_title);

// Rings the desktop's bell, or the terminal's when there is no desktop.
void bell();

// Whether keys can be sent now.
enum class KeyTarget {
    Ready,      // a window has the input focus and keys can be played into it
    NoWindow,   // no desktop, or no (enabled) window has the input focus
    CannotPlay, // the desktop cannot play keys
};
KeyTarget key_target();

// One key event: the virtual key (low byte of the event's key word) pressed or released, with
// the window message of the event (key down 256, key up 257, with Alt 260 and 261).
struct KeyStroke {
    uint32_t message;
    uint32_t key;
};

// Plays the events into the window with the input focus, in order, and returns when they have
// been played. Keys the keyboard cannot produce are left out.
void play_keys(const KeyStroke *keys, size_t count);

} // namespace brtl::platform
