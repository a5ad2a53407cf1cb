// The driver of the format engine: ZbiBuiltIn_Format_ classifies the value, chooses between the
// plain conversion, the string formats and the numeric and date sections, loads the value as a
// format number and runs the section through the parser and the output stages.
#include <array>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string_view>

#include "brtl/datetime.h"
#include "brtl/format.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "brtl/variant.h"
#include "format/engine.h"
#include "format/plain.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"

namespace brtl::format {

namespace {

constexpr char kMarker = 0x7F;
constexpr double kFirstSerial = -657434.99998843; // 1 January 100
constexpr double kLastSerial = 2958465.99998843;  // 31 December 9999
constexpr const char *kGeneralNumber = "General Number";

// The line the consistency check reports when a numeric text converts to an unexpected type.
constexpr int32_t kNumericTextCheckLine = 4727;

bool is_date_variant(int32_t kind, const void *value) {
    return kind == BI_FORMAT_VARIANT && static_cast<const VARIANT *>(value)->vt == VT_DATE;
}

// What a character of a format says about it being a string format.
enum class Decides : uint8_t { Nothing, String, NotString, Multibyte };

constexpr std::array<Decides, 256> decision_table() {
    std::array<Decides, 256> table{};
    for (unsigned char c : std::string_view("!&<>@"))
        table[c] = Decides::String;
    for (unsigned char c : std::string_view("#%./0:cdhmnqstwy"))
        table[c] = Decides::NotString;
    for (unsigned char c : std::string_view("Eeg"))
        table[c] = Decides::Multibyte;
    return table;
}
constexpr std::array<Decides, 256> kDecisions = decision_table();

// Decides between the string formats and the numeric and date formats: the first character
// that decides wins; a format in which nothing decides is not a string format. A double-byte
// character decides nothing (its trail byte may look like a letter).
bool is_string_format(const char *f, size_t n) {
    if (n == 0) return true;
    bool multibyte = platform::mb_cur_max() > 1;
    for (size_t i = 0; i < n; ++i) {
        auto c = static_cast<unsigned char>(f[i]);
        if (multibyte && platform::is_lead_byte(c)) {
            ++i;
            continue;
        }
        switch (kDecisions[c]) {
        case Decides::String:
            return true;
        case Decides::NotString:
            return false;
        case Decides::Multibyte:
            if (multibyte) return false;
            break;
        case Decides::Nothing:
            if (c == 'a' && multibyte && n >= 3 && std::strncmp(f, "aaa", 3) == 0) return false;
            if (c == '\\') ++i;
            break;
        }
    }
    return false;
}

// The value as the numeric and date stages see it, with the kind and value the plain
// conversion falls back on (a numeric or date text is replaced by what it converts to).
struct Loaded {
    FormatNumber number;
    int32_t kind;
    const void *value;
};

enum class Load { Number, OwnText, Trapped };

Load load_string(const VARIANT *v, variant::OwnedVariant &converted, Loaded &out) {
    variant::OwnedVariant probe;
    if (BiXVariantCopy(probe.get(), v) != S_OK) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return Load::Trapped;
    }
    bool numeric = ZbiBuiltIn_IsNumeric(probe.take()) != 0; // IsNumeric clears its argument
    if (numeric) {
        if (BiXVariantCopy(converted.get(), v) != S_OK) {
            runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
            return Load::Trapped;
        }
        ZbiVariantCvtToNum(converted.get(), converted.get());
        switch (converted->vt) {
        case VT_I2:
            out.number.tag = kTagSingle;
            out.number.single = static_cast<float>(converted->iVal);
            break;
        case VT_I4:
            out.number.tag = kTagDouble;
            out.number.dbl = static_cast<double>(converted->lVal);
            break;
        case VT_R8:
            out.number.tag = kTagDouble;
            out.number.dbl = converted->dblVal;
            break;
        case VT_EMPTY: // the conversion raised its trap
            return Load::Trapped;
        default:
            runtime::raise_fatal(kNumericTextCheckLine);
            return Load::Trapped;
        }
    } else {
        ZbiParseDateAndTime(converted.get(), ZbiEvalCvtVS(*v, 0), 2, 1);
        if (converted->vt != VT_DATE) return Load::OwnText;
        out.number.tag = kTagDouble;
        out.number.dbl = converted->date;
    }
    out.kind = BI_FORMAT_VARIANT;
    out.value = converted.get();
    return Load::Number;
}

Load load_variant(const VARIANT *v, variant::OwnedVariant &converted, Loaded &out) {
    FormatNumber &n = out.number;
    switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
        n.tag = kTagNull;
        return Load::Number;
    case VT_I2:
    case VT_BOOL: // a Boolean formats as the Integer -1 or 0, as the Variant conversion passes it
        n.tag = kTagSingle;
        n.single = static_cast<float>(v->iVal);
        return Load::Number;
    case VT_I4:
        n.tag = kTagDouble;
        n.dbl = static_cast<double>(v->lVal);
        return Load::Number;
    case VT_R4:
        n.tag = kTagSingle;
        n.single = v->fltVal;
        return Load::Number;
    case VT_R8:
    case VT_DATE:
        n.tag = kTagDouble;
        n.dbl = v->dblVal;
        return Load::Number;
    case VT_CY:
        n.tag = kTagCurrency;
        n.currency = v->cyVal;
        return Load::Number;
    case VT_BSTR:
        return load_string(v, converted, out);
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_VARIANT:
    case VT_UNKNOWN: // no number to format
        runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
        return Load::Trapped;
    default:
        runtime::raise_trap(BI_TRAP_UNSUPPORTED);
        return Load::Trapped;
    }
}

Load load_number(int32_t kind, const void *value, variant::OwnedVariant &converted, Loaded &out) {
    out.kind = kind;
    out.value = value;
    FormatNumber &n = out.number;
    switch (kind) {
    case BI_FORMAT_VARIANT:
        return load_variant(static_cast<const VARIANT *>(value), converted, out);
    case BI_FORMAT_INTEGER:
        n.tag = kTagSingle;
        n.single = static_cast<float>(*static_cast<const int16_t *>(value));
        return Load::Number;
    case BI_FORMAT_LONG:
        n.tag = kTagDouble;
        n.dbl = static_cast<double>(*static_cast<const int32_t *>(value));
        return Load::Number;
    case BI_FORMAT_SINGLE:
        n.tag = kTagSingle;
        n.single = *static_cast<const float *>(value);
        return Load::Number;
    case BI_FORMAT_DOUBLE:
        n.tag = kTagDouble;
        n.dbl = *static_cast<const double *>(value);
        return Load::Number;
    case BI_FORMAT_CURRENCY:
        n.tag = kTagCurrency;
        n.currency = *static_cast<const int64_t *>(value);
        return Load::Number;
    default:
        runtime::raise_trap(BI_TRAP_UNSUPPORTED);
        return Load::Trapped;
    }
}

bool is_finite(const FormatNumber &n) {
    if (n.tag == kTagSingle) return std::isfinite(n.single);
    if (n.tag == kTagDouble) return std::isfinite(n.dbl);
    return true;
}

// A numeric or date format applied to a value of any kind: the value is loaded as a number (a
// string is converted first), then its section is chosen and laid out.
// The section of the format for the number (of length 0 for the plain conversion). plain tells
// whether the format may be marked plain once its layout is kept: no named format starts it,
// the names are settled and it has no ";".
Section section_for(const FormatNumber &number, const char *f, size_t n, bool &plain) {
    const char *given = f;
    const size_t given_length = n;
    const bool named = lookup_named_format(f, n, &f, &n);
    plain = !named && named_formats_settled() && std::memchr(given, ';', given_length) == nullptr;
    return select_section(number, f, n);
}

BiString format_number(int32_t kind, const void *value, const char *f, size_t n) {
    variant::OwnedVariant converted; // a number or Date made from a string, cleared at the end
    Loaded loaded{};
    switch (load_number(kind, value, converted, loaded)) {
    case Load::Number:
        break;
    case Load::OwnText:
        return ZbiEvalCvtVS(*static_cast<const VARIANT *>(value), 0);
    case Load::Trapped:
        return runtime::empty_string(true);
    }
    // Infinities and NaNs have no digits and no date: they keep their plain text.
    if (!is_finite(loaded.number)) return format_plain(loaded.kind, loaded.value, "", 0, false);

    FormatNumber number = loaded.number;
    ParsedSection parsed;
    Section section{f, n, 1};
    ParseStatus status = ParseStatus::Ok;
    if (number.tag != kTagNull && find_plain_layout(f, n, parsed)) {
        status = apply_number(number, parsed); // a plain format is its own section
    } else {
        bool plain = false;
        section = section_for(number, f, n, plain);
        if (section.length == 0) return format_plain(loaded.kind, loaded.value, "", 0, false);
        if (const char *answer = answer_text(section, number))
            return runtime::temporary_copy(answer);
        status = parse_section(section.text, section.length, number, parsed);
        if (status == ParseStatus::Ok && plain) mark_plain_format(f, n);
    }
    switch (status) {
    case ParseStatus::Ok:
        break;
    case ParseStatus::Rejected:
        return runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    case ParseStatus::Failed:
        return runtime::empty_string(true);
    }
    parsed.state.section = section.number;
    Output out;
    if (!format_section(parsed, number, out))
        return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    return runtime::temporary_copy(out.data(), out.size());
}

} // namespace

// The format of a Date with no format: the short date, the long time, or both; "General Number"
// outside the years 100 to 9999 (and for a serial that is no number).
const char *default_date_format(double serial) {
    if (!std::isfinite(serial)) return kGeneralNumber;
    double whole = std::trunc(serial);
    double fraction = serial - whole;
    if (whole < kFirstSerial || whole > kLastSerial) return kGeneralNumber;
    bool date_shown = std::fabs(whole) > DBL_EPSILON;
    bool time_shown = std::fabs(fraction) > DBL_EPSILON;
    bool am_pm = ZrIntlGetTimeFomat() == 0;
    if (date_shown && !time_shown) return "ddddd";
    if (date_shown) return am_pm ? "ddddd ttttt AM/PM" : "ddddd ttttt";
    return am_pm ? "ttttt AM/PM" : "ttttt";
}

} // namespace brtl::format

extern "C" {

BRTL_API BiString ZbiBuiltIn_Format_(int32_t kind, const void *value, BiString format) {
    using namespace brtl::format;
    brtl::runtime::OwnedString owned(format); // a temporary format is released when the call ends
    const char *f = owned.data();
    size_t n = owned.size();
    bool date = is_date_variant(kind, value);
    bool marker = n == 1 && f[0] == kMarker;
    if (date && (marker || n == 0)) {
        f = default_date_format(static_cast<const VARIANT *>(value)->date);
        n = std::strlen(f);
        // Out of the date range a Date shows its serial (the plain conversion the named format
        // "General Number" stands for), whatever the host calls that format.
        if (f == kGeneralNumber) return format_plain(kind, value, "", 0, marker);
    } else if (marker) {
        return format_plain(kind, value, "", 0, true);
    }
    if (is_string_format(f, n))
        return format_plain(kind, value, f, static_cast<uint32_t>(n), false);
    return format_number(kind, value, f, n);
}

} // extern "C"
