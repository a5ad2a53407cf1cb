// The module reader and checker over random text: every input is either refused with an error
// at a line and column, or checked into a program; never a crash, a hang or a leak.
#include <cstddef>
#include <cstdint>
#include <string>

#include "lang/check.h"
#include "lang/lexer.h"
#include "lang/parser.h"
#include "services/core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = [] {
        brtl::rt::start_program();
        return true;
    }();
    (void)ready;
    std::string text(reinterpret_cast<const char *>(data), size);
    try {
        std::vector<brtl::basic::Module> modules;
        modules.push_back(brtl::basic::parse_module(text, "fuzz.bas"));
        auto program = brtl::basic::check_program(std::move(modules));
        if (program->procedures.empty() && !program->entry.empty()) __builtin_trap();
    } catch (const brtl::basic::SourceError &e) {
        if (e.line < 1 || e.column < 1 || e.message.empty()) __builtin_trap();
    } catch (const brtl::basic::CheckErrors &errors) {
        if (errors.errors.empty()) __builtin_trap();
        for (const brtl::basic::CheckError &e : errors.errors)
            if (e.line < 1 || e.column < 1 || e.message.empty()) __builtin_trap();
    }
    return 0;
}
