// posix_spawnp with the dialect's splitting and names, and a reaper for each started program.
#include "platform/process.h"

#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>

extern char **environ;

namespace brtl::platform {

namespace {

// The system name of a program name in the dialect's form: "\" separators become "/" and the
// drive "C:" the root. False for a name on another drive.
bool system_name(char *name) {
    if (std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':') {
        if (name[0] != 'C' && name[0] != 'c') return false;
        std::memmove(name, name + 2, std::strlen(name + 2) + 1);
        if (name[0] != '\\' && name[0] != '/') return false; // a drive-relative name
    }
    for (char *p = name; *p != '\0'; ++p)
        if (*p == '\\') *p = '/';
    return true;
}

// For a program that was not found: whether its directory is missing (a name with a directory
// part that is not a directory) or only the program.
int32_t missing_program(const char *name) {
    const char *slash = std::strrchr(name, '/');
    if (slash == nullptr || slash == name) return kLaunchFileNotFound;
    size_t n = static_cast<size_t>(slash - name);
    char *dir = static_cast<char *>(std::malloc(n + 1));
    if (dir == nullptr) return kLaunchOutOfResources;
    std::memcpy(dir, name, n);
    dir[n] = '\0';
    struct stat st {};
    bool is_dir = stat(dir, &st) == 0 && S_ISDIR(st.st_mode);
    std::free(dir);
    return is_dir ? kLaunchFileNotFound : kLaunchPathNotFound;
}

int32_t failure_of(int error, const char *name) {
    switch (error) {
    case ENOENT:
        return missing_program(name);
    case ENOTDIR:
        return kLaunchPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
        return kLaunchAccessDenied;
    case ENOEXEC:
        return kLaunchBadFormat;
    case ENOMEM:
    case EAGAIN:
        return kLaunchOutOfResources;
    default:
        return kLaunchFailed;
    }
}

// Started programs that no reaper thread waits for (when none could be started): waited for
// without blocking at each later start.
constexpr size_t kPendingSlots = 1024;
std::mutex g_pending_mutex;
pid_t g_pending[kPendingSlots];
size_t g_pending_count = 0;

void reap_pending() {
    std::lock_guard lock(g_pending_mutex);
    for (size_t i = 0; i < g_pending_count;) {
        int status = 0;
        pid_t r = waitpid(g_pending[i], &status, WNOHANG);
        if (r == 0) {
            ++i;
            continue;
        }
        g_pending[i] = g_pending[--g_pending_count]; // ended, or reaped by the host (ECHILD)
    }
}

void *reap(void *arg) {
    pid_t pid = static_cast<pid_t>(reinterpret_cast<intptr_t>(arg));
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return nullptr;
}

// Waits for the program on a small detached thread: only for this pid, so that the host's own
// children and its SIGCHLD handling are left alone.
void start_reaper(pid_t pid) {
    pthread_attr_t attr;
    bool started = false;
    if (pthread_attr_init(&attr) == 0) {
        pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
        pthread_attr_setstacksize(&attr, 64 * 1024);
        pthread_t thread;
        started =
            pthread_create(&thread, &attr, reap, reinterpret_cast<void *>(intptr_t{pid})) == 0;
        pthread_attr_destroy(&attr);
    }
    if (started) return;
    std::lock_guard lock(g_pending_mutex);
    if (g_pending_count < kPendingSlots) g_pending[g_pending_count++] = pid;
}

// The started program gets the default signal dispositions and an empty signal mask.
int spawn(pid_t &pid, const char *name, char *const *argv) {
    posix_spawnattr_t attr;
    if (posix_spawnattr_init(&attr) != 0) return ENOMEM;
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    int error = posix_spawnp(&pid, name, nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    return error;
}

} // namespace

int32_t start_program(const char *command_line, int32_t) {
    reap_pending();
    CommandWords words;
    if (!words.split(command_line)) return kLaunchOutOfResources;
    if (words.count() == 0) return kLaunchFileNotFound;
    char *name = words.words()[0];
    if (!system_name(name)) return kLaunchPathNotFound;
    pid_t pid = 0;
    int error = spawn(pid, name, words.words());
    if (error != 0) return failure_of(error, name);
    start_reaper(pid);
    return static_cast<int32_t>(pid) + kLaunchProcessBase;
}

} // namespace brtl::platform
