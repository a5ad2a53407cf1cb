// Input #: the file split into comma-separated fields, each converted into the type of its
// target.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "brtl/numeric.h"
#include "fileio/byte_buffer.h"
#include "fileio/input_field.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/file_access.h"
#include "platform/files.h"
#include "platform/numparse.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

bool is_blank(int c) {
    return c == ' ' || c == '\t';
}

// Reads one field of an Input # statement into the buffer. quotes: a leading double quote opens a
// quoted part (commas and line breaks inside it are kept); keep: the quotes are kept in the
// field and a field that starts like a number is read as one. False after trap 62 (nothing left
// in the file), trap 7 (no memory) or the file's trap of a failed read.
class FieldReader {
  public:
    FieldReader(const FileRecord &record, ByteBuffer &field)
        : record_(record), stream_(record.stream), field_(field) {}

    bool read(bool quotes, bool keep) {
        field_.clear();
        saw_end_ = false;
        int c = next();
        if (c == EOF) {
            if (!read_failed()) runtime::raise_trap(BI_TRAP_INPUT_PAST_END);
            return false;
        }
        while (is_blank(c))
            c = next();
        Kind kind = Kind::Number;
        if (quotes && c == '"') {
            kind = Kind::Quoted;
            if (keep && !store(c)) return false;
            c = next();
        } else if (quotes) {
            bool numeric = c == '+' || c == '-' || c == '.' || (c != EOF && platform::is_digit(c));
            kind = keep && numeric ? Kind::Number : Kind::Text;
        }
        quoted_end_ = 0;
        if (!body(kind, keep, c) || read_failed()) return false;
        field_.trim_blanks(quoted_end_);
        return true;
    }

  private:
    enum class Kind { Text, Number, Quoted };

    int next() {
        int c = platform::read_byte(stream_);
        if (c == EOF) saw_end_ = true;
        return c;
    }
    // True, with the file's trap raised, when a read gave EOF because it failed: the field ends
    // there as at the end of the file, but it does not hold what the file holds.
    bool read_failed() {
        if (!saw_end_ || std::feof(stream_) || !platform::read_error(stream_)) return false;
        raise_system_error(record_, errno);
        return true;
    }
    bool store(int c) {
        if (field_.push(static_cast<char>(c))) return true;
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    // A byte that a field of the kind stores and reads on after.
    static bool ordinary(Kind kind, char c) {
        if (kind == Kind::Quoted) return c != '"';
        if (c == ',' || c == '\n' || c == '\r') return false;
        return kind == Kind::Text || !is_blank(c);
    }
    // Stores c and the ordinary bytes after it that wait in the stream's buffer in one step:
    // what storing them one at a time would do.
    bool store_run(Kind kind, int c) {
        if (!store(c)) return false;
        const char *bytes = nullptr;
        size_t available = platform::buffered_bytes(stream_, &bytes);
        size_t n = 0;
        while (n < available && ordinary(kind, bytes[n]))
            ++n;
        if (n == 0) return true;
        if (!field_.append(bytes, n)) {
            runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
            return false;
        }
        platform::skip_buffered(stream_, n);
        return true;
    }
    void skip_line() {
        for (int c = next(); c != EOF && c != '\n'; c = next()) {
        }
    }

    bool body(Kind kind, bool keep, int c) {
        for (; c != EOF; c = next()) {
            if (kind == Kind::Quoted) {
                if (c == '"') {
                    if (keep && !store(c)) return false;
                    quoted_end_ = field_.size(); // blanks inside the quotes are the text's own
                    kind = Kind::Number; // what follows the closing quote ends like a number
                } else if (!store_run(kind, c)) {
                    return false;
                }
                continue;
            }
            if (kind == Kind::Number && is_blank(c)) {
                do
                    c = next();
                while (is_blank(c));
                if (c == '\r')
                    skip_line();
                else if (c != ',' && c != '\n' && c != EOF)
                    std::ungetc(c, stream_);
                return true;
            }
            if (c == ',' || c == '\n') return true;
            if (c == '\r') {
                skip_line();
                return true;
            }
            if (!store_run(kind, c)) return false;
        }
        if (kind == Kind::Quoted) quoted_end_ = field_.size(); // a quote the file left open
        return true;
    }

    const FileRecord &record_;
    FILE *stream_;
    ByteBuffer &field_;
    size_t quoted_end_ = 0;
    bool saw_end_ = false; // a read of this field gave EOF
};

void store_string(BiString *target, const char *text, size_t n) {
    runtime::assign_variable(*target, text, n);
}

void store_fixed(char *target, int32_t length, const char *text, size_t n) {
    if (length <= 0) return;
    size_t size = static_cast<size_t>(length);
    std::memset(target, ' ', size);
    std::memcpy(target, text, n < size ? n : size);
}

// Reads and stores each item; false when a trap ended the statement.
bool input_items(const FileRecord &record, int32_t count, va_list *ap) {
    ByteBuffer field;
    FieldReader reader(record, field);
    for (int32_t i = 0; i < count; ++i) {
        int32_t type = va_arg(*ap, int);
        int32_t length = type == BI_TYPE_FIXED_STRING ? va_arg(*ap, int) : 0;
        if (type != BI_TYPE_VARIANT && type != BI_TYPE_INTEGER && type != BI_TYPE_LONG &&
            type != BI_TYPE_SINGLE && type != BI_TYPE_DOUBLE && type != BI_TYPE_CURRENCY &&
            type != BI_TYPE_STRING && type != BI_TYPE_FIXED_STRING) {
            runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
            return false;
        }
        void *target = va_arg(*ap, void *);
        bool text = type == BI_TYPE_STRING || type == BI_TYPE_FIXED_STRING;
        if (!reader.read(type == BI_TYPE_VARIANT || text, type == BI_TYPE_VARIANT)) return false;
        const char *p = field.c_str();
        switch (type) {
        case BI_TYPE_VARIANT:
            if (!store_variant_field(field.c_str(), field.size(), static_cast<VARIANT *>(target)))
                return false;
            break;
        case BI_TYPE_INTEGER:
            *static_cast<int16_t *>(target) = static_cast<int16_t>(platform::parse_integer(p));
            break;
        case BI_TYPE_LONG:
            *static_cast<int32_t *>(target) = static_cast<int32_t>(platform::parse_integer(p));
            break;
        case BI_TYPE_SINGLE:
            *static_cast<float *>(target) =
                static_cast<float>(platform::parse_written_double(p).value);
            break;
        case BI_TYPE_DOUBLE:
            *static_cast<double *>(target) = platform::parse_written_double(p).value;
            break;
        case BI_TYPE_CURRENCY: {
            BiCurrency value = 0;
            if (ZbiCvtStrCurNum(p, &value) != 0) {
                runtime::raise_trap(BI_TRAP_OVERFLOW);
                return false;
            }
            *static_cast<BiCurrency *>(target) = value;
            break;
        }
        case BI_TYPE_STRING:
            store_string(static_cast<BiString *>(target), p, field.size());
            break;
        default:
            store_fixed(static_cast<char *>(target), length, p, field.size());
            break;
        }
    }
    return true;
}

} // namespace

} // namespace brtl::fileio

using namespace brtl;
using namespace brtl::fileio;

extern "C" {

BRTL_API void ZbiBuiltIn_Input(int16_t number, int32_t count, ...) {
    FileRecord *record = record_in_mode(number, kModeInput | kModeBinary);
    if (record == nullptr) return;
    va_list ap;
    va_start(ap, count);
    try {
        input_items(*record, count, &ap);
    } catch (...) {
        va_end(ap);
        throw;
    }
    va_end(ap);
}

} // extern "C"
