// The locale settings of the [intl] profile section, each read on first use and kept for the
// life of the process, and the operations on the local clock.
//
// A slot that holds its "unread" marker is read again on the next call: the separators use the
// byte 255 as that marker (so a separator of that value is read anew each time), the time
// format -1, the date ordering -1 (which is also its answer for a pattern without a d, m or y),
// the pattern and name slots a null pointer; the other slots have a flag of their own. Slots are
// atomics and the pattern buffers are filled under a lock, so concurrent first calls are safe.
#include <atomic>
#include <cstring>
#include <mutex>

#include "brtl/datetime.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/profile.h"

namespace brtl::datetime {

namespace {

constexpr char kSection[] = "intl";
constexpr unsigned char kUnreadChar = 255;
constexpr int32_t kUnreadInt = -1;
constexpr char kShortDateDefault[] = "mm/dd/yy";

using ValueText = char[platform::kProfileValueMax + 1];

char read_first_char(const char *key, const char *fallback) {
    ValueText value;
    platform::profile_string(kSection, key, fallback, value, sizeof value);
    return value[0];
}

// A one-character slot with 255 as its unread marker.
char marker_slot(std::atomic<unsigned char> &slot, char (*read)()) {
    unsigned char cached = slot.load(std::memory_order_relaxed);
    if (cached != kUnreadChar) return static_cast<char>(cached);
    char value = read();
    slot.store(static_cast<unsigned char>(value), std::memory_order_relaxed);
    return value;
}

// A slot with a flag of its own, so that every value can be kept.
template <typename T> struct FlaggedSlot {
    std::atomic<bool> loaded{false};
    std::atomic<T> value{};

    template <typename Read> T get(Read read) {
        if (loaded.load(std::memory_order_acquire)) return value.load(std::memory_order_relaxed);
        T v = read();
        value.store(v, std::memory_order_relaxed);
        loaded.store(true, std::memory_order_release);
        return v;
    }
};

// A text slot: a buffer of the library's own (values are at most 63 characters, so no
// allocation is needed and none can fail) published through a pointer that stays null until
// the buffer is filled.
struct TextSlot {
    ValueText buffer;
    std::atomic<const char *> published{nullptr};

    template <typename Fill> const char *get(Fill fill) {
        if (const char *p = published.load(std::memory_order_acquire)) return p;
        static std::mutex fill_lock;
        std::lock_guard<std::mutex> lock(fill_lock);
        if (const char *p = published.load(std::memory_order_relaxed)) return p;
        fill(buffer);
        published.store(buffer, std::memory_order_release);
        return buffer;
    }
};

std::atomic<unsigned char> g_time_separator{kUnreadChar};
std::atomic<unsigned char> g_date_separator{kUnreadChar};
std::atomic<int32_t> g_time_format{kUnreadInt};
std::atomic<int32_t> g_date_ordering{kUnreadInt};
FlaggedSlot<char> g_thousand_separator;
FlaggedSlot<char> g_decimal_separator;
FlaggedSlot<int32_t> g_leading_zero;
TextSlot g_long_date;
TextSlot g_short_date;
std::atomic<const char *> g_code_page_name{nullptr};

char read_time_separator() {
    return read_first_char("sTime", ":");
}

// The first character of the short date pattern that is not an m, d or y of either case.
char read_date_separator() {
    ValueText pattern;
    platform::profile_string(kSection, "sShortDate", kShortDateDefault, pattern, sizeof pattern);
    for (const char *p = pattern; *p != '\0'; ++p) {
        int upper = platform::to_upper(static_cast<unsigned char>(*p));
        if (upper != 'M' && upper != 'D' && upper != 'Y') return *p;
    }
    return '/';
}

// The first lower-case letter of the pattern, else the first upper-case one; null when neither.
const char *find_letter(const char *pattern, char lower, char upper) {
    const char *p = std::strchr(pattern, lower);
    return p != nullptr ? p : std::strchr(pattern, upper);
}

int32_t read_date_ordering() {
    ValueText pattern;
    platform::profile_string(kSection, "sShortDate", kShortDateDefault, pattern, sizeof pattern);
    const char *d = find_letter(pattern, 'd', 'D');
    const char *m = find_letter(pattern, 'm', 'M');
    const char *y = find_letter(pattern, 'y', 'Y');
    if (d == nullptr || m == nullptr || y == nullptr) return -1;
    if (d < m && y > m) return 1;
    if (y < m && d > m) return 2;
    return 0;
}

void remove_apostrophes(char *text) {
    char *out = text;
    for (const char *in = text; *in != '\0'; ++in)
        if (*in != '\'') *out++ = *in;
    *out = '\0';
}

} // namespace

} // namespace brtl::datetime

extern "C" {

BRTL_API char ZrIntlGetTimeSeperator(void) {
    return brtl::datetime::marker_slot(brtl::datetime::g_time_separator,
                                       brtl::datetime::read_time_separator);
}

BRTL_API char ZrIntlGetDateSeperator(void) {
    return brtl::datetime::marker_slot(brtl::datetime::g_date_separator,
                                       brtl::datetime::read_date_separator);
}

BRTL_API const char *ZrIntlGetLongDateString(void) {
    return brtl::datetime::g_long_date.get([](char *buffer) {
        brtl::platform::profile_string(brtl::datetime::kSection, "sLongDate", "mmmm dd, yyyy",
                                       buffer, sizeof(brtl::datetime::ValueText));
        brtl::datetime::remove_apostrophes(buffer);
    });
}

BRTL_API const char *ZrIntlGetDateString(void) {
    return brtl::datetime::g_short_date.get([](char *buffer) {
        brtl::platform::profile_string(brtl::datetime::kSection, "sShortDate",
                                       brtl::datetime::kShortDateDefault, buffer,
                                       sizeof(brtl::datetime::ValueText));
    });
}

BRTL_API int32_t ZrIntlGetTimeFomat(void) {
    int32_t cached = brtl::datetime::g_time_format.load(std::memory_order_relaxed);
    if (cached != brtl::datetime::kUnreadInt) return cached;
    int32_t value = brtl::platform::profile_int(brtl::datetime::kSection, "iTime", 0);
    brtl::datetime::g_time_format.store(value, std::memory_order_relaxed);
    return value;
}

BRTL_API int32_t ZrIntlGetDateOrdering(void) {
    int32_t cached = brtl::datetime::g_date_ordering.load(std::memory_order_relaxed);
    if (cached != brtl::datetime::kUnreadInt) return cached;
    int32_t order =
        brtl::datetime::read_date_ordering(); // -1 stays unread: the next call reads again
    brtl::datetime::g_date_ordering.store(order, std::memory_order_relaxed);
    return order;
}

BRTL_API char ZrIntlGetThousandSeperator(void) {
    return brtl::datetime::g_thousand_separator.get(
        [] { return brtl::datetime::read_first_char("sThousand", ","); });
}

BRTL_API char ZrIntlGetDecimalSeperator(void) {
    return brtl::datetime::g_decimal_separator.get(
        [] { return brtl::datetime::read_first_char("sDecimal", "."); });
}

BRTL_API uint8_t ZrIntlIsTLZero(void) {
    int32_t value = brtl::datetime::g_leading_zero.get(
        [] { return brtl::platform::profile_int(brtl::datetime::kSection, "iTLZero", 0); });
    return static_cast<uint8_t>(value);
}

// The names are the library's constant texts: nothing to allocate, nothing that can fail.
BRTL_API const char *ZrIntlGetCodePageName(void) {
    if (const char *name = brtl::datetime::g_code_page_name.load(std::memory_order_acquire))
        return name;
    const char *name =
        brtl::platform::profile_int(brtl::datetime::kSection, "iCountry", 1) == 81 ? "Ja_JP" : "C";
    brtl::datetime::g_code_page_name.store(name, std::memory_order_release);
    return name;
}

BRTL_API void ZrIntlGetSystemDateTime(BiBrokenDownTime *out) {
    if (out == nullptr) return;
    brtl::platform::LocalTime now = brtl::platform::local_time();
    out->tm_sec = now.second;
    out->tm_min = now.minute;
    out->tm_hour = now.hour;
    out->tm_mday = now.day;
    out->tm_mon = now.month - 1;
    out->tm_year = now.year - 1900;
    out->tm_wday = now.day_of_week;
}

// The clock's record has 16-bit fields: only the low 16 bits of each argument reach it.
BRTL_API int32_t ZrIntlSetSystemDate(int32_t day, int32_t month, int32_t year) {
    brtl::platform::LocalTime t = brtl::platform::local_time();
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    return brtl::platform::set_local_time(t) ? 0 : 1;
}

BRTL_API int32_t ZrIntlSetSystemTime(int32_t hour, int32_t minute, int32_t second) {
    brtl::platform::LocalTime t = brtl::platform::local_time();
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = static_cast<uint16_t>(second);
    t.millisecond = 0;
    return brtl::platform::set_local_time(t) ? 0 : 1;
}

} // extern "C"
