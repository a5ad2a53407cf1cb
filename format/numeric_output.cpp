// The output stages of a numeric or date section: the integer part, built from right to left
// (digits from the right of the number, group separators, the sign at the leftmost placeholder,
// hours and AM/PM), and the fraction part, built from left to right.
#include <cmath>
#include <cstring>

#include "brtl/datetime.h"
#include "datetime/calendar.h"
#include "format/digits.h"
#include "platform/numtext.h"

namespace brtl::format {

namespace {

// ---- Decimal digits ---------------------------------------------------------------------------

// The digits of v as the "G" conversion with the precision prints them, trailing zeros dropped.
// An infinity or a NaN (which the stages never format) gives the leading digit of its text.
void general_digits(double v, int precision, Decimal &d) {
    d = std::isfinite(v) ? platform::conversion_digits(std::fabs(v), 'G', precision) : Decimal{};
    if (!std::isfinite(v)) d.digits[0] = '1';
    d.negative = std::signbit(v);
    d.strip_trailing_zeros();
}

// Rounds d half away from zero so that no digit below 10^-decimals remains.
void round_at(Decimal &d, int decimals) {
    if (d.is_zero()) return;
    d.round_significant(static_cast<long>(d.exponent) + 1 + decimals);
    d.strip_trailing_zeros();
}

// ---- Output helpers ---------------------------------------------------------------------------

bool is_hour_letter(char c) {
    return c == 'h' || c == 'H';
}
bool is_marker_letter(char c) {
    return c == 'M' || c == 'm' || c == 'A' || c == 'a' || c == 'P';
}
bool is_hour_node(const Node &node) {
    return node.kind == NodeKind::Plain && is_hour_letter(node.ch);
}

void push_reversed(Output &out, const char *text, size_t n) {
    for (size_t i = n; i-- > 0;)
        out.push(text[i]);
}

// The time of day of the number as the hours and AM/PM markers show it, worked out when the
// first of them needs it.
class Clock {
  public:
    explicit Clock(const FormatNumber &number) : number_(number) {}
    // The time of day is known already (the date fields hold it for the same number).
    void know(double seconds) {
        seconds_ = seconds;
        known_ = true;
    }
    double seconds() {
        if (!known_) {
            seconds_ =
                datetime::serial_time(datetime::serial_for_text(serial_of(number_))) * 86400.0;
            known_ = true;
        }
        return seconds_;
    }

  private:
    const FormatNumber &number_;
    bool known_ = false;
    double seconds_ = 0.0;
};

// The text of a Field node: into digits, or a host word.
size_t node_field_text(const ParsedSection &parsed, const Node &node, char (&digits)[24],
                       const char **text) {
    return field_text(static_cast<DateField>(node.ch), parsed.date, digits, text);
}

// The integer digits produced so far and the group separators between them.
struct IntegerDigits {
    const Digits &digits;
    Output &out;
    size_t left;    // digits of the number not yet placed
    char separator; // NUL: no grouping
    int group = 0;  // digits placed in the current group of three
    bool placed = false;
    void emit(char digit) {
        if (separator != '\0' && placed && group == 3) {
            out.push(separator);
            group = 0;
        }
        out.push(digit);
        ++group;
        placed = true;
    }
    void next(char placeholder) {
        if (left > 0)
            emit(digits.integer[--left]);
        else if (placeholder == '0')
            emit('0');
    }
    void rest() {
        while (left > 0)
            emit(digits.integer[--left]);
    }
};

char grouping_separator(const FormatState &state) {
    return state.grouping ? ZrIntlGetThousandSeperator() : '\0';
}

void integer_part(const ParsedSection &parsed, const Digits &digits, Clock &clock, Output &out) {
    const FormatState &state = parsed.state;
    IntegerDigits integer{digits, out, digits.integer.size(), grouping_separator(state)};
    bool sign = digits.negative && state.section != 2; // the negative section shows its own
    bool pm = false;
    int placeholders = 0;
    for (size_t i = parsed.cut; i-- > 0;) {
        const Node &node = parsed.nodes[i];
        switch (node.kind) {
        case NodeKind::Literal:
            out.push(node.ch);
            break;
        case NodeKind::Silent:
            break;
        case NodeKind::Marker: {
            // The AM/PM text stands where its token was written.
            const char *words = am_pm_text(node.ch, is_pm(clock.seconds()));
            push_reversed(out, words, std::strlen(words));
            break;
        }
        case NodeKind::Field: {
            char field[24];
            const char *text = nullptr;
            size_t length = node_field_text(parsed, node, field, &text);
            push_reversed(out, text, length);
            break;
        }
        case NodeKind::Digit:
            integer.next(node.ch);
            if (++placeholders == state.integer_count) {
                // The leftmost placeholder takes every digit left, and the sign goes before it.
                integer.rest();
                if (sign) out.push('-');
            }
            break;
        case NodeKind::Plain:
            if (is_hour_letter(node.ch)) {
                int count = 1;
                if (i > 0 && is_hour_node(parsed.nodes[i - 1])) {
                    count = 2;
                    --i;
                }
                char text[8];
                push_reversed(out, text,
                              hour_text(clock.seconds(), count, state.has_ampm, text, &pm));
            } else if (!is_marker_letter(node.ch)) {
                out.push(node.ch);
            }
            break;
        }
    }
    out.reverse();
}

void fraction_part(const ParsedSection &parsed, const Digits &digits, Clock &clock, Output &out) {
    size_t next = 0;
    const size_t n = parsed.nodes.size();
    for (size_t i = parsed.cut; i < n; ++i) {
        const Node &node = parsed.nodes[i];
        switch (node.kind) {
        case NodeKind::Silent:
            break;
        case NodeKind::Digit:
            if (next < digits.fraction.size())
                out.push(digits.fraction[next++]);
            else if (node.ch == '0')
                out.push('0');
            break;
        case NodeKind::Plain:
            if (is_hour_letter(node.ch)) {
                int count = 1;
                if (i + 1 < n && is_hour_node(parsed.nodes[i + 1])) {
                    count = 2;
                    ++i;
                }
                char text[8];
                bool pm = false;
                out.append(text,
                           hour_text(clock.seconds(), count, parsed.state.has_ampm, text, &pm));
                break;
            }
            out.push(node.ch);
            break;
        case NodeKind::Field: {
            char field[24];
            const char *text = nullptr;
            size_t length = node_field_text(parsed, node, field, &text);
            out.append(text, length);
            break;
        }
        default: // literals, and marker letters, which show as themselves here
            out.push(node.ch);
            break;
        }
    }
}

// The number of hour nodes in the run that starts at node i.
size_t hour_run(const ParsedSection &parsed, size_t i) {
    size_t n = 0;
    while (i + n < parsed.nodes.size() && is_hour_node(parsed.nodes[i + n]))
        ++n;
    return n;
}

// Appends a short text byte by byte (a field's digits: cheaper than a call to copy them).
void push_short(Output &out, const char *text, size_t n) {
    for (size_t i = 0; i < n; ++i)
        out.push(text[i]);
}

// A section without digit placeholders (a date, a time, text): the nodes left to right. This is
// what integer_part writes for it, without building it backwards: its hours pair from the right
// of a run, so a run of odd length starts with a one-letter hour.
void text_part(const ParsedSection &parsed, Clock &clock, Output &out) {
    const size_t n = parsed.nodes.size();
    for (size_t i = 0; i < n; ++i) {
        const Node &node = parsed.nodes[i];
        switch (node.kind) {
        case NodeKind::Marker: {
            const char *words = am_pm_text(node.ch, is_pm(clock.seconds()));
            out.append(words, std::strlen(words));
            break;
        }
        case NodeKind::Field: {
            char field[24];
            const char *text = nullptr;
            size_t length = node_field_text(parsed, node, field, &text);
            push_short(out, text, length);
            break;
        }
        case NodeKind::Plain:
            if (is_hour_letter(node.ch)) {
                int count = hour_run(parsed, i) % 2 == 0 ? 2 : 1;
                i += static_cast<size_t>(count - 1);
                char text[8];
                bool pm = false;
                push_short(out, text,
                           hour_text(clock.seconds(), count, parsed.state.has_ampm, text, &pm));
            } else if (!is_marker_letter(node.ch)) {
                out.push(node.ch);
            }
            break;
        case NodeKind::Silent:
            break;
        default: // literals
            out.push(node.ch);
            break;
        }
    }
}

} // namespace

void decimal_of(const FormatNumber &number, Decimal &out) {
    char text[24];
    switch (number.tag) {
    case kTagDouble:
        general_digits(number.dbl, 15, out);
        return;
    case kTagSingle:
        general_digits(static_cast<double>(number.single), 7, out);
        return;
    case kTagCurrency: {
        // Exact: the count of ten-thousandths in decimal, with the point four places in.
        out.negative = number.currency < 0;
        uint64_t magnitude = out.negative ? 0 - static_cast<uint64_t>(number.currency)
                                          : static_cast<uint64_t>(number.currency);
        if (magnitude == 0) {
            out.negative = false;
            out.set_zero();
            return;
        }
        size_t n = unsigned_text(magnitude, 1, text);
        std::memcpy(out.digits, text, n);
        out.count = static_cast<int>(n);
        out.exponent = static_cast<int>(n) - 5;
        out.strip_trailing_zeros();
        return;
    }
    default:
        out.negative = false;
        out.set_zero();
        return;
    }
}

void round_digits(const Decimal &decimal, int shift, int decimals, Digits &out) {
    Decimal d = decimal;
    d.exponent = decimal.exponent + shift;
    round_at(d, decimals);
    out.integer.clear();
    out.fraction.clear();
    // The places 10^exponent down to 10^0: the stored digits, then zeros.
    const long places = d.is_zero() ? 0 : d.exponent + 1L;
    const long stored = places < d.count ? places : d.count;
    if (stored > 0) out.integer.append(d.digits, static_cast<size_t>(stored));
    for (long i = stored > 0 ? stored : 0; i < places; ++i)
        out.integer.push('0');
    for (int j = 0; j < decimals; ++j)
        out.fraction.push(d.digit_at(d.exponent + 1L + j));
    size_t n = out.fraction.size();
    while (n > 0 && out.fraction[n - 1] == '0')
        --n;
    out.fraction.shrink(n);
    out.negative = d.negative && !d.is_zero();
}

bool format_section(const ParsedSection &parsed, const FormatNumber &number, Output &out) {
    Digits digits;
    if (parsed.state.has_digits) {
        Decimal decimal;
        decimal_of(number, decimal);
        round_digits(decimal, parsed.shift, parsed.state.fraction_count, digits);
        if (!digits.integer.ok() || !digits.fraction.ok()) return false;
    }
    Clock clock(number);
    if (!parsed.state.has_digits && parsed.cut == parsed.nodes.size()) {
        // Without digits nothing scaled the number, so the date fields read the same one.
        if (parsed.layout.has_fields) clock.know(parsed.date.seconds);
        text_part(parsed, clock, out);
        return out.ok();
    }
    integer_part(parsed, digits, clock, out);
    fraction_part(parsed, digits, clock, out);
    return out.ok();
}

} // namespace brtl::format
