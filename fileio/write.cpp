// Write #: comma-separated fields that Input # reads back: numbers with a "." point, strings in
// double quotes, dates between "#" signs, "#NULL#".
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "brtl/numeric.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "datetime/calendar.h"
#include "fileio/table.h"
#include "platform/files.h"
#include "platform/numtext.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// Writes the exponent of a "%G" text with at least two digits, as C prints it: "1E+020" becomes
// "1E+20".
size_t shorten_exponent(char *text, size_t n) {
    char *e = static_cast<char *>(std::memchr(text, 'E', n));
    if (e == nullptr) return n;
    char *digits = e + 1;
    if (*digits == '+' || *digits == '-') ++digits;
    char *end = text + n;
    char *first = digits;
    while (end - first > 2 && *first == '0')
        ++first;
    std::memmove(digits, first, static_cast<size_t>(end - first) + 1);
    return n - static_cast<size_t>(first - digits);
}

size_t print_g(char *buf, size_t cap, double value, int precision) {
    size_t n = platform::print_double(buf, cap, value, 'G', precision);
    return shorten_exponent(buf, n < cap ? n : cap - 1);
}

// The items of one Write # statement, each consumed once: written, or released when a trap ends
// the statement before it is reached.
class WriteItems {
  public:
    WriteItems(int32_t count, void *const *items) : count_(count > 0 ? count : 0), items_(items) {}
    WriteItems(const WriteItems &) = delete;
    WriteItems &operator=(const WriteItems &) = delete;
    ~WriteItems() { release_rest(); }

    bool more() const { return done_ < count_; }
    bool last() const { return done_ + 1 == count_; }
    int32_t code() const { return *static_cast<const int16_t *>(items_[next_]); }
    // The value pointer of the current item (for code 14, the pointer to the copy's pointer).
    void *value() const { return items_[next_ + (code() == BI_TYPE_FIXED_STRING ? 2 : 1)]; }
    // Releases what the current item owns and moves past it.
    void consume() {
        release(code(), value());
        next_ += code() == BI_TYPE_FIXED_STRING ? 3 : 2;
        ++done_;
    }
    bool known_code() const {
        switch (code()) {
        case BI_TYPE_VARIANT:
        case BI_TYPE_INTEGER:
        case BI_TYPE_LONG:
        case BI_TYPE_SINGLE:
        case BI_TYPE_DOUBLE:
        case BI_TYPE_CURRENCY:
        case BI_TYPE_STRING:
        case BI_TYPE_FIXED_STRING:
            return true;
        default:
            return false;
        }
    }
    // After an unknown code nothing more can be read.
    void stop() { count_ = done_; }

  private:
    static void release(int32_t code, void *value) {
        if (code == BI_TYPE_VARIANT) {
            BiXVariantClear(static_cast<VARIANT *>(value));
        } else if (code == BI_TYPE_STRING) {
            runtime::free_string(*static_cast<BiString *>(value));
        } else if (code == BI_TYPE_FIXED_STRING) {
            char **copy = static_cast<char **>(value);
            ZrFree(*copy);
            *copy = nullptr;
        }
    }
    void release_rest() {
        while (more() && known_code())
            consume();
    }

    int32_t count_;
    void *const *items_;
    int32_t done_ = 0;
    size_t next_ = 0;
};

// One Write # statement on one open file. Each operation returns false after a trap, which ends
// the statement.
class Writer {
  public:
    explicit Writer(FileRecord &record) : r_(record) {}

    bool put(const char *bytes, size_t n) {
        if (n == 0 || platform::write_bytes(r_.stream, bytes, n) == n) return true;
        ProcessFileError(platform::crt_errno(errno), runtime::empty_string(true));
        return false;
    }
    bool quoted(const char *bytes, size_t n) {
        return put("\"", 1) && put(bytes, n) && put("\"", 1);
    }

    bool item(int32_t code, void *value) {
        char buf[64];
        switch (code) {
        case BI_TYPE_INTEGER:
            return integer(*static_cast<int16_t *>(value));
        case BI_TYPE_LONG:
            return integer(*static_cast<int32_t *>(value));
        case BI_TYPE_SINGLE:
            return put(buf, print_g(buf, sizeof buf, *static_cast<float *>(value), 7));
        case BI_TYPE_DOUBLE:
            return put(buf, print_g(buf, sizeof buf, *static_cast<double *>(value), 15));
        case BI_TYPE_CURRENCY:
            return currency(*static_cast<BiCurrency *>(value));
        case BI_TYPE_STRING: {
            const BiString &s = *static_cast<BiString *>(value);
            return quoted(s.data, runtime::length_of(s));
        }
        case BI_TYPE_FIXED_STRING: {
            const char *text = *static_cast<char **>(value);
            return quoted(text, text != nullptr ? std::strlen(text) : 0);
        }
        default:
            return variant(*static_cast<VARIANT *>(value));
        }
    }

    bool separator() {
        if (!put(",", 1)) return false;
        if (r_.column < INT32_MAX) ++r_.column;
        return true;
    }

    bool end_of_line() {
        if (!put("\r\n", 2)) return false;
        r_.column = 0;
        if (platform::flush_stream(r_.stream) == 0) return true;
        raise_system_error(r_, errno);
        return false;
    }

  private:
    bool integer(int32_t value) {
        char buf[16];
        std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value);
        return put(buf, static_cast<size_t>(r.ptr - buf));
    }

    bool currency(BiCurrency value) {
        runtime::OwnedString text(ZbiCvtCurNumStr(value, 10));
        return put(text.data(), text.size());
    }

    bool variant(const VARIANT &v) {
        char buf[64];
        switch (v.vt) {
        case VT_NULL:
            return put("#NULL#", 6);
        case VT_I2:
            return integer(v.iVal);
        case VT_I4:
            return integer(v.lVal);
        case VT_R4:
            return put(buf, print_g(buf, sizeof buf, v.fltVal, 7));
        case VT_R8:
            return put(buf, print_g(buf, sizeof buf, v.dblVal, 15));
        case VT_CY:
            return currency(v.cyVal);
        case VT_DATE:
            return date(v.date);
        case VT_BSTR: {
            uint32_t bytes = 0;
            runtime::ZrBuffer<char> text(ZbiOleToChar(v.bstrVal, &bytes));
            if (!text) {
                runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
                return false;
            }
            return quoted(text.get(), bytes);
        }
        default: // Empty, Boolean, Error and objects write an empty field
            return true;
        }
    }

    // "#yyyy-mm-dd hh:mm:ss#": the date of a day other than day 0, the time when it is not
    // midnight or when there is no date, so that every date reads back. The time is rounded to
    // the second; a day's last half second rounds to the next day's midnight.
    bool date(double serial) {
        // The calendar of the date builtins reads the years 100 to 9999.
        if (!(serial >= datetime::kFirstValidSerial - datetime::kLastSecond &&
              serial <= datetime::kLastValidSerial + datetime::kLastSecond)) {
            runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
            return false;
        }
        double whole = std::trunc(serial);
        double seconds = std::floor(std::fabs(serial - whole) * kSecondsPerDay + 0.5);
        if (seconds >= kSecondsPerDay) {
            seconds -= kSecondsPerDay;
            whole += 1.0; // the time reads forward from the day's midnight, whatever its sign
        }
        char buf[64];
        size_t n = 0;
        buf[n++] = '#';
        bool has_date = whole != 0.0;
        if (has_date) {
            datetime::Ymd ymd = datetime::serial_to_ymd(whole);
            n += static_cast<size_t>(ZrSnprintf(buf + n, sizeof buf - n, "%04d-%02d-%02d", ymd.year,
                                                ymd.month, ymd.day));
        }
        if (seconds != 0.0 || !has_date) {
            auto s = static_cast<int32_t>(seconds);
            if (has_date) buf[n++] = ' ';
            n += static_cast<size_t>(ZrSnprintf(buf + n, sizeof buf - n, "%02d:%02d:%02d", s / 3600,
                                                s / 60 % 60, s % 60));
        }
        buf[n++] = '#';
        return put(buf, n);
    }

    FileRecord &r_;
};

void write_items(int16_t number, WriteItems &items) {
    FileRecord *record = record_in_mode(number, kModeOutput | kModeAppend);
    if (record == nullptr) return;
    Writer writer(*record);
    while (items.more()) {
        if (!items.known_code()) {
            items.stop();
            runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
            return;
        }
        bool last = items.last();
        bool ok = writer.item(items.code(), items.value());
        items.consume();
        if (!ok || (!last && !writer.separator())) return;
    }
    writer.end_of_line();
}

} // namespace

} // namespace brtl::fileio

extern "C" {

BRTL_API void ZbiBuiltIn_Write(int16_t number, int32_t count, void *const *items) {
    brtl::fileio::WriteItems list(count, items);
    brtl::fileio::write_items(number, list);
}

} // extern "C"
