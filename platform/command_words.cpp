// The command line split into words as the dialect's platform splits it.
#include <cstdlib>
#include <cstring>

#include "platform/process.h"

namespace brtl::platform {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Copies one word from p into out; returns the position after it.
const char *copy_word(const char *p, char *&out, bool program) {
    bool quoted = false;
    while (*p != '\0' && (quoted || !is_blank(*p))) {
        size_t slashes = 0;
        while (!program && p[slashes] == '\\')
            ++slashes;
        if (slashes > 0 && p[slashes] != '"') {
            std::memcpy(out, p, slashes), out += slashes, p += slashes;
            continue;
        }
        for (size_t i = 0; i < slashes / 2; ++i)
            *out++ = '\\';
        p += slashes;
        if (*p != '"' || slashes % 2 == 1) {
            *out++ = *p++;
        } else if (quoted && p[1] == '"') {
            *out++ = '"', p += 2;
        } else {
            quoted = !quoted, ++p;
        }
    }
    return p;
}

} // namespace

CommandWords::~CommandWords() {
    std::free(text_);
    std::free(words_);
}

bool CommandWords::split(const char *line) {
    size_t n = std::strlen(line);
    text_ = static_cast<char *>(std::malloc(n + 1));
    words_ = static_cast<char **>(std::calloc(n / 2 + 2, sizeof(char *)));
    if (text_ == nullptr || words_ == nullptr) return false;
    char *out = text_;
    const char *p = line;
    for (;;) {
        while (is_blank(*p))
            ++p;
        if (*p == '\0') break;
        words_[count_++] = out;
        p = copy_word(p, out, count_ == 1);
        *out++ = '\0';
    }
    words_[count_] = nullptr;
    return true;
}

} // namespace brtl::platform
