#include "desktop/xvfb.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

extern char **environ;

namespace brtl_test {

namespace {

// Reads the display number Xvfb writes when it is ready; empty after ten seconds or at the end
// of the pipe.
std::string read_display_number(int fd) {
    std::string number;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) return "";
        char c = 0;
        if (read(fd, &c, 1) != 1) return "";
        if (c == '\n') return number;
        number += c;
    }
}

} // namespace

bool Xvfb::start(std::string &reason, const std::vector<std::string> &options) {
    int fds[2];
    if (pipe(fds) != 0) {
        reason = "no pipe";
        return false;
    }
    std::string fd_text = std::to_string(fds[1]);
    std::vector<const char *> argv = {"Xvfb",       "-displayfd", fd_text.c_str(), "-screen", "0",
                                      "800x600x24", "-nolisten",  "tcp",           "-noreset"};
    for (const std::string &option : options)
        argv.push_back(option.c_str());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    int error =
        posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char **>(argv.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (error != 0) {
        close(fds[0]);
        pid_ = -1;
        reason = "Xvfb cannot be started";
        return false;
    }
    std::string number = read_display_number(fds[0]);
    close(fds[0]);
    if (number.empty()) {
        stop();
        reason = "Xvfb did not report a display";
        return false;
    }
    const char *old = std::getenv("DISPLAY");
    had_display_ = old != nullptr;
    if (had_display_) saved_display_ = old;
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
    return true;
}

void Xvfb::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    if (display_.empty()) return;
    if (had_display_)
        setenv("DISPLAY", saved_display_.c_str(), 1);
    else
        unsetenv("DISPLAY");
    display_.clear();
}

} // namespace brtl_test
