// brtl: the immediate window of the dialect on the library.
#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define STDIN_FILENO 0
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "interp.h"

#ifdef BRTL_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace {

using brtl_host::Interp;

const char kUsage[] =
    "Usage: brtl [FILE | - | -e LINE...] [-- ARGUMENTS...]\n"
    "Evaluates lines of the BASIC dialect through the brtl library.\n"
    "\n"
    "  (none)      an interactive prompt (line editing and history on a terminal)\n"
    "  FILE        runs the lines of FILE; - reads them from standard input\n"
    "  -e LINE     runs LINE (repeatable, in order)\n"
    "  -- ARGS     the program's command line, which Command reads\n"
    "  --help      shows this text\n"
    "  --version   shows the version\n"
    "  --list-exports  lists every library export the window calls\n"
    "\n"
    "Exit status: 0, 1 when a line raised a run-time error, 2 on a syntax error.\n";

struct Run {
    Interp interp{std::cout, std::cerr};
    int status = 0;

    void line(const std::string &text, const std::string &where) {
        int s = static_cast<int>(interp.run_line(text, where));
        if (s > status) status = s;
        std::cout.flush();
    }

    void stream(std::istream &in) {
        std::string text;
        for (int n = 1; std::getline(in, text); ++n)
            line(text, std::to_string(n));
    }
};

void interactive(Run &run) {
#ifdef BRTL_HAVE_LIBEDIT
    while (char *raw = readline("brtl> ")) {
        std::string text(raw);
        std::free(raw);
        if (!text.empty()) add_history(text.c_str());
        run.line(text, "");
    }
    std::cout << "\n";
#else
    std::string text;
    while (std::cout << "brtl> " << std::flush, std::getline(std::cin, text))
        run.line(text, "");
#endif
}

// Takes the arguments after "--" (not the text of an -e) off args, as the program's command
// line: the words joined by blanks, cut to the 255 bytes the library's variable holds.
void take_command_line(std::vector<std::string> &args) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-e") {
            ++i;
            continue;
        }
        if (args[i] != "--") continue;
        std::string text;
        for (size_t k = i + 1; k < args.size(); ++k)
            text += (k > i + 1 ? " " : "") + args[k];
        size_t n = std::min(text.size(), sizeof BiBuiltInVar_Command_ - 1);
        std::memcpy(BiBuiltInVar_Command_, text.data(), n);
        BiBuiltInVar_Command_[n] = '\0';
        args.resize(i);
        return;
    }
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    take_command_line(args);
    if (!args.empty() && args[0] == "--help") {
        std::cout << kUsage;
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        std::cout << "brtl " << BRTL_VERSION << "\n";
        return 0;
    }
    if (!args.empty() && args[0] == "--list-exports") {
        for (const std::string &name : brtl_host::reachable_exports())
            std::cout << name << "\n";
        return 0;
    }
    brtl_host::install_hooks();
    Run run;
    if (args.empty()) {
        if (isatty(STDIN_FILENO))
            interactive(run);
        else
            run.stream(std::cin);
        return run.status;
    }
    if (args[0] == "-e") {
        for (size_t i = 0; i < args.size(); i += 2) {
            if (args[i] != "-e" || i + 1 >= args.size()) {
                std::cerr << kUsage;
                return 2;
            }
            run.line(args[i + 1], "-e " + std::to_string(i / 2 + 1));
        }
        return run.status;
    }
    if (args.size() != 1) {
        std::cerr << kUsage;
        return 2;
    }
    if (args[0] == "-") {
        run.stream(std::cin);
        return run.status;
    }
    std::ifstream file(args[0]);
    if (!file) {
        std::cerr << "brtl: cannot open " << args[0] << "\n";
        return 2;
    }
    run.stream(file);
    return run.status;
}
