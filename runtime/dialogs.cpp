// MsgBox and InputBox: the host library's dialogs with the runtime-string ownership rule.
#include <cstring>

#include "brtl/host.h"
#include "brtl/runtime.h"
#include "runtime/bistring.h"

extern "C" {

BRTL_API int16_t ZbiBuiltIn_MsgBox(BiString message, int16_t buttons, BiString title) {
    brtl::runtime::OwnedString message_guard(message);
    brtl::runtime::OwnedString title_guard(title);
    int16_t answer = ZkMsgDialog(nullptr, message.data, buttons, title.data);
    title_guard.reset();
    message_guard.reset();
    return answer;
}

BRTL_API BiString ZbiBuiltIn_InputBox_(BiString prompt, BiString title, BiString default_text,
                                       int16_t x, int16_t y) {
    brtl::runtime::OwnedString prompt_guard(prompt);
    brtl::runtime::OwnedString title_guard(title);
    brtl::runtime::OwnedString default_guard(default_text);
    const char *answer = ZkSelDialog(nullptr, prompt.data, title.data, default_text.data, x, y);
    // The answer may be the default text itself, so it is copied before the arguments go.
    BiString result = brtl::runtime::empty_string();
    if (answer != nullptr && *answer != '\0') result = brtl::runtime::temporary_copy(answer);
    prompt_guard.reset();
    title_guard.reset();
    default_guard.reset();
    return result;
}

} // extern "C"
