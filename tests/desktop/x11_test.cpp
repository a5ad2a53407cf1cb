// SendKeys, AppActivate and Beep on a real X server: small X clients of the test with known
// titles receive exactly the keys sent, the focus moves between two windows, a window manager
// of the test's own is asked through _NET_ACTIVE_WINDOW, and without a display every desktop
// builtin fails at once.
#include "harness/harness.h" // before Xlib.h, whose None macro clashes with gtest's None

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "desktop/xvfb.h"

using namespace brtl_test;

namespace {

class X11Test : public RuntimeTest {
  protected:
    static void SetUpTestSuite() {
        server_ = new Xvfb;
        if (!server_->start(reason_)) {
            delete server_;
            server_ = nullptr;
        }
    }
    static void TearDownTestSuite() {
        if (server_ != nullptr) server_->stop();
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        RuntimeTest::SetUp();
        if (server_ == nullptr) GTEST_SKIP() << "no X server: " << reason_;
        dpy_ = XOpenDisplay(server_->display().c_str());
        ASSERT_NE(dpy_, nullptr);
    }
    void TearDown() override {
        if (dpy_ != nullptr) XCloseDisplay(dpy_);
        RuntimeTest::TearDown();
    }

    // A mapped top-level window with the title (WM_NAME, and _NET_WM_NAME in UTF-8) that reports
    // its keys.
    Window make_window(const std::string &title, std::string utf8 = "") {
        if (utf8.empty()) utf8 = title;
        Window w = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 10, 10, 200, 100, 0, 0, 0);
        XStoreName(dpy_, w, title.c_str());
        XChangeProperty(dpy_, w, XInternAtom(dpy_, "_NET_WM_NAME", False),
                        XInternAtom(dpy_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(utf8.data()),
                        static_cast<int>(utf8.size()));
        XSelectInput(dpy_, w, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
        XMapWindow(dpy_, w);
        XEvent event;
        do
            XWindowEvent(dpy_, w, StructureNotifyMask, &event);
        while (event.type != MapNotify);
        return w;
    }

    Window focus() {
        Window w = None;
        int revert = 0;
        XGetInputFocus(dpy_, &w, &revert);
        return w;
    }

    // The key presses the window got, one word each: the keysym of the key's first level, then
    // "+S", "+C", "+A" for the Shift, Control and Alt held; and the text they typed.
    void read_presses(std::vector<std::string> &presses, std::string &typed, size_t wanted,
                      int timeout_ms = 3000) {
        XSync(dpy_, False);
        while (presses.size() < wanted) {
            if (XPending(dpy_) == 0) {
                pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
                if (poll(&p, 1, timeout_ms) <= 0) return;
                XSync(dpy_, False);
                continue;
            }
            XEvent event;
            XNextEvent(dpy_, &event);
            if (event.type != KeyPress) continue;
            KeySym sym = XLookupKeysym(&event.xkey, 0);
            const char *name = XKeysymToString(sym);
            std::string word = name != nullptr ? name : "?";
            if (event.xkey.state & ShiftMask) word += "+S";
            if (event.xkey.state & ControlMask) word += "+C";
            if (event.xkey.state & Mod1Mask) word += "+A";
            presses.push_back(word);
            char text[8];
            KeySym ignored;
            int n = XLookupString(&event.xkey, text, sizeof text, &ignored, nullptr);
            typed.append(text, static_cast<size_t>(n > 0 ? n : 0));
        }
    }

    // Announces a window manager of the test: the supporting-check window and
    // _NET_ACTIVE_WINDOW among the supported hints. Returns the _NET_ACTIVE_WINDOW atom.
    Atom announce_window_manager() {
        Window root = DefaultRootWindow(dpy_);
        Window check = XCreateSimpleWindow(dpy_, root, 0, 0, 1, 1, 0, 0, 0);
        Atom check_atom = XInternAtom(dpy_, "_NET_SUPPORTING_WM_CHECK", False);
        Atom active = XInternAtom(dpy_, "_NET_ACTIVE_WINDOW", False);
        XChangeProperty(dpy_, root, check_atom, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(&check), 1);
        XChangeProperty(dpy_, check, check_atom, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(&check), 1);
        XChangeProperty(dpy_, root, XInternAtom(dpy_, "_NET_SUPPORTED", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<unsigned char *>(&active), 1);
        return active;
    }

    std::vector<Trap> only(int32_t trap) const { return {Trap{trap, Family::Trap, ""}}; }

    Display *dpy_ = nullptr;
    static Xvfb *server_;
    static std::string reason_;
};

Xvfb *X11Test::server_ = nullptr;
std::string X11Test::reason_;

// A run in which every test was skipped (no X server) ends with CTest's skip code, 77.
class SkipExitCode : public ::testing::EmptyTestEventListener {
    void OnTestProgramEnd(const ::testing::UnitTest &unit) override {
        if (unit.test_to_run_count() > 0 && unit.skipped_test_count() == unit.test_to_run_count()) {
            std::fflush(stdout);
            std::_Exit(77);
        }
    }
};
const bool g_skip_exit_code = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new SkipExitCode);
    return true;
}();

} // namespace

// The focused window receives exactly the keys sent, named keys as their keysyms, and nothing
// more.
TEST_F(X11Test, TheFocusedWindowReceivesExactlyTheKeys) {
    struct Row {
        const char *title, *keys;
        std::string presses; // the words of read_presses, separated by blanks
        std::string typed;   // the text the presses typed, or its end
    };
    for (const Row &row : {
             Row{"brtl key target", "aB!~{TAB}{LEFT}{UP 2}{F5}^x%f{z 3}+(12)3{BS}",
                 "a Shift_L b+S Shift_L 1+S Return Tab Left Up Up F5 Control_L x+C Alt_L f+A z z "
                 "z Shift_L 1+S Shift_L 2+S 3 BackSpace",
                 "aB!\r\t"},
             Row{"brtl named keys",
                 "{BS}{DEL}{DOWN}{END}{ESC}{HOME}{INSERT}{RIGHT}{PGDN}{PGUP}{F1}{F10}{F12}{[}{]}"
                 "{+}{^}{%}{~}{{}{}}{(}{)}",
                 "BackSpace Delete Down End Escape Home Insert Right Next Prior F1 F10 F12 "
                 "bracketleft bracketright Shift_L equal+S Shift_L 6+S Shift_L 5+S Shift_L grave+S "
                 "Shift_L bracketleft+S Shift_L bracketright+S Shift_L 9+S Shift_L 0+S",
                 "[]+^%~{}()"},
         }) {
        SCOPED_TRACE(row.keys);
        make_window(row.title);
        ZbiAppActivate(row.title);
        EXPECT_EQ(ZbiSendKeys(row.keys, 1), 0);
        EXPECT_TRUE(traps().empty());
        const size_t wanted =
            static_cast<size_t>(std::count(row.presses.begin(), row.presses.end(), ' ')) + 1;
        std::vector<std::string> presses;
        std::string typed, words;
        read_presses(presses, typed, wanted);
        read_presses(presses, typed, wanted + 1, 300); // nothing more arrives
        for (const std::string &word : presses)
            words += (words.empty() ? "" : " ") + word;
        EXPECT_EQ(words, row.presses);
        EXPECT_NE(typed.find(row.typed), std::string::npos) << typed;
    }
}

TEST_F(X11Test, ASecondCallAppendsToThePlayingQueue) {
    make_window("brtl append target");
    ZbiAppActivate("brtl append target");
    EXPECT_EQ(ZbiSendKeys("{a 150}", 0), 0);
    EXPECT_EQ(ZbiSendKeys("b", 1), 0);
    EXPECT_TRUE(traps().empty());
    std::vector<std::string> presses;
    std::string typed;
    read_presses(presses, typed, 151);
    EXPECT_EQ(typed, std::string(150, 'a') + "b");
}

TEST_F(X11Test, AppActivateMovesTheFocusBetweenTwoWindows) {
    Window first = make_window("brtl first");
    Window second = make_window("brtl second");
    ZbiAppActivate("brtl first");
    EXPECT_EQ(focus(), first);
    ZbiBuiltIn_AppActivate(temp("brtl second"));
    EXPECT_EQ(focus(), second);
    // The active window's own title returns at once.
    auto start = std::chrono::steady_clock::now();
    ZbiAppActivate("brtl second");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(traps().empty());
    // Titles match exactly.
    for (const char *title : {"brtl", "brtl second ", "BRTL SECOND", "brtl none"}) {
        clear_traps();
        ZbiAppActivate(title);
        EXPECT_EQ(traps(), only(5)) << title;
        EXPECT_EQ(focus(), second);
    }
    clear_traps();
    ZbiBuiltIn_AppActivate(temp(""));
    EXPECT_EQ(traps(), only(5));
    // An unmapped window does not get the focus; a throwing hook frees the title.
    Window hidden = make_window("brtl hidden");
    XUnmapWindow(dpy_, hidden);
    XSync(dpy_, False);
    clear_traps();
    ZbiAppActivate("brtl hidden");
    EXPECT_EQ(traps(), only(5));
    set_mode(HookMode::Throw);
    BlockBalance balance;
    EXPECT_THROW(ZbiBuiltIn_AppActivate(temp("brtl hidden")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(X11Test, TitlesCompareInUtf8WithNetWmNameAndAsTheyAreWithWmName) {
    Window net = make_window("brtl caf\xE9", "brtl caf\xC3\xA9");
    Window plain = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 50, 50, 0, 0, 0);
    XStoreName(dpy_, plain, "brtl na\xEFve"); // WM_NAME only, in Latin-1
    XMapWindow(dpy_, plain);
    XSync(dpy_, False);
    ZbiAppActivate("brtl caf\xE9"); // the "C" code page: the byte is U+00E9
    EXPECT_EQ(focus(), net);
    ZbiAppActivate("brtl na\xEFve");
    EXPECT_EQ(focus(), plain);
    EXPECT_TRUE(traps().empty());
    // The UTF-8 bytes themselves are another title.
    ZbiAppActivate("brtl caf\xC3\xA9");
    EXPECT_EQ(traps(), only(5));
}

// A window manager of the test: it announces _NET_ACTIVE_WINDOW and, asked for a window, gives
// it the focus after a short delay, so that AppActivate has to wait for the real focus.
TEST_F(X11Test, AWindowManagerIsAskedThroughNetActiveWindow) {
    Window target = make_window("brtl managed");
    Atom active = announce_window_manager();
    XSelectInput(dpy_, DefaultRootWindow(dpy_), SubstructureRedirectMask);
    XSync(dpy_, False);

    std::atomic<bool> done{false};
    std::thread caller([&done] {
        ZbiAppActivate("brtl managed");
        done = true;
    });
    bool asked = false;
    while (!done) {
        while (XPending(dpy_) > 0) {
            XEvent event;
            XNextEvent(dpy_, &event);
            if (event.type == ClientMessage && event.xclient.message_type == active &&
                event.xclient.window == target) {
                asked = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                XSetInputFocus(dpy_, target, RevertToParent, CurrentTime);
                XSync(dpy_, False);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    caller.join();
    EXPECT_TRUE(asked);
    EXPECT_EQ(focus(), target);
    EXPECT_TRUE(traps().empty());
}

TEST_F(X11Test, AManagerThatNeverFocusesEndsInTrapFive) {
    make_window("brtl ignored");
    announce_window_manager();
    XSync(dpy_, False);
    auto start = std::chrono::steady_clock::now();
    ZbiAppActivate("brtl ignored");
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(traps(), only(5));
    EXPECT_GE(waited, std::chrono::milliseconds(2000));
    EXPECT_LT(waited, std::chrono::seconds(20));
}

// The server reports every bell to the clients that ask for XKB bell notices.
TEST_F(X11Test, BeepRingsTheDisplaysBell) {
    int opcode = 0, event_base = 0, error_base = 0, major = XkbMajorVersion,
        minor = XkbMinorVersion;
    if (!XkbQueryExtension(dpy_, &opcode, &event_base, &error_base, &major, &minor))
        GTEST_SKIP() << "the server has no XKB";
    XkbSelectEvents(dpy_, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSync(dpy_, False);
    ZbiBuiltIn_Beep();
    EXPECT_TRUE(traps().empty());
    bool rang = false;
    for (int i = 0; i < 300 && !rang; ++i) {
        XSync(dpy_, False);
        while (XPending(dpy_) > 0 && !rang) {
            XEvent event;
            XNextEvent(dpy_, &event);
            rang = event.type == event_base &&
                   reinterpret_cast<XkbAnyEvent *>(&event)->xkb_type == XkbBellNotify;
        }
        if (!rang) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(rang);
}

// A server without the XTest extension cannot play keys: SendKeys fails (trap 5) and queues
// nothing, while AppActivate, which needs no XTest, still works.
TEST(DesktopWithoutXTest, SendKeysFails) {
    Xvfb server;
    std::string reason;
    if (!server.start(reason, {"-extension", "XTEST"})) GTEST_SKIP() << "no X server: " << reason;
    install_hooks();
    host().traps.clear();
    Display *dpy = XOpenDisplay(server.display().c_str());
    ASSERT_NE(dpy, nullptr);
    int ignored = 0;
    bool has_xtest = XQueryExtension(dpy, "XTEST", &ignored, &ignored, &ignored);
    Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 50, 50, 0, 0, 0);
    XStoreName(dpy, w, "brtl no xtest");
    XMapWindow(dpy, w);
    XSync(dpy, False);
    ZbiAppActivate("brtl no xtest");
    EXPECT_TRUE(host().traps.empty());
    if (!has_xtest) {
        EXPECT_EQ(ZbiSendKeys("abc", 1), 0);
        EXPECT_EQ(host().traps, (std::vector<Trap>{Trap{5, Family::Trap, ""}}));
    }
    XCloseDisplay(dpy);
    server.stop();
    ZbiTermBasicRTL();
    if (has_xtest) GTEST_SKIP() << "the server would not leave XTest out";
}

TEST(DesktopWithoutDisplay, EveryDesktopBuiltinFailsAtOnce) {
    const char *saved = std::getenv("DISPLAY");
    std::string old = saved != nullptr ? saved : "";
    install_hooks();
    host().traps.clear();
    for (const char *display : {"", ":9876"}) {
        setenv("DISPLAY", display, 1);
        host().traps.clear();
        EXPECT_EQ(ZbiSendKeys("abc", 1), 0); // the recording hook returns 0
        ZbiBuiltIn_SendKeys(temp("{ENTER}"), 0);
        ZbiAppActivate("anything");
        std::vector<Trap> three(3, Trap{5, Family::Trap, ""});
        EXPECT_EQ(host().traps, three) << "DISPLAY=" << display;
    }
    unsetenv("DISPLAY");
    host().traps.clear();
    ZbiBuiltIn_SendKeys(temp(""), 1);
    EXPECT_EQ(host().traps.size(), 1u);
    // A hook that leaves by an exception: the temporaries are freed all the same.
    host().mode = HookMode::Throw;
    BlockBalance balance;
    EXPECT_THROW(ZbiBuiltIn_SendKeys(temp("abc"), 0), TrapException);
    EXPECT_THROW(ZbiBuiltIn_AppActivate(temp("anything")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
    host().mode = HookMode::Return;
    if (saved != nullptr) setenv("DISPLAY", old.c_str(), 1);
    ZbiTermBasicRTL();
}

// Without a display Beep writes BEL to the terminal, here (a child without a controlling
// terminal) to standard error.
TEST(DesktopWithoutDisplay, BeepWritesBelToTheTerminal) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    if (child == 0) {
        setsid();
        dup2(fds[1], STDERR_FILENO);
        unsetenv("DISPLAY");
        ZbiBuiltIn_Beep();
        _exit(0);
    }
    close(fds[1]);
    char text[8] = {};
    ssize_t n = read(fds[0], text, sizeof text);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(text[0], '\a');
}
