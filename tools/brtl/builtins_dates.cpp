// Dates and times: serials, the clock, parsing, parts and intervals.
#include "builtins.h"

namespace brtl_host {
namespace {

void date_serial(Call &c) {
    ZbiBuiltIn_DateSerial(c.out(), c.i32(0), c.i32(1), c.i32(2));
}
void time_serial(Call &c) {
    ZbiBuiltIn_TimeSerial(c.out(), c.i32(0), c.i32(1), c.i32(2));
}
template <VARIANT *(*F)(VARIANT *, BiString)> void from_text_(Call &c) {
    F(c.out(), c.str(0));
}

void date_add(Call &c) {
    c.reject_arrays();
    int32_t count = c.i32(1);
    OwnedBiString interval(c.str(0));
    ZbiBuiltIn_DateAdd(c.out(), interval.release(), count, c.take(2));
}
void date_diff(Call &c) {
    c.reject_arrays();
    OwnedBiString interval(c.str(0));
    VARIANT d1 = c.take(1), d2 = c.take(2);
    ZbiBuiltIn_DateDiff(c.out(), interval.release(), d1, d2);
}
void date_part(Call &c) {
    c.reject_arrays();
    OwnedBiString interval(c.str(0));
    ZbiBuiltIn_DatePart(c.out(), interval.release(), c.take(1));
}

} // namespace

const BuiltinTable &date_builtins() {
    static const BuiltinTable rows = {
        {"DateSerial", "ZbiBuiltIn_DateSerial", 3, 3, date_serial},
        {"TimeSerial", "ZbiBuiltIn_TimeSerial", 3, 3, time_serial},
        {"Now", "ZbiBuiltIn_Now", 0, 0, call_v<ZbiBuiltIn_Now>},
        {"Timer", "ZbiBuiltIn_Timer", 0, 0, call_v<ZbiBuiltIn_Timer>},
        {"Date", "ZbiBuiltIn_Date", 0, 0, call_v<ZbiBuiltIn_Date>},
        {"Date$", "ZbiBuiltIn_Date_", 0, 0, call_s<ZbiBuiltIn_Date_>},
        {"Time", "ZbiBuiltIn_Time", 0, 0, call_v<ZbiBuiltIn_Time>},
        {"Time$", "ZbiBuiltIn_Time_", 0, 0, call_s<ZbiBuiltIn_Time_>},
        {"TimeValue", "ZbiBuiltIn_TimeValue", 1, 1, from_text_<ZbiBuiltIn_TimeValue>},
        {"DateValue", "ZbiBuiltIn_DateValue", 1, 1, from_text_<ZbiBuiltIn_DateValue>},
        {"Day", "ZbiBuiltIn_Day", 1, 1, call_v_v<ZbiBuiltIn_Day>},
        {"Month", "ZbiBuiltIn_Month", 1, 1, call_v_v<ZbiBuiltIn_Month>},
        {"Year", "ZbiBuiltIn_Year", 1, 1, call_v_v<ZbiBuiltIn_Year>},
        {"WeekDay", "ZbiBuiltIn_WeekDay", 1, 1, call_v_v<ZbiBuiltIn_WeekDay>},
        {"Hour", "ZbiBuiltIn_Hour", 1, 1, call_v_v<ZbiBuiltIn_Hour>},
        {"Minute", "ZbiBuiltIn_Minute", 1, 1, call_v_v<ZbiBuiltIn_Minute>},
        {"Second", "ZbiBuiltIn_Second", 1, 1, call_v_v<ZbiBuiltIn_Second>},
        {"DateAdd", "ZbiBuiltIn_DateAdd", 3, 3, date_add},
        {"DateDiff", "ZbiBuiltIn_DateDiff", 3, 3, date_diff},
        {"DatePart", "ZbiBuiltIn_DatePart", 2, 2, date_part},
    };
    return rows;
}

} // namespace brtl_host
