// The multibyte rewrite of the date parser: a date written with era names and unit markers
// (year, month, day, hour, minute, second) becomes plain numbers and month names, which the
// tokenizer reads as it reads any other date.
#include <cstring>

#include "datetime/calendar.h"
#include "datetime/date_words.h"
#include "datetime/eras.h"
#include "datetime/parse.h"
#include "platform/codepage.h"
#include "strings/text_util.h"

namespace brtl::datetime {

namespace {

// The rewritten text: appends are bounded by the capacity, and one that does not fit fails the
// whole rewrite.
class Output {
  public:
    explicit Output(char (&buffer)[kRewriteCapacity + 1]) : buffer_(buffer) {}

    bool append(const char *text, size_t n) {
        if (n > kRewriteCapacity - length_) return false;
        std::memcpy(buffer_ + length_, text, n);
        length_ += n;
        buffer_[length_] = '\0';
        return true;
    }
    bool append(const char *text) { return append(text, std::strlen(text)); }
    // " 123 " or, with a colon, " 123: ".
    bool append_number(int64_t value, bool colon) {
        char digits[24];
        size_t n = 0;
        bool negative = value < 0;
        uint64_t magnitude =
            negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        do {
            digits[n++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        char text[32];
        size_t len = 0;
        text[len++] = ' ';
        if (negative) text[len++] = '-';
        while (n > 0)
            text[len++] = digits[--n];
        if (colon) text[len++] = ':';
        text[len++] = ' ';
        return append(text, len);
    }
    // A colon written after the last hour or minute has nothing after it: it goes, so that a
    // time without seconds (or a lone hour) reads as one.
    void drop_trailing_colon() {
        size_t end = length_;
        while (end > 0 && buffer_[end - 1] == ' ')
            --end;
        if (end > 0 && buffer_[end - 1] == ':') {
            length_ = end - 1;
            buffer_[length_] = '\0';
        }
    }
    size_t length() const { return length_; }

  private:
    char (&buffer_)[kRewriteCapacity + 1];
    size_t length_ = 0;
};

struct Scanner {
    const char *p;
    const char *end;
    OLECHAR full_width;

    size_t available() const { return static_cast<size_t>(end - p); }
    void skip_spaces() {
        while (p < end) {
            if (*p == ' ') {
                ++p;
                continue;
            }
            uint32_t n = strings::trim_space_at(p, static_cast<uint32_t>(available()), full_width);
            if (n == 0) break;
            p += n;
        }
    }
    // The word at p, compared over its length (an empty word never matches).
    bool at(const char *word) const {
        size_t n = std::strlen(word);
        return n > 0 && n <= available() && std::memcmp(p, word, n) == 0;
    }
    // Reads the digits at p; false when the number does not fit 32 bits.
    bool number(int64_t &value) {
        value = 0;
        for (; p < end && platform::is_digit(static_cast<unsigned char>(*p)); ++p) {
            value = value * 10 + (*p - '0');
            if (value > INT32_MAX) return false;
        }
        return true;
    }
};

// The unit marker at the scanner (after optional spaces), consumed; kUnitCount for none.
int unit_marker(Scanner &s, const EraWords &words) {
    Scanner probe = s;
    probe.skip_spaces();
    for (int unit = 0; unit < kUnitCount; ++unit) {
        if (probe.at(words.units[unit])) {
            s.p = probe.p + std::strlen(words.units[unit]);
            return unit;
        }
    }
    return kUnitCount;
}

// The longest era name at the scanner: its era index and byte length, or -1.
int era_at(const Scanner &s, const EraWords &words, size_t &length) {
    int era = -1;
    length = 0;
    for (const auto &table : words.eras) {
        for (int index = 0; index < kErasPerTable && table[index][0] != '\0'; ++index) {
            size_t n = std::strlen(table[index]);
            if (n > length && s.at(table[index])) {
                era = index;
                length = n;
            }
        }
    }
    return era;
}

struct GivenDate {
    int era = -1;
    int64_t year = -1;
    int64_t month = -1;
    int64_t day = -1;
};

bool rewrite_number(Scanner &s, Output &out, const EraWords &words, GivenDate &given) {
    int64_t value = 0;
    if (!s.number(value)) return false;
    switch (unit_marker(s, words)) {
    case kUnitYear:
        given.year = value;
        return out.append_number(value, false);
    case kUnitMonth: {
        given.month = value;
        const char *name = value >= 1 && value <= 12 ? date_words().months[value - 1] : "";
        if (name[0] == '\0') return out.append_number(value, false);
        return out.append(" ") && out.append(name) && out.append(" ");
    }
    case kUnitDay:
        given.day = value;
        return out.append_number(value, false);
    case kUnitHour:
    case kUnitMinute:
        return out.append_number(value, true);
    default: // the second, or a number without marker
        return out.append_number(value, false);
    }
}

// An era name followed by a number: that year of the era, as a Gregorian year. An era name with
// no number after it is copied as it is.
bool rewrite_era(Scanner &s, Output &out, const EraWords &words, int era, size_t length,
                 GivenDate &given) {
    const char *name = s.p;
    s.p += length;
    Scanner after = s;
    after.skip_spaces();
    if (after.p == after.end || !platform::is_digit(static_cast<unsigned char>(*after.p)))
        return out.append(name, length);
    s = after;
    int64_t year_of_era = 0;
    if (!s.number(year_of_era)) return false;
    int32_t offset = era_year_offset(era);
    if (offset < 0) return false;
    Scanner marker = s;
    if (unit_marker(marker, words) == kUnitYear) s = marker;
    given.era = era;
    given.year = year_of_era + offset;
    return out.append_number(given.year, false);
}

} // namespace

bool rewrite_multibyte_date(const char *text, size_t n, char (&buffer)[kRewriteCapacity + 1],
                            size_t *out_length) {
    const EraWords &words = era_words();
    Output out(buffer);
    Scanner s{text, text + n, strings::full_width_space()};
    GivenDate given;
    for (;;) {
        s.skip_spaces();
        if (s.p == s.end) break;
        if (platform::is_digit(static_cast<unsigned char>(*s.p))) {
            if (!rewrite_number(s, out, words, given)) return false;
            continue;
        }
        size_t era_length = 0;
        int era = era_at(s, words, era_length);
        if (era >= 0) {
            if (!rewrite_era(s, out, words, era, era_length, given)) return false;
            continue;
        }
        bool valid = false;
        if (platform::char_length(s.p, s.available(), &valid) > 1 || !valid)
            return false; // another multibyte character, or no character
        if (!out.append(s.p, 1)) return false;
        ++s.p;
    }
    // The date of an era must lie in that era.
    if (given.era >= 0 && given.year >= 0 && given.month >= 0) {
        double serial = ymd_to_serial(given.day >= 0 ? given.day : 1, given.month, given.year);
        if (era_of_serial(serial) != given.era) return false;
    }
    out.drop_trailing_colon();
    *out_length = out.length();
    return true;
}

} // namespace brtl::datetime
