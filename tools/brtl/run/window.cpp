#include "window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "lang/dump.h"
#include "lang/lexer.h"
#include "lang/load.h"
#include "lang/parser.h"
#include "services/console.h"
#include "services/core.h"

namespace brtl::basic {

namespace {

void report_trap(const Unhandled &t, bool with_place) {
    if (with_place)
        rt::report_trap(t.number, t.procedure.c_str(), t.file.c_str(), t.line);
    else
        rt::report_trap(t.number, nullptr, nullptr, 0);
}

std::string first_words(const std::string &text) {
    std::istringstream in(text);
    std::string word, out;
    for (int i = 0; i < 3 && in >> word; ++i)
        out += upper(word) + " ";
    return out;
}

bool starts_procedure(const std::string &text) {
    std::string w = first_words(text);
    for (const char *prefix : {"PRIVATE ", "PUBLIC ", "STATIC "})
        if (w.compare(0, std::strlen(prefix), prefix) == 0) w.erase(0, std::strlen(prefix));
    return w.compare(0, 4, "SUB ") == 0 || w.compare(0, 9, "FUNCTION ") == 0;
}

bool ends_procedure(const std::string &text) {
    std::string w = first_words(text);
    return w.compare(0, 8, "END SUB ") == 0 || w.compare(0, 13, "END FUNCTION ") == 0;
}

} // namespace

int run_program(const std::vector<std::string> &files, bool dump_only) {
    LoadedProgram loaded = load_program(files, rt::console_errors());
    if (!loaded.program) return kNotStarted;
    Program *program = loaded.program.get();
    if (dump_only) {
        std::fputs(dump(*program).c_str(), rt::console_out());
        return 0;
    }
    int status = 0;
    {
        Machine machine(*program);
        try {
            machine.prepare();
            for (uint32_t entry : program->entry)
                if (!machine.run(entry)) break;
        } catch (const Unhandled &t) {
            report_trap(t, true);
            status = kTrapped;
        } catch (const rt::Trap &t) {
            report_trap(Unhandled{t.number, "", "", 0}, false);
            status = kTrapped;
        }
    }
    rt::console_flush();
    rt::end_program();
    return status;
}

Window::Window() = default;
Window::~Window() = default;

void Window::line(const std::string &text, const std::string &where, int number) {
    if (!pending_.empty() || starts_procedure(text)) {
        pending_ += text + "\n";
        if (pending_first_ == 0) {
            pending_first_ = number;
            pending_where_ = where;
        }
        if (!ends_procedure(text)) return;
        finish();
        return;
    }
    run(text, where, number);
}

void Window::finish() {
    if (pending_.empty()) return;
    std::string body;
    body.swap(pending_);
    int first = pending_first_;
    pending_first_ = 0;
    run(body, pending_where_, first);
}

void Window::run(const std::string &text, const std::string &where, int number) {
    Module m;
    try {
        m = parse_module(text, where, number);
    } catch (const SourceError &e) {
        syntax(where, e.line, e.column, e.message);
        return;
    }
    uint32_t proc = 0;
    try {
        proc = session_.add(std::move(m));
    } catch (const CheckErrors &errors) {
        for (const CheckError &e : errors.errors)
            syntax(where, e.line, e.column, e.message);
        return;
    }
    try {
        Machine &m2 = machine();
        m2.prepare();
        if (!m2.run(proc)) ended_ = true;
    } catch (const Unhandled &t) {
        report_trap(t, false);
        status_ = std::max(status_, kTrapped);
    } catch (const rt::Trap &t) {
        report_trap(Unhandled{t.number, "", "", 0}, false);
        status_ = std::max(status_, kTrapped);
    }
    rt::console_flush();
}

void Window::syntax(const std::string &where, int line, int column, const std::string &message) {
    rt::console_end_line();
    std::FILE *err = rt::console_errors();
    // A line of -e is named by its place among the -e; a line of a stream by its number.
    std::string place;
    if (where.compare(0, 3, "-e ") == 0)
        place = " in line " + where;
    else if (!where.empty())
        place = " in line " + std::to_string(line);
    std::fprintf(err, "Syntax error%s at column %d: %s\n", place.c_str(), column, message.c_str());
    std::fflush(err);
    status_ = std::max(status_, kNotStarted);
}

Machine &Window::machine() {
    if (!machine_) machine_ = std::make_unique<Machine>(session_.program());
    return *machine_;
}

} // namespace brtl::basic
