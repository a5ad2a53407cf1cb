// The parts of a date: Day, Month, Year, WeekDay, Hour, Minute, Second.
#include "brtl/datetime.h"
#include "brtl/variant.h"
#include "datetime/calendar.h"
#include "datetime/date_argument.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"

namespace brtl::datetime {

bool to_date_argument(VARIANT &arg, bool range_check) {
    if (arg.vt == VT_DATE) return true;
    // Should the conversion's trap leave by an exception, the argument is still released.
    variant::OwnedVariant owned(&arg);
    ZbiVariantCvtToDate(&arg, &arg, 0, range_check ? 1 : 0);
    if (arg.vt != VT_DATE) return false;
    owned.release();
    return true;
}

namespace {

enum class Part { Day, Month, Year, WeekDay, Hour, Minute, Second };

int32_t part_of(double serial, Part part) {
    switch (part) {
    case Part::Day:
        return serial_to_ymd(serial).day;
    case Part::Month:
        return serial_to_ymd(serial).month;
    case Part::Year:
        return serial_to_ymd(serial).year;
    case Part::WeekDay:
        return weekday_of_day(serial_day(serial));
    case Part::Hour:
        return hour_of(serial);
    case Part::Minute:
        return minute_of(serial);
    case Part::Second:
        return second_of(serial);
    }
    return 0;
}

// Null stays Null; anything else becomes a Date (by ZbiVariantCvtToDate with the range check)
// and then the Integer of its part, in the argument's own 16 bytes. After a trap whose hook
// returns the result is Empty.
VARIANT *date_part(VARIANT *result, VARIANT arg, Part part) {
    if (arg.vt == VT_NULL) {
        *result = arg;
        return result;
    }
    result->vt = VT_EMPTY;
    const uint64_t traps_before = runtime::traps_raised();
    if (!to_date_argument(arg, true)) return result;
    // Every part reads a serial the calendar can read: far out, even the fraction of a day is
    // lost to the double's precision. After the conversion's own range trap no second trap is
    // raised: a builtin raises at most one per call.
    if (!in_calendar_domain(arg.date)) {
        if (runtime::traps_raised() == traps_before) runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return result;
    }
    int32_t value = part_of(arg.date, part);
    *result = arg;
    result->vt = VT_I2;
    result->iVal = static_cast<int16_t>(value);
    return result;
}

} // namespace

} // namespace brtl::datetime

extern "C" {

BRTL_API VARIANT *ZbiBuiltIn_Day(VARIANT *result, VARIANT date) {
    return brtl::datetime::date_part(result, date, brtl::datetime::Part::Day);
}
BRTL_API VARIANT *ZbiBuiltIn_Month(VARIANT *result, VARIANT date) {
    return brtl::datetime::date_part(result, date, brtl::datetime::Part::Month);
}
BRTL_API VARIANT *ZbiBuiltIn_Year(VARIANT *result, VARIANT date) {
    return brtl::datetime::date_part(result, date, brtl::datetime::Part::Year);
}
BRTL_API VARIANT *ZbiBuiltIn_WeekDay(VARIANT *result, VARIANT date) {
    return brtl::datetime::date_part(result, date, brtl::datetime::Part::WeekDay);
}
BRTL_API VARIANT *ZbiBuiltIn_Hour(VARIANT *result, VARIANT date) {
    return brtl::datetime::date_part(result, date, brtl::datetime::Part::Hour);
}
BRTL_API VARIANT *ZbiBuiltIn_Minute(VARIANT *result, VARIANT date) {
    return brtl::datetime::date_part(result, date, brtl::datetime::Part::Minute);
}
BRTL_API VARIANT *ZbiBuiltIn_Second(VARIANT *result, VARIANT date) {
    return brtl::datetime::date_part(result, date, brtl::datetime::Part::Second);
}

} // extern "C"
