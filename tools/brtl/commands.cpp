// brtl translate, build and run. The compiler is the one this build of brtl was made with (or
// $CXX); the headers and libraries are the build tree's when brtl runs from it, else those of the
// installed tree brtl sits in (PREFIX/bin/brtl: PREFIX/include, PREFIX/lib...).
#include "commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <limits.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "build_config.h"
#include "lang/load.h"
#include "services/core.h"
#include "services/program.h"
#include "translate/translator.h"

namespace brtl::basic {
namespace {

constexpr int kFailed = rt::kExitNotStarted;

// The modules' files and what follows them: "-o OUT", "--" and the program's arguments.
struct Arguments {
    std::vector<std::string> files;
    std::string output;
    std::vector<std::string> program_args;
    std::string problem;
};

Arguments parse_arguments(const std::vector<std::string> &args, bool takes_output) {
    Arguments a;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") {
            a.program_args.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (takes_output && args[i] == "-o" && i + 1 < args.size()) {
            a.output = args[++i];
        } else if (!args[i].empty() && args[i][0] == '-') {
            a.problem = "unknown option " + args[i];
        } else {
            a.files.push_back(args[i]);
        }
    }
    if (a.files.empty() && a.problem.empty()) a.problem = "no module given";
    return a;
}

int usage(const char *command, const std::string &problem) {
    std::fprintf(stderr, "brtl %s: %s\n", command, problem.c_str());
    std::fprintf(stderr, "Usage: brtl translate FILE... [-o OUT.cpp]\n"
                         "       brtl build FILE... [-o PROGRAM]\n"
                         "       brtl run FILE... [-- ARGUMENTS...]\n");
    return kFailed;
}

// The translation of the modules, or "" after the checker's messages.
std::string translation(const std::vector<std::string> &files) {
    // Constant folding and date literals run the library's routines.
    rt::start_program();
    LoadedProgram loaded = load_program(files, stderr);
    if (!loaded.program) return "";
    TranslateOptions options;
    options.sources = std::move(loaded.sources);
    options.tool_version = BRTL_VERSION;
    return translate(*loaded.program, options);
}

bool write_file(const std::string &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

} // namespace

int translate_command(const std::vector<std::string> &args) {
    Arguments a = parse_arguments(args, true);
    if (!a.problem.empty()) return usage("translate", a.problem);
    std::string cpp = translation(a.files);
    if (cpp.empty()) return kFailed;
    if (a.output.empty()) {
        std::fwrite(cpp.data(), 1, cpp.size(), stdout);
        return 0;
    }
    if (!write_file(a.output, cpp)) {
        std::fprintf(stderr, "brtl translate: cannot write %s\n", a.output.c_str());
        return kFailed;
    }
    return 0;
}

#if defined(_WIN32)

int build_command(const std::vector<std::string> &) {
    std::fprintf(stderr, "brtl build: not available on Windows; brtl translate writes the C++\n");
    return kFailed;
}

int run_command(const std::vector<std::string> &) {
    std::fprintf(stderr, "brtl run: not available on Windows; brtl FILE runs the module\n");
    return kFailed;
}

#else

namespace {

std::vector<std::string> split(const std::string &text, char by) {
    std::vector<std::string> out;
    std::string word;
    for (char c : text) {
        if (c == by) {
            if (!word.empty()) out.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) out.push_back(word);
    return out;
}

std::string stem_of(const std::string &file) {
    size_t slash = file.find_last_of('/');
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool exists(const std::string &path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::string tool_dir() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "";
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.find_last_of('/'));
}

std::string canonical(const std::string &path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) != nullptr ? std::string(buf) : path;
}

// A command name found on PATH, or "" (a name with a slash is taken as it is).
std::string find_program(const std::string &name) {
    if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
    const char *path = std::getenv("PATH");
    for (const std::string &dir : split(path != nullptr ? path : "/usr/bin:/bin", ':')) {
        std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

struct Toolchain {
    std::string compiler;
    std::vector<std::string> flags;
    std::vector<std::string> link;
    std::string fingerprint; // what a cached program depends on besides the module
};

bool find_toolchain(Toolchain &t, std::string &problem) {
    const char *cxx = std::getenv("CXX");
    std::string wanted = cxx != nullptr && *cxx != '\0' ? cxx : BRTL_CONFIG_CXX;
    t.compiler = find_program(wanted);
    if (t.compiler.empty()) {
        problem = "no C++ compiler: " + wanted +
                  " is not there. Install one (on Debian: apt-get install g++) or name it in CXX.";
        return false;
    }
    t.flags = split(BRTL_CONFIG_FLAGS, ' ');
    t.flags.push_back("-Wall");
    t.flags.push_back("-Wextra");
    if (const char *extra = std::getenv("CXXFLAGS"))
        for (const std::string &f : split(extra, ' '))
            t.flags.push_back(f);
    std::string here = tool_dir();
    std::string services;
    if (!here.empty() && canonical(here) == canonical(BRTL_CONFIG_TOOL_DIR) &&
        exists(BRTL_CONFIG_BUILD_SERVICES)) {
        // brtl runs from its build tree.
        for (const std::string &dir : split(BRTL_CONFIG_BUILD_INCLUDES, '|'))
            t.flags.push_back("-I" + dir);
        services = BRTL_CONFIG_BUILD_SERVICES;
        std::string library = BRTL_CONFIG_BUILD_LIBRARY;
        t.link = {services, library, "-Wl,-rpath," + library.substr(0, library.find_last_of('/'))};
    } else {
        std::string prefix = canonical(here + "/..");
        std::string include = prefix + "/" + BRTL_CONFIG_INCLUDEDIR;
        std::string lib = prefix + "/" + BRTL_CONFIG_LIBDIR;
        services = lib + "/libbrtl_services.a";
        if (!exists(include + "/brtl/services/all.h") || !exists(services)) {
            problem = "the services' headers and library are not installed beside brtl (looked "
                      "for " +
                      include + "/brtl/services/all.h and " + services + ")";
            return false;
        }
        t.flags.push_back("-I" + include);
        t.link = {services, "-L" + lib, "-lbrtl"};
        if (prefix != "/usr") t.link.push_back("-Wl,-rpath," + lib);
    }
    for (const std::string &library : split(BRTL_CONFIG_LIBS, ' '))
        t.link.push_back(library);
    struct stat st {};
    stat(services.c_str(), &st);
    t.fingerprint = t.compiler + "\n" + BRTL_CONFIG_FLAGS + "\n" + (cxx ? "" : "") +
                    std::to_string(static_cast<long long>(st.st_size)) + ":" +
                    std::to_string(static_cast<long long>(st.st_mtime)) + "\n";
    for (const std::string &f : t.flags)
        t.fingerprint += f + " ";
    for (const std::string &f : t.link)
        t.fingerprint += f + " ";
    return true;
}

// Runs a program to its end; its exit status, or -1 when it could not start or was killed.
int run_process(const std::vector<std::string> &argv) {
    std::vector<char *> raw;
    for (const std::string &a : argv)
        raw.push_back(const_cast<char *>(a.c_str()));
    raw.push_back(nullptr);
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        execv(raw[0], raw.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A folder of its own under the temporary folder; removed by the caller.
std::string make_temp_dir() {
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/brtl-build-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    return mkdtemp(buf.data()) != nullptr ? std::string(buf.data()) : "";
}

// Translates and compiles the modules into output. Returns 0 or the exit status to end with.
int build(const std::vector<std::string> &files, const std::string &output, const Toolchain &t,
          const char *command) {
    std::string cpp = translation(files);
    if (cpp.empty()) return kFailed;
    std::string dir = make_temp_dir();
    if (dir.empty()) {
        std::fprintf(stderr, "brtl %s: cannot make a temporary folder\n", command);
        return kFailed;
    }
    std::string source = dir + "/" + stem_of(files[0]) + ".cpp";
    if (!write_file(source, cpp)) {
        std::fprintf(stderr, "brtl %s: cannot write %s\n", command, source.c_str());
        return kFailed;
    }
    std::vector<std::string> argv{t.compiler};
    argv.insert(argv.end(), t.flags.begin(), t.flags.end());
    argv.insert(argv.end(), {"-x", "c++", source, "-x", "none", "-o", output});
    argv.insert(argv.end(), t.link.begin(), t.link.end());
    int status = run_process(argv);
    if (status != 0) {
        std::fprintf(stderr,
                     "brtl %s: %s failed (status %d) on the translation of %s; it is kept in %s\n",
                     command, t.compiler.c_str(), status, files[0].c_str(), source.c_str());
        return kFailed;
    }
    std::remove(source.c_str());
    rmdir(dir.c_str());
    return 0;
}

// Two 64-bit FNV-1a hashes of the text, as 32 hex digits.
std::string hash_of(const std::string &text) {
    uint64_t a = 14695981039346656037ull, b = 1099511628211ull * 31;
    for (unsigned char c : text) {
        a = (a ^ c) * 1099511628211ull;
        b = (b ^ c) * 1099511628211ull + 0x9E3779B97F4A7C15ull;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%016llx%016llx", static_cast<unsigned long long>(a),
                  static_cast<unsigned long long>(b));
    return buf;
}

std::string cache_dir() {
    if (const char *c = std::getenv("BRTL_CACHE"); c != nullptr && *c) return c;
    if (const char *x = std::getenv("XDG_CACHE_HOME"); x != nullptr && *x)
        return std::string(x) + "/brtl";
    if (const char *h = std::getenv("HOME"); h != nullptr && *h)
        return std::string(h) + "/.cache/brtl";
    return "";
}

bool make_dirs(const std::string &path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

} // namespace

int build_command(const std::vector<std::string> &args) {
    Arguments a = parse_arguments(args, true);
    if (!a.problem.empty()) return usage("build", a.problem);
    if (a.output.empty()) a.output = stem_of(a.files[0]);
    Toolchain t;
    std::string problem;
    if (!find_toolchain(t, problem)) {
        std::fprintf(stderr, "brtl build: %s\n", problem.c_str());
        return kFailed;
    }
    return build(a.files, a.output, t, "build");
}

int run_command(const std::vector<std::string> &args) {
    Arguments a = parse_arguments(args, false);
    if (!a.problem.empty()) return usage("run", a.problem);
    Toolchain t;
    std::string problem;
    if (!find_toolchain(t, problem)) {
        std::fprintf(stderr, "brtl run: %s\n", problem.c_str());
        return kFailed;
    }
    // The program is kept under the hash of the modules' texts, the tool's version and the
    // toolchain: the same modules run again without being built again.
    std::string key = std::string(BRTL_VERSION) + "\n" + t.fingerprint;
    for (const std::string &file : a.files) {
        std::string text;
        if (!read_file(file, text)) {
            std::fprintf(stderr, "brtl: cannot open %s\n", file.c_str());
            return kFailed;
        }
        key += file + '\0' + text + '\0';
    }
    std::string dir = cache_dir();
    if (dir.empty() || !make_dirs(dir)) {
        std::fprintf(stderr, "brtl run: no cache folder (set BRTL_CACHE or HOME)\n");
        return kFailed;
    }
    std::string program = dir + "/" + hash_of(key) + "-" + stem_of(a.files[0]);
    if (access(program.c_str(), X_OK) != 0) {
        std::string partial = program + ".part" + std::to_string(getpid());
        if (int status = build(a.files, partial, t, "run"); status != 0) return status;
        if (std::rename(partial.c_str(), program.c_str()) != 0) {
            std::fprintf(stderr, "brtl run: cannot store %s\n", program.c_str());
            std::remove(partial.c_str());
            return kFailed;
        }
    }
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (std::string &arg : a.program_args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    execv(argv[0], argv.data());
    std::fprintf(stderr, "brtl run: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return kFailed;
}

#endif

} // namespace brtl::basic
