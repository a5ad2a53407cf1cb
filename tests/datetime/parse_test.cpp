// The date and time parser under the default locale (month-day-year, "/" and ":"), with the
// English words: the date forms, the time forms, the three kinds, the rejected texts, traps and
// ownership of the text argument.
#include <string>

#include "brtl/variant.h"
#include "date_fixture.h"
#include "datetime/calendar.h"

using namespace brtl_test;

namespace {

class ParseTest : public DateTest {
  protected:
    // Puts the library clock on a known day, so that dates without a year are predictable.
    void set_today(int32_t day, int32_t month, int32_t year) {
        ASSERT_EQ(ZrIntlSetSystemDate(day, month, year), 0);
    }
};

} // namespace

TEST_F(ParseTest, NumericDatesFollowTheMonthDayYearOrder) {
    const double jan2 = civil_serial(1996, 1, 2);
    EXPECT_TRUE(parses_to("1/2/96", kBoth, jan2));
    EXPECT_TRUE(parses_to("1-2-1996", kBoth, jan2));
    EXPECT_TRUE(parses_to("1 2 96", kBoth, jan2));
    EXPECT_TRUE(parses_to("  1/2/96  ", kBoth, jan2));
    // A first number above 31 is a year: year-month-day.
    EXPECT_TRUE(parses_to("96/1/2", kBoth, jan2));
    EXPECT_TRUE(parses_to("1996-1-2", kBoth, jan2));
    // Two-digit years are 1900-1999; four digits are taken as they are.
    EXPECT_TRUE(parses_to("12/31/00", kBoth, civil_serial(1900, 12, 31)));
    EXPECT_TRUE(parses_to("12/31/2000", kBoth, civil_serial(2000, 12, 31)));
    EXPECT_TRUE(parses_to("2/29/1600", kDate, civil_serial(1600, 2, 29)));
    EXPECT_TRUE(rejected("13/2/96", kBoth)); // month 13
    EXPECT_TRUE(rejected("2/29/1900", kBoth));
    EXPECT_TRUE(rejected("1/1/10000", kBoth));
    EXPECT_TRUE(rejected("1/1/99999999999", kBoth)); // beyond 32 bits
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, DatesWithoutAYearFallInTheClocksYear) {
    set_today(15, 6, 2001);
    EXPECT_TRUE(parses_to("1/2", kBoth, civil_serial(2001, 1, 2)));
    EXPECT_TRUE(parses_to("Jan 5", kBoth, civil_serial(2001, 1, 5)));
    EXPECT_TRUE(parses_to("5 January", kBoth, civil_serial(2001, 1, 5)));
    // A year-first date without a day is the first of the month.
    EXPECT_TRUE(parses_to("1996/3", kBoth, civil_serial(1996, 3, 1)));
    EXPECT_TRUE(parses_to("1996 Mar", kBoth, civil_serial(1996, 3, 1)));
    // A number followed by a time separator is no year with a month name...
    EXPECT_TRUE(parses_to("Jan 5 10:30", kBoth, civil_serial(2001, 1, 5, 10, 30, 0)));
    // ...but is one in the numeric forms: «1/2 10:30» has the year 10 and a stray «:30».
    EXPECT_TRUE(rejected("1/2 10:30", kBoth));
    EXPECT_TRUE(parses_to("1/2 10", kDate, civil_serial(1910, 1, 2)));
}

TEST_F(ParseTest, MonthNamesInEveryPosition) {
    const double jan5 = civil_serial(1996, 1, 5);
    EXPECT_TRUE(parses_to("Jan 5, 1996", kBoth, jan5));
    EXPECT_TRUE(parses_to("January 5 1996", kBoth, jan5));
    EXPECT_TRUE(parses_to("5 January 1996", kBoth, jan5));
    EXPECT_TRUE(parses_to("5-jan-96", kBoth, jan5));
    EXPECT_TRUE(parses_to("1996 Jan 5", kBoth, jan5));
    EXPECT_TRUE(parses_to("JANUARY 5 1996", kBoth, jan5));
    // Three letters or more that begin a month name; the first match wins.
    EXPECT_TRUE(parses_to("Sept 1 1996", kBoth, civil_serial(1996, 9, 1)));
    EXPECT_TRUE(parses_to("Jun 1 1996", kBoth, civil_serial(1996, 6, 1)));
    EXPECT_TRUE(rejected("Ma 1 1996", kBoth)); // two letters: compared with AM and PM only
    EXPECT_TRUE(rejected("Feb 30 1996", kBoth));
    EXPECT_TRUE(rejected("Janx 5 1996", kBoth));
    // A word that is no month name is a separator: not at the start, not after another one.
    EXPECT_TRUE(rejected("Friday, Jan 5 1996", kBoth));
    EXPECT_TRUE(rejected("Jan 5 1996 at 10:30", kBoth));
    EXPECT_TRUE(rejected("5x1x1996", kBoth)); // a letter separator is no date separator
    // A month name that is neither first nor third gives no date.
    EXPECT_TRUE(rejected("5 1 Jan", kBoth));
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, TimesWithAndWithoutAmPm) {
    EXPECT_TRUE(parses_to("10:30", kTime, hms(10, 30, 0)));
    EXPECT_TRUE(parses_to("10:30:15", kTime, hms(10, 30, 15)));
    EXPECT_TRUE(parses_to("10:30:15 PM", kTime, hms(22, 30, 15)));
    EXPECT_TRUE(parses_to("10:30pm", kTime, hms(22, 30, 0)));
    EXPECT_TRUE(parses_to("10:30 a", kTime, hms(10, 30, 0)));
    EXPECT_TRUE(parses_to("12 AM", kTime, 0.0));
    EXPECT_TRUE(parses_to("12:15 AM", kTime, hms(0, 15, 0)));
    EXPECT_TRUE(parses_to("12 PM", kTime, hms(12, 0, 0)));
    EXPECT_TRUE(parses_to("0 PM", kTime, hms(12, 0, 0)));
    EXPECT_TRUE(parses_to("11 P", kTime, hms(23, 0, 0)));
    EXPECT_TRUE(parses_to("10", kTime, hms(10, 0, 0)));
    EXPECT_TRUE(parses_to("23:59:59", kTime, hms(23, 59, 59)));
    EXPECT_TRUE(rejected("13 PM", kTime));
    EXPECT_TRUE(rejected("25:00", kTime));
    EXPECT_TRUE(rejected("24", kTime));
    EXPECT_TRUE(rejected("10:60", kTime));
    EXPECT_TRUE(rejected("10:30:60", kTime));
    EXPECT_TRUE(rejected("10:30:", kTime));
    EXPECT_TRUE(rejected("10:30-15", kTime)); // the seconds need the same separator
    EXPECT_TRUE(rejected("10:30 15", kTime));
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, TheThreeKinds) {
    const double jan5 = civil_serial(1996, 1, 5);
    // Kind 2: the date and its time; a time alone is a time on day 0.
    EXPECT_TRUE(parses_to("Jan 5 1996 10:30", kBoth, jan5 + hms(10, 30, 0)));
    EXPECT_TRUE(parses_to("1/2/96 10:30", kBoth, civil_serial(1996, 1, 2) + hms(10, 30, 0)));
    EXPECT_TRUE(parses_to("10:30", kBoth, hms(10, 30, 0)));
    // Before day 0 the time still reads forward from midnight.
    EXPECT_TRUE(parses_to("1/1/1800 6:00", kBoth, civil_serial(1800, 1, 1) - 0.25));
    // Kind 1: a date alone.
    EXPECT_TRUE(parses_to("Jan 5 1996", kDate, jan5));
    EXPECT_TRUE(rejected("Jan 5 1996 10:30", kDate));
    EXPECT_TRUE(rejected("10:30", kDate));
    // Kind 0: the time; a date alone is midnight; a date and a time give the time.
    EXPECT_TRUE(parses_to("1/2/96", kTime, 0.0));
    EXPECT_TRUE(parses_to("1/2/96 10:30", kTime, hms(10, 30, 0)));
    EXPECT_TRUE(rejected("10:30 1/2/96", kTime));
    EXPECT_TRUE(rejected("10:30 xyz", kTime));
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, SeparatorsThatBreakTheText) {
    EXPECT_TRUE(rejected("1//2", kBoth));
    EXPECT_TRUE(rejected("/1/2", kBoth));
    EXPECT_TRUE(rejected("", kBoth));
    EXPECT_TRUE(rejected("    ", kBoth));
    EXPECT_TRUE(rejected(",", kBoth));
    // A separator after a space replaces it; a space after a separator is dropped.
    EXPECT_TRUE(parses_to("1 /2 / 96", kBoth, civil_serial(1996, 1, 2)));
    EXPECT_TRUE(parses_to("10 : 30", kTime, hms(10, 30, 0)));
    // 256 tokens are read; 257 are too many.
    std::string many;
    for (int i = 0; i < 128; ++i)
        many += "1,";
    EXPECT_EQ(many.size(), 256u);
    EXPECT_TRUE(rejected(many, kBoth)); // 256 tokens: read, but no date
    EXPECT_TRUE(rejected(many + "1", kBoth));
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, NotAcceptedRaisesTrapFiveUnlessQuiet) {
    VARIANT v = parse("13/2/96", kBoth, false);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    clear_traps();
    v = parse("13/2/96", kBoth, true);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_TRUE(traps().empty());
    set_mode(HookMode::Throw);
    BlockBalance balance;
    EXPECT_THROW(parse("no date", kBoth, false), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(ParseTest, ALoneHourUnderStrictLimitsRaisesTrapFiveEvenQuietly) {
    host().strict_limits = true;
    VARIANT v = parse("10", kTime, true);
    EXPECT_EQ(v.vt, VT_EMPTY);
    // One report for the call: the lone hour, not a second trap for the text.
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    clear_traps();
    v = parse("10", kTime, false);
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    // An hour with minutes, or with AM/PM, is no lone number.
    clear_traps();
    EXPECT_TRUE(parses_to("10:30", kTime, hms(10, 30, 0)));
    EXPECT_TRUE(parses_to("10 PM", kTime, hms(22, 0, 0)));
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, AKindOutsideZeroToTwoIsAnInternalError) {
    for (int32_t kind : {3, -1}) {
        clear_traps();
        VARIANT v = parse("1/2/96", kind, false);
        EXPECT_EQ(v.vt, VT_EMPTY);
        EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
    }
}

TEST_F(ParseTest, TheTextArgumentIsReleasedOnEveryPath) {
    parse("Jan 5 1996", kBoth); // the host's words are read once; read them before counting
    BlockBalance balance;
    parse("Jan 5 1996 10:30", kBoth);
    parse("not a date", kBoth);
    parse("not a date", kBoth, false);
    EXPECT_EQ(balance.delta(), 0);
    Borrowed borrowed("1/2/96");
    VARIANT v{};
    ZbiParseDateAndTime(&v, borrowed.get(), kBoth, 1);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_TRUE(borrowed.intact());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(ParseTest, DateValueDropsTheTimeAndTimeValueTheDate) {
    VARIANT v{};
    ZbiBuiltIn_DateValue(&v, temp("Jan 5, 1996 10:30 AM"));
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, civil_serial(1996, 1, 5));
    ZbiBuiltIn_DateValue(&v, temp("12/29/1899 6:00"));
    EXPECT_EQ(v.date, -1.0);
    ZbiBuiltIn_TimeValue(&v, temp("1/2/96"));
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, 0.0);
    ZbiBuiltIn_TimeValue(&v, temp("1/2/96 10:30:15 PM"));
    EXPECT_EQ(v.date, hms(22, 30, 15));
    EXPECT_TRUE(traps().empty());

    ZbiBuiltIn_DateValue(&v, temp("Friday"));
    EXPECT_EQ(v.vt, VT_EMPTY);
    ZbiBuiltIn_TimeValue(&v, temp("25:00"));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}, {5, Family::Trap, ""}}));
}

TEST_F(ParseTest, ParsedDatesAgreeWithTheCalendarAcrossTheYears) {
    // Every 97th day of the valid years, written as text and read back (three- and four-digit
    // years are taken as they are).
    long mismatches = 0;
    for (double serial = brtl::kFirstValidSerial; serial <= brtl::kLastValidSerial; serial += 97) {
        brtl::Ymd d = brtl::serial_to_ymd(serial);
        std::string text =
            std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + std::to_string(d.year);
        VARIANT v = parse(text, kDate);
        if (v.vt != VT_DATE || v.date != civil_serial(d.year, d.month, d.day)) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}
