// The platform helpers of the harness (harness/portable.h).
#include "harness/portable.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#define getpid _getpid
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;
#endif

namespace brtl_test {

std::filesystem::path make_scratch_directory(const char *prefix) {
#if defined(_WIN32)
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        std::filesystem::path name =
            std::filesystem::temp_directory_path() /
            (prefix + std::to_string(getpid()) + "-" + std::to_string(attempt));
        std::error_code error;
        if (std::filesystem::create_directory(name, error)) return name;
    }
    std::abort();
#else
    std::string base = (std::filesystem::temp_directory_path() / prefix).string() + "XXXXXX";
    std::vector<char> name(base.begin(), base.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) std::abort();
    return name.data();
#endif
}

std::string dialect_path(const std::filesystem::path &path) {
    std::string s = kWindows ? path.string() : "C:" + path.string();
    for (char &c : s)
        if (c == '/') c = '\\';
    return s;
}

#if defined(_WIN32)
bool descriptor_is_open(int descriptor) {
    return _get_osfhandle(descriptor) != -1;
}
bool descriptor_is_read_only(int descriptor) {
    char byte = 0;
    return _read(descriptor, &byte, 0) == 0 && _write(descriptor, &byte, 0) == -1;
}
bool running_under_wine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
// Under Wine run by the superuser a read-only file can still be written: try it.
bool permissions_bind_nobody() {
    const std::filesystem::path probe = make_scratch_directory("brtl-probe-") / "read-only-probe";
    std::ofstream(probe).close();
    std::filesystem::permissions(probe, std::filesystem::perms::owner_read);
    const int descriptor = _open(probe.string().c_str(), _O_WRONLY);
    if (descriptor >= 0) _close(descriptor);
    std::filesystem::permissions(probe, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(probe.parent_path());
    return descriptor >= 0;
}
#else
bool descriptor_is_open(int descriptor) {
    return fcntl(descriptor, F_GETFD) != -1;
}
bool descriptor_is_read_only(int descriptor) {
    return (fcntl(descriptor, F_GETFL) & O_ACCMODE) == O_RDONLY;
}
bool permissions_bind_nobody() {
    return geteuid() == 0;
}
bool running_under_wine() {
    return false;
}
#endif

std::vector<std::string> test_emulator() {
    std::vector<std::string> words;
    const char *joined = std::getenv("BRTL_TEST_EMULATOR");
    if (joined == nullptr) return words;
    std::string word;
    for (const char *p = joined;; ++p) {
        if (*p == '|' || *p == '\0') {
            if (!word.empty()) words.push_back(word);
            word.clear();
            if (*p == '\0') break;
        } else {
            word.push_back(*p);
        }
    }
    return words;
}

#if defined(_WIN32)
bool spawn_reports_failed_starts() {
    return true;
}
#else
// Starts a program that does not exist, once per process.
bool spawn_reports_failed_starts() {
    static const bool reports = [] {
        char name[] = "/brtl-no-such-directory/brtl-no-such-program";
        char *argv[] = {name, nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, name, nullptr, nullptr, argv, environ) != 0) return true;
        int status = 0;
        waitpid(pid, &status, 0);
        return false;
    }();
    return reports;
}
#endif

} // namespace brtl_test
