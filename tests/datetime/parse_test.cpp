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

} // namespace

TEST_F(ParseTest, DatesInTheDefaultOrder) {
    // A first number above 31 is a year (year-month-day); a separator after a space replaces
    // it, a space after a separator is dropped.
    expect_parses(
        kBoth, "1996-1-2",
        {"1/2/96", "1-2-1996", "1 2 96", "  1/2/96  ", "96/1/2", "1996-1-2", "1 /2 / 96"});
    expect_parses(kTime, "10:30", {"10 : 30"});
    // Two-digit years are 1900-1999, more digits are taken as they are.
    expect_parses(kBoth, "1900-12-31", {"12/31/00"});
    expect_parses(kBoth, "2000-12-31", {"12/31/2000"});
    expect_parses(kDate, "1600-2-29", {"2/29/1600"});
    // Month names: three letters or more that begin one, the first match winning.
    expect_parses(kBoth, "1996-1-5",
                  {"Jan 5, 1996", "January 5 1996", "5 January 1996", "5-jan-96", "1996 Jan 5",
                   "JANUARY 5 1996"});
    expect_parses(kBoth, "1996-9-1", {"Sept 1 1996"});
    expect_parses(kBoth, "1996-6-1", {"Jun 1 1996"});
    // Month 13, no 29 February, year 10000, beyond 32 bits, empty fields, nothing; two letters
    // are compared with AM and PM only; a word that is no month name is a separator, not at the
    // start nor after another one; a letter is no date separator; a month name must be first or
    // third.
    expect_parses(kBoth, kNo,
                  {"13/2/96", "2/29/1900", "1/1/10000", "1/1/99999999999", "1//2", "/1/2", "",
                   "    ", ",", "Ma 1 1996", "Feb 30 1996", "Janx 5 1996", "Friday, Jan 5 1996",
                   "Jan 5 1996 at 10:30", "5x1x1996", "5 1 Jan"});
    // 256 tokens are read (but are no date); 257 are too many.
    std::string many;
    for (int i = 0; i < 128; ++i)
        many += "1,";
    expect_parses(kBoth, kNo, {many, many + "1"});
    // Without a year, the clock's year; year first without a day, the first. A number followed
    // by a time separator is no year after a month name, but is one in the numeric forms:
    // «1/2 10:30» has the year 10 and a stray «:30».
    ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0);
    expect_parses(kBoth, "2001-1-2", {"1/2"});
    expect_parses(kBoth, "2001-1-5", {"Jan 5", "5 January"});
    expect_parses(kBoth, "1996-3-1", {"1996/3", "1996 Mar"});
    expect_parses(kBoth, "2001-1-5 10:30", {"Jan 5 10:30"});
    expect_parses(kBoth, kNo, {"1/2 10:30"});
    expect_parses(kDate, "1910-1-2", {"1/2 10"});
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, TimesAndTheThreeKinds) {
    expect_parses(kTime, "10:30", {"10:30", "10:30 a"});
    expect_parses(kTime, "10:30:15", {"10:30:15"});
    expect_parses(kTime, "22:30:15", {"10:30:15 PM"});
    expect_parses(kTime, "22:30", {"10:30pm"});
    expect_parses(kTime, "0:00", {"12 AM"});
    expect_parses(kTime, "0:15", {"12:15 AM"});
    expect_parses(kTime, "12:00", {"12 PM", "0 PM"});
    expect_parses(kTime, "23:00", {"11 P"});
    expect_parses(kTime, "10:00", {"10"});
    expect_parses(kTime, "23:59:59", {"23:59:59"});
    // The seconds need the same separator.
    expect_parses(kTime, kNo,
                  {"13 PM", "25:00", "24", "10:60", "10:30:60", "10:30:", "10:30-15", "10:30 15"});
    // Kind 2 gives the date and its time, a time alone on day 0, and before day 0 the time
    // reads forward from midnight; kind 1 a date alone; kind 0 the time, midnight for a date
    // alone.
    expect_parses(kBoth, "1996-1-5 10:30", {"Jan 5 1996 10:30"});
    expect_parses(kBoth, "1996-1-2 10:30", {"1/2/96 10:30"});
    expect_parses(kBoth, "10:30", {"10:30"});
    expect_parses(kBoth, "1800-1-1 6:00", {"1/1/1800 6:00"});
    expect_parses(kDate, "1996-1-5", {"Jan 5 1996"});
    expect_parses(kDate, kNo, {"Jan 5 1996 10:30", "10:30"});
    expect_parses(kTime, "0:00", {"1/2/96"});
    expect_parses(kTime, "10:30", {"1/2/96 10:30"});
    expect_parses(kTime, kNo, {"10:30 1/2/96", "10:30 xyz"});
    EXPECT_TRUE(traps().empty());
    // DateValue drops the time and TimeValue the date.
    const std::tuple<decltype(&ZbiBuiltIn_DateValue), const char *, double> values[] = {
        {ZbiBuiltIn_DateValue, "Jan 5, 1996 10:30 AM", ymd(1996, 1, 5)},
        {ZbiBuiltIn_DateValue, "12/29/1899 6:00", -1.0},
        {ZbiBuiltIn_TimeValue, "1/2/96", 0.0},
        {ZbiBuiltIn_TimeValue, "1/2/96 10:30:15 PM", hms(22, 30, 15)},
        {ZbiBuiltIn_DateValue, "Friday", NAN},
        {ZbiBuiltIn_TimeValue, "25:00", NAN}};
    for (auto [fn, text, expected] : values) {
        VARIANT v = unwritten();
        fn(&v, temp(text));
        EXPECT_EQ(v.vt, std::isnan(expected) ? VT_EMPTY : VT_DATE) << text;
        EXPECT_TRUE(v.vt != VT_DATE || v.date == expected) << text << ": " << v.date;
    }
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
    expect_parses(kTime, "10:30", {"10:30"});
    expect_parses(kTime, "22:00", {"10 PM"});
    EXPECT_TRUE(traps().empty());
}

TEST_F(ParseTest, ParsedDatesAgreeWithTheCalendarAcrossTheYears) {
    // Every 97th day of the valid years, written as text and read back (three- and four-digit
    // years are taken as they are).
    long mismatches = 0;
    for (double serial = brtl::datetime::kFirstValidSerial;
         serial <= brtl::datetime::kLastValidSerial; serial += 97) {
        brtl::datetime::Ymd d = brtl::datetime::serial_to_ymd(serial);
        VARIANT v = parse(std::to_string(d.month) + "/" + std::to_string(d.day) + "/" +
                              std::to_string(d.year),
                          kDate);
        if (v.vt != VT_DATE || v.date != ymd(d.year, d.month, d.day)) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(ParseTest, OtherOrdersAndSeparators) {
    // Day-month-year with full stops, which also separate times: 10.30 is no date (month 30),
    // so a time; a time separator after a number ends a month-name date before its year.
    write_intl_profile("sShortDate=dd.MM.yyyy\nsTime=.\n");
    BRTL_IN_FRESH_PROCESS({
        expect_parses(kBoth, "1996-1-5", {"5.1.1996", "Jan 5 1996"});
        expect_parses(kBoth, "1996-2-13", {"13/2/96"});
        expect_parses(kBoth, "1996-2-1", {"1/2/96"});
        expect_parses(kBoth, kNo, {"2/13/96"});
        expect_parses(kTime, "10:30", {"10.30", "10:30"});
        expect_parses(kTime, "22:30:15", {"10.30.15 PM"});
        expect_parses(kBoth, "1996-1-5 10:30", {"5.1.1996 10.30", "5 Jan 1996 10.30"});
        EXPECT_TRUE(traps().empty());
    });
    // Year-month-day: a last number above 31 is a year, back to month-day-year; a day before a
    // month name with a year above 31 is ambiguous: trap 5, even quietly.
    write_intl_profile("sShortDate=yyyy-MM-dd\n");
    BRTL_IN_FRESH_PROCESS({
        expect_parses(kBoth, "1996-1-2", {"1996-1-2"});
        expect_parses(kBoth, "1905-1-2", {"5/1/2"});
        expect_parses(kBoth, "1996-2-1", {"2/1/96", "1996-2"});
        expect_parses(kBoth, "1912-1-5", {"5 January 12"});
        EXPECT_TRUE(traps().empty());
        expect_parses(kBoth, kNo, {"5 January 1996"});
        EXPECT_EQ(traps(), trap5);
    });
    // A letter time separator is a word that matches nothing: a separator holding it.
    write_intl_profile("sShortDate=MM|dd|yyyy\nsTime=h\n");
    BRTL_IN_FRESH_PROCESS({
        expect_parses(kBoth, "1996-1-2", {"1|2|1996", "1/2/1996"});
        expect_parses(kBoth, kNo, {"1.2.1996"});
        expect_parses(kTime, "10:30:15", {"10h30h15"});
        expect_parses(kBoth, "1996-1-2 10:30", {"1|2|1996 10h30"});
        EXPECT_TRUE(traps().empty());
    });
    // A pattern without an order is an internal error, unless a first number above 31 is a
    // year or a month name decides.
    write_intl_profile("sShortDate=dd/MM\n");
    BRTL_IN_FRESH_PROCESS({
        expect_parses(kDate, kNo, {"1/2/96"});
        EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
        clear_traps();
        expect_parses(kDate, "1940-1-2", {"40/1/2"});
        expect_parses(kDate, "1996-1-5", {"Jan 5 1996"});
        EXPECT_TRUE(traps().empty());
    });
}

TEST_F(MultibyteParseTest, UnitMarkersAndEras) {
    using namespace sjis;
    // The era names are kept once read (so this runs before any parse): a new process reads them
    // with a fifth one, which has no years.
    BRTL_IN_FRESH_PROCESS({
        host().texts[-1125] = "\x97\xdf\x98\x61";
        brtl_setlocale("Ja_JP");
        expect_parses(kBoth, kNo, {"\x97\xdf\x98\x61" + ("2" + kYear) + "1" + kMonth});
        expect_parses(kBoth, "1990-1-1", {kHeisei + "2" + kYear + "1" + kMonth + "1" + kDay});
    });
    const std::string jan5 = "1" + kMonth + "5" + kDay, jan = "1" + kMonth, sp = kFullWidthSpace;
    const std::string heisei1 = kHeisei + "1" + kYear, showa64 = kShowa + "64" + kYear;
    expect_parses(kBoth, "1996-1-5", {"1996" + kYear + jan5});
    expect_parses(kDate, "1996-12-31", {"1996" + kYear + " 12" + kMonth + " 31" + kDay});
    expect_parses(kTime, "10:30:15", {"10" + kHour + "30" + kMinute + "15" + kSecond});
    expect_parses(kTime, "10:30", {"10" + kHour + "30" + kMinute});
    expect_parses(kTime, "10:00", {"10" + kHour});
    expect_parses(kBoth, "1996-1-5 10:30",
                  {"1996" + kYear + jan5 + sp + "10" + kHour + "30" + kMinute});
    // Plain numeric dates and English month names read as in the single-byte locale. Era names
    // give Gregorian years.
    expect_parses(kBoth, "1996-1-2", {"1/2/96"});
    expect_parses(kBoth, "1996-1-5 22:30", {"Jan 5, 1996 10:30 PM"});
    expect_parses(kBoth, "1996-1-5",
                  {kHeisei + "8" + kYear + jan5, kHeisei + " 8" + kYear + jan5, "H8" + kYear + jan5,
                   "H8/1/5"});
    expect_parses(kBoth, "1975-1-5", {kShowa + "50" + kYear + jan5});
    expect_parses(kBoth, "1921-1-5", {kTaisho + "10" + kYear + jan5});
    expect_parses(kBoth, "1897-1-5", {kMeiji + "30" + kYear + jan5});
    // The last day of an era and the first of the next; without a day the first of the month
    // decides (Heisei began on 8 January 1989).
    expect_parses(kBoth, "1989-1-7", {showa64 + jan + "7" + kDay});
    expect_parses(kBoth, "1989-1-8", {heisei1 + jan + "8" + kDay});
    expect_parses(kBoth, "1989-2-1", {heisei1 + "2" + kMonth});
    // Full-width spaces around a date are trimmed as RTrim and LTrim trim them; a long text goes
    // to the tokenizer as it was.
    expect_parses(kBoth, "1996-1-2", {sp + "1/2/96" + sp, "1/2/96" + std::string(300, ' ')});
    // A month number outside 1-12 stays a number, which no date accepts; a date outside its era
    // fails the rewrite (and the text as it was is no date either); an era name without a
    // number is copied, and alone it is no date; another multibyte character fails the rewrite.
    expect_parses(kBoth, kNo,
                  {"1996" + kYear + "13" + kMonth + "5" + kDay, showa64 + jan + "8" + kDay,
                   heisei1 + jan + "7" + kDay, heisei1 + jan, kHeisei,
                   "1996" + kYear + jan5 + "\x82\xa0", sp + "1/2/96\x82\xa0" + sp,
                   std::string(5000, '1') + kYear});
    EXPECT_TRUE(traps().empty());
}

TEST_F(MultibyteParseTest, TheRewriteIsBoundedAt160Bytes) {
    char out[brtl::datetime::kRewriteCapacity + 1];
    size_t length = 0;
    std::string exact(160, 'a'), over(161, 'a'), numbers;
    ASSERT_TRUE(brtl::datetime::rewrite_multibyte_date(exact.data(), exact.size(), out, &length));
    EXPECT_EQ(std::string(out, length), exact);
    EXPECT_FALSE(brtl::datetime::rewrite_multibyte_date(over.data(), over.size(), out, &length));
    // Each number grows to " n ": 54 of them need 162 bytes.
    for (int i = 0; i < 54; ++i)
        numbers += "1" + sjis::kSecond;
    EXPECT_FALSE(
        brtl::datetime::rewrite_multibyte_date(numbers.data(), numbers.size(), out, &length));
}
