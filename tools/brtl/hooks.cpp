// The host hooks of the immediate window: English texts, and trap hooks that leave the builtin
// by the host's exception so that the statement ends as the dialect's error handling ends it.
#include "interp.h"

#include <cstdio>

namespace brtl_host {
namespace {

int16_t on_trap(int32_t trap) {
    throw BasicTrap{trap};
}

int16_t on_file_trap(int32_t trap, BiString subject) {
    free_bistring(subject); // the subject belongs to the hook
    throw BasicTrap{trap};
}

void on_fatal(int32_t code, int32_t line, const char *source) {
    std::fprintf(stderr, "Fatal internal error %d (%s, line %d)\n", static_cast<int>(code),
                 source ? source : "?", static_cast<int>(line));
    throw BasicTrap{BI_TRAP_ASSERTION};
}

bool text_compare = false;

uint8_t compare_text() {
    return text_compare ? 1 : 0;
}

} // namespace

void set_text_compare(bool on) {
    text_compare = on;
}

bool text_compare_on() {
    return text_compare;
}

// The hooks, the code page the profile's country asks for, and a fresh run.
void install_hooks() {
    ZbiInitBasicRTL(brtl_english_text, on_trap, on_file_trap, on_trap, on_fatal, nullptr, nullptr,
                    compare_text);
    brtl_setlocale(ZrIntlGetCodePageName());
    ZbiReset_Rtl();
}

} // namespace brtl_host
