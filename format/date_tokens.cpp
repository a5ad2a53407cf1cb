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

int count_run(Parser &ps, uint32_t maximum) {
    return CountLetter(&ps.p, ps.end, maximum);
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
    ps.layout().kept = false; // the text depends on the number or on a locale pattern
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

// A one- or two-digit field by the count of its letters.
DateField by_count(int count, DateField one, DateField two) {
    return count == 1 ? one : two;
}

TokenResult day_token(Parser &ps) {
    int count = count_run(ps, 6);
    if (count == 5) return short_date(ps);
    if (count == 6) {
        const char *pattern = ZrIntlGetLongDateString();
        return splice(ps, pattern ? pattern : "", pattern ? std::strlen(pattern) : 0);
    }
    if (count <= 2)
        ps.field(by_count(count, DateField::Day, DateField::DayTwoDigits));
    else
        ps.field(count == 3 ? DateField::DayAbbreviation : DateField::DayName);
    return TokenResult::Done;
}

TokenResult week_token(Parser &ps) {
    ps.field(by_count(count_run(ps, 2), DateField::Weekday, DateField::Week));
    return TokenResult::Done;
}

TokenResult minute_token(Parser &ps, int count) {
    ps.field(by_count(count, DateField::Minute, DateField::MinuteTwoDigits));
    return TokenResult::Done;
}

TokenResult month_token(Parser &ps) {
    if (ps.hour_pending) { // m or mm after an hour: minutes
        ps.hour_pending = false;
        return minute_token(ps, count_run(ps, 2));
    }
    int count = count_run(ps, 4);
    if (count <= 2)
        ps.field(by_count(count, DateField::Month, DateField::MonthTwoDigits));
    else
        ps.field(count == 3 ? DateField::MonthAbbreviation : DateField::MonthName);
    return TokenResult::Done;
}

TokenResult year_token(Parser &ps) {
    int count = count_run(ps, 4);
    if (count == 4) {
        ps.field(DateField::Year);
        return TokenResult::Done;
    }
    if (count >= 2) ps.field(DateField::YearShort); // the year less its first two characters
    if (count != 2) ps.field(DateField::YearDay);   // y, and the y of yyy
    return TokenResult::Done;
}

TokenResult general_date(Parser &ps) {
    ++ps.p;
    if (ps.p < ps.end && *ps.p == ' ') ++ps.p; // one space after the c is dropped
    double serial = ps.serial();
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
    ps.field(count == 3 ? DateField::ShortDayName : DateField::LongDayName);
    return TokenResult::Done;
}

TokenResult era_token(Parser &ps) {
    static constexpr DateField kEras[] = {DateField::ShortEra, DateField::MiddleEra,
                                          DateField::LongEra}; // g, gg, ggg
    ps.field(kEras[count_run(ps, 3) - 1]);
    return TokenResult::Done;
}

TokenResult era_year_token(Parser &ps) {
    ps.field(by_count(count_run(ps, 2), DateField::EraYear, DateField::EraYearTwoDigits));
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
    case 'S':
        ps.field(by_count(count_run(ps, 2), DateField::Second, DateField::SecondTwoDigits));
        return TokenResult::Done;
    case 'q':
        ++ps.p;
        ps.field(DateField::Quarter);
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

double Parser::serial() {
    if (!serial_read) {
        date.serial = datetime::serial_for_text(serial_of(number));
        serial_read = true;
    }
    return date.serial;
}

bool Parser::calendar() {
    if (!date_loaded) {
        serial();
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

} // namespace brtl::format
