#include "program.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "brtl/brtl.h"
#include "console.h"
#include "core.h"
#include "frame.h"

namespace brtl::rt {

void set_command_line(const std::vector<std::string> &words) {
    std::string text;
    for (size_t i = 0; i < words.size(); ++i)
        text += (i > 0 ? " " : "") + words[i];
    size_t n = std::min(text.size(), sizeof BiBuiltInVar_Command_ - 1);
    std::memcpy(BiBuiltInVar_Command_, text.data(), n);
    BiBuiltInVar_Command_[n] = '\0';
}

void report_trap(int32_t number, const char *procedure, const char *file, int32_t line) {
    console_end_line();
    std::FILE *errors = console_errors();
    std::fprintf(errors, "Run-time error %d: %s\n", static_cast<int>(number),
                 error_message(number));
    if (procedure != nullptr)
        std::fprintf(errors, "  in %s at line %d of %s\n", procedure, static_cast<int>(line), file);
    std::fflush(errors);
}

int run_translated(int argc, char **argv, void (*program)()) {
    start_program();
    set_command_line(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    int status = 0;
    try {
        program();
    } catch (const EndOfProgram &) {
    } catch (const Trap &t) {
        if (t.procedure != nullptr)
            report_trap(t.number, t.procedure->title, t.procedure->file,
                        t.procedure->units[t.unit].line);
        else
            report_trap(t.number, nullptr, nullptr, 0);
        status = kExitTrapped;
    }
    console_flush();
    end_program();
    return status;
}

} // namespace brtl::rt
