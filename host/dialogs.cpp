// The two dialogs of the host library and process exit. The defaults work on the console: the
// message goes to standard error and answers are read from standard input. A host with a user
// interface installs its own with brtl_set_dialogs.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "brtl/host.h"

namespace {

enum Button : int16_t {
    kOk = 1,
    kCancel = 2,
    kAbort = 3,
    kRetry = 4,
    kIgnore = 5,
    kYes = 6,
    kNo = 7
};

struct ButtonSet {
    int16_t codes[3];
    int count;
};

// The buttons of each value of the low four bits of the buttons word.
ButtonSet buttons_of(int16_t buttons) {
    switch (buttons & 0x0F) {
    case 1:
        return {{kOk, kCancel}, 2};
    case 2:
        return {{kAbort, kRetry, kIgnore}, 3};
    case 3:
        return {{kYes, kNo, kCancel}, 3};
    case 4:
        return {{kYes, kNo}, 2};
    case 5:
        return {{kRetry, kCancel}, 2};
    default:
        return {{kOk}, 1};
    }
}

const char *label_of(int16_t code) {
    static const char *const labels[] = {"",      "OK",     "Cancel", "Abort",
                                         "Retry", "Ignore", "Yes",    "No"};
    return code >= 1 && code <= 7 ? labels[code] : "";
}

// Reads one line from standard input into buffer without its line end; false at end of input.
bool read_line(char *buffer, size_t size) {
    if (std::fgets(buffer, static_cast<int>(size), stdin) == nullptr) return false;
    size_t n = std::strlen(buffer);
    if (n > 0 && buffer[n - 1] != '\n') {
        int c; // drop the rest of an overlong line
        while ((c = std::getchar()) != EOF && c != '\n') {
        }
    }
    while (n > 0 && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r'))
        buffer[--n] = '\0';
    return true;
}

int16_t console_message(void *, const char *message, int16_t buttons, const char *title) {
    std::fprintf(stderr, "[%s] %s\n", title ? title : "", message ? message : "");
    ButtonSet set = buttons_of(buttons);
    int default_index = (buttons >> 8) & 0x03;
    if (default_index >= set.count) default_index = 0;
    if (set.count == 1) return set.codes[0];
    for (int i = 0; i < set.count; ++i)
        std::fprintf(stderr, "%s(%c)%s", i ? " / " : "", label_of(set.codes[i])[0],
                     label_of(set.codes[i]) + 1);
    std::fprintf(stderr, "? ");
    char answer[64];
    if (!read_line(answer, sizeof answer)) return set.codes[default_index];
    for (int i = 0; i < set.count; ++i)
        if (std::toupper(static_cast<unsigned char>(answer[0])) == label_of(set.codes[i])[0])
            return set.codes[i];
    return set.codes[default_index];
}

char g_answer[4096];

const char *console_select(void *, const char *prompt, const char *title, const char *default_text,
                           int16_t, int16_t) {
    std::fprintf(stderr, "[%s] %s", title ? title : "", prompt ? prompt : "");
    if (default_text && *default_text) std::fprintf(stderr, " [%s]", default_text);
    std::fprintf(stderr, ": ");
    if (!read_line(g_answer, sizeof g_answer)) return nullptr;
    if (g_answer[0] == '\0' && default_text) return default_text;
    return g_answer;
}

ZkMsgDialogProc g_message = console_message;
ZkSelDialogProc g_select = console_select;

} // namespace

extern "C" {

BRTL_API int16_t ZkMsgDialog(void *container, const char *message, int16_t buttons,
                             const char *title) {
    return g_message(container, message, buttons, title);
}

BRTL_API const char *ZkSelDialog(void *container, const char *prompt, const char *title,
                                 const char *default_text, int16_t x, int16_t y) {
    return g_select(container, prompt, title, default_text, x, y);
}

BRTL_API void brtl_set_dialogs(ZkMsgDialogProc message, ZkSelDialogProc select) {
    g_message = message ? message : console_message;
    g_select = select ? select : console_select;
}

BRTL_API void ZosExit(int32_t code) {
    std::fflush(nullptr);
    std::exit(code);
}

} // extern "C"
