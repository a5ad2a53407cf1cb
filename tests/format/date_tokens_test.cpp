// Date and time tokens with the default locale (short date mm/dd/yy, long date mmmm dd, yyyy,
// time separator ":", 12-hour clock, no leading zero) and the English host words.
#include <cmath>
#include <string>

#include "format_fixture.h"

namespace brtl_test {
namespace {

using DateTokensTest = FormatTest;

const double kJan5 = jan5_1996_140709();

// Serial of a day and time, counted independently of the library: 1 January 1996 is day 35065
// (25 leap days and 96 years after 30 December 1899, checked against the weekday below).
double serial(int day_of_1996, int hour, int minute, int second) {
    return 35064.0 + day_of_1996 + (hour * 3600 + minute * 60 + second) / 86400.0;
}

TEST_F(DateTokensTest, DayMonthYear) {
    EXPECT_EQ(format_date(kJan5, "d/m/yy"), "5/1/96");
    EXPECT_EQ(format_date(kJan5, "dd/mm/yyyy"), "05/01/1996");
    EXPECT_EQ(format_date(kJan5, "mmm d, yyyy"), "Jan 5, 1996");
    EXPECT_EQ(format_date(kJan5, "mmmm"), "January");
    EXPECT_EQ(format_date(kJan5, "dddd"), "Friday");
    EXPECT_EQ(format_date(kJan5, "ddd"), "Fri");
    EXPECT_EQ(format_date(kJan5, "yy"), "96");
    EXPECT_EQ(format_date(kJan5, "yyy"), "965"); // yy, then the day of the year
    EXPECT_EQ(format_date(kJan5, "yyyy"), "1996");
    EXPECT_EQ(format_date(kJan5, "YYYY-MM-DD"), "1996-01-05");
    EXPECT_EQ(format_date(kJan5, "dd \"of\" mmmm"), "05 of January");
    EXPECT_EQ(format_date(kJan5, "ddddddd"), "January 05, 19965"); // dddddd, then d
    EXPECT_TRUE(traps().empty());
}

TEST_F(DateTokensTest, WeekdayWeekDayOfYearQuarter) {
    EXPECT_EQ(format_date(kJan5, "w"), "6");
    EXPECT_EQ(format_date(kJan5, "ww"), "1");
    EXPECT_EQ(format_date(kJan5, "y"), "5");
    EXPECT_EQ(format_date(kJan5, "q"), "1");
    EXPECT_EQ(format_date(serial(7, 0, 0, 0), "w dddd"), "1 Sunday");
    EXPECT_EQ(format_date(serial(35, 0, 0, 0), "ww"), "5");
    EXPECT_EQ(format_date(serial(366, 0, 0, 0), "y q d mmm yyyy"), "366 4 31 Dec 1996");
    EXPECT_EQ(format_date(serial(214, 0, 0, 0), "q mmmm d"), "3 August 1"); // 1 August 1996
    EXPECT_EQ(format_date(kJan5, "aaaa aaa"), "Friday Fri");
    // Letters that only look like tokens are plain: C, N, Q and W, and a lone "a".
    EXPECT_EQ(format_date(kJan5, "d Q W N C"), "5 Q W N C");
}

TEST_F(DateTokensTest, HoursMinutesSeconds) {
    EXPECT_EQ(format_date(kJan5, "h:nn:ss"), "14:07:09");
    EXPECT_EQ(format_date(kJan5, "hh:mm"), "14:07"); // m after an hour is the minute
    EXPECT_EQ(format_date(kJan5, "h:nn AM/PM"), "2:07 PM");
    EXPECT_EQ(format_date(kJan5, "hh:nn a/p"), "02:07 p");
    EXPECT_EQ(format_date(kJan5, "h:nn am/pm"), "2:07 pm");
    EXPECT_EQ(format_date(kJan5, "h:nn A/P"), "2:07 P");
    EXPECT_EQ(format_date(kJan5, "h:nn aM/Pm"), "2:07 pm"); // the first letter picks the case
    EXPECT_EQ(format_date(kJan5, "n s"), "7 9");
    EXPECT_EQ(format_date(kJan5, "mm h mm m"), "01 14 07 1"); // the hour turns one m into minutes
    EXPECT_EQ(format_date(kJan5, "h:ss:m"), "14:09:7");
    EXPECT_EQ(format_date(serial(5, 9, 5, 0), "h:nn"), "9:05");
    EXPECT_EQ(format_date(serial(5, 0, 0, 0) + 0.5, "hh AM/PM"), "12 PM");
}

TEST_F(DateTokensTest, Midnight) {
    const double midnight = serial(5, 0, 0, 0);
    EXPECT_EQ(format_date(midnight, "h"), "00");
    EXPECT_EQ(format_date(midnight, "n"), "00");
    EXPECT_EQ(format_date(midnight, "s"), "00");
    EXPECT_EQ(format_date(midnight, "h AM/PM"), "12 AM");
    EXPECT_EQ(format_date(midnight, "hh:nn:ss"), "00:00:00");
}

TEST_F(DateTokensTest, RoundingToTheSecond) {
    // 23:59:59.6 rounds to 24:00:00, as the Hour, Minute and Second builtins read it.
    const double late = 35069.0 + 86399.6 / 86400.0;
    EXPECT_EQ(format_date(late, "hh:nn:ss"), "24:00:00");
    EXPECT_EQ(format_date(late, "h AM/PM"), "12 PM");
    const double almost = 35069.0 + (10 * 3600 + 20 * 60 + 29.75) / 86400.0;
    EXPECT_EQ(format_date(almost, "h:nn:ss"), "10:20:30");
}

TEST_F(DateTokensTest, AmPmStandsWhereItIsWritten) {
    EXPECT_EQ(format_date(kJan5, "AM/PM h:nn"), "PM 2:07");
    EXPECT_EQ(format_date(kJan5, "h AM/PM \\x"), "2 PM x");
    EXPECT_EQ(format_date(kJan5, "nn AM/PM"), "07 PM");
    EXPECT_EQ(format_date(kJan5, "h AMPM"), "2 PM"); // AMPM shows the host's words
    EXPECT_EQ(format_date(serial(5, 9, 0, 0), "h ampm"), "9 AM");
}

TEST_F(DateTokensTest, LocalePatternTokens) {
    EXPECT_EQ(format_date(kJan5, "ttttt"), "14:07:09");
    EXPECT_EQ(format_date(serial(5, 9, 5, 0), "ttttt"), "9:05:00"); // no leading zero by default
    EXPECT_EQ(format_date(kJan5, "ddddd"), "01/05/96");
    EXPECT_EQ(format_date(serial(5, 0, 0, 0) + 1827, "ddddd"), "01/05/2001"); // outside 1900-1999
    EXPECT_EQ(format_date(kJan5, "dddddd"), "January 05, 1996");
    EXPECT_EQ(format_date(kJan5, "c"), "01/05/96 2:07:09 PM");
    EXPECT_EQ(format_date(serial(5, 0, 0, 0), "c"), "01/05/96");
    EXPECT_EQ(format_date(0.75, "c"), "6:00:00 PM");
    EXPECT_EQ(format_date(0.0, "c"), "12:00:00 AM");
    EXPECT_EQ(format_date(serial(5, 0, 0, 0), "c x"), "01/05/96x"); // one space after c dropped
    EXPECT_EQ(format_date(kJan5, "[ttttt]"), "[14:07:09]");
}

TEST_F(DateTokensTest, DigitsAndDecimalPointsInDateSectionsAreText) {
    EXPECT_EQ(format_date(kJan5, "d 0#"), "5 0#");
    EXPECT_EQ(format_date(kJan5, "d.m"), "5.1");
    EXPECT_EQ(format_date(kJan5, "d,0"), "5,0");
    EXPECT_EQ(format_date(kJan5, "d%"), "5%");
    EXPECT_TRUE(traps().empty());
}

TEST_F(DateTokensTest, DatesBeforeDayZero) {
    EXPECT_EQ(format_date(-1.25, "yyyy-mm-dd hh:nn"), "1899-12-29 06:00");
    EXPECT_EQ(format_date(-657434.0, "d mmmm yyyy dddd"), "1 January 100 Friday");
    EXPECT_EQ(format_date(2958465.0, "d mmmm yyyy dddd"), "31 December 9999 Friday");
    EXPECT_EQ(format_date(-693959.0, "d/m/yyyy"), "1/1/0"); // the proleptic year 0
}

TEST_F(DateTokensTest, OtherTypesReadAsSerials) {
    EXPECT_EQ(format(35069.5, "dd/mm/yyyy hh:nn"), "05/01/1996 12:00");
    EXPECT_EQ(format_currency(350695000, "dd/mm/yyyy hh:nn"), "05/01/1996 12:00");
    EXPECT_EQ(format_single(0.25f, "hh:nn"), "06:00");
    EXPECT_EQ(format_long(35069, "dddd"), "Friday");
    EXPECT_EQ(format(null_variant(), "0;0;0;hh:nn"), "00:00"); // the Null section: serial 0
}

TEST_F(DateTokensTest, CalendarTokensOutsideTheCalendarRaiseTrapFive) {
    EXPECT_EQ(format_date(2e7, "hh:nn"), "00:00"); // the time of day needs no calendar
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(format_date(2e7, "yyyy"), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    clear_traps();
    EXPECT_EQ(format(-1e300, "dddd"), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
}

TEST_F(DateTokensTest, RejectedDateSections) {
    for (const char *f : {"t", "tt", "tttt", "tttttt", "d e", "hh:nn E+0", "\"d"}) {
        clear_traps();
        EXPECT_EQ(format_date(kJan5, f), "") << f;
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}})) << f;
    }
}

TEST_F(DateTokensTest, DefaultFormatOfDates) {
    EXPECT_EQ(format_date(serial(5, 0, 0, 0), ""), "01/05/96");
    EXPECT_EQ(format_date(kJan5, ""), "01/05/96 2:07:09 PM");
    EXPECT_EQ(format_date(0.0, ""), "12:00:00 AM");
    EXPECT_EQ(format_date(0.5, ""), "12:00:00 PM");
    EXPECT_EQ(format_date(-0.25, ""), "6:00:00 AM");
    EXPECT_EQ(format_date(serial(5, 0, 0, 0) + 3653, ""), "01/05/2006");
    // Outside the years 100 to 9999 a Date shows its serial.
    EXPECT_EQ(format_date(2958466.0, ""), "2958466");
    EXPECT_EQ(format_date(-657435.5, ""), "-657435.5");
    EXPECT_EQ(format_date(NAN, ""), format(NAN, ""));
    EXPECT_TRUE(traps().empty());
}

TEST_F(DateTokensTest, NamedDateFormats) {
    EXPECT_EQ(format_date(kJan5, "General Date"), "01/05/96 2:07:09 PM");
    EXPECT_EQ(format_date(kJan5, "Long Date"), "January 05, 1996");
    EXPECT_EQ(format_date(kJan5, "Medium Date"), "Jan/05/96");
    EXPECT_EQ(format_date(kJan5, "Short Date"), "01/05/96");
    EXPECT_EQ(format_date(kJan5, "Long Time"), "2:07:09 PM");
    EXPECT_EQ(format_date(kJan5, "Medium Time"), "02:07 PM");
    EXPECT_EQ(format_date(kJan5, "Short Time"), "14:07");
    EXPECT_EQ(format_date(kJan5, "short time"), "14:07"); // names match without regard to case
    EXPECT_EQ(format(jan5_1996_140709(), "Short Date"), "01/05/96");
}

} // namespace
} // namespace brtl_test
