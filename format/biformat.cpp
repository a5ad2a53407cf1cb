// The driver of the format engine: ZbiBuiltIn_Format_ classifies the value, chooses between the
// plain conversion, the string formats and the numeric and date sections.
#include <cmath>
#include <cstring>

#include "brtl/datetime.h"
#include "brtl/format.h"
#include "format/plain.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/frame.h"

namespace brtl::format {

namespace {

constexpr char kMarker = 0x7F;
constexpr double kEpsilon = 2.220446049250313e-16;
constexpr double kFirstSerial = -657434.99998843; // 1 January 100
constexpr double kLastSerial = 2958465.99998843;  // 31 December 9999

bool is_date_variant(int32_t kind, const void *value) {
    return kind == 1 && static_cast<const VARIANT *>(value)->vt == VT_DATE;
}

// Decides between the string formats and the numeric and date formats: the first character
// that decides wins; a format in which nothing decides is not a string format.
bool is_string_format(const char *f, uint32_t n) {
    if (n == 0) return true;
    bool multibyte = pf::mb_cur_max() > 1;
    for (uint32_t i = 0; i < n; ++i) {
        char c = f[i];
        if (std::strchr("!&<>@", c)) return true;
        if (std::strchr("#%./0:cdhmnqstwy", c)) return false;
        if ((c == 'E' || c == 'e' || c == 'g') && multibyte) return false;
        if (c == 'a' && multibyte && n >= 3 && std::strncmp(f, "aaa", 3) == 0) return false;
        if (c == '\\') ++i;
    }
    return false;
}

} // namespace

// The format of a Date with no format: the short date, the long time, or both; "General Number"
// outside the years 100 to 9999.
const char *default_date_format(double serial) {
    double whole = std::trunc(serial);
    double fraction = serial - whole;
    if (whole < kFirstSerial || whole > kLastSerial) return "General Number";
    bool date_shown = std::fabs(whole) > kEpsilon;
    bool time_shown = std::fabs(fraction) > kEpsilon;
    bool am_pm = ZrIntlGetTimeFomat() == 0;
    if (date_shown && !time_shown) return "ddddd";
    if (date_shown) return am_pm ? "ddddd ttttt AM/PM" : "ddddd ttttt";
    return am_pm ? "ttttt AM/PM" : "ttttt";
}

} // namespace brtl::format

extern "C" {

BRTL_API BiString ZbiBuiltIn_Format_(int32_t kind, const void *value, BiString format) {
    using namespace brtl::format;
    brtl::OwnedString owned(format);
    const char *f = owned.data();
    uint32_t n = owned.size();
    bool date = is_date_variant(kind, value);
    if (n == 1 && f[0] == kMarker) {
        if (!date) return format_plain(kind, value, "", 0, true);
        f = default_date_format(static_cast<const VARIANT *>(value)->date);
        n = static_cast<uint32_t>(std::strlen(f));
        if (std::strcmp(f, "General Number") == 0) return format_plain(1, value, f, n, true);
    } else if (date && n == 0) {
        f = default_date_format(static_cast<const VARIANT *>(value)->date);
        n = static_cast<uint32_t>(std::strlen(f));
    }
    if (is_string_format(f, n)) return format_plain(kind, value, f, n, false);
    // Numeric and date sections are not available yet.
    brtl::raise_trap(BI_TRAP_ILLEGAL_CALL);
    return brtl::empty_string(true);
}

} // extern "C"
