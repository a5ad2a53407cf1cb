// The host hook table, its eight defaults, and trap raising.
#include <cstring>

#include "brtl/host.h"
#include "brtl/runtime.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace brtl::runtime {

namespace {

constexpr int16_t kExclamationOk = 48;

// A fresh temporary copy of a host text for a dialog; the empty string when there is no text or
// no memory (a dialog about a trap must not raise another).
BiString dialog_text(const char *text) {
    BiString s = empty_string();
    if (text != nullptr) try_temporary_copy(text, std::strlen(text), s);
    return s;
}

int16_t show_error_dialog(const char *title, int32_t id) {
    BiString caption = dialog_text(title);
    OwnedString caption_guard(caption);
    BiString message = dialog_text(host_text(id));
    caption_guard.release();
    return ZbiBuiltIn_MsgBox(message, kExclamationOk, caption);
}

const char *default_text(int32_t) {
    return "";
}
int16_t default_trap(int32_t trap) {
    return show_error_dialog("Runtime Error", trap);
}
int16_t default_file_trap(int32_t trap, BiString subject) {
    free_string(subject);
    return show_error_dialog("Runtime Error", trap);
}
void default_fatal(int32_t code, int32_t, const char *) {
    show_error_dialog("Fatal Internal Error", code);
    ZosExit(3);
}
uint8_t default_query() {
    return 0;
}

struct HookTable {
    BiTextHook text = default_text;
    BiTrapHook trap = default_trap;
    BiFileTrapHook file_trap = default_file_trap;
    BiTrapHook numeric_trap = default_trap;
    BiFatalHook fatal = default_fatal;
    BiQueryHook strict_limits = default_query;
    BiQueryHook skip_first_value = default_query;
    BiQueryHook text_compare = default_query;
};

HookTable g_hooks;

} // namespace

namespace {
thread_local uint64_t t_traps_raised = 0;
} // namespace

uint64_t traps_raised() {
    return t_traps_raised;
}

int16_t raise_trap(int32_t trap) {
    ++t_traps_raised;
    return g_hooks.trap(trap);
}
int16_t raise_file_trap(int32_t trap, BiString subject) {
    ++t_traps_raised;
    return g_hooks.file_trap(trap, subject);
}
void raise_numeric_trap(int32_t trap) {
    ++t_traps_raised;
    g_hooks.numeric_trap(trap);
}
void raise_fatal(int32_t line) {
    g_hooks.fatal(-1, line, "biformat");
}

bool strict_limits() {
    return g_hooks.strict_limits() != 0;
}
bool skip_first_value() {
    return g_hooks.skip_first_value() != 0;
}
bool text_compare() {
    return g_hooks.text_compare() != 0;
}

const char *host_text(int32_t id) {
    return g_hooks.text(id);
}

} // namespace brtl::runtime

extern "C" {

BRTL_API void ZbiInitBasicRTL(BiTextHook text, BiTrapHook trap, BiFileTrapHook file_trap,
                              BiTrapHook numeric_trap, BiFatalHook fatal, BiQueryHook strict_limits,
                              BiQueryHook skip_first_value, BiQueryHook text_compare) {
    auto &h = brtl::runtime::g_hooks;
    if (text) h.text = text;
    if (trap) h.trap = trap;
    if (file_trap) h.file_trap = file_trap;
    if (numeric_trap) h.numeric_trap = numeric_trap;
    if (fatal) h.fatal = fatal;
    if (strict_limits) h.strict_limits = strict_limits;
    if (skip_first_value) h.skip_first_value = skip_first_value;
    if (text_compare) h.text_compare = text_compare;
}

BRTL_API void ZbiTermBasicRTL(void) {
    brtl::runtime::g_hooks = brtl::runtime::HookTable{};
}

} // extern "C"
