// The desktop statements (Beep, SendKeys, AppActivate): one row each.
#include "interp.h"

namespace brtl_host {
namespace {

// The argument's value; a missing one, or a #, As or To in the list, is the host's error.
Value argument(Interp &in, const Stmt &s, size_t i, const char *form) {
    if (i >= s.args.size() || !s.args[i].expr || s.args[i].hash ||
        (i > 0 && s.args[i].before != ","))
        throw HostError{std::string(form) + " expected"};
    return in.eval(*s.args[i].expr);
}

void beep(Interp &, const Stmt &s) {
    if (!s.args.empty()) throw HostError{"Beep takes no arguments"};
    ZbiBuiltIn_Beep();
}

// SendKeys keys[, wait]: wait is a condition.
void send_keys(Interp &in, const Stmt &s) {
    const char *form = "SendKeys keys[, wait]";
    if (s.args.size() > 2) throw HostError{std::string(form) + " expected"};
    int32_t wait = s.args.size() == 2 && is_true(argument(in, s, 1, form)) ? 1 : 0;
    OwnedBiString keys(to_bistring(argument(in, s, 0, form)));
    ZbiBuiltIn_SendKeys(keys.release(), wait);
}

// AppActivate title[, wait]: the library activates the window at once, so the wait argument
// is evaluated (for its errors) and has no further effect.
void app_activate(Interp &in, const Stmt &s) {
    const char *form = "AppActivate title[, wait]";
    if (s.args.size() > 2) throw HostError{std::string(form) + " expected"};
    if (s.args.size() == 2) static_cast<void>(is_true(argument(in, s, 1, form)));
    OwnedBiString title(to_bistring(argument(in, s, 0, form)));
    ZbiBuiltIn_AppActivate(title.release());
}

} // namespace

const StatementTable &desktop_statements() {
    static const StatementTable rows = {
        {"Beep", "ZbiBuiltIn_Beep", Shape::Args, beep},
        {"SendKeys", "ZbiBuiltIn_SendKeys", Shape::Args, send_keys},
        {"AppActivate", "ZbiBuiltIn_AppActivate", Shape::Args, app_activate},
    };
    return rows;
}

} // namespace brtl_host
