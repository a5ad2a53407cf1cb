// SendKeys: the key string is compiled whole, then appended to one process-wide queue that a
// player thread replays into the focused window. A call made while the queue plays appends to
// it; the wait flag waits until the queue has been played to the end.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

#include "brtl/desktop.h"
#include "desktop/keys.h"
#include "platform/desktop.h"
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

// The player: plays what is queued, batch by batch (a call may append while a batch plays),
// until the queue is empty, then releases it and reports the end.
void play_queue() {
    Playback &p = playback();
    std::unique_lock lock(p.mutex);
    while (p.next < p.queue.size()) {
        size_t from = p.next;
        size_t to = p.queue.size();
        p.next = to;
        // Appends may move the queue's block while the batch plays, so it plays from a copy.
        std::unique_ptr<platform::KeyStroke[]> batch(new (std::nothrow)
                                                         platform::KeyStroke[to - from]);
        for (size_t i = from; batch != nullptr && i < to; ++i)
            batch[i - from] = {p.queue.data()[i].message, p.queue.data()[i].key};
        lock.unlock();
        if (batch != nullptr) platform::play_keys(batch.get(), to - from);
        lock.lock();
    }
    p.queue.clear();
    p.next = 0;
    p.playing = false;
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

// Failure 3 without a window with the input focus; failure 2 when the desktop cannot play keys.
KeyFailure check_display() {
    switch (platform::key_target()) {
    case platform::KeyTarget::Ready:
        return KeyFailure::None;
    case platform::KeyTarget::NoWindow:
        return KeyFailure::NoWindow;
    default:
        return KeyFailure::NoMemory;
    }
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
