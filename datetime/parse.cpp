// The date and time parser: the text is cut into tokens, a date rule and a time rule read them,
// and the caller's kind decides what is accepted. Also DateValue and TimeValue.
#include <cstring>

#include "brtl/datetime.h"
#include "datetime/calendar.h"
#include "datetime/clock.h"
#include "datetime/date_words.h"
#include "datetime/parse.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"
#include "strings/text_util.h"

namespace brtl::datetime {

namespace {

// ---- Tokens -------------------------------------------------------------------------------------

enum TokenType : int32_t {
    kEnd = 0,
    kMonthName = 1,
    kNumber = 2,
    kAm = 3,
    kPm = 4,
    kSeparator = 5
};

struct Token {
    int32_t type;
    int32_t value;
};

constexpr int kMaxTokens = 256;
// The rules look up to six tokens past their start; the list keeps that many end tokens after
// its last token so that they never read past it.
constexpr int kLookahead = 6;

struct TokenList {
    Token tokens[kMaxTokens + 1 + kLookahead];
    int count = 0;
    bool has_month_name = false;

    const Token &operator[](int i) const { return tokens[i]; }
    bool last_is_separator() const { return count > 0 && tokens[count - 1].type == kSeparator; }
    bool push(int32_t type, int32_t value) {
        if (count == kMaxTokens) return false;
        tokens[count++] = Token{type, value};
        has_month_name = has_month_name || type == kMonthName;
        return true;
    }
    void finish() {
        for (int i = count; i < count + 1 + kLookahead; ++i)
            tokens[i] = Token{kEnd, 0};
    }
};

bool is_separator(const Token &t, int32_t value) {
    return t.type == kSeparator && t.value == value;
}

// True when name begins with the len letters of word, without regard to case.
bool begins_with(const char *name, const char *word, size_t len) {
    for (size_t i = 0; i < len; ++i) {
        if (name[i] == '\0') return false;
        if (platform::to_lower(static_cast<unsigned char>(name[i])) !=
            platform::to_lower(static_cast<unsigned char>(word[i])))
            return false;
    }
    return true;
}

// A word of letters: a month name (3 letters or more), AM or PM (1 or 2 letters), or else a
// separator holding its first letter.
bool add_word(TokenList &list, const char *word, size_t len) {
    const DateWords &words = date_words();
    if (len >= 3) {
        for (int m = 0; m < 12; ++m)
            if (begins_with(words.months[m], word, len)) return list.push(kMonthName, m + 1);
    } else {
        int32_t type = begins_with(words.am, word, len)   ? kAm
                       : begins_with(words.pm, word, len) ? kPm
                                                          : kEnd;
        if (type != kEnd) {
            if (list.last_is_separator()) --list.count; // "10 PM" reads as "10PM"
            return list.push(type, 0);
        }
    }
    if (list.count == 0 || list.last_is_separator()) return false;
    return list.push(kSeparator, static_cast<unsigned char>(word[0]));
}

// Any other character. Separators never follow each other: a space after a separator is
// dropped, a separator after a space replaces it, and two others in a row are rejected.
bool add_separator(TokenList &list, int32_t value) {
    if (!list.last_is_separator()) return list.push(kSeparator, value);
    Token &last = list.tokens[list.count - 1];
    if (value == ' ') return true;
    if (last.value == ' ') {
        last.value = value;
        return true;
    }
    return false;
}

bool tokenize(const char *p, const char *end, bool multibyte, TokenList &list) {
    while (p < end) {
        auto c = static_cast<unsigned char>(*p);
        if (platform::is_alpha(c)) {
            const char *word = p;
            while (p < end && platform::is_alpha(static_cast<unsigned char>(*p)))
                ++p;
            if (!add_word(list, word, static_cast<size_t>(p - word))) return false;
        } else if (platform::is_digit(c)) {
            int64_t value = 0;
            for (; p < end && platform::is_digit(static_cast<unsigned char>(*p)); ++p) {
                value = value * 10 + (*p - '0');
                if (value > INT32_MAX) return false;
            }
            if (!list.push(kNumber, static_cast<int32_t>(value))) return false;
        } else {
            size_t n = multibyte ? platform::char_length(p, static_cast<size_t>(end - p)) : 1;
            int32_t value = n == 2 ? (c << 8) | static_cast<unsigned char>(p[1]) : c;
            p += n;
            if (!add_separator(list, value)) return false;
        }
    }
    list.finish();
    return true;
}

// ---- The rules ----------------------------------------------------------------------------------

// The locale values a parse may need, each read at most once and only when needed.
class Settings {
  public:
    int32_t date_separator() {
        if (date_separator_ < 0)
            date_separator_ = static_cast<unsigned char>(ZrIntlGetDateSeperator());
        return date_separator_;
    }
    int32_t time_separator() {
        if (time_separator_ < 0)
            time_separator_ = static_cast<unsigned char>(ZrIntlGetTimeSeperator());
        return time_separator_;
    }
    int32_t order() {
        if (!order_read_) {
            order_ = ZrIntlGetDateOrdering();
            order_read_ = true;
        }
        return order_;
    }
    int32_t year() {
        if (year_ == INT32_MIN) year_ = current_year();
        return year_;
    }

  private:
    int32_t date_separator_ = -1;
    int32_t time_separator_ = -1;
    int32_t order_ = 0;
    bool order_read_ = false;
    int32_t year_ = INT32_MIN;
};

struct Found {
    bool found = false;
    double serial = 0.0;
    int used = 0; // tokens read, counted from the rule's start
};

enum class Rule { Done, Trapped };

constexpr int kFatalDateOrderLine = 6822;
constexpr int kFatalKindLine = 6545;

// What stands in for a missing third part: the current year (read from the clock only then)
// or the first day of the month.
enum class Fallback { CurrentYear, FirstDay };

// The third part after "a sep b": the number t4 unless (for the month-name forms) a time
// separator follows it; else the fallback, with 4 tokens used when t3 is a separator, 3
// otherwise.

int32_t third_part(const Token *t, bool stop_at_time_separator, Settings &settings,
                   Fallback fallback, int &used) {
    if (t[4].type == kNumber &&
        !(stop_at_time_separator && is_separator(t[5], settings.time_separator()))) {
        used = 5;
        return t[4].value;
    }
    used = t[3].type == kSeparator ? 4 : 3;
    return fallback == Fallback::CurrentYear ? settings.year() : 1;
}

Rule date_rule(const TokenList &list, Settings &settings, Found &out) {
    int skipped = 0;
    if (list[0].type == kSeparator) {
        if (list[0].value != ' ') return Rule::Done;
        skipped = 1;
    }
    const Token *t = list.tokens + skipped;
    int32_t day = 0, month = 0, year = 0;
    int used = 0;
    if (list.has_month_name) {
        if (t[0].type == kMonthName && t[1].type == kSeparator && t[2].type == kNumber) {
            month = t[0].value;
            day = t[2].value;
            year = third_part(t, true, settings, Fallback::CurrentYear, used);
        } else if (t[0].type == kNumber && t[1].type == kSeparator && t[2].type == kMonthName) {
            month = t[2].value;
            if (t[0].value < 32) {
                day = t[0].value;
                if (settings.order() == 2 && t[4].type == kNumber && t[4].value > 31) {
                    runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
                    return Rule::Trapped;
                }
                year = third_part(t, true, settings, Fallback::CurrentYear, used);
            } else {
                year = t[0].value;
                day = third_part(t, true, settings, Fallback::FirstDay, used);
            }
        } else {
            return Rule::Done;
        }
    } else {
        if (t[0].type != kNumber || t[1].type != kSeparator) return Rule::Done;
        int32_t sep = t[1].value;
        if (sep != '/' && sep != '-' && sep != ' ' && sep != settings.date_separator())
            return Rule::Done;
        int32_t order = settings.order();
        if (t[0].value > 31)
            order = 2;
        else if (order == 2 && t[4].type == kNumber && t[4].value > 31)
            order = 0;
        if (order < 0 || order > 2) {
            runtime::raise_fatal(kFatalDateOrderLine);
            return Rule::Done;
        }
        if (t[2].type != kNumber) return Rule::Done;
        int32_t first = t[0].value, second = t[2].value;
        if (order == 2) {
            year = first;
            month = second;
            day = third_part(t, false, settings, Fallback::FirstDay, used);
        } else {
            (order == 0 ? month : day) = first;
            (order == 0 ? day : month) = second;
            year = third_part(t, false, settings, Fallback::CurrentYear, used);
        }
    }
    if (year >= 0 && year <= 99) year += 1900;
    if (!ZbiValidDate(year, month, day)) return Rule::Done;
    out.found = true;
    out.serial = ymd_to_serial(day, month, year);
    out.used = skipped + used;
    return Rule::Done;
}

// AM and PM apply to hours 0-12: 12 AM is 0, 0 PM is 12, 1-11 PM are 13-23.
bool apply_am_pm(const Token &t, int32_t &hour) {
    if (hour > 12) return false;
    if (t.type == kAm)
        hour = hour == 12 ? 0 : hour;
    else
        hour = hour == 0 ? 12 : (hour == 12 ? 12 : hour + 12);
    return true;
}

bool is_am_pm(const Token &t) {
    return t.type == kAm || t.type == kPm;
}

Rule time_rule(const TokenList &list, int start, Settings &settings, Found &out) {
    int i = start;
    while (is_separator(list[i], ' '))
        ++i;
    const Token *u = list.tokens + i;
    if (u[0].type != kNumber || u[0].value > 23) return Rule::Done;
    int32_t hour = u[0].value, minute = 0, second = 0;
    int used = 0;
    if (u[1].type == kEnd) {
        // A lone number is an hour, unless the strict limits apply.
        if (runtime::strict_limits()) {
            runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
            return Rule::Trapped;
        }
        used = 1;
    } else if (is_am_pm(u[1])) {
        if (!apply_am_pm(u[1], hour)) return Rule::Done;
        used = 2;
    } else {
        if (u[1].type != kSeparator ||
            (u[1].value != ':' && u[1].value != settings.time_separator()))
            return Rule::Done;
        int32_t sep = u[1].value;
        if (u[2].type != kNumber || u[2].value > 59) return Rule::Done;
        minute = u[2].value;
        used = 3;
        if (is_am_pm(u[3])) {
            if (!apply_am_pm(u[3], hour)) return Rule::Done;
            used = 4;
        } else if (is_separator(u[3], sep)) {
            if (u[4].type != kNumber || u[4].value > 59) return Rule::Done;
            second = u[4].value;
            used = 5;
            if (is_am_pm(u[5])) {
                if (!apply_am_pm(u[5], hour)) return Rule::Done;
                used = 6;
            }
        }
    }
    out.found = true;
    out.serial = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    out.used = i - start + used;
    return Rule::Done;
}

// Trailing and leading spaces (and the full-width space of a double-byte code page) go, as
// RTrim and LTrim remove them.
void trim(const char *&begin, const char *&end, bool multibyte) {
    if (!multibyte) { // spaces only
        while (begin < end && *begin == ' ')
            ++begin;
        while (end > begin && end[-1] == ' ')
            --end;
        return;
    }
    OLECHAR full_width = strings::full_width_space();
    while (uint32_t n =
               strings::trim_space_at(begin, static_cast<uint32_t>(end - begin), full_width))
        begin += n;
    // Characters are found from the start: a trail byte may look like a space.
    const char *kept = begin;
    for (const char *p = begin; p < end;) {
        size_t available = static_cast<size_t>(end - p);
        if (uint32_t n = strings::trim_space_at(p, static_cast<uint32_t>(available), full_width)) {
            p += n;
            continue;
        }
        p += platform::char_length(p, available);
        kept = p;
    }
    end = kept;
}

ParseResult parse_tokens(const TokenList &list, int32_t kind, double *serial) {
    Settings settings;
    Found date, time;
    if (date_rule(list, settings, date) == Rule::Trapped) return ParseResult::Reported;
    if (time_rule(list, date.used, settings, time) == Rule::Trapped) return ParseResult::Reported;
    int used = date.used + time.used;

    switch (static_cast<ParseKind>(kind)) {
    case ParseKind::Time:
        if (!time.found) {
            if (time_rule(list, 0, settings, time) == Rule::Trapped) return ParseResult::Reported;
            used = time.used;
        }
        if (time.found && used == list.count) {
            *serial = time.serial;
            return ParseResult::Accepted;
        }
        if (date.found && date.used == list.count) {
            *serial = 0.0; // a date alone is midnight
            return ParseResult::Accepted;
        }
        return ParseResult::NotAccepted;
    case ParseKind::Date:
        if (!date.found || time.found || date.used != list.count) return ParseResult::NotAccepted;
        *serial = date.serial;
        return ParseResult::Accepted;
    case ParseKind::DateAndTime:
        if (used != list.count) return ParseResult::NotAccepted;
        *serial = combine_serial(serial_day(date.serial), time.serial);
        return ParseResult::Accepted;
    }
    return ParseResult::NotAccepted;
}

} // namespace

ParseResult parse_date_time(const char *text, size_t n, int32_t kind, double *serial) {
    if (kind < 0 || kind > 2) {
        runtime::raise_fatal(kFatalKindLine);
        return ParseResult::Reported;
    }
    const bool multibyte = platform::mb_cur_max() > 1;
    char rewritten[kRewriteCapacity + 1];
    if (multibyte && n > 0) {
        size_t length = 0;
        if (rewrite_multibyte_date(text, n, rewritten, &length)) {
            text = rewritten;
            n = length;
        }
    }
    const char *begin = text;
    const char *end = text + n;
    trim(begin, end, multibyte);
    if (begin == end) return ParseResult::NotAccepted;
    TokenList list;
    if (!tokenize(begin, end, multibyte, list)) return ParseResult::NotAccepted;
    return parse_tokens(list, kind, serial);
}

} // namespace brtl::datetime

namespace {

// Parses the text argument (released here) and writes the Date, or Empty when the text is not
// accepted; a text not accepted raises trap 5 unless quiet. Returns whether it was accepted.
bool parse_argument(VARIANT *result, BiString text, int32_t kind, bool quiet) {
    brtl::runtime::OwnedString arg(text);
    double serial = 0.0;
    brtl::datetime::ParseResult parsed =
        brtl::datetime::parse_date_time(arg.data(), arg.size(), kind, &serial);
    arg.reset();
    if (parsed == brtl::datetime::ParseResult::Accepted) {
        result->vt = VT_DATE;
        result->date = serial;
        return true;
    }
    result->vt = VT_EMPTY;
    if (parsed == brtl::datetime::ParseResult::NotAccepted && !quiet)
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    return false;
}

} // namespace

extern "C" {

BRTL_API VARIANT *ZbiParseDateAndTime(VARIANT *result, BiString text, int32_t kind, uint8_t quiet) {
    parse_argument(result, text, kind, quiet != 0);
    return result;
}

BRTL_API VARIANT *ZbiBuiltIn_TimeValue(VARIANT *result, BiString text) {
    parse_argument(result, text, static_cast<int32_t>(brtl::datetime::ParseKind::Time), false);
    return result;
}

BRTL_API VARIANT *ZbiBuiltIn_DateValue(VARIANT *result, BiString text) {
    if (parse_argument(result, text, static_cast<int32_t>(brtl::datetime::ParseKind::DateAndTime),
                       false))
        result->date =
            static_cast<double>(brtl::datetime::serial_day(result->date)); // the time goes
    return result;
}

} // extern "C"
