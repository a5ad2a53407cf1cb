#include "console.h"

#include <string>

#include "convert.h"
#include "core.h"
#include "storage.h"
#include "strings.h"

namespace brtl::rt {
namespace {

constexpr int32_t kZoneWidth = 14;

struct ConsoleState {
    std::FILE *out = stdout;
    std::FILE *errors = stderr;
    int32_t column = 0;
};

ConsoleState &state() {
    static ConsoleState s;
    return s;
}

} // namespace

void set_console(std::FILE *out, std::FILE *errors) {
    state().out = out;
    state().errors = errors;
    state().column = 0;
}

std::FILE *console_out() {
    return state().out;
}

std::FILE *console_errors() {
    std::fflush(state().out);
    return state().errors;
}

void console_write(std::string_view text) {
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), state().out);
    size_t nl = text.rfind('\n');
    if (nl == std::string_view::npos)
        state().column += static_cast<int32_t>(text.size());
    else
        state().column = static_cast<int32_t>(text.size() - nl - 1);
}

void console_newline() {
    std::fputc('\n', state().out);
    state().column = 0;
}

void console_end_line() {
    if (state().column != 0) console_newline();
}

int32_t console_column() {
    return state().column;
}

void console_flush() {
    std::fflush(state().out);
}

void print_comma() {
    console_write(std::string(static_cast<size_t>(kZoneWidth - state().column % kZoneWidth), ' '));
}

void print_spc(int32_t n) {
    if (n > 0) console_write(std::string(static_cast<size_t>(n), ' '));
}

void print_tab(int32_t n) {
    if (n < 1) n = 1;
    if (state().column > n - 1) console_newline();
    console_write(std::string(static_cast<size_t>(n - 1 - state().column), ' '));
}

std::string print_text(VARIANT v) {
    VariantGuard hold(v);
    switch (v.vt) {
    case VT_NULL:
        return "Null";
    case VT_EMPTY:
        return "";
    case VT_ERROR:
        return "Error " + std::to_string(static_cast<uint16_t>(v.scode));
    case VT_BOOL:
        return take_text(ZbiCvtBooleanToString(v.boolVal));
    default:
        break;
    }
    if (variant_array(v) != nullptr || v.vt >= BI_VARIANT_SUBTYPE_COUNT)
        raise_trap(BI_TRAP_TYPE_MISMATCH);
    bool number = v.vt >= VT_I2 && v.vt <= VT_CY;
    std::string out = take_text(ZbiBuiltIn_CvtPVS(hold.release()));
    if (number) {
        if (out.empty() || out[0] != '-') out.insert(out.begin(), ' ');
        out += ' ';
    }
    return out;
}

void print_item(BiString s) {
    StringGuard hold(s);
    console_write(view(s));
}
void print_item(VARIANT v) {
    console_write(print_text(v));
}
void print_item(int16_t v) {
    print_item(to_var(v));
}
void print_item(int32_t v) {
    print_item(to_var(v));
}
void print_item(float v) {
    print_item(to_var(v));
}
void print_item(double v) {
    print_item(to_var(v));
}
void print_item(BiCurrency v) {
    print_item(to_var(v));
}

} // namespace brtl::rt
