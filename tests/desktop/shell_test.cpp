// Shell: a real program started with its arguments split as the command-line rules say, the
// traps of a missing program or directory, the argument checks, and the reaping of every
// started program without touching the host's SIGCHLD handling.
#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "harness/harness.h"
#include "platform/process.h"

using namespace brtl_test;
namespace fs = std::filesystem;

namespace {

class ShellTest : public RuntimeTest {};

// Waits up to five seconds for the file to be written whole (the writer closes it at the end).
std::string wait_for_file(const fs::path &path, const std::string &last_line_start) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        std::string s = text.str();
        if (!s.empty() && s.back() == '\n' &&
            (last_line_start.empty() || s.find(last_line_start) != std::string::npos))
            return s;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

#if defined(_WIN32)
// The dialect's names are the system's own. Under Wine a path of the build machine, which the
// build passes in, is on the drive Z:.
std::string dialect(const fs::path &path) {
    std::string s = path.string();
    if (!s.empty() && s[0] == '/') s = "Z:" + s;
    for (char &c : s)
        if (c == '/') c = '\\';
    return s;
}
#else
// The state letter of /proc/<pid>/stat; '-' when the process is gone.
char process_state(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) return '-';
    size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

// The dialect's form of a system path.
std::string dialect(const fs::path &path) {
    std::string s = "C:" + path.string();
    for (char &c : s)
        if (c == '/') c = '\\';
    return s;
}

#endif

} // namespace

// The program named as on the path and in the dialect's form of its full path. In a cross build
// the emulator is the program, which starts the writer (the system may not run its machine code)
// with the same arguments.
TEST_F(ShellTest, StartsARealProgramWithItsArguments) {
    fs::path out = scratch_dir() / "argv.txt", dialect_out = scratch_dir() / "dialect.txt";
    // The program by its system path (on Windows the dialect's names are the system's).
    std::string program = kWindows ? dialect(BRTL_ARGV_WRITER) : std::string(BRTL_ARGV_WRITER);
    std::string dialect_program = dialect(BRTL_ARGV_WRITER), leading;
    const std::vector<std::string> emulator = test_emulator();
    if (!emulator.empty()) {
        program = emulator[0];
        dialect_program = dialect(emulator[0]);
        for (size_t i = 1; i < emulator.size(); ++i)
            leading += " " + emulator[i];
        leading += " " + std::string(BRTL_ARGV_WRITER);
    }
    std::string command = program + leading + " " + out.string() +
                          " plain \"two words\"\ttab a\\\"b \"c\\\\\" d\\\\e \"q\"\"q\" \"\"";
    int32_t r = ZbiBuiltIn_Shell(temp(command), 1);
    EXPECT_GT(r, 31);
    const std::string text = wait_for_file(out, "[]");
    const std::string arguments =
        "[plain]\n[two words]\n[tab]\n[a\"b]\n[c\\]\n[d\\\\e]\n[q\"q]\n[]\n";
    if (kWindows) { // the launcher's result there is no process id
        EXPECT_EQ(text.substr(text.find('\n') + 1), arguments);
    } else {
        EXPECT_EQ(text, std::to_string(BRTL_SHELL_PROCESS_ID(r)) + "\n" + arguments);
    }
    EXPECT_GT(
        ZbiRunProgram((dialect_program + leading + " " + dialect_out.string() + " x").c_str(), 6),
        31);
    EXPECT_NE(wait_for_file(dialect_out, "[x]"), "");
    EXPECT_TRUE(traps().empty());
}

TEST_F(ShellTest, TheCommandLineSplitter) {
    const struct {
        const char *line;
        std::vector<std::string> words;
    } rows[] = {
        {"", {}},
        {"  \t ", {}},
        {"p", {"p"}},
        {"p a  b\tc", {"p", "a", "b", "c"}},
        {"\"my prog\" x", {"my prog", "x"}},
        {"C:\\dir\\p \\a\\", {"C:\\dir\\p", "\\a\\"}},
        {"p a\\\\\\\"b", {"p", "a\\\"b"}},
        {"p \"a\\\\\" b", {"p", "a\\", "b"}},
        {"p \"open", {"p", "open"}},
        {"p x\"y z\"w", {"p", "xy zw"}},
        {"p \"\"", {"p", ""}},
        {"p \"a\"\"b\"", {"p", "a\"b"}},
    };
    for (const auto &row : rows) {
        brtl::platform::CommandWords words;
        ASSERT_TRUE(words.split(row.line));
        std::vector<std::string> got(words.words(), words.words() + words.count());
        EXPECT_EQ(got, row.words) << "«" << row.line << "»";
        EXPECT_EQ(words.words()[words.count()], nullptr);
    }
}

namespace {

struct Refused {
    std::string command;
    int32_t style;
    Trap want;
};

Trap missing(const std::string &name) {
    return Trap{53, Family::FileTrap, name};
}
const Trap kFive{5, Family::Trap, ""};

// Each refused command: its trap, the result -1 and a borrowed command left intact under a
// returning hook, and a temporary command freed under a throwing one.
void expect_refused(const std::vector<Refused> &rows) {
    for (const Refused &row : rows) {
        host().traps.clear();
        Borrowed command(row.command);
        EXPECT_EQ(ZbiBuiltIn_Shell(command.get(), row.style), -1) << row.command;
        EXPECT_TRUE(command.intact());
        host().mode = HookMode::Throw;
        BlockBalance balance;
        EXPECT_THROW(ZbiBuiltIn_Shell(temp(row.command), row.style), TrapException);
        host().mode = HookMode::Return;
        EXPECT_EQ(balance.delta(), 0);
        EXPECT_EQ(host().traps, (std::vector<Trap>{row.want, row.want})) << row.command;
    }
}

} // namespace

// Commands refused before the system is asked to start anything: trap 53 for another drive, a
// name relative to the drive or a leading blank, trap 5 for a bad window style or no command.
TEST_F(ShellTest, RefusedCommandsTrapWithEitherHook) {
    expect_refused({
        {"Q:\\bin\\true", 1, missing("Q:\\bin\\true")},
        // A name relative to the drive, which the path check lets pass: still trap 53 once.
        {"C:prog x", 1, missing("C:prog")},
        {" true", 1, missing("")},
        {"\ttrue", 1, missing("")},
        {"true", 0, kFive},
        {"true", 10, kFive},
        {"true", -1, kFive},
        {"", 1, kFive},
    });
    clear_traps();
    EXPECT_EQ(ZbiRunProgram(nullptr, 1), -1);
    EXPECT_EQ(traps(), std::vector<Trap>{kFive});
}

// Programs the system cannot start: trap 53 with the program's name for a missing program or
// directory, trap 5 for a directory.
TEST_F(ShellTest, ProgramsThatCannotStartTrap) {
    if (!spawn_reports_failed_starts())
        GTEST_SKIP() << "this system's posix_spawn reports a started program for one that cannot "
                        "start (an emulator that runs the child as a copy of itself)";
    std::ofstream(scratch_dir() / "plain.txt") << "x";
    const std::string in_scratch = dialect(scratch_dir() / "missing"),
                      no_dir = dialect(scratch_dir() / "no" / "such" / "prog"),
                      through_file = dialect(scratch_dir() / "plain.txt") + "\\prog";
    expect_refused({
        {"brtl-no-such-program /x", 1, missing("brtl-no-such-program")},
        {in_scratch + "\targ", 1, missing(in_scratch)},
        {no_dir + " a b", 1, missing(no_dir)},
        // A file where a directory should be.
        {through_file + " x", 1, missing(through_file)},
        // A directory cannot be started (Wine's launcher takes it for a missing program).
        {scratch_dir().string(), 1, running_under_wine() ? missing(scratch_dir().string()) : kFive},
    });
}

TEST_F(ShellTest, NoZombiesAfterAHundredShells) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows keeps no finished child processes to reap";
#else
    std::vector<pid_t> started;
    for (int i = 0; i < 100; ++i) {
        int32_t r = ZbiBuiltIn_Shell(temp("true"), 1);
        ASSERT_GT(r, 31);
        started.push_back(BRTL_SHELL_PROCESS_ID(r));
    }
    EXPECT_TRUE(traps().empty());
    bool all_gone = false;
    for (int round = 0; round < 500 && !all_gone; ++round) {
        all_gone = true;
        for (pid_t pid : started)
            all_gone = all_gone && process_state(pid) == '-';
        if (!all_gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(all_gone);
    // Nothing is left to wait for: every child was reaped.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
#endif
}

#if !defined(_WIN32)
namespace {
std::atomic<int> g_host_signals{0};
void host_handler(int) {
    ++g_host_signals;
}
} // namespace
#endif

TEST_F(ShellTest, TheHostsChildHandlingIsLeftAlone) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has neither SIGCHLD nor fork";
#else
    struct sigaction mine {
    }, before{}, after{};
    mine.sa_handler = host_handler;
    sigemptyset(&mine.sa_mask);
    ASSERT_EQ(sigaction(SIGCHLD, &mine, &before), 0);
    // A child of the host's own, which the library must not reap.
    pid_t own = fork();
    if (own == 0) _exit(7);
    int32_t r = ZbiBuiltIn_Shell(temp("true"), 1);
    ASSERT_GT(r, 31);
    for (int i = 0; i < 500 && process_state(BRTL_SHELL_PROCESS_ID(r)) != '-'; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(process_state(BRTL_SHELL_PROCESS_ID(r)), '-');
    ASSERT_EQ(sigaction(SIGCHLD, &before, &after), 0);
    EXPECT_EQ(after.sa_handler, host_handler);
    int status = 0;
    EXPECT_EQ(waitpid(own, &status, 0), own);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7);
    EXPECT_GE(g_host_signals.load(), 1);
#endif
}
