// Formatted output of the host library: printf formats where every floating-point conversion
// goes through the library's one number-text rule (platform/numtext.h). Integer and text
// conversions are those of the C library. Length modifiers are those of this platform: "%ld"
// takes a long.
#include <charconv>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "brtl/host.h"
#include "host/printf.h"
#include "platform/codepage.h"
#include "platform/numtext.h"

namespace brtl::host {

namespace {

struct Directive {
    char flags[8] = {};
    int nflags = 0;
    int width = -1;
    int precision = -1;
    char length[3] = {};
    char conversion = 0;

    bool has(char f) const { return std::memchr(flags, f, static_cast<size_t>(nflags)) != nullptr; }
};

// Parses one conversion after its '%'; returns the position after it or null when malformed.
const char *parse_directive(const char *p, Directive &directive, va_list &ap) {
    while (*p && std::strchr("-+ #0", *p)) {
        if (directive.nflags < 7) directive.flags[directive.nflags++] = *p;
        ++p;
    }
    if (*p == '*') {
        directive.width = va_arg(ap, int);
        if (directive.width < 0) {
            if (directive.nflags < 7) directive.flags[directive.nflags++] = '-';
            directive.width = -directive.width;
        }
        ++p;
    } else {
        for (; *p >= '0' && *p <= '9'; ++p)
            directive.width = (directive.width < 0 ? 0 : directive.width) * 10 + (*p - '0');
    }
    if (*p == '.') {
        ++p;
        directive.precision = 0;
        if (*p == '*') {
            directive.precision = va_arg(ap, int);
            ++p;
        } else {
            for (; *p >= '0' && *p <= '9'; ++p)
                directive.precision = directive.precision * 10 + (*p - '0');
        }
    }
    int n = 0;
    while (*p && std::strchr("hlLqjzt", *p) && n < 2)
        directive.length[n++] = *p++;
    if (*p == '\0') return nullptr;
    directive.conversion = *p++;
    return p;
}

void pad(Sink &out, char c, int count) {
    for (int i = 0; i < count; ++i)
        out.put(c);
}

// Writes body with the sign handling, width and justification of directive.
void emit_number(Sink &out, const Directive &directive, const char *body, size_t len) {
    char sign = 0;
    if (*body == '-') {
        sign = '-';
        ++body;
        --len;
    } else if (directive.has('+')) {
        sign = '+';
    } else if (directive.has(' ')) {
        sign = ' ';
    }
    int total = static_cast<int>(len) + (sign ? 1 : 0);
    int fill = directive.width > total ? directive.width - total : 0;
    bool left = directive.has('-');
    // Zeros pad digits, hexadecimal ones too (a letter first: "%08X" of 0xF0 is "000000F0").
    const bool digit = platform::is_xdigit(static_cast<unsigned char>(body[0]));
    bool zeros = directive.has('0') && !left && digit;
    if (!left && !zeros) pad(out, ' ', fill);
    if (sign) out.put(sign);
    if (zeros) pad(out, '0', fill);
    out.write(body, len);
    if (left) pad(out, ' ', fill);
}

// Precisions beyond this print nothing but zeros; they are cut so that a bounded buffer holds
// every result ("%.512f" of the largest double is 823 characters).
constexpr int kMaxPrecision = 512;

void emit_double(Sink &out, Directive directive, double value) {
    char local[1024];
    if (directive.precision > kMaxPrecision) directive.precision = kMaxPrecision;
    size_t len = platform::print_double(local, sizeof local, value, directive.conversion,
                                        directive.precision, directive.has('#'));
    emit_number(out, directive, local, len);
}

void emit_text(Sink &out, const Directive &directive, const char *text) {
    if (text == nullptr) text = "(null)";
    size_t len = directive.precision >= 0 ? strnlen(text, static_cast<size_t>(directive.precision))
                                          : std::strlen(text);
    int fill =
        directive.width > static_cast<int>(len) ? directive.width - static_cast<int>(len) : 0;
    if (!directive.has('-')) pad(out, ' ', fill);
    out.write(text, len);
    if (directive.has('-')) pad(out, ' ', fill);
}

// Integer conversions: the C library prints the digits (with '#' and the precision), then the
// sign, width and justification are applied here so that no width overflows a buffer.
// The digits of a conversion without precision and '#' by to_chars, which writes what the C
// library's printf writes for them (letters of 'X' upper case); false for any other.
template <typename T>
bool plain_integer(const Directive &directive, T value, char (&digits)[96], size_t &length) {
    if (directive.precision >= 0 || directive.has('#')) return false;
    int base = 10;
    switch (directive.conversion) {
    case 'x':
    case 'X':
        base = 16;
        break;
    case 'o':
        base = 8;
        break;
    default:
        break;
    }
    std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value, base);
    length = static_cast<size_t>(r.ptr - digits);
    if (directive.conversion == 'X')
        for (size_t i = 0; i < length; ++i)
            if (digits[i] >= 'a' && digits[i] <= 'f') digits[i] = static_cast<char>(digits[i] - 32);
    return true;
}

template <typename T> void emit_integer(Sink &out, const Directive &directive, T value) {
    char digits[96];
    size_t length = 0;
    if (plain_integer(directive, value, digits, length)) {
        emit_number(out, directive, digits, length);
        return;
    }
    char fmt[16];
    int n = 0;
    fmt[n++] = '%';
    if (directive.has('#')) fmt[n++] = '#';
    if (directive.precision >= 0)
        n += std::snprintf(fmt + n, sizeof fmt - static_cast<size_t>(n), ".%d",
                           directive.precision > 64 ? 64 : directive.precision);
    if constexpr (sizeof(T) == sizeof(long long)) fmt[n++] = 'l', fmt[n++] = 'l';
    fmt[n++] = directive.conversion;
    fmt[n] = '\0';
    int len = std::snprintf(digits, sizeof digits, fmt, value);
    if (len < 0) return;
    Directive shown = directive; // a precision disables the '0' flag
    if (directive.precision >= 0) {
        shown.nflags = 0;
        for (int i = 0; i < directive.nflags; ++i)
            if (directive.flags[i] != '0') shown.flags[shown.nflags++] = directive.flags[i];
    }
    emit_number(out, shown, digits, static_cast<size_t>(len));
}

void emit_other(Sink &out, const Directive &directive, va_list &ap) {
    bool wide = directive.length[0] == 'l' || directive.length[0] == 'q' ||
                directive.length[0] == 'j' || directive.length[0] == 'z' ||
                directive.length[0] == 't';
    switch (directive.conversion) {
    case 'd':
    case 'i':
        if (wide)
            emit_integer(out, directive,
                         static_cast<long long>(directive.length[1] == 'l' ? va_arg(ap, long long)
                                                                           : va_arg(ap, long)));
        else
            emit_integer(out, directive, static_cast<long long>(va_arg(ap, int)));
        break;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        if (wide)
            emit_integer(out, directive,
                         static_cast<unsigned long long>(directive.length[1] == 'l'
                                                             ? va_arg(ap, unsigned long long)
                                                             : va_arg(ap, unsigned long)));
        else
            emit_integer(out, directive, static_cast<unsigned long long>(va_arg(ap, unsigned int)));
        break;
    case 'c': {
        char c[2] = {static_cast<char>(va_arg(ap, int)), '\0'};
        Directive one = directive;
        one.precision = 1;
        emit_text(out, one, c);
        break;
    }
    case 's':
        emit_text(out, directive, va_arg(ap, const char *));
        break;
    case 'p': {
        char text[32];
        std::snprintf(text, sizeof text, "%p", va_arg(ap, void *));
        emit_text(out, directive, text);
        break;
    }
    default:
        break;
    }
}

} // namespace

void vformat(Sink &out, const char *format, va_list ap_in) {
    va_list ap;
    va_copy(ap, ap_in);
    for (const char *p = format; *p;) {
        if (*p != '%') {
            const char *next = std::strchr(p, '%');
            size_t run = next ? static_cast<size_t>(next - p) : std::strlen(p);
            out.write(p, run);
            p += run;
            continue;
        }
        if (p[1] == '%') {
            out.put('%');
            p += 2;
            continue;
        }
        Directive directive;
        const char *after = parse_directive(p + 1, directive, ap);
        if (after == nullptr) {
            out.write(p, std::strlen(p));
            break;
        }
        switch (directive.conversion) {
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G': {
            double value = std::strcmp(directive.length, "L") == 0
                               ? static_cast<double>(va_arg(ap, long double))
                               : va_arg(ap, double);
            if (directive.conversion == 'F') directive.conversion = 'f';
            emit_double(out, directive, value);
            break;
        }
        case 'n':
            (void)va_arg(ap, int *); // never writes through a caller's pointer
            break;
        default:
            emit_other(out, directive, ap);
            break;
        }
        p = after;
    }
    va_end(ap);
}

void BufferSink::write(const char *s, size_t n) {
    for (size_t i = 0; i < n; ++i)
        put(s[i]);
}

void BufferSink::put(char c) {
    if (len + 1 < cap) buf[len] = c;
    ++len;
}

size_t BufferSink::finish() {
    if (cap > 0) buf[len < cap ? len : cap - 1] = '\0';
    return len;
}

void FileSink::write(const char *s, size_t n) {
    while (n > 0) {
        if (used == sizeof chunk) flush();
        size_t take = n < sizeof chunk - used ? n : sizeof chunk - used;
        std::memcpy(chunk + used, s, take);
        used += take;
        s += take;
        n -= take;
    }
}

void FileSink::put(char c) {
    write(&c, 1);
}

void FileSink::flush() {
    if (used == 0) return;
    if (std::fwrite(chunk, 1, used, stream) != used) failed = true;
    total += used;
    used = 0;
}

} // namespace brtl::host

extern "C" {

BRTL_API int32_t ZrSnprintf(char *buffer, size_t size, const char *format, ...) {
    va_list ap;
    va_start(ap, format);
    brtl::host::BufferSink sink(buffer, size);
    brtl::host::vformat(sink, format, ap);
    va_end(ap);
    return static_cast<int32_t>(sink.finish());
}

BRTL_API int32_t ZrSprintf(char *buffer, const char *format, ...) {
    va_list ap;
    va_start(ap, format);
    brtl::host::BufferSink sink(buffer, SIZE_MAX);
    brtl::host::vformat(sink, format, ap);
    va_end(ap);
    return static_cast<int32_t>(sink.finish());
}

BRTL_API int32_t ZrFprintf(FILE *stream, const char *format, ...) {
    va_list ap;
    va_start(ap, format);
    brtl::host::FileSink sink(stream);
    brtl::host::vformat(sink, format, ap);
    va_end(ap);
    sink.flush();
    return sink.failed ? -1 : static_cast<int32_t>(sink.total);
}

} // extern "C"
