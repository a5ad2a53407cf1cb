// Dates and times: serials, the clock, parsing, parts and intervals.
#include "lang/builtins.h"

namespace brtl::basic {

const BuiltinTable &date_builtins() {
    static const BuiltinTable rows = {
        {"DateSerial", 3, 3, &BRTL_CALLABLE(ZbiBuiltIn_DateSerial)},
        {"TimeSerial", 3, 3, &BRTL_CALLABLE(ZbiBuiltIn_TimeSerial)},
        {"Now", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Now)},
        {"Timer", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Timer)},
        {"Date", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Date)},
        {"Date$", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Date_)},
        {"Time", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Time)},
        {"Time$", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Time_)},
        {"TimeValue", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_TimeValue)},
        {"DateValue", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_DateValue)},
        {"Day", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Day)},
        {"Month", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Month)},
        {"Year", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Year)},
        {"WeekDay", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_WeekDay)},
        {"Hour", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Hour)},
        {"Minute", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Minute)},
        {"Second", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Second)},
        {"DateAdd", 3, 3, &BRTL_CALLABLE(ZbiBuiltIn_DateAdd)},
        {"DateDiff", 3, 3, &BRTL_CALLABLE(ZbiBuiltIn_DateDiff)},
        {"DatePart", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_DatePart)},
    };
    return rows;
}

} // namespace brtl::basic
