// Formatted output of the host library: printf formats where every floating-point conversion
// goes through the library's one number-text rule (platform/numtext.h). Integer and text
// conversions are those of the C library. Length modifiers are those of this platform: "%ld"
// takes a long.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "brtl/host.h"
#include "host/printf.h"
#include "platform/numtext.h"

namespace brtl::host {

namespace {

struct Spec {
    char flags[8] = {};
    int nflags = 0;
    int width = -1;
    int precision = -1;
    char length[3] = {};
    char conversion = 0;

    bool has(char f) const { return std::memchr(flags, f, static_cast<size_t>(nflags)) != nullptr; }
};

// Parses one conversion after its '%'; returns the position after it or null when malformed.
const char *parse_spec(const char *p, Spec &spec, va_list &ap) {
    while (*p && std::strchr("-+ #0", *p)) {
        if (spec.nflags < 7) spec.flags[spec.nflags++] = *p;
        ++p;
    }
    if (*p == '*') {
        spec.width = va_arg(ap, int);
        if (spec.width < 0) {
            if (spec.nflags < 7) spec.flags[spec.nflags++] = '-';
            spec.width = -spec.width;
        }
        ++p;
    } else {
        for (; *p >= '0' && *p <= '9'; ++p)
            spec.width = (spec.width < 0 ? 0 : spec.width) * 10 + (*p - '0');
    }
    if (*p == '.') {
        ++p;
        spec.precision = 0;
        if (*p == '*') {
            spec.precision = va_arg(ap, int);
            ++p;
        } else {
            for (; *p >= '0' && *p <= '9'; ++p) spec.precision = spec.precision * 10 + (*p - '0');
        }
    }
    int n = 0;
    while (*p && std::strchr("hlLqjzt", *p) && n < 2) spec.length[n++] = *p++;
    if (*p == '\0') return nullptr;
    spec.conversion = *p++;
    return p;
}

void pad(Sink &out, char c, int count) {
    for (int i = 0; i < count; ++i) out.put(c);
}

// Writes body with the sign handling, width and justification of spec.
void emit_number(Sink &out, const Spec &spec, const char *body, size_t len) {
    char sign = 0;
    if (*body == '-') {
        sign = '-';
        ++body;
        --len;
    } else if (spec.has('+')) {
        sign = '+';
    } else if (spec.has(' ')) {
        sign = ' ';
    }
    int total = static_cast<int>(len) + (sign ? 1 : 0);
    int fill = spec.width > total ? spec.width - total : 0;
    bool left = spec.has('-');
    bool zeros = spec.has('0') && !left && body[0] >= '0' && body[0] <= '9';
    if (!left && !zeros) pad(out, ' ', fill);
    if (sign) out.put(sign);
    if (zeros) pad(out, '0', fill);
    out.write(body, len);
    if (left) pad(out, ' ', fill);
}

// Precisions beyond this print nothing but zeros; they are cut so that a bounded buffer holds
// every result ("%.512f" of the largest double is 823 characters).
constexpr int kMaxPrecision = 512;

void emit_double(Sink &out, Spec spec, double value) {
    char local[1024];
    if (spec.precision > kMaxPrecision) spec.precision = kMaxPrecision;
    size_t len = pf::print_double(local, sizeof local, value, spec.conversion, spec.precision,
                                  spec.has('#'));
    emit_number(out, spec, local, len);
}

void emit_text(Sink &out, const Spec &spec, const char *text) {
    if (text == nullptr) text = "(null)";
    size_t len = spec.precision >= 0 ? strnlen(text, static_cast<size_t>(spec.precision))
                                     : std::strlen(text);
    int fill = spec.width > static_cast<int>(len) ? spec.width - static_cast<int>(len) : 0;
    if (!spec.has('-')) pad(out, ' ', fill);
    out.write(text, len);
    if (spec.has('-')) pad(out, ' ', fill);
}

// Integer conversions: the C library prints the digits (with '#' and the precision), then the
// sign, width and justification are applied here so that no width overflows a buffer.
template <typename T> void emit_integer(Sink &out, const Spec &spec, T value) {
    char fmt[16];
    int n = 0;
    fmt[n++] = '%';
    if (spec.has('#')) fmt[n++] = '#';
    if (spec.precision >= 0) n += std::snprintf(fmt + n, sizeof fmt - static_cast<size_t>(n), ".%d",
                                                spec.precision > 64 ? 64 : spec.precision);
    if constexpr (sizeof(T) == sizeof(long long)) fmt[n++] = 'l', fmt[n++] = 'l';
    fmt[n++] = spec.conversion;
    fmt[n] = '\0';
    char digits[96];
    int len = std::snprintf(digits, sizeof digits, fmt, value);
    if (len < 0) return;
    Spec shown = spec; // a precision disables the '0' flag
    if (spec.precision >= 0) {
        shown.nflags = 0;
        for (int i = 0; i < spec.nflags; ++i)
            if (spec.flags[i] != '0') shown.flags[shown.nflags++] = spec.flags[i];
    }
    emit_number(out, shown, digits, static_cast<size_t>(len));
}

void emit_other(Sink &out, const Spec &spec, va_list &ap) {
    bool wide = spec.length[0] == 'l' || spec.length[0] == 'q' || spec.length[0] == 'j' ||
                spec.length[0] == 'z' || spec.length[0] == 't';
    switch (spec.conversion) {
    case 'd':
    case 'i':
        if (wide) emit_integer(out, spec, static_cast<long long>(spec.length[1] == 'l'
                                                                     ? va_arg(ap, long long)
                                                                     : va_arg(ap, long)));
        else emit_integer(out, spec, static_cast<long long>(va_arg(ap, int)));
        break;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        if (wide) emit_integer(out, spec, static_cast<unsigned long long>(
                                              spec.length[1] == 'l' ? va_arg(ap, unsigned long long)
                                                                    : va_arg(ap, unsigned long)));
        else emit_integer(out, spec, static_cast<unsigned long long>(va_arg(ap, unsigned int)));
        break;
    case 'c': {
        char c[2] = {static_cast<char>(va_arg(ap, int)), '\0'};
        Spec one = spec;
        one.precision = 1;
        emit_text(out, one, c);
        break;
    }
    case 's':
        emit_text(out, spec, va_arg(ap, const char *));
        break;
    case 'p': {
        char text[32];
        std::snprintf(text, sizeof text, "%p", va_arg(ap, void *));
        emit_text(out, spec, text);
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
        Spec spec;
        const char *after = parse_spec(p + 1, spec, ap);
        if (after == nullptr) {
            out.write(p, std::strlen(p));
            break;
        }
        switch (spec.conversion) {
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G': {
            double value = std::strcmp(spec.length, "L") == 0
                               ? static_cast<double>(va_arg(ap, long double))
                               : va_arg(ap, double);
            if (spec.conversion == 'F') spec.conversion = 'f';
            emit_double(out, spec, value);
            break;
        }
        case 'n':
            (void)va_arg(ap, int *); // never writes through a caller's pointer
            break;
        default:
            emit_other(out, spec, ap);
            break;
        }
        p = after;
    }
    va_end(ap);
}

void BufferSink::write(const char *s, size_t n) {
    for (size_t i = 0; i < n; ++i) put(s[i]);
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

void FileSink::put(char c) { write(&c, 1); }

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
