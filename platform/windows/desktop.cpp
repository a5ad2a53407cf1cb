// The Windows desktop: FindWindowA and the foreground calls for AppActivate, MessageBeep, and
// SendKeys through a journal playback hook that the calling thread feeds from its own message
// loop.
#include "platform/desktop.h"

#include <windows.h>

#include "platform/keymap.h"

namespace brtl::platform {

namespace {

// How long activation waits for the window to come to the foreground: this many polls, one
// millisecond apart.
constexpr int kFocusPolls = 2000;
// Playback gives up when the system has asked for no event for this long.
constexpr DWORD kPlaybackStallMs = 5000;

bool wait_for_foreground(HWND window) {
    for (int i = 0; i < kFocusPolls; ++i) {
        if (GetForegroundWindow() == window) return true;
        Sleep(1);
    }
    return GetForegroundWindow() == window;
}

// The one playback in progress; the player of the key queue is a single thread.
struct Playback {
    const KeyStroke *keys;
    size_t count;
    size_t next;
    HHOOK hook;
    DWORD last_request;
};
Playback g_playback{};

void fill_event(const KeyStroke &stroke, EVENTMSG &out) {
    UINT vk = stroke.key & 0xFF;
    out.message = stroke.message;
    out.paramL = vk | map_virtual_key(vk) << 8;
    out.paramH = 1; // the repeat count
    out.time = GetTickCount();
    out.hwnd = nullptr;
}

// The hook: HC_GETNEXT asks for the current event (as often as the system likes), HC_SKIP moves
// to the next one; after the last one the hook removes itself.
LRESULT CALLBACK play_hook(int code, WPARAM wparam, LPARAM lparam) {
    Playback &p = g_playback;
    if (code == HC_GETNEXT && p.next < p.count) {
        fill_event(p.keys[p.next], *reinterpret_cast<EVENTMSG *>(lparam));
        p.last_request = GetTickCount();
        return 0;
    }
    if (code == HC_SKIP && p.next < p.count) {
        if (++p.next == p.count) {
            UnhookWindowsHookEx(p.hook);
            p.hook = nullptr;
        }
        return 0;
    }
    return CallNextHookEx(p.hook, code, wparam, lparam);
}

void pump_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

bool activate_window(const char *title, const char *) {
    HWND window = FindWindowA(nullptr, title);
    if (window == nullptr || !IsWindowVisible(window)) return false;
    if (GetForegroundWindow() == window) return true;
    return SetForegroundWindow(window) && wait_for_foreground(window);
}

void bell() {
    MessageBeep(MB_OK);
}

KeyTarget key_target() {
    HWND window = GetForegroundWindow();
    if (window == nullptr || !IsWindowEnabled(window)) return KeyTarget::NoWindow;
    return KeyTarget::Ready;
}

void play_keys(const KeyStroke *keys, size_t count) {
    if (count == 0) return;
    g_playback = Playback{keys, count, 0, nullptr, GetTickCount()};
    g_playback.hook =
        SetWindowsHookExA(WH_JOURNALPLAYBACK, play_hook, GetModuleHandleA(nullptr), 0);
    if (g_playback.hook == nullptr) return;
    while (g_playback.hook != nullptr) {
        pump_messages();
        if (GetTickCount() - g_playback.last_request > kPlaybackStallMs) {
            UnhookWindowsHookEx(g_playback.hook);
            g_playback.hook = nullptr;
            break;
        }
        Sleep(1);
    }
}

} // namespace brtl::platform
