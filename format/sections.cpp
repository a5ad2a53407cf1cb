// The choice of a format section: the comparison of the format number with a whole number and
// the split of a format into up to four sections (positive, negative, zero, Null).
#include <cfloat>
#include <cmath>
#include <cstring>

#include "brtl/numeric.h"
#include "format/engine.h"
#include "platform/codepage.h"
#include "runtime/hooks.h"

namespace brtl::format {

namespace {

int compare_within(double value, double n, double tolerance) {
    double difference = value - n;
    if (std::fabs(difference) <= tolerance) return 0;
    return difference > 0 ? 1 : -1;
}

// The line the consistency check reports for a format number of an unknown type.
constexpr int32_t kCompareCheckLine = 238;

constexpr size_t kMaxSections = 4;

} // namespace

int compare_format_number(const FormatNumber &number, int32_t n) {
    switch (number.tag) {
    case kTagSingle:
        return compare_within(static_cast<double>(number.single), n, FLT_EPSILON);
    case kTagDouble:
        return compare_within(number.dbl, n, DBL_EPSILON);
    case kTagCurrency: {
        int32_t c = ZbiCmpCurNum(number.currency, ZbiCvtLngCurNum(n));
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case kTagNull:
        return n == 0 ? 0 : (n > 0 ? 1 : -1);
    default:
        runtime::raise_fatal(kCompareCheckLine);
        return 0;
    }
}

double serial_of(const FormatNumber &number) {
    switch (number.tag) {
    case kTagSingle:
        return static_cast<double>(number.single);
    case kTagDouble:
        return number.dbl;
    case kTagCurrency:
        return ZbiCvtCurNumDbl(number.currency);
    default:
        return 0.0;
    }
}

Section select_section(const FormatNumber &number, const char *format, size_t length) {
    // Sections end at a ";" that is neither escaped by a backslash nor inside double quotes; a
    // double-byte character is one unit, so a trail byte never escapes or ends anything.
    Section sections[kMaxSections];
    size_t count = 0, start = 0;
    // Without a ";" the whole format is the one section (the common case, found by memchr).
    size_t scan = std::memchr(format, ';', length) != nullptr ? length : 0;
    bool quoted = false;
    bool multibyte = platform::mb_cur_max() > 1;
    for (size_t i = 0; i < scan && count < kMaxSections; ++i) {
        unsigned char c = static_cast<unsigned char>(format[i]);
        if (multibyte && platform::is_lead_byte(c) && i + 1 < length) {
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == '\\') {
            if (i + 1 < length && multibyte &&
                platform::is_lead_byte(static_cast<unsigned char>(format[i + 1])))
                ++i;
            ++i;
        } else if (c == ';') {
            sections[count].text = format + start;
            sections[count].length = i - start;
            ++count;
            start = i + 1;
        }
    }
    if (count < kMaxSections && start <= length) {
        sections[count].text = format + start;
        sections[count].length = length - start;
        ++count;
    }
    auto present = [&](size_t i) { return i < count && sections[i].length > 0; };

    Section chosen = sections[0];
    chosen.number = 1;
    if (number.tag == kTagNull) {
        chosen = present(3) ? sections[3] : Section{format, 0, 4};
        chosen.number = 4;
        return chosen;
    }
    int sign = compare_format_number(number, 0);
    if (sign < 0 && present(1)) {
        chosen = sections[1];
        chosen.number = 2;
    } else if (sign == 0 && present(2)) {
        chosen = sections[2];
        chosen.number = 3;
    }
    return chosen;
}

} // namespace brtl::format
