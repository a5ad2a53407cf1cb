// The date and time tokens of a format section. Each token is expanded from the number read as a
// date serial as the parser meets it and pushed as literal text; hour tokens stay in the section
// for the output stages (the clock they use depends on an AM/PM token that may come later), and
// the tokens that stand for a locale pattern (c, ddddd, dddddd, ttttt) splice that pattern into
// the section in their place.
#include <cfloat>
#include <cmath>
#include <initializer_list>

#include "brtl/datetime.h"
#include "brtl/runtime.h"
#include "brtl/texts.h"
#include "datetime/calendar.h"
#include "datetime/eras.h"
#include "format/parser.h"
#include "platform/codepage.h"
#include "runtime/hooks.h"

namespace brtl::format {

namespace {

// A spliced pattern may itself contain tokens that splice (a locale pattern holding "ddddd");
// past this many splices in one section the section is rejected instead of growing forever.
constexpr int kMaxSplices = 64;

// Host text ids, less the month (1-12), the weekday (1 = Sunday) or the era (from 0).
constexpr int32_t kMonthNames = BI_TEXT_MONTHS + 1;
constexpr int32_t kDayNames = BI_TEXT_DAYS + 1;
constexpr int32_t kLongDayNames = BI_TEXT_LONG_DAYS + 1;   // aaaa
constexpr int32_t kShortDayNames = BI_TEXT_SHORT_DAYS + 1; // aaa
constexpr int32_t kEraNames[] = {BI_TEXT_SHORT_ERAS, BI_TEXT_MIDDLE_ERAS,
                                 BI_TEXT_LONG_ERAS}; // g, gg, ggg

int count_run(Parser &ps, uint32_t maximum) {
    return CountLetter(&ps.p, ps.end, maximum);
}

void push_number(Parser &ps, int64_t value, int min_digits) {
    char text[24];
    size_t n = 0;
    if (value < 0) text[n++] = '-';
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    n += unsigned_text(magnitude, min_digits, text + n);
    ps.literal(text, n);
}

// "%d", but "00" for 0: the one-letter minute and second tokens.
void push_clock_number(Parser &ps, int value, int count) {
    push_number(ps, value, count == 2 || value == 0 ? 2 : 1);
}

// At most max_bytes bytes of a name, never cutting a double-byte character.
void push_abbreviation(Parser &ps, const char *name, size_t max_bytes) {
    size_t n = 0;
    while (name[n] != '\0') {
        size_t size = ps.multibyte && platform::is_lead_byte(static_cast<unsigned char>(name[n])) &&
                              name[n + 1] != '\0'
                          ? 2
                          : 1;
        if (n + size > max_bytes) break;
        n += size;
    }
    ps.literal(name, n);
}

// 1 for 1 January (the calendar fields must be loaded).
int day_of_year(const DateFields &date) {
    return static_cast<int>(datetime::ymd_to_serial(date.day, date.month, date.year) -
                            datetime::ymd_to_serial(1, 1, date.year)) +
           1;
}

int minutes_of(double seconds) {
    return static_cast<int>(std::fmod((seconds + 0.5) / 60.0, 60.0));
}
int seconds_of(double seconds) {
    return static_cast<int>(std::fmod(seconds + 0.5, 60.0));
}

// The time pattern of ttttt and c: hours (with a leading zero when the locale asks for it),
// minutes and seconds with the locale's time separator, escaped so that it stays what it is.
size_t time_pattern(char *out) {
    size_t n = 0;
    if (ZrIntlIsTLZero() != 0) out[n++] = 'h';
    out[n++] = 'h';
    char separator = ZrIntlGetTimeSeperator();
    for (const char *unit : {"nn", "ss"}) {
        if (separator != '\0') {
            out[n++] = '\\';
            out[n++] = separator;
        }
        out[n++] = unit[0];
        out[n++] = unit[1];
    }
    return n;
}

bool is_whole(double value) {
    return std::fabs(value) <= DBL_EPSILON;
}

TokenResult splice(Parser &ps, const char *text, size_t n) {
    ps.date_mode = true;
    return ps.splice(text, n) ? TokenResult::Done : TokenResult::Rejected;
}

// ---- Token families ---------------------------------------------------------------------------

TokenResult short_date(Parser &ps) {
    const char *pattern = ZrIntlGetDateString();
    if (pattern == nullptr) pattern = "";
    if (!ps.calendar()) return TokenResult::Failed;
    runtime::SmallBuffer<char, 96> text;
    text.append(pattern, std::strlen(pattern));
    // A two-letter year outside the 1900s is widened to four letters.
    if (ps.date.year < 1900 || ps.date.year > 1999) {
        size_t i = 0;
        while (i < text.size() && text[i] != 'y' && text[i] != 'Y')
            ++i;
        size_t run = 0;
        while (i + run < text.size() && (text[i + run] == 'y' || text[i + run] == 'Y'))
            ++run;
        if (run == 2) text.insert(i, "yy", 2);
    }
    if (!text.ok()) return TokenResult::Failed;
    return splice(ps, text.data(), text.size());
}

TokenResult day_token(Parser &ps) {
    int count = count_run(ps, 6);
    if (count == 5) return short_date(ps);
    if (count == 6) {
        const char *pattern = ZrIntlGetLongDateString();
        return splice(ps, pattern ? pattern : "", pattern ? std::strlen(pattern) : 0);
    }
    if (!ps.calendar()) return TokenResult::Failed;
    if (count <= 2)
        push_number(ps, ps.date.day, count);
    else if (count == 3)
        push_abbreviation(ps, host_word(kDayNames - ps.date.weekday), 3);
    else
        ps.literal(host_word(kDayNames - ps.date.weekday));
    return TokenResult::Done;
}

TokenResult week_token(Parser &ps) {
    int count = count_run(ps, 2);
    if (!ps.calendar()) return TokenResult::Failed;
    if (count == 1)
        ps.plain(static_cast<char>('0' + ps.date.weekday)); // not escaped
    else
        push_number(ps, (day_of_year(ps.date) + 6) / 7, 1);
    return TokenResult::Done;
}

TokenResult minute_token(Parser &ps, int count) {
    push_clock_number(ps, minutes_of(ps.seconds()), count);
    return TokenResult::Done;
}

TokenResult month_token(Parser &ps) {
    if (ps.hour_pending) { // m or mm after an hour: minutes
        ps.hour_pending = false;
        return minute_token(ps, count_run(ps, 2));
    }
    int count = count_run(ps, 4);
    if (!ps.calendar()) return TokenResult::Failed;
    if (count <= 2)
        push_number(ps, ps.date.month, count);
    else if (count == 3)
        push_abbreviation(ps, host_word(kMonthNames - ps.date.month), 3);
    else
        ps.literal(host_word(kMonthNames - ps.date.month));
    return TokenResult::Done;
}

TokenResult year_token(Parser &ps) {
    int count = count_run(ps, 4);
    if (!ps.calendar()) return TokenResult::Failed;
    if (count == 4) {
        push_number(ps, ps.date.year, 1);
        return TokenResult::Done;
    }
    if (count >= 2) { // the year less its first two characters
        char text[24];
        size_t n = 0;
        int64_t year = ps.date.year;
        if (year < 0) text[n++] = '-';
        n += unsigned_text(static_cast<uint64_t>(year < 0 ? -year : year), 1, text + n);
        if (n > 2) ps.literal(text + 2, n - 2);
    }
    if (count != 2) push_number(ps, day_of_year(ps.date), 1); // y, and the y of yyy
    return TokenResult::Done;
}

TokenResult general_date(Parser &ps) {
    ++ps.p;
    if (ps.p < ps.end && *ps.p == ' ') ++ps.p; // one space after the c is dropped
    double serial = ps.date.serial;
    double whole = std::trunc(serial);
    bool time = is_whole(whole) || !is_whole(serial - whole);
    runtime::SmallBuffer<char, 96> text;
    if (!is_whole(whole)) {
        const char *pattern = ZrIntlGetDateString();
        if (pattern != nullptr) text.append(pattern, std::strlen(pattern));
        if (time) text.push(' ');
    }
    if (time) {
        char clock[16];
        text.append(clock, time_pattern(clock));
        if (ZrIntlGetTimeFomat() == 0) text.append(" AM/PM", 6);
    }
    if (!text.ok()) return TokenResult::Failed;
    return splice(ps, text.data(), text.size());
}

// AM/PM, am/pm (any case after the first letter), A/P, a/p and AMPM: the length of the token at
// p and its marker, or 0.
size_t am_pm_token(const char *p, const char *end, char *marker) {
    auto lower = [](char c) {
        return static_cast<char>(platform::to_lower(static_cast<unsigned char>(c)));
    };
    size_t left = static_cast<size_t>(end - p);
    if (left >= 5 && lower(p[1]) == 'm' && p[2] == '/' && lower(p[3]) == 'p' &&
        lower(p[4]) == 'm') {
        *marker = p[0] == 'A' ? 'M' : 'm';
        return 5;
    }
    if (left >= 4 && lower(p[1]) == 'm' && lower(p[2]) == 'p' && lower(p[3]) == 'm') {
        *marker = 'P';
        return 4;
    }
    if (left >= 3 && p[1] == '/' && lower(p[2]) == 'p') {
        *marker = p[0];
        return 3;
    }
    return 0;
}

TokenResult a_token(Parser &ps) {
    char marker = 0;
    if (size_t n = am_pm_token(ps.p, ps.end, &marker)) {
        ps.p += n;
        ps.out.state.has_ampm = true;
        ps.date_mode = true;
        ps.out.nodes.push(Node{marker, NodeKind::Marker});
        return TokenResult::Done;
    }
    if (*ps.p != 'a') return TokenResult::NotToken;
    const char *start = ps.p;
    int count = count_run(ps, 4);
    if (count < 3) { // not a token: the letter is a plain character
        ps.p = start;
        return TokenResult::NotToken;
    }
    ps.date_mode = true;
    if (!ps.calendar()) return TokenResult::Failed;
    ps.literal(host_word((count == 3 ? kShortDayNames : kLongDayNames) - ps.date.weekday));
    return TokenResult::Done;
}

TokenResult era_token(Parser &ps) {
    int count = count_run(ps, 3);
    if (!ps.calendar()) return TokenResult::Failed;
    int era = datetime::era_of_serial(ps.date.serial);
    if (era >= 0) ps.literal(host_word(kEraNames[count - 1] - era));
    return TokenResult::Done;
}

TokenResult era_year_token(Parser &ps) {
    int count = count_run(ps, 2);
    if (!ps.calendar()) return TokenResult::Failed;
    int era = datetime::era_of_serial(ps.date.serial);
    if (era >= 0) push_number(ps, ps.date.year - datetime::era_year_offset(era), count);
    return TokenResult::Done;
}

TokenResult read_token(Parser &ps) {
    switch (*ps.p) {
    case 'd':
    case 'D':
        return day_token(ps);
    case 'w':
        return week_token(ps);
    case 'm':
    case 'M':
        return month_token(ps);
    case 'n':
        return minute_token(ps, count_run(ps, 2));
    case 's':
    case 'S': {
        int count = count_run(ps, 2);
        push_clock_number(ps, seconds_of(ps.seconds()), count);
        return TokenResult::Done;
    }
    case 'q':
        ++ps.p;
        if (!ps.calendar()) return TokenResult::Failed;
        push_number(ps, (ps.date.month - 1) / 3 + 1, 1);
        return TokenResult::Done;
    case 'y':
    case 'Y':
        return year_token(ps);
    case 'h':
    case 'H': // left for the output stages
        ps.plain(*ps.p++);
        ps.hour_pending = true;
        return TokenResult::Done;
    case 't':
    case 'T': {
        if (count_run(ps, 6) != 5) return TokenResult::Rejected;
        char pattern[16];
        return splice(ps, pattern, time_pattern(pattern));
    }
    case 'c':
        return general_date(ps);
    case 'a':
    case 'A':
        return a_token(ps);
    case 'g':
    case 'G':
        return ps.multibyte ? era_token(ps) : TokenResult::NotToken;
    case 'e':
    case 'E':
        return ps.multibyte ? era_year_token(ps) : TokenResult::NotToken;
    default:
        return TokenResult::NotToken;
    }
}

} // namespace

TokenResult read_date_token(Parser &ps) {
    TokenResult result = read_token(ps);
    if (result == TokenResult::Done) ps.date_mode = true;
    return result;
}

double Parser::seconds() {
    return datetime::serial_time(date.serial) * 86400.0;
}

bool Parser::calendar() {
    if (!date_loaded) {
        if (!load_calendar(date)) return false;
        date_loaded = true;
    }
    return true;
}

bool Parser::splice(const char *text, size_t n) {
    if (++splices > kMaxSplices) return false;
    int next = current_ == 0 ? 1 : 0;
    runtime::SmallBuffer<char, 128> &buffer = spliced_[next];
    buffer.clear();
    buffer.append(text, n);
    buffer.append(p, static_cast<size_t>(end - p));
    if (!buffer.ok()) {
        out_of_memory = true; // the parser raises trap 7 when it ends
        return true;
    }
    current_ = next;
    p = buffer.data();
    end = p + buffer.size();
    return true;
}

bool load_calendar(DateFields &date) {
    if (!datetime::in_calendar_domain(date.serial)) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return false;
    }
    datetime::Ymd ymd = datetime::serial_to_ymd(date.serial);
    date.day = ymd.day;
    date.month = ymd.month;
    date.year = ymd.year;
    date.weekday = datetime::weekday_of_day(datetime::serial_day(date.serial));
    date.calendar = true;
    return true;
}

bool is_pm(double seconds) {
    return static_cast<int>((seconds + 0.5) / 3600.0) >= 12;
}

size_t hour_text(double seconds, int count, bool twelve_hour, char *out, bool *pm) {
    int hour = static_cast<int>((seconds + 0.5) / 3600.0);
    *pm = hour >= 12;
    if (twelve_hour) {
        if (hour > 12)
            hour -= 12;
        else if (hour == 0)
            hour = 12;
        return unsigned_text(static_cast<uint64_t>(hour), count, out);
    }
    return unsigned_text(static_cast<uint64_t>(hour), count == 2 || hour == 0 ? 2 : 1, out);
}

const char *am_pm_text(char marker, bool pm) {
    switch (marker) {
    case 'M':
        return pm ? "PM" : "AM";
    case 'm':
        return pm ? "pm" : "am";
    case 'A':
        return pm ? "P" : "A";
    case 'a':
        return pm ? "p" : "a";
    default: { // AMPM: the host's words, or the English ones when the host has none
        const char *word = host_word(pm ? BI_TEXT_PM : BI_TEXT_AM);
        return *word != '\0' ? word : (pm ? "PM" : "AM");
    }
    }
}

size_t unsigned_text(uint64_t value, int min_digits, char *out) {
    char reversed[24];
    size_t n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < static_cast<size_t>(min_digits) && n < sizeof reversed)
        reversed[n++] = '0';
    for (size_t i = 0; i < n; ++i)
        out[i] = reversed[n - 1 - i];
    out[n] = '\0';
    return n;
}

} // namespace brtl::format
