// The services every running program of the dialect needs, whether the interpreter runs it or it
// was translated to C++: the host hooks, traps and the Err object, the Option Compare setting and
// the procedure call depth.
#pragma once

#include <cstdint>

#include "brtl/brtl.h"

namespace brtl::rt {

struct ProcedureInfo;

// A trap on its way out of a builtin or a host routine to the handler that takes it. The hooks
// throw it, so every builtin's own cleanup runs on the way. In a translated program it also
// says where it was raised: the innermost procedure and its statement (frame.h).
struct Trap {
    int32_t number;
    const ProcedureInfo *procedure = nullptr;
    uint32_t unit = 0;
};

// End and Stop: every procedure is left, the program is over.
struct EndOfProgram {};

// Run-time errors that the host raises itself (the library raises the others).
constexpr int32_t kReturnWithoutGoSub = 3;
constexpr int32_t kSubscriptOutOfRange = 9;
constexpr int32_t kResumeWithoutError = 20;
constexpr int32_t kOutOfStackSpace = 28;

// Error numbers a program may raise with Error n or Err = n.
constexpr int32_t kLargestErrorNumber = 65535;

[[noreturn]] void raise_trap(int32_t number);
// The English message of an error number, without the "%s" placeholders of the library's texts.
const char *error_message(int32_t number);
// The text hook of the programs: the library's English texts and the host's own messages.
const char *text_hook(int32_t id);

// Installs the hooks (English texts, trap hooks that throw Trap, the compare question), selects
// the code page the profile names and starts a fresh run.
void start_program();
// Closes every file; a failing close is not reported (the program has already ended).
void end_program();

// Option Compare of the running procedure's module: the answer of the text compare question.
// (Inline: the interpreter asks at every call whether the callee's module compares otherwise.)
inline bool compare_text_now = false;
inline void set_text_compare(bool on) {
    compare_text_now = on;
}
inline bool text_compare() {
    return compare_text_now;
}

// The Err object: the number of the last trap and the line number label before it (Erl).
struct ErrState {
    int32_t number = 0;
    int32_t line = 0;
};
ErrState &err();

// The nesting of procedure calls is limited, so that a runaway recursion is trap 28, not a
// crash.
constexpr int32_t kMaxCallDepth = 10000;

} // namespace brtl::rt
