// Starting programs: the command line split as the dialect's platform splits it, the program
// started (posix_spawnp, or WinExec), the result in the numbering of that platform's launcher.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brtl::platform {

// Launcher results below 32 (failures); a result above 31 is a started program.
constexpr int32_t kLaunchOutOfResources = 0;
constexpr int32_t kLaunchFileNotFound = 2;
constexpr int32_t kLaunchPathNotFound = 3;
constexpr int32_t kLaunchAccessDenied = 5;
constexpr int32_t kLaunchBadFormat = 11;
constexpr int32_t kLaunchFailed = 31; // any other reason
// A started program's result is its process id plus this.
constexpr int32_t kLaunchProcessBase = 32;

// The words of a command line: blanks and tabs separate them, double quotes group (two quotes
// inside a quoted part are one literal quote), and in an argument 2n backslashes before a quote
// are n backslashes while 2n + 1 are n and a literal quote; the program name keeps its
// backslashes. The words are NUL-terminated and the list ends with a null pointer.
class CommandWords {
  public:
    CommandWords() = default;
    CommandWords(const CommandWords &) = delete;
    CommandWords &operator=(const CommandWords &) = delete;
    ~CommandWords();

    // Splits line; false when memory runs out.
    bool split(const char *line);
    size_t count() const { return count_; }
    char *const *words() const { return words_; }

  private:
    char *text_ = nullptr;
    char **words_ = nullptr;
    size_t count_ = 0;
};

// Starts the program of the command line with the rest of its words as arguments and the
// process's environment, in the window style (the show command of its first window). On POSIX
// the style has no effect (a started program opens and places its own windows) and the started
// program is reaped when it ends, without touching the process's SIGCHLD disposition; the result
// is the process id plus kLaunchProcessBase. On Windows the result is the launcher's, above 31.
// A failure is one of the kLaunch* codes.
int32_t start_program(const char *command_line, int32_t window_style);

} // namespace brtl::platform
