#include "core.h"
#include "frame.h"

#include <cstring>
#include <string>

namespace brtl::rt {
namespace {

uint8_t answer_text_compare() {
    return compare_text_now ? 1 : 0;
}

// The trap with the place of the innermost translated procedure, if one runs.
Trap trap_here(int32_t number) {
    const Frame *f = Frame::innermost();
    if (f == nullptr) return Trap{number};
    return Trap{number, &f->info(), f->unit};
}

int16_t on_trap(int32_t number) {
    throw trap_here(number);
}

int16_t on_file_trap(int32_t number, BiString subject) {
    if (BiStringLength(subject) != 0 && BiStringIsTemporary(subject)) ZbiFreeBiString(subject);
    throw trap_here(number);
}

void on_fatal(int32_t, int32_t, const char *) {
    throw trap_here(BI_TRAP_ASSERTION);
}

struct HostText {
    int32_t number;
    const char *text;
};

// The messages of the errors that the host raises, and of those the language defines that no
// builtin raises.
constexpr HostText kHostTexts[] = {
    {kReturnWithoutGoSub, "Return without GoSub"},
    {kSubscriptOutOfRange, "Subscript out of range"},
    {kResumeWithoutError, "Resume without error"},
    {kOutOfStackSpace, "Out of stack space"},
};

const char kDefaultMessage[] = "Application-defined or object-defined error";

} // namespace

void raise_trap(int32_t number) {
    throw trap_here(number);
}

const char *text_hook(int32_t id) {
    for (const HostText &t : kHostTexts)
        if (t.number == id) return t.text;
    const char *text = brtl_english_text(id);
    // An error number of the program's own has the general message, as Error$ shows it.
    if (text == nullptr && id > 0 && id <= kLargestErrorNumber) return kDefaultMessage;
    return text;
}

const char *error_message(int32_t number) {
    // The library's texts name their subject with '%s'; a message shows none. The texts are
    // few and static, so each cleaned text is made once.
    static thread_local std::string cleaned;
    const char *text = text_hook(number);
    if (text == nullptr || number <= 0) return kDefaultMessage;
    if (std::strstr(text, "%s") == nullptr) return text;
    cleaned = text;
    for (size_t at; (at = cleaned.find(" '%s'")) != std::string::npos;)
        cleaned.erase(at, 5);
    for (size_t at; (at = cleaned.find("%s")) != std::string::npos;)
        cleaned.erase(at, 2);
    return cleaned.c_str();
}

void start_program() {
    ZbiInitBasicRTL(text_hook, on_trap, on_file_trap, on_trap, on_fatal, nullptr, nullptr,
                    answer_text_compare);
    brtl_setlocale(ZrIntlGetCodePageName());
    ZbiReset_Rtl();
}

void end_program() {
    try {
        ZbiBuiltIn_Reset();
    } catch (const Trap &) {
        // a file that cannot be closed at the end has nobody left to report to
    }
}

ErrState &err() {
    static ErrState state;
    return state;
}

} // namespace brtl::rt
