// The date and time parser: the default locale (month-day-year, "/" and ":") with the date and
// time forms, the three kinds, rejected texts, traps and ownership of the text; other orders and
// separators, each in a newly started process (locale values are read once per process); and the
// multibyte rewrite of the Japanese code page with eras and unit markers.
#include "datetime/calendar.h"
#include "datetime/parse.h"

#include "date_fixture.h"
#include "harness/fresh_process.h"

using namespace brtl_test;

namespace {

class ParseTest : public DateTest {};

class MultibyteParseTest : public DateTest {
  protected:
    void SetUp() override {
        DateTest::SetUp();
        brtl_setlocale("Ja_JP");
    }
};

constexpr double kNo = kRejected;

} // namespace

TEST_F(ParseTest, DatesInTheDefaultOrder) {
    ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0); // the year of dates without one
    const double jan2 = ymd(1996, 1, 2), jan5 = ymd(1996, 1, 5);
    expect_parses({
        {"1/2/96", kBoth, jan2},
        {"1-2-1996", kBoth, jan2},
        {"1 2 96", kBoth, jan2},
        {"  1/2/96  ", kBoth, jan2},
        {"96/1/2", kBoth, jan2}, // a first number above 31 is a year: year-month-day
        {"1996-1-2", kBoth, jan2},
        {"12/31/00", kBoth, ymd(1900, 12, 31)}, // two-digit years are 1900-1999
        {"12/31/2000", kBoth, ymd(2000, 12, 31)},
        {"2/29/1600", kDate, ymd(1600, 2, 29)},
        {"13/2/96", kBoth, kNo},
        {"2/29/1900", kBoth, kNo},
        {"1/1/10000", kBoth, kNo},
        {"1/1/99999999999", kBoth, kNo}, // beyond 32 bits
        {"1/2", kBoth, ymd(2001, 1, 2)},
        {"Jan 5", kBoth, ymd(2001, 1, 5)},
        {"5 January", kBoth, ymd(2001, 1, 5)},
        {"1996/3", kBoth, ymd(1996, 3, 1)}, // year first without a day: the first
        {"1996 Mar", kBoth, ymd(1996, 3, 1)},
        // A number followed by a time separator is no year after a month name, but is one in
        // the numeric forms: «1/2 10:30» has the year 10 and a stray «:30».
        {"Jan 5 10:30", kBoth, ymd(2001, 1, 5, 10, 30, 0)},
        {"1/2 10:30", kBoth, kNo},
        {"1/2 10", kDate, ymd(1910, 1, 2)},
        // Month names: three letters or more that begin one, the first match winning; two
        // letters are compared with AM and PM only.
        {"Jan 5, 1996", kBoth, jan5},
        {"January 5 1996", kBoth, jan5},
        {"5 January 1996", kBoth, jan5},
        {"5-jan-96", kBoth, jan5},
        {"1996 Jan 5", kBoth, jan5},
        {"JANUARY 5 1996", kBoth, jan5},
        {"Sept 1 1996", kBoth, ymd(1996, 9, 1)},
        {"Jun 1 1996", kBoth, ymd(1996, 6, 1)},
        {"Ma 1 1996", kBoth, kNo},
        {"Feb 30 1996", kBoth, kNo},
        {"Janx 5 1996", kBoth, kNo},
        // A word that is no month name is a separator: not at the start, not after another one.
        {"Friday, Jan 5 1996", kBoth, kNo},
        {"Jan 5 1996 at 10:30", kBoth, kNo},
        {"5x1x1996", kBoth, kNo},
        {"5 1 Jan", kBoth, kNo}, // neither first nor third
        // Separators that break the text; a separator after a space replaces it, a space after
        // a separator is dropped.
        {"1//2", kBoth, kNo},
        {"/1/2", kBoth, kNo},
        {"", kBoth, kNo},
        {"    ", kBoth, kNo},
        {",", kBoth, kNo},
        {"1 /2 / 96", kBoth, jan2},
        {"10 : 30", kTime, hms(10, 30, 0)},
    });
    // 256 tokens are read (but are no date); 257 are too many.
    std::string many;
    for (int i = 0; i < 128; ++i)
        many += "1,";
    expect_parses({{many, kBoth, kNo}, {many + "1", kBoth, kNo}});
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, TimesAndTheThreeKinds) {
    const double jan5 = ymd(1996, 1, 5);
    expect_parses({
        {"10:30", kTime, hms(10, 30, 0)},
        {"10:30:15", kTime, hms(10, 30, 15)},
        {"10:30:15 PM", kTime, hms(22, 30, 15)},
        {"10:30pm", kTime, hms(22, 30, 0)},
        {"10:30 a", kTime, hms(10, 30, 0)},
        {"12 AM", kTime, 0.0},
        {"12:15 AM", kTime, hms(0, 15, 0)},
        {"12 PM", kTime, hms(12, 0, 0)},
        {"0 PM", kTime, hms(12, 0, 0)},
        {"11 P", kTime, hms(23, 0, 0)},
        {"10", kTime, hms(10, 0, 0)},
        {"23:59:59", kTime, hms(23, 59, 59)},
        {"13 PM", kTime, kNo},
        {"25:00", kTime, kNo},
        {"24", kTime, kNo},
        {"10:60", kTime, kNo},
        {"10:30:60", kTime, kNo},
        {"10:30:", kTime, kNo},
        {"10:30-15", kTime, kNo}, // the seconds need the same separator
        {"10:30 15", kTime, kNo},
        // Kind 2: the date and its time; a time alone is a time on day 0; before day 0 the
        // time still reads forward from midnight.
        {"Jan 5 1996 10:30", kBoth, jan5 + hms(10, 30, 0)},
        {"1/2/96 10:30", kBoth, ymd(1996, 1, 2) + hms(10, 30, 0)},
        {"10:30", kBoth, hms(10, 30, 0)},
        {"1/1/1800 6:00", kBoth, ymd(1800, 1, 1) - 0.25},
        // Kind 1: a date alone.
        {"Jan 5 1996", kDate, jan5},
        {"Jan 5 1996 10:30", kDate, kNo},
        {"10:30", kDate, kNo},
        // Kind 0: the time; a date alone is midnight; a date and a time give the time.
        {"1/2/96", kTime, 0.0},
        {"1/2/96 10:30", kTime, hms(10, 30, 0)},
        {"10:30 1/2/96", kTime, kNo},
        {"10:30 xyz", kTime, kNo},
    });
    EXPECT_TRUE(traps().empty());
    // DateValue drops the time and TimeValue the date.
    const std::tuple<decltype(&ZbiBuiltIn_DateValue), const char *, double> values[] = {
        {ZbiBuiltIn_DateValue, "Jan 5, 1996 10:30 AM", jan5},
        {ZbiBuiltIn_DateValue, "12/29/1899 6:00", -1.0},
        {ZbiBuiltIn_TimeValue, "1/2/96", 0.0},
        {ZbiBuiltIn_TimeValue, "1/2/96 10:30:15 PM", hms(22, 30, 15)},
    };
    for (auto [fn, text, expected] : values) {
        VARIANT v{};
        fn(&v, temp(text));
        EXPECT_EQ(v.vt, VT_DATE) << text;
        EXPECT_EQ(v.date, expected) << text;
    }
    EXPECT_TRUE(traps().empty());
    VARIANT v{};
    ZbiBuiltIn_DateValue(&v, temp("Friday"));
    EXPECT_EQ(v.vt, VT_EMPTY);
    ZbiBuiltIn_TimeValue(&v, temp("25:00"));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>(2, trap5[0])));
}

TEST_F(ParseTest, TrapsAndTheTextArgument) {
    // Not accepted: trap 5 unless quiet; a kind outside 0-2 is an internal error.
    parse("Jan 5 1996", kBoth); // the host's words are read once: before the counting below
    EXPECT_EQ(parse("13/2/96", kBoth, false).vt, VT_EMPTY);
    EXPECT_EQ(traps(), trap5);
    clear_traps();
    EXPECT_EQ(parse("13/2/96", kBoth, true).vt, VT_EMPTY);
    EXPECT_TRUE(traps().empty());
    for (int32_t kind : {3, -1}) {
        clear_traps();
        EXPECT_EQ(parse("1/2/96", kind, false).vt, VT_EMPTY);
        EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
    }
    // The text argument is released on every path, and a borrowed one only read.
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
    set_mode(HookMode::Throw);
    EXPECT_THROW(parse("no date", kBoth, false), TrapException);
    EXPECT_EQ(balance.delta(), 0);
    // A lone hour under the strict limits raises trap 5 even quietly, once for the call; an
    // hour with minutes, or with AM/PM, is no lone number.
    set_mode(HookMode::Return);
    host().strict_limits = true;
    for (bool quiet : {true, false}) {
        clear_traps();
        EXPECT_EQ(parse("10", kTime, quiet).vt, VT_EMPTY);
        EXPECT_EQ(traps(), trap5);
    }
    clear_traps();
    expect_parses({{"10:30", kTime, hms(10, 30, 0)}, {"10 PM", kTime, hms(22, 0, 0)}});
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, ParsedDatesAgreeWithTheCalendarAcrossTheYears) {
    // Every 97th day of the valid years, written as text and read back (three- and four-digit
    // years are taken as they are).
    long mismatches = 0;
    for (double serial = brtl::kFirstValidSerial; serial <= brtl::kLastValidSerial; serial += 97) {
        brtl::Ymd d = brtl::serial_to_ymd(serial);
        VARIANT v = parse(std::to_string(d.month) + "/" + std::to_string(d.day) + "/" +
                              std::to_string(d.year),
                          kDate);
        if (v.vt != VT_DATE || v.date != ymd(d.year, d.month, d.day)) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(ParseTest, DayMonthYearWithFullStops) {
    write_intl_profile("sShortDate=dd.MM.yyyy\nsTime=.\n");
    BRTL_IN_FRESH_PROCESS({
        // The full stop is also the time separator: 10.30 is no date (month 30), so a time. A
        // time separator after a number ends a month-name date before its year.
        expect_parses({{"5.1.1996", kBoth, ymd(1996, 1, 5)},
                       {"13/2/96", kBoth, ymd(1996, 2, 13)},
                       {"1/2/96", kBoth, ymd(1996, 2, 1)},
                       {"2/13/96", kBoth, kNo},
                       {"10.30", kTime, hms(10, 30, 0)},
                       {"10.30.15 PM", kTime, hms(22, 30, 15)},
                       {"10:30", kTime, hms(10, 30, 0)},
                       {"5.1.1996 10.30", kBoth, ymd(1996, 1, 5, 10, 30, 0)},
                       {"Jan 5 1996", kBoth, ymd(1996, 1, 5)},
                       {"5 Jan 1996 10.30", kBoth, ymd(1996, 1, 5, 10, 30, 0)}});
        EXPECT_TRUE(traps().empty());
    });
}

TEST_F(ParseTest, YearMonthDay) {
    write_intl_profile("sShortDate=yyyy-MM-dd\n");
    BRTL_IN_FRESH_PROCESS({
        // A last number above 31 is a year: back to month-day-year.
        expect_parses({{"1996-1-2", kBoth, ymd(1996, 1, 2)},
                       {"5/1/2", kBoth, ymd(1905, 1, 2)},
                       {"2/1/96", kBoth, ymd(1996, 2, 1)},
                       {"1996-2", kBoth, ymd(1996, 2, 1)},
                       {"5 January 12", kBoth, ymd(1912, 1, 5)}});
        EXPECT_TRUE(traps().empty());
        // A day before a month name with a year above 31 is ambiguous here: trap 5, even
        // quietly, and nothing is accepted.
        expect_parses({{"5 January 1996", kBoth, kNo}});
        EXPECT_EQ(traps(), trap5);
    });
}

TEST_F(ParseTest, OtherSeparatorCharacters) {
    write_intl_profile("sShortDate=MM|dd|yyyy\nsTime=h\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetDateSeperator(), '|');
        // A letter time separator is a word that matches nothing: a separator holding it.
        expect_parses({{"1|2|1996", kBoth, ymd(1996, 1, 2)},
                       {"1/2/1996", kBoth, ymd(1996, 1, 2)},
                       {"1.2.1996", kBoth, kNo},
                       {"10h30h15", kTime, hms(10, 30, 15)},
                       {"1|2|1996 10h30", kBoth, ymd(1996, 1, 2, 10, 30, 0)}});
        EXPECT_TRUE(traps().empty());
    });
}

TEST_F(ParseTest, APatternWithoutAnOrderIsAnInternalError) {
    write_intl_profile("sShortDate=dd/MM\n");
    BRTL_IN_FRESH_PROCESS({
        expect_parses({{"1/2/96", kDate, kNo}});
        EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
        clear_traps();
        // A first number above 31 is a year whatever the pattern: no order needed.
        expect_parses({{"40/1/2", kDate, ymd(1940, 1, 2)}, {"Jan 5 1996", kDate, ymd(1996, 1, 5)}});
        EXPECT_TRUE(traps().empty());
    });
}

TEST_F(MultibyteParseTest, UnitMarkersAndEras) {
    using namespace sjis;
    // The era names are kept once read (so this runs before any parse): a new process reads them
    // with a fifth one, which has no years.
    BRTL_IN_FRESH_PROCESS({
        const std::string fifth = "\x97\xdf\x98\x61";
        host().texts[-1125] = fifth;
        brtl_setlocale("Ja_JP");
        expect_parses(
            {{fifth + "2" + kYear + "1" + kMonth, kBoth, kNo},
             {kHeisei + "2" + kYear + "1" + kMonth + "1" + kDay, kBoth, ymd(1990, 1, 1)}});
    });
    const std::string jan5 = "1" + kMonth + "5" + kDay;
    expect_parses({
        {"1996" + kYear + jan5, kBoth, ymd(1996, 1, 5)},
        {"1996" + kYear + " 12" + kMonth + " 31" + kDay, kDate, ymd(1996, 12, 31)},
        {"10" + kHour + "30" + kMinute + "15" + kSecond, kTime, hms(10, 30, 15)},
        {"10" + kHour + "30" + kMinute, kTime, hms(10, 30, 0)},
        {"10" + kHour, kTime, hms(10, 0, 0)},
        {"1996" + kYear + jan5 + kFullWidthSpace + "10" + kHour + "30" + kMinute, kBoth,
         ymd(1996, 1, 5, 10, 30, 0)},
        // A month number outside 1-12 stays a number, which no date accepts.
        {"1996" + kYear + "13" + kMonth + "5" + kDay, kBoth, kNo},
        // Plain numeric dates and English month names read as in the single-byte locale.
        {"1/2/96", kBoth, ymd(1996, 1, 2)},
        {"Jan 5, 1996 10:30 PM", kBoth, ymd(1996, 1, 5, 22, 30, 0)},
        // Era names give Gregorian years.
        {kHeisei + "8" + kYear + jan5, kBoth, ymd(1996, 1, 5)},
        {kHeisei + " 8" + kYear + jan5, kBoth, ymd(1996, 1, 5)},
        {"H8" + kYear + jan5, kBoth, ymd(1996, 1, 5)},
        {"H8/1/5", kBoth, ymd(1996, 1, 5)},
        {kShowa + "50" + kYear + jan5, kBoth, ymd(1975, 1, 5)},
        {kTaisho + "10" + kYear + jan5, kBoth, ymd(1921, 1, 5)},
        {kMeiji + "30" + kYear + jan5, kBoth, ymd(1897, 1, 5)},
        // The last day of an era and the first of the next; a date outside its era fails the
        // rewrite, and the text as it was is no date either.
        {kShowa + "64" + kYear + "1" + kMonth + "7" + kDay, kBoth, ymd(1989, 1, 7)},
        {kHeisei + "1" + kYear + "1" + kMonth + "8" + kDay, kBoth, ymd(1989, 1, 8)},
        {kShowa + "64" + kYear + "1" + kMonth + "8" + kDay, kBoth, kNo},
        {kHeisei + "1" + kYear + "1" + kMonth + "7" + kDay, kBoth, kNo},
        // Without a day the first of the month decides: Heisei began on 8 January 1989.
        {kHeisei + "1" + kYear + "1" + kMonth, kBoth, kNo},
        {kHeisei + "1" + kYear + "2" + kMonth, kBoth, ymd(1989, 2, 1)},
        // An era name without a number is copied; alone it is no date. Another multibyte
        // character fails the rewrite.
        {kHeisei, kBoth, kNo},
        {"1996" + kYear + jan5 + "\x82\xa0", kBoth, kNo},
        // Then the full-width spaces around the date are trimmed as RTrim and LTrim trim them.
        {kFullWidthSpace + "1/2/96" + kFullWidthSpace, kBoth, ymd(1996, 1, 2)},
        {kFullWidthSpace + "1/2/96\x82\xa0" + kFullWidthSpace, kBoth, kNo},
        // A long text goes to the tokenizer as it was.
        {"1/2/96" + std::string(300, ' '), kBoth, ymd(1996, 1, 2)},
        {std::string(5000, '1') + kYear, kBoth, kNo},
    });
    EXPECT_TRUE(traps().empty());
}

TEST_F(MultibyteParseTest, TheRewriteIsBoundedAt160Bytes) {
    char out[brtl::kRewriteCapacity + 1];
    size_t length = 0;
    std::string exact(160, 'a'), over(161, 'a'), numbers;
    ASSERT_TRUE(brtl::rewrite_multibyte_date(exact.data(), exact.size(), out, &length));
    EXPECT_EQ(std::string(out, length), exact);
    EXPECT_FALSE(brtl::rewrite_multibyte_date(over.data(), over.size(), out, &length));
    // Each number grows to " n ": 54 of them need 162 bytes.
    for (int i = 0; i < 54; ++i)
        numbers += "1" + sjis::kSecond;
    EXPECT_FALSE(brtl::rewrite_multibyte_date(numbers.data(), numbers.size(), out, &length));
}
