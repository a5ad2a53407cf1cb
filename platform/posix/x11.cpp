// The X11 desktop through libX11 and libXtst loaded with dlopen: only their headers are needed
// to build, and a machine without them has no display for the library.
#include "platform/posix/x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/keymap.h"

namespace brtl::platform::x11 {

namespace {

// The entry points the library uses, typed by the declarations of the headers.
struct Api {
    decltype(&XOpenDisplay) open_display;
    decltype(&XCloseDisplay) close_display;
    decltype(&XDefaultRootWindow) default_root;
    decltype(&XInternAtom) intern_atom;
    decltype(&XGetWindowProperty) get_property;
    decltype(&XFree) free;
    decltype(&XQueryTree) query_tree;
    decltype(&XGetInputFocus) get_input_focus;
    decltype(&XSetInputFocus) set_input_focus;
    decltype(&XGetWindowAttributes) get_attributes;
    decltype(&XRaiseWindow) raise_window;
    decltype(&XSendEvent) send_event;
    decltype(&XBell) bell;
    decltype(&XFlush) flush;
    decltype(&XSync) sync;
    decltype(&XKeysymToKeycode) keysym_to_keycode;
    decltype(&XSetErrorHandler) set_error_handler;
    decltype(&XTestQueryExtension) test_query_extension;
    decltype(&XTestFakeKeyEvent) test_fake_key;
};

Api g_api;
bool g_loaded = false;     // the X11 entry points are there
bool g_have_xtest = false; // and those of XTest
std::once_flag g_load_once;

template <typename F> bool bind(void *lib, const char *name, F &slot) {
    slot = reinterpret_cast<F>(dlsym(lib, name));
    return slot != nullptr;
}

void *open_library(const char *soname, const char *devname) {
    void *lib = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    return lib != nullptr ? lib : dlopen(devname, RTLD_NOW | RTLD_LOCAL);
}

// The displays the library opened: X errors on them are the library's own; errors on any other
// display go to the handler that was installed before.
constexpr int kOwnSlots = 16;
std::atomic<Display *> g_own[kOwnSlots];
std::atomic<bool> g_error_seen{false};
XErrorHandler g_previous_handler = nullptr;

// libXext keeps the displays an extension knows in one process-wide list without a lock of its
// own: adding a display (XTestQueryExtension), finding it (XTestFakeKeyEvent) and removing it
// (XCloseDisplay) on two connections from two threads at once, as a key player and a caller of
// SendKeys do, corrupts that list and the heap. Every such call of the library holds this lock.
std::mutex g_extension_list;

bool is_own(Display *dpy) {
    for (auto &slot : g_own)
        if (slot.load() == dpy) return true;
    return false;
}

int on_error(Display *dpy, XErrorEvent *event) {
    if (is_own(dpy)) {
        g_error_seen.store(true);
        return 0;
    }
    return g_previous_handler != nullptr ? g_previous_handler(dpy, event) : 0;
}

void own(Display *dpy, bool mine) {
    for (auto &slot : g_own) {
        Display *expected = mine ? nullptr : dpy;
        if (slot.compare_exchange_strong(expected, mine ? dpy : nullptr)) return;
    }
}

void load() {
    void *x11 = open_library("libX11.so.6", "libX11.so");
    if (x11 == nullptr) return;
    Api &a = g_api;
    g_loaded =
        bind(x11, "XOpenDisplay", a.open_display) && bind(x11, "XCloseDisplay", a.close_display) &&
        bind(x11, "XDefaultRootWindow", a.default_root) &&
        bind(x11, "XInternAtom", a.intern_atom) &&
        bind(x11, "XGetWindowProperty", a.get_property) && bind(x11, "XFree", a.free) &&
        bind(x11, "XQueryTree", a.query_tree) && bind(x11, "XGetInputFocus", a.get_input_focus) &&
        bind(x11, "XSetInputFocus", a.set_input_focus) &&
        bind(x11, "XGetWindowAttributes", a.get_attributes) &&
        bind(x11, "XRaiseWindow", a.raise_window) && bind(x11, "XSendEvent", a.send_event) &&
        bind(x11, "XBell", a.bell) && bind(x11, "XFlush", a.flush) && bind(x11, "XSync", a.sync) &&
        bind(x11, "XKeysymToKeycode", a.keysym_to_keycode) &&
        bind(x11, "XSetErrorHandler", a.set_error_handler);
    if (!g_loaded) return;
    g_previous_handler = a.set_error_handler(on_error);
    void *xtst = open_library("libXtst.so.6", "libXtst.so");
    g_have_xtest = xtst != nullptr && bind(xtst, "XTestQueryExtension", a.test_query_extension) &&
                   bind(xtst, "XTestFakeKeyEvent", a.test_fake_key);
}

bool loaded() {
    std::call_once(g_load_once, load);
    return g_loaded;
}

// The name of the display to use, null when DISPLAY is unset or empty.
const char *display_name() {
    const char *name = std::getenv("DISPLAY");
    return name != nullptr && *name != '\0' ? name : nullptr;
}

// A connection of the library's own, whose X errors the library's handler takes.
Display *connect() {
    const char *name = display_name();
    if (name == nullptr || !loaded()) return nullptr;
    Display *dpy = g_api.open_display(name);
    if (dpy != nullptr) own(dpy, true);
    return dpy;
}

void disconnect(Display *dpy) {
    if (dpy == nullptr) return;
    own(dpy, false);
    std::lock_guard lock(g_extension_list);
    g_api.close_display(dpy);
}

Atom atom(Display *dpy, const char *name) {
    return g_api.intern_atom(dpy, name, False);
}

// A property's items (freed with XFree by the caller); null when the window lacks it.
unsigned char *property(Display *dpy, Window w, Atom name, Atom type, unsigned long &items) {
    Atom actual = None;
    int format = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    items = 0;
    if (g_api.get_property(dpy, w, name, 0, 1L << 16, False, type, &actual, &format, &items, &after,
                           &data) != Success)
        return nullptr;
    if (actual == None) {
        if (data != nullptr) g_api.free(data);
        return nullptr;
    }
    return data;
}

// Compares a title property with the text; -1 when the window lacks the property.
int title_matches(Display *dpy, Window w, Atom name, Atom type, const char *title) {
    unsigned long items = 0;
    unsigned char *data = property(dpy, w, name, type, items);
    if (data == nullptr) return -1;
    bool same = items == std::strlen(title) && std::memcmp(data, title, items) == 0;
    g_api.free(data);
    return same ? 1 : 0;
}

// The title in the code page and in UTF-8.
struct Title {
    const char *text;
    const char *utf8;
};

bool has_title(Display *dpy, Window w, const Title &title) {
    int net =
        title_matches(dpy, w, atom(dpy, "_NET_WM_NAME"), atom(dpy, "UTF8_STRING"), title.utf8);
    if (net >= 0) return net == 1;
    return title_matches(dpy, w, XA_WM_NAME, AnyPropertyType, title.text) == 1;
}

// Searches the children of w, topmost first, down to depth levels (window managers put a
// client inside a frame or two).
Window search(Display *dpy, Window w, const Title &title, int depth) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!g_api.query_tree(dpy, w, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = count; i-- > 0 && found == 0;)
        if (has_title(dpy, children[i], title)) found = children[i];
    for (unsigned int i = count; depth > 1 && i-- > 0 && found == 0;)
        found = search(dpy, children[i], title, depth - 1);
    if (children != nullptr) g_api.free(children);
    return found;
}

// The window's parent, 0 at the root or when the window is gone.
Window parent_of(Display *dpy, Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!g_api.query_tree(dpy, w, &root, &parent, &children, &count)) return 0;
    if (children != nullptr) g_api.free(children);
    return parent == root ? 0 : parent;
}

// True when a window manager that keeps _NET_SUPPORTING_WM_CHECK current lists
// _NET_ACTIVE_WINDOW among what it supports.
bool manager_activates(Display *dpy) {
    Window root = g_api.default_root(dpy);
    Atom check = atom(dpy, "_NET_SUPPORTING_WM_CHECK");
    unsigned long items = 0;
    unsigned char *data = property(dpy, root, check, XA_WINDOW, items);
    if (data == nullptr) return false;
    Window wm = items == 1 ? reinterpret_cast<Window *>(data)[0] : 0;
    g_api.free(data);
    data = wm != 0 ? property(dpy, wm, check, XA_WINDOW, items) : nullptr;
    bool alive = data != nullptr && items == 1 && reinterpret_cast<Window *>(data)[0] == wm;
    if (data != nullptr) g_api.free(data);
    if (!alive) return false;
    data = property(dpy, root, atom(dpy, "_NET_SUPPORTED"), XA_ATOM, items);
    if (data == nullptr) return false;
    Atom wanted = atom(dpy, "_NET_ACTIVE_WINDOW");
    bool listed = false;
    for (unsigned long i = 0; i < items && !listed; ++i)
        listed = reinterpret_cast<Atom *>(data)[i] == wanted;
    g_api.free(data);
    return listed;
}

bool ask_manager(Display *dpy, Window w) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = atom(dpy, "_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // a request on the user's behalf, which managers honour
    event.xclient.data.l[1] = CurrentTime;
    return g_api.send_event(dpy, g_api.default_root(dpy), False,
                            SubstructureRedirectMask | SubstructureNotifyMask, &event) != 0;
}

bool raise_and_focus(Display *dpy, Window w) {
    XWindowAttributes attributes{};
    if (!g_api.get_attributes(dpy, w, &attributes) || attributes.map_state != IsViewable)
        return false;
    g_error_seen.store(false);
    g_api.raise_window(dpy, w);
    g_api.set_input_focus(dpy, w, RevertToParent, CurrentTime);
    g_api.sync(dpy, False);
    return !g_error_seen.load();
}

bool has_xtest(Display *dpy) {
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    std::lock_guard lock(g_extension_list);
    return g_api.test_query_extension(dpy, &event_base, &error_base, &major, &minor) != 0;
}

// Keys outside the main block, whose scan code plus 8 is not their X keycode.
bool extended_key(uint32_t vk) {
    return vk == 0x03 || vk == 0x13 || (vk >= 0x21 && vk <= 0x2F);
}
constexpr uint32_t kLastMainBlockScan = 0x58;

} // namespace

Session::Session() : dpy_(connect()) {}

Session::~Session() {
    disconnect(static_cast<Display *>(dpy_));
}

Window Session::focused_window() {
    Display *dpy = static_cast<Display *>(dpy_);
    Window focus = None;
    int revert = 0;
    g_api.get_input_focus(dpy, &focus, &revert);
    return focus == PointerRoot ? g_api.default_root(dpy) : focus;
}

Window Session::find_window(const char *title, const char *utf8_title) {
    Display *dpy = static_cast<Display *>(dpy_);
    return search(dpy, g_api.default_root(dpy), Title{title, utf8_title}, 3);
}

bool Session::has_focus(Window window) {
    Display *dpy = static_cast<Display *>(dpy_);
    Window focus = None;
    int revert = 0;
    g_api.get_input_focus(dpy, &focus, &revert);
    if (focus == None || focus == PointerRoot) return false;
    for (int steps = 0; focus != 0 && steps < 64; ++steps, focus = parent_of(dpy, focus))
        if (focus == window) return true;
    return false;
}

bool Session::activate(Window window) {
    Display *dpy = static_cast<Display *>(dpy_);
    if (!manager_activates(dpy)) return raise_and_focus(dpy, window);
    bool sent = ask_manager(dpy, window);
    g_api.flush(dpy);
    return sent;
}

void Session::bell() {
    Display *dpy = static_cast<Display *>(dpy_);
    g_api.bell(dpy, 0);
    g_api.flush(dpy);
}

bool Session::can_play_keys() {
    return g_have_xtest && has_xtest(static_cast<Display *>(dpy_));
}

struct KeySink {
    Display *dpy;
};

KeySink *open_key_sink() {
    Display *dpy = connect();
    if (dpy == nullptr || !g_have_xtest) {
        disconnect(dpy);
        return nullptr;
    }
    KeySink *sink = nullptr;
    if (has_xtest(dpy)) sink = static_cast<KeySink *>(std::malloc(sizeof(KeySink)));
    if (sink == nullptr) {
        disconnect(dpy);
        return nullptr;
    }
    sink->dpy = dpy;
    return sink;
}

bool send_key(KeySink *sink, uint32_t vk, uint32_t scan, bool press) {
    uint32_t keysym = keysym_of_virtual_key(vk);
    unsigned int keycode = keysym != 0 ? g_api.keysym_to_keycode(sink->dpy, keysym) : 0;
    if (keycode == 0 && scan != 0 && scan <= kLastMainBlockScan && !extended_key(vk))
        keycode = scan + 8;
    if (keycode == 0) return false;
    {
        std::lock_guard lock(g_extension_list);
        g_api.test_fake_key(sink->dpy, keycode, press ? True : False, CurrentTime);
    }
    g_api.sync(sink->dpy, False);
    return true;
}

void close_key_sink(KeySink *sink) {
    if (sink == nullptr) return;
    disconnect(sink->dpy);
    std::free(sink);
}

} // namespace brtl::platform::x11
