// Small random programs of the dialect (fuzz/program_generator): each must pass the checker, and
// runs under the sanitizers with a step limit; a trap that no handler takes may end it, a crash,
// a leak or a broken invariant of the interpreter may not.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/program_generator.h"
#include "lang/check.h"
#include "lang/parser.h"
#include "run/machine.h"
#include "services/console.h"
#include "services/core.h"

namespace {
constexpr uint64_t kSteps = 4000;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = [] {
        brtl::rt::start_program();
        std::FILE *null = std::fopen("/dev/null", "w");
        brtl::rt::set_console(null, null);
        return true;
    }();
    (void)ready;
    std::string text = fuzz::generate_program(data, size);
    // Replaying a finding with FUZZ_SHOW_PROGRAM set shows the program it stands for.
    static const bool show = std::getenv("FUZZ_SHOW_PROGRAM") != nullptr;
    if (show) std::fprintf(stderr, "%s\n", text.c_str());
    std::vector<brtl::basic::Module> modules;
    std::unique_ptr<brtl::basic::Program> program;
    try {
        modules.push_back(brtl::basic::parse_module(text, "fuzz.bas"));
        program = brtl::basic::check_program(std::move(modules));
    } catch (...) {
        std::fprintf(stderr, "the generator made a program the checker refuses:\n%s\n",
                     text.c_str());
        __builtin_trap();
    }
    ZbiReset_Rtl();
    brtl::rt::err() = brtl::rt::ErrState{};
    {
        brtl::basic::Machine machine(*program);
        machine.set_step_limit(kSteps);
        try {
            machine.prepare();
            for (uint32_t entry : program->entry)
                if (!machine.run(entry)) break;
        } catch (const brtl::basic::Unhandled &) {
        } catch (const brtl::basic::StepLimitReached &) {
        }
    }
    brtl::rt::end_program();
    return 0;
}
