// Date and time tokens with the default locale (short date mm/dd/yy, long date mmmm dd, yyyy,
// time separator ":", 12-hour clock, no leading zero) and the English host words.
#include <cmath>
#include <string>

#include "format_fixture.h"

namespace brtl_test {
namespace {

using DateTokensTest = FormatTest;

const VARIANT jan5 = date(kJan5);

// A Date in 1996, counted independently of the library: 1 January 1996 is day 35065 (25 leap
// days and 96 years after 30 December 1899, checked against the weekday below).
VARIANT at(int day_of_1996, int hour = 0, int minute = 0, double second = 0) {
    return date(35064.0 + day_of_1996 + (hour * 3600 + minute * 60 + second) / 86400.0);
}

TEST_F(DateTokensTest, DayMonthYearWeekQuarter) {
    // "yyy" is yy, then the day of the year; "ddddddd" is dddddd, then d. Letters that only look
    // like tokens (C, N, Q, W) are plain.
    expect_formats(F{jan5, "d/m/yy", "5/1/96"}, F{jan5, "dd/mm/yyyy", "05/01/1996"},
                   F{jan5, "mmm d, yyyy", "Jan 5, 1996"}, F{jan5, "mmmm", "January"},
                   F{jan5, "dddd", "Friday"}, F{jan5, "ddd", "Fri"}, F{jan5, "yy", "96"},
                   F{jan5, "yyy", "965"}, F{jan5, "yyyy", "1996"},
                   F{jan5, "YYYY-MM-DD", "1996-01-05"}, F{jan5, "dd \"of\" mmmm", "05 of January"},
                   F{jan5, "ddddddd", "January 05, 19965"}, F{jan5, "w", "6"}, F{jan5, "ww", "1"},
                   F{jan5, "y", "5"}, F{jan5, "q", "1"}, F{at(7), "w dddd", "1 Sunday"},
                   F{at(35), "ww", "5"}, F{at(366), "y q d mmm yyyy", "366 4 31 Dec 1996"},
                   F{at(214), "q mmmm d", "3 August 1"}, F{jan5, "aaaa aaa", "Friday Fri"},
                   F{jan5, "d Q W N C", "5 Q W N C"});
}

TEST_F(DateTokensTest, HoursMinutesSecondsAndAmPm) {
    // "m" after an hour is the minute; the first letter of AM/PM picks the case, the token
    // stands where it is written, and AMPM shows the host's words. 23:59:59.6 rounds to the next
    // day's midnight (the Hour builtin alone reads it as 24). Hours pair from the right of a run:
    // "hhh" is h, then hh.
    expect_formats(
        F{jan5, "h:nn:ss", "14:07:09"}, F{jan5, "hh:mm", "14:07"}, F{jan5, "h:nn AM/PM", "2:07 PM"},
        F{jan5, "hh:nn a/p", "02:07 p"}, F{jan5, "h:nn am/pm", "2:07 pm"},
        F{jan5, "h:nn A/P", "2:07 P"}, F{jan5, "h:nn aM/Pm", "2:07 pm"}, F{jan5, "n s", "7 9"},
        F{jan5, "mm h mm m", "01 14 07 1"}, F{jan5, "h:ss:m", "14:09:7"},
        F{at(5, 9, 5), "h:nn", "9:05"}, F{at(5, 12), "hh AM/PM", "12 PM"}, F{at(5), "h", "00"},
        F{at(5), "n", "00"}, F{at(5), "s", "00"}, F{at(5), "h AM/PM", "12 AM"},
        F{at(5), "hh:nn:ss", "00:00:00"}, F{at(5, 23, 59, 59.6), "hh:nn:ss", "00:00:00"},
        F{at(5, 23, 59, 59.6), "h AM/PM", "12 AM"}, F{at(5, 10, 20, 29.75), "h:nn:ss", "10:20:30"},
        F{jan5, "AM/PM h:nn", "PM 2:07"}, F{jan5, "h AM/PM \\x", "2 PM x"},
        F{jan5, "nn AM/PM", "07 PM"}, F{jan5, "h AMPM", "2 PM"}, F{at(5, 9), "h ampm", "9 AM"},
        F{at(5, 9, 5), "hhh", "909"}, F{at(5, 9, 5), "hhhhh:n", "90909:5"});
}

TEST_F(DateTokensTest, LocalePatternsAndDefaultText) {
    // No leading zero on the hour by default; the short date widens outside 1900-1999; "c"
    // drops one space after it. Outside the years 100 to 9999 a Date shows its serial.
    expect_formats(F{jan5, "ttttt", "14:07:09"}, F{at(5, 9, 5), "ttttt", "9:05:00"},
                   F{jan5, "ddddd", "01/05/96"}, F{at(1832), "ddddd", "01/05/2001"},
                   F{jan5, "dddddd", "January 05, 1996"}, F{jan5, "c", "01/05/96 2:07:09 PM"},
                   F{at(5), "c", "01/05/96"}, F{date(0.75), "c", "6:00:00 PM"},
                   F{date(0.0), "c", "12:00:00 AM"}, F{at(5), "c x", "01/05/96x"},
                   F{jan5, "[ttttt]", "[14:07:09]"}, F{at(5), "", "01/05/96"},
                   F{jan5, "", "01/05/96 2:07:09 PM"}, F{date(0.0), "", "12:00:00 AM"},
                   F{date(0.5), "", "12:00:00 PM"}, F{date(-0.25), "", "6:00:00 AM"},
                   F{at(3658), "", "01/05/2006"}, F{date(2958466.0), "", "2958466"},
                   F{date(-657435.5), "", "-657435.5"},
                   F{jan5, "General Date", "01/05/96 2:07:09 PM"},
                   F{jan5, "Long Date", "January 05, 1996"}, F{jan5, "Medium Date", "Jan/05/96"},
                   F{jan5, "Short Date", "01/05/96"}, F{jan5, "Long Time", "2:07:09 PM"},
                   F{jan5, "Medium Time", "02:07 PM"}, F{jan5, "Short Time", "14:07"},
                   F{jan5, "short time", "14:07"}, F{kJan5, "Short Date", "01/05/96"});
    // The last half second of a day rounds to the next day's midnight in the date as well as in
    // the time, so the text names one moment.
    const VARIANT last = date(35424.999999); // 25 December 1996, 23:59:59.91
    expect_formats(F{last, "General Date", "12/26/96"}, F{last, "Long Time", "12:00:00 AM"},
                   F{last, "mm/dd/yy hh:nn:ss AM/PM", "12/26/96 12:00:00 AM"},
                   F{last, "dddd h", "Thursday 00"},
                   F{date(-1.999999), "", "12/30/1899 12:00:00 AM"},
                   F{date(35424.99999), "c", "12/25/96 11:59:59 PM"});
    EXPECT_EQ(format(date(NAN), ""), format(NAN, ""));
}

TEST_F(DateTokensTest, OtherValuesCalendarLimitsAndRejectedSections) {
    // Digits and decimal points in date sections are text; other types read as serials (the
    // Null section as serial 0); years before 1899 and the proleptic year 0. The time of day
    // needs no calendar, but the calendar tokens outside it raise trap 5.
    expect_formats(F{jan5, "d 0#", "5 0#"}, F{jan5, "d.m", "5.1"}, F{jan5, "d,0", "5,0"},
                   F{jan5, "d%", "5%"}, F{35069.5, "dd/mm/yyyy hh:nn", "05/01/1996 12:00"},
                   F{C(350695000), "dd/mm/yyyy hh:nn", "05/01/1996 12:00"},
                   F{S(0.25f), "hh:nn", "06:00"}, F{L(35069), "dddd", "Friday"},
                   F{null_variant(), "0;0;0;hh:nn", "00:00"},
                   F{date(-1.25), "yyyy-mm-dd hh:nn", "1899-12-29 06:00"},
                   F{date(-657434.0), "d mmmm yyyy dddd", "1 January 100 Friday"},
                   F{date(2958465.0), "d mmmm yyyy dddd", "31 December 9999 Friday"},
                   F{date(-693959.0), "d/m/yyyy", "1/1/0"}, F{date(2e7), "hh:nn", "00:00"},
                   F{date(2e7), "yyyy", "", 5}, F{-1e300, "dddd", "", 5});
    for (const char *f : {"t", "tt", "tttt", "tttttt", "d e", "hh:nn E+0", "\"d"})
        expect_format(F{jan5, f, "", 5});
}

} // namespace
} // namespace brtl_test
