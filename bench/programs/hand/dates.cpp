// dates.bas by hand: a walk of 600,000 days from 1 January 1900, one DateAdd a day: counts the
// working days, the month ends and the Fridays the 13th, formats each day two ways and sums the
// lengths and the day numbers read back from the text, and checks the walk against DateDiff in
// days and months. Prints the counts and sums.
//
// The Dates are Variants of subtype Date, as the library's date functions take and give them. A
// Date owns nothing, so it is passed by copying the Variant; the Dates the library returns are
// kept as they come (they already are Dates). Weekday's result is read from its Variant into the
// Integer it is assigned to; the results that are compared (Month with Month, DateDiff with a
// Long) are compared as the Variants they are, through the library's operator table.
#include "hand.h"

namespace {

constexpr int32_t kDays = 600000;

void program() {
    using brtl::rt::concat;
    VARIANT start, d, next_day, result;
    VariantInit(&start);
    VariantInit(&next_day);
    VariantInit(&result);
    int32_t workdays = 0, month_ends = 0, fridays = 0, chars = 0, day_digits = 0, off_by = 0;
    BiString text = brtl::rt::empty_string();

    ZbiBuiltIn_DateSerial(&start, 1900, 1, 1);
    d = start;
    for (int32_t i = 1; i <= kDays; i = hand::add(i, 1)) {
        ZbiBuiltIn_DateAdd(&next_day, hand::text("d"), 1, d);
        int16_t wd = hand::integer_of(*ZbiBuiltIn_WeekDay(&result, d));
        if (wd != 7 && wd != 1) workdays = hand::add(workdays, 1);
        VARIANT next_month, month;
        ZbiBuiltIn_Month(&next_month, next_day);
        ZbiBuiltIn_Month(&month, d);
        if (hand::differ(next_month, month)) month_ends = hand::add(month_ends, 1);
        brtl::rt::assign(text, ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &d, hand::text("yyyy-mm-dd")));
        chars = hand::add(chars, static_cast<int32_t>(BiStringLength(text)));
        day_digits = hand::to_long(
            hand::add_double(day_digits, ZbiBuiltIn_Val(ZbiBuiltIn_RightC_(text, 2))));
        brtl::rt::assign(text,
                         ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &d, hand::text("ddd d mmm yyyy")));
        chars = hand::add(chars, static_cast<int32_t>(BiStringLength(text)));
        if (hand::equals(ZbiBuiltIn_LeftC_(text, 6), "Fri 13")) fridays = hand::add(fridays, 1);
        ZbiBuiltIn_DateDiff(&result, hand::text("d"), start, d);
        if (hand::differ(result, brtl::rt::to_var(hand::sub(i, 1)))) off_by = hand::add(off_by, 1);
        d = next_day;
    }
    int32_t months = hand::long_of(*ZbiBuiltIn_DateDiff(&result, hand::text("m"), start, d));

    BiString line = concat(hand::text("checksum dates "),
                           ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &d, hand::text("yyyy-mm-dd")));
    for (int32_t n : {workdays, month_ends, fridays, chars, day_digits, off_by, months}) {
        line = concat(line, hand::text(" "));
        line = concat(line, hand::cstr(n));
    }
    brtl::rt::print_item(line);
    brtl::rt::console_newline();

    brtl::rt::release(text);
}

} // namespace

int main() {
    return hand::run(program);
}
