// The few POSIX calls the suites use, for the Windows build of the suites: the environment
// (setenv, unsetenv) and a fresh scratch directory.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#if defined(_WIN32)
inline int setenv(const char *name, const char *value, int overwrite) {
    if (overwrite == 0 && std::getenv(name) != nullptr) return 0;
    return _putenv_s(name, value);
}
inline int unsetenv(const char *name) {
    return _putenv_s(name, ""); // an empty value removes the variable
}
#endif

namespace brtl_test {

// Makes a new directory whose name starts with the prefix, in the system's directory for
// temporary files; aborts when none can be made.
std::filesystem::path make_scratch_directory(const char *prefix);

// The dialect's full name of a path of the system: "C:" and the path with "\" separators on
// POSIX, whose one drive is the root; the path itself with "\" separators on Windows.
std::string dialect_path(const std::filesystem::path &path);

// True when the descriptor is open.
bool descriptor_is_open(int descriptor);
// True when the open descriptor can be read but not written.
bool descriptor_is_read_only(int descriptor);
// True when file permissions do not bind the process (the superuser of POSIX).
bool permissions_bind_nobody();

// True when the Windows programs run under Wine, whose system libraries differ from Windows' in a
// few places.
bool running_under_wine();

// The words of the command that runs the suites' programs in a Linux cross build (CTest names it
// in BRTL_TEST_EMULATOR, the words joined by "|"); empty when they run on the machine itself.
// A program a test starts runs under it too, since the system may not run its machine code.
std::vector<std::string> test_emulator();
// False when a failed start is not reported by the call that starts the program: an emulator
// that runs the child of posix_spawn as a copy of itself learns of the child's failed exec only
// when the child has ended, and reports a started program.
bool spawn_reports_failed_starts();

// Whether the suites run on Windows, where some facts of POSIX do not hold.
#if defined(_WIN32)
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

} // namespace brtl_test
