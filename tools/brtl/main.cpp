// brtl: runs modules of the dialect on the library, and evaluates lines at its prompt.
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
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "lang/builtins.h"
#include "lang/check.h"
#include "lang/lexer.h"
#include "lang/parser.h"
#include "run/window.h"
#include "services/console.h"
#include "services/core.h"
#include "services/program.h"

#ifdef BRTL_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace {

using namespace brtl::basic;

const char kUsage[] =
    "Usage: brtl FILE... [-- ARGUMENTS...]\n"
    "       brtl [- | -e LINE...] [-- ARGUMENTS...]\n"
    "       brtl translate FILE... [-o OUT.cpp]\n"
    "       brtl build FILE... [-o PROGRAM]\n"
    "       brtl run FILE... [-- ARGUMENTS...]\n"
    "Runs programs of the BASIC dialect on the brtl library.\n"
    "\n"
    "  FILE...     runs the modules as one program: their module-level code in the order\n"
    "              given, or Sub Main when there is none\n"
    "  (none)      an interactive prompt (line editing and history on a terminal)\n"
    "  -           runs the lines of standard input, each on its own\n"
    "  -e LINE     runs LINE (repeatable, in order)\n"
    "  -- ARGS     the program's command line, which Command reads\n"
    "  --help      shows this text\n"
    "  --version   shows the version\n"
    "  --list-exports  lists every library export a program can reach\n"
    "  --dump FILE...  prints the checked form of the program instead of running it\n"
    "  translate   prints the program as C++ over the library (or writes it to OUT.cpp)\n"
    "  build       translates the program and compiles it (the compiler brtl was built\n"
    "              with, or $CXX; $CXXFLAGS adds flags) into PROGRAM\n"
    "  run         builds the program into a cache (BRTL_CACHE, else ~/.cache/brtl) keyed by\n"
    "              its text, then runs it; a second run starts at once\n"
    "\n"
    "Exit status: 0, 1 when a run-time error ended the program (a line, at the prompt),\n"
    "2 when it has an error that stops it from starting.\n";

void stream(Window &w, std::istream &in) {
    std::string text;
    for (int n = 1; !w.ended() && std::getline(in, text); ++n)
        w.line(text, std::to_string(n), n);
    w.finish();
}

void interactive(Window &w) {
#ifdef BRTL_HAVE_LIBEDIT
    while (!w.ended()) {
        char *raw = readline("brtl> ");
        if (raw == nullptr) break;
        std::string text(raw);
        std::free(raw);
        if (!text.empty()) add_history(text.c_str());
        w.line(text, "", 1);
    }
    std::cout << "\n";
#else
    std::string text;
    while (!w.ended() && (std::cout << "brtl> " << std::flush, std::getline(std::cin, text)))
        w.line(text, "", 1);
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
        brtl::rt::set_command_line(std::vector<std::string>(
            args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end()));
        args.resize(i);
        return;
    }
}

int window(const std::vector<std::string> &args) {
    Window w;
    if (args.empty()) {
        if (isatty(STDIN_FILENO))
            interactive(w);
        else
            stream(w, std::cin);
    } else if (args[0] == "-") {
        stream(w, std::cin);
    } else {
        for (size_t i = 0; i < args.size() && !w.ended(); i += 2) {
            if (args[i] != "-e" || i + 1 >= args.size()) {
                std::cerr << kUsage;
                return kNotStarted;
            }
            w.line(args[i + 1], "-e " + std::to_string(i / 2 + 1), 1);
        }
        w.finish();
    }
    brtl::rt::console_flush();
    brtl::rt::end_program();
    return w.status();
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "translate" || args[0] == "build" || args[0] == "run")) {
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (args[0] == "translate") return brtl::basic::translate_command(rest);
        if (args[0] == "build") return brtl::basic::build_command(rest);
        return brtl::basic::run_command(rest);
    }
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
        for (const std::string &name : reachable_exports())
            std::cout << name << "\n";
        return 0;
    }
    brtl::rt::start_program();
    if (args.empty() || args[0] == "-" || args[0] == "-e") return window(args);
    bool dump = args[0] == "--dump";
    if (dump) args.erase(args.begin());
    for (const std::string &a : args) {
        if (!a.empty() && a[0] == '-') {
            std::cerr << kUsage;
            return kNotStarted;
        }
    }
    return run_program(args, dump);
}
