// SendKeys: the key string is compiled whole, then appended to one process-wide queue that a
// player thread replays into the focused X11 window through XTest. A call made while the queue
// plays appends to it; the wait flag waits until the queue has been played to the end.
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "brtl/desktop.h"
#include "desktop/keys.h"
#include "platform/keymap.h"
#include "platform/x11.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace brtl::desktop {

namespace {

// The queue and its player, shared by every call until the queue has been played.
struct Playback {
    std::mutex mutex;
    std::condition_variable finished;
    KeyList queue;
    size_t next = 0;      // the index of the next event to play
    bool playing = false; // a player thread is running
};

// Built in static storage and never destroyed: a player thread may still run at exit.
Playback &playback() {
    alignas(Playback) static unsigned char storage[sizeof(Playback)];
    static Playback *p = new (storage) Playback;
    return *p;
}

// Offers one event to the display: press for the down messages, release for the up ones.
void play_event(platform::x11::KeySink *sink, const BrtlKeyEvent &event) {
    uint32_t vk = event.key & 0xFF;
    bool press = event.message == kKeyDown || event.message == kSysKeyDown;
    if (sink != nullptr) platform::x11::send_key(sink, vk, platform::map_virtual_key(vk), press);
}

// The player: plays until the queue is empty, then releases it and reports the end.
void play_queue() {
    Playback &p = playback();
    platform::x11::KeySink *sink = platform::x11::open_key_sink();
    std::unique_lock lock(p.mutex);
    while (p.next < p.queue.size()) {
        BrtlKeyEvent event = p.queue.data()[p.next++];
        lock.unlock();
        play_event(sink, event);
        lock.lock();
    }
    p.queue.clear();
    p.next = 0;
    p.playing = false;
    lock.unlock();
    platform::x11::close_key_sink(sink);
    p.finished.notify_all();
}

// Appends the compiled events and starts a player when none runs; failure 2 when they do not
// fit or no thread can be started (nothing of this call is queued then).
KeyFailure queue_for_playing(const KeyList &keys) {
    Playback &p = playback();
    std::lock_guard lock(p.mutex);
    size_t before = p.queue.size();
    if (!p.queue.append(keys)) return KeyFailure::NoMemory;
    if (p.playing) return KeyFailure::None;
    try {
        std::thread(play_queue).detach();
    } catch (const std::exception &) { // no thread, or no memory for one
        if (before == 0) p.queue.clear();
        return KeyFailure::NoMemory;
    }
    p.playing = true;
    return KeyFailure::None;
}

void wait_until_played() {
    Playback &p = playback();
    std::unique_lock lock(p.mutex);
    p.finished.wait(lock, [&p] { return !p.playing; });
}

// Failure 3 without a display or a window with the focus (X11 has no disabled windows: any
// window with the focus takes keys); failure 2 when the display cannot play keys.
KeyFailure check_display() {
    platform::x11::Session x;
    if (!x.open() || x.focused_window() == 0) return KeyFailure::NoWindow;
    return x.can_play_keys() ? KeyFailure::None : KeyFailure::NoMemory;
}

KeyFailure send_keys(const char *keys, bool wait) {
    if (keys == nullptr || *keys == '\0') return KeyFailure::Syntax;
    KeyFailure failure = check_display();
    if (failure != KeyFailure::None) return failure;
    KeyList compiled;
    failure = compile_keys(keys, compiled);
    if (failure != KeyFailure::None) return failure;
    failure = queue_for_playing(compiled);
    if (failure == KeyFailure::None && wait) wait_until_played();
    return failure;
}

} // namespace

} // namespace brtl::desktop

extern "C" {

BRTL_API int32_t ZbiSendKeys(const char *keys, int32_t wait) {
    if (brtl::desktop::send_keys(keys, wait != 0) == brtl::desktop::KeyFailure::None) return 0;
    return brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
}

BRTL_API void ZbiBuiltIn_SendKeys(BiString keys, int32_t wait) {
    brtl::runtime::OwnedString owned(keys);
    if (owned.size() == 0) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    ZbiSendKeys(owned.data(), wait);
}

BRTL_API int32_t brtl_compile_keys(const char *keys, BrtlKeyEvent *out, int32_t capacity) {
    brtl::desktop::KeyList compiled;
    switch (brtl::desktop::compile_keys(keys, compiled)) {
    case brtl::desktop::KeyFailure::None:
        break;
    case brtl::desktop::KeyFailure::NoMemory:
        return -2;
    default:
        return -1;
    }
    size_t n = compiled.size();
    size_t room = out == nullptr || capacity < 0 ? 0 : static_cast<size_t>(capacity);
    for (size_t i = 0; i < n && i < room; ++i)
        out[i] = compiled.data()[i];
    return static_cast<int32_t>(n);
}

} // extern "C"
