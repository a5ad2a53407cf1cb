// The section parser: walks a numeric or date section once from left to right and turns it into
// nodes (digit placeholders, literals, plain characters, AM/PM markers) and the format state;
// then applies percent and thousands scaling and lays out the exponent of the scientific form.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "brtl/datetime.h"
#include "brtl/numeric.h"
#include "datetime/calendar.h"
#include "format/digits.h"
#include "format/parser.h"
#include "platform/codepage.h"
#include "runtime/hooks.h"

namespace brtl::format {

namespace {

// The line the consistency check reports when a number of an unknown type is scaled.
constexpr int32_t kScaleCheckLine = 284;

constexpr BiCurrency kCurrencyHundred = 100 * 10000;
constexpr BiCurrency kCurrencyThousand = 1000 * 10000;

char decimal_separator(SeparatorsRead &read) {
    char separator = ZrIntlGetDecimalSeperator();
    read.decimal = true;
    read.decimal_value = separator;
    return separator != '\0' ? separator : '.'; // an empty setting must not put a NUL in the text
}

char date_or_time_separator(char c, SeparatorsRead &read) {
    if (c == '/') {
        read.date = true;
        read.date_value = ZrIntlGetDateSeperator();
        return read.date_value;
    }
    read.time = true;
    read.time_value = ZrIntlGetTimeSeperator();
    return read.time_value;
}

bool is_placeholder(char c) {
    return c == '#' || c == '0';
}

// True when an AM/PM token (AM/PM, am/pm, A/P, a/p, AMPM) starts at p.
bool starts_am_pm(const char *p, const char *end) {
    if (*p != 'A' && *p != 'a') return false;
    auto lower = [](char c) { return platform::to_lower(static_cast<unsigned char>(c)); };
    size_t left = static_cast<size_t>(end - p);
    return (left >= 5 && lower(p[1]) == 'm' && p[2] == '/' && lower(p[3]) == 'p' &&
            lower(p[4]) == 'm') ||
           (left >= 4 && lower(p[1]) == 'm' && lower(p[2]) == 'p' && lower(p[3]) == 'm') ||
           (left >= 3 && p[1] == '/' && lower(p[2]) == 'p');
}

void fix_mantissa(Parser &ps) {
    if (ps.mantissa_integer < 0) ps.mantissa_integer = ps.placeholders;
}

ParseStatus comma(Parser &ps, bool after_placeholder) {
    if (!after_placeholder) {
        ps.plain(',');
        ++ps.p;
        return ParseStatus::Ok;
    }
    if (ps.out.state.has_decimal) return ParseStatus::Rejected; // in the fraction part
    if (ps.p + 1 < ps.end && is_placeholder(ps.p[1])) {
        // Between placeholders: grouping in the mantissa, a scaling comma after the exponent.
        if (!ps.exponent) {
            ps.out.state.grouping = true;
        } else {
            if (ps.percents > 0) return ParseStatus::Rejected;
            ++ps.scalings;
        }
        ++ps.p;
        return ParseStatus::Ok;
    }
    for (; ps.p < ps.end && *ps.p == ','; ++ps.p) { // a run of scaling commas
        if (ps.percents > 0) return ParseStatus::Rejected;
        ++ps.scalings;
    }
    return ParseStatus::Ok;
}

ParseStatus exponent_letter(Parser &ps) {
    if (ps.date_mode || ps.exponent || ps.placeholders == 0 || ps.p + 1 >= ps.end ||
        (ps.p[1] != '+' && ps.p[1] != '-'))
        return ParseStatus::Rejected;
    ps.exponent = true;
    fix_mantissa(ps);
    ps.plain(ps.p[0]);
    ps.sign_node = ps.out.nodes.size();
    ps.plain(ps.p[1]);
    ps.p += 2;
    ps.placeholders = 0; // from here on they are the exponent's digits
    return ParseStatus::Ok;
}

ParseStatus quoted(Parser &ps) {
    const char *close = static_cast<const char *>(
        std::memchr(ps.p + 1, '"', static_cast<size_t>(ps.end - ps.p - 1)));
    if (close == nullptr) return ParseStatus::Rejected;
    ps.literal(ps.p + 1, static_cast<size_t>(close - ps.p - 1));
    ps.p = close + 1;
    return ParseStatus::Ok;
}

void escaped(Parser &ps) {
    ++ps.p;
    if (ps.p >= ps.end) return; // a backslash at the end is dropped
    bool lead = ps.multibyte && platform::is_lead_byte(static_cast<unsigned char>(*ps.p)) &&
                ps.p + 1 < ps.end;
    ps.literal(*ps.p++);
    if (lead) ps.literal(*ps.p++);
}

ParseStatus letter(Parser &ps) {
    if (!ps.out.state.has_digits) {
        switch (read_date_token(ps)) {
        case TokenResult::Done:
            return ParseStatus::Ok;
        case TokenResult::Rejected:
            return ParseStatus::Rejected;
        case TokenResult::Failed:
            return ParseStatus::Failed;
        case TokenResult::NotToken:
            break;
        }
    } else if (starts_am_pm(ps.p, ps.end)) {
        return ParseStatus::Rejected; // an AM/PM token after a digit placeholder
    }
    ps.plain(*ps.p++);
    return ParseStatus::Ok;
}

ParseStatus read_character(Parser &ps) {
    char c = *ps.p;
    bool after_placeholder = ps.after_placeholder;
    ps.after_placeholder = false;
    FormatState &state = ps.out.state;
    switch (c) {
    case '#':
    case '0':
        ++ps.p;
        if (ps.date_mode) {
            ps.literal(c);
            return ParseStatus::Ok;
        }
        ++ps.placeholders;
        if (state.has_decimal && !ps.exponent) ++state.fraction_count;
        state.has_digits = true;
        ps.out.nodes.push(Node{c, NodeKind::Digit});
        ps.after_placeholder = true;
        return ParseStatus::Ok;
    case '.':
        ++ps.p;
        if (ps.date_mode) {
            ps.plain('.');
            return ParseStatus::Ok;
        }
        state.has_decimal = true;
        state.has_digits = true;
        fix_mantissa(ps);
        ps.out.cut = ps.out.nodes.size(); // the last decimal point cuts the section
        ps.literal(decimal_separator(ps.layout().separators));
        return ParseStatus::Ok;
    case ',':
        return comma(ps, after_placeholder);
    case '%':
        if (ps.scalings > 0) return ParseStatus::Rejected;
        ++ps.percents;
        ps.plain(*ps.p++);
        return ParseStatus::Ok;
    case 'E':
    case 'e':
        if (ps.multibyte && !state.has_digits) return letter(ps); // the era year
        return exponent_letter(ps);
    case '/':
    case ':':
        ++ps.p;
        if (state.has_digits) {
            ps.plain(c);
        } else {
            ps.date_mode = true;
            char separator = date_or_time_separator(c, ps.layout().separators);
            if (separator != '\0') ps.literal(separator);
        }
        return ParseStatus::Ok;
    case '"':
        return quoted(ps);
    case '\\':
        escaped(ps);
        return ParseStatus::Ok;
    default:
        return letter(ps);
    }
}

// Percent scaling multiplies by 100 in the number's own type. Where the product would not be
// finite (1e307 with "0%") the number stays as it is and the digits move two places instead, so
// the text shows the exact scaled value rather than the digits of an infinity.
void scale(FormatNumber &number, int percents, int scalings, int32_t &shift) {
    for (int i = 0; i < percents; ++i) {
        switch (number.tag) {
        case kTagSingle:
            if (std::isfinite(number.single * 100.0f))
                number.single *= 100.0f;
            else
                shift += 2;
            break;
        case kTagDouble:
            if (std::isfinite(number.dbl * 100.0))
                number.dbl *= 100.0;
            else
                shift += 2;
            break;
        case kTagCurrency:
            number.currency = ZbiMulCurNum(number.currency, kCurrencyHundred);
            break;
        default: // Null has no number to scale
            break;
        }
    }
    for (int i = 0; i < scalings; ++i) {
        switch (number.tag) {
        case kTagSingle:
            number.single /= 1000.0f;
            break;
        case kTagDouble:
            number.dbl /= 1000.0;
            break;
        case kTagCurrency:
            number.currency = ZbiDivCurNum(number.currency, kCurrencyThousand);
            break;
        case kTagNull:
            break;
        default:
            runtime::raise_fatal(kScaleCheckLine);
            return;
        }
    }
}

// The scientific form: the exponent is the count of the number's digits before the point less
// the mantissa's integer placeholders; the exponent's placeholders become its digits.
void lay_out_exponent(const FormatNumber &number, ParsedSection &out) {
    const size_t sign_node = out.layout.sign_node;
    const int32_t mantissa_integer = out.state.integer_count;
    Decimal decimal;
    decimal_of(number, decimal);
    const int32_t scaled_shift = out.shift; // places the percent scaling moved the digits by
    decimal.exponent += scaled_shift;
    bool below_one = decimal.exponent < 0 || decimal.is_zero();
    int e = (below_one ? 0 : decimal.exponent + 1) - mantissa_integer;
    // A mantissa that rounds up to one more integer digit than it has placeholders (9.999 with
    // 0.00E+00) moves one more place: 1.00E+01, not 10.00E+00.
    for (int guard = 0; guard < 2; ++guard) {
        Digits mantissa;
        round_digits(decimal, -e, out.state.fraction_count, mantissa);
        if (mantissa.integer.size() <= static_cast<size_t>(mantissa_integer)) break;
        ++e;
    }
    out.shift = scaled_shift - e;

    Node &sign = out.nodes[sign_node];
    if (e < 0)
        sign.ch = '-';
    else if (sign.ch == '-')
        sign.kind = NodeKind::Silent;

    char digits[16];
    size_t digit_count =
        unsigned_text(static_cast<uint64_t>(e < 0 ? -static_cast<int64_t>(e) : e), 1, digits);
    size_t placeholders = 0;
    for (size_t i = sign_node + 1; i < out.nodes.size(); ++i)
        if (out.nodes[i].kind == NodeKind::Digit) ++placeholders;
    size_t used = 0, seen = 0, last = sign_node;
    for (size_t i = sign_node + 1; i < out.nodes.size(); ++i) {
        Node &node = out.nodes[i];
        if (node.kind != NodeKind::Digit) continue;
        size_t remaining = placeholders - seen++;
        if (remaining > digit_count) {
            node.kind = node.ch == '0' ? NodeKind::Literal : NodeKind::Silent;
        } else {
            node = Node{digits[used++], NodeKind::Literal};
        }
        last = i;
    }
    if (used < digit_count) { // digits the placeholders have no room for follow the last one
        Node rest[16];
        size_t n = 0;
        for (; used < digit_count; ++used)
            rest[n++] = Node{digits[used], NodeKind::Literal};
        out.nodes.insert(last + 1, rest, n);
        if (out.cut > last) out.cut += n;
    }
}

// Reads a section into nodes, the format state and its layout. Only the tokens that splice a
// pattern built from the number read the number here.
ParseStatus read_section(const char *text, size_t length, FormatNumber &number,
                         ParsedSection &out) {
    Parser ps(text, length, number, out);
    ps.multibyte = platform::mb_cur_max() > 1;
    while (ps.p < ps.end) {
        if (ps.multibyte && platform::is_lead_byte(static_cast<unsigned char>(*ps.p)) &&
            ps.p + 1 < ps.end) {
            ps.literal(ps.p, 2); // a double-byte character is text
            ps.p += 2;
            ps.after_placeholder = false;
            continue;
        }
        ParseStatus status = read_character(ps);
        if (status != ParseStatus::Ok) return status;
    }
    fix_mantissa(ps);
    FormatState &state = out.state;
    state.integer_count = ps.mantissa_integer;
    if (!state.has_decimal) out.cut = out.nodes.size();
    SectionLayout &layout = out.layout;
    layout.percents = ps.percents;
    layout.scalings = ps.scalings;
    layout.exponent = ps.exponent;
    layout.sign_node = ps.sign_node;
    layout.out_of_memory = ps.out_of_memory;
    return ParseStatus::Ok;
}

} // namespace

// The date fields come from the number as it comes, before any scaling.
ParseStatus apply_number(FormatNumber &number, ParsedSection &out) {
    const SectionLayout &layout = out.layout;
    if (layout.has_fields) {
        out.date = DateFields{};
        out.date.serial = datetime::serial_for_text(serial_of(number));
        out.date.seconds = datetime::serial_time(out.date.serial) * 86400.0;
        if (layout.reads_calendar && !load_calendar(out.date)) return ParseStatus::Failed;
    }
    if (out.state.has_digits) {
        scale(number, layout.percents, layout.scalings, out.shift);
        if (layout.exponent && out.nodes.ok()) lay_out_exponent(number, out);
    }
    if (layout.out_of_memory || !out.nodes.ok()) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return ParseStatus::Failed;
    }
    return ParseStatus::Ok;
}

ParseStatus parse_section(const char *text, size_t length, FormatNumber &number,
                          ParsedSection &out) {
    out.state = FormatState{};
    out.nodes.clear();
    out.cut = 0;
    out.shift = 0;
    out.layout = SectionLayout{};
    if (!find_layout(text, length, out)) {
        ParseStatus status = read_section(text, length, number, out);
        if (status != ParseStatus::Ok) return status;
        if (out.layout.kept && !out.layout.out_of_memory && out.nodes.ok())
            keep_layout(text, length, out);
    }
    return apply_number(number, out);
}

} // namespace brtl::format
