// The parser under other locales: day-month-year and year-month-day orders, separators other
// than "/" and ":", a pattern without an order, and the multibyte rewrite of the Japanese code
// page with eras and unit markers. Locale values are read once per process, so each profile is
// tested in a newly started process.
#include <string>

#include "date_fixture.h"
#include "datetime/parse.h"
#include "harness/fresh_process.h"

using namespace brtl_test;

namespace {

class ParseLocaleTest : public DateTest {};

} // namespace

TEST_F(ParseLocaleTest, DayMonthYearWithFullStops) {
    write_intl_profile("sShortDate=dd.MM.yyyy\nsTime=.\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_TRUE(parses_to("5.1.1996", kBoth, civil_serial(1996, 1, 5)));
        EXPECT_TRUE(parses_to("13/2/96", kBoth, civil_serial(1996, 2, 13)));
        EXPECT_TRUE(parses_to("1/2/96", kBoth, civil_serial(1996, 2, 1)));
        EXPECT_TRUE(rejected("2/13/96", kBoth));
        // The full stop is also the time separator: 10.30 is no date (month 30), so a time.
        EXPECT_TRUE(parses_to("10.30", kTime, hms(10, 30, 0)));
        EXPECT_TRUE(parses_to("10.30.15 PM", kTime, hms(22, 30, 15)));
        EXPECT_TRUE(parses_to("10:30", kTime, hms(10, 30, 0)));
        EXPECT_TRUE(parses_to("5.1.1996 10.30", kBoth, civil_serial(1996, 1, 5, 10, 30, 0)));
        // Month names are read the same in every order.
        EXPECT_TRUE(parses_to("Jan 5 1996", kBoth, civil_serial(1996, 1, 5)));
        // A time separator after a number ends a month-name date before its year.
        EXPECT_TRUE(parses_to("5 Jan 1996 10.30", kBoth, civil_serial(1996, 1, 5, 10, 30, 0)));
        EXPECT_TRUE(traps().empty());
    });
}

TEST_F(ParseLocaleTest, YearMonthDay) {
    write_intl_profile("sShortDate=yyyy-MM-dd\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_TRUE(parses_to("1996-1-2", kBoth, civil_serial(1996, 1, 2)));
        EXPECT_TRUE(parses_to("5/1/2", kBoth, civil_serial(1905, 1, 2)));
        // A last number above 31 is a year: back to month-day-year.
        EXPECT_TRUE(parses_to("2/1/96", kBoth, civil_serial(1996, 2, 1)));
        EXPECT_TRUE(parses_to("1996-2", kBoth, civil_serial(1996, 2, 1)));
        EXPECT_TRUE(parses_to("5 January 12", kBoth, civil_serial(1912, 1, 5)));
        EXPECT_TRUE(traps().empty());
        // A day before a month name with a year above 31 is ambiguous here: trap 5, even
        // quietly, and nothing is accepted.
        EXPECT_TRUE(rejected("5 January 1996", kBoth));
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    });
}

TEST_F(ParseLocaleTest, OtherSeparatorCharacters) {
    write_intl_profile("sShortDate=MM|dd|yyyy\nsTime=h\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetDateSeperator(), '|');
        EXPECT_TRUE(parses_to("1|2|1996", kBoth, civil_serial(1996, 1, 2)));
        EXPECT_TRUE(parses_to("1/2/1996", kBoth, civil_serial(1996, 1, 2)));
        EXPECT_TRUE(rejected("1.2.1996", kBoth));
        // A letter time separator is a word that matches nothing: a separator holding it.
        EXPECT_TRUE(parses_to("10h30h15", kTime, hms(10, 30, 15)));
        EXPECT_TRUE(parses_to("1|2|1996 10h30", kBoth, civil_serial(1996, 1, 2, 10, 30, 0)));
        EXPECT_TRUE(traps().empty());
    });
}

TEST_F(ParseLocaleTest, APatternWithoutAnOrderIsAnInternalError) {
    write_intl_profile("sShortDate=dd/MM\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_TRUE(rejected("1/2/96", kDate));
        EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
        clear_traps();
        // A first number above 31 is a year whatever the pattern: no order needed.
        EXPECT_TRUE(parses_to("40/1/2", kDate, civil_serial(1940, 1, 2)));
        EXPECT_TRUE(parses_to("Jan 5 1996", kDate, civil_serial(1996, 1, 5)));
        EXPECT_TRUE(traps().empty());
    });
}

// ---- The multibyte rewrite -------------------------------------------------------------------

class MultibyteParseTest : public DateTest {
  protected:
    void SetUp() override {
        DateTest::SetUp();
        brtl_setlocale("Ja_JP");
    }
};

TEST_F(MultibyteParseTest, UnitMarkersBecomeNumbersAndMonthNames) {
    using namespace sjis;
    EXPECT_TRUE(
        parses_to("1996" + kYear + "1" + kMonth + "5" + kDay, kBoth, civil_serial(1996, 1, 5)));
    EXPECT_TRUE(parses_to("1996" + kYear + " 12" + kMonth + " 31" + kDay, kDate,
                          civil_serial(1996, 12, 31)));
    EXPECT_TRUE(parses_to("10" + kHour + "30" + kMinute + "15" + kSecond, kTime, hms(10, 30, 15)));
    // Without seconds, and a lone hour.
    EXPECT_TRUE(parses_to("10" + kHour + "30" + kMinute, kTime, hms(10, 30, 0)));
    EXPECT_TRUE(parses_to("10" + kHour, kTime, hms(10, 0, 0)));
    EXPECT_TRUE(parses_to("1996" + kYear + "1" + kMonth + "5" + kDay + kFullWidthSpace + "10" +
                              kHour + "30" + kMinute,
                          kBoth, civil_serial(1996, 1, 5, 10, 30, 0)));
    // A month number outside 1-12 stays a number, which no date accepts.
    EXPECT_TRUE(rejected("1996" + kYear + "13" + kMonth + "5" + kDay, kBoth));
    // Plain numeric dates and English month names read as in the single-byte locale.
    EXPECT_TRUE(parses_to("1/2/96", kBoth, civil_serial(1996, 1, 2)));
    EXPECT_TRUE(parses_to("Jan 5, 1996 10:30 PM", kBoth, civil_serial(1996, 1, 5, 22, 30, 0)));
    EXPECT_TRUE(traps().empty());
}

TEST_F(MultibyteParseTest, EraNamesGiveGregorianYears) {
    using namespace sjis;
    const std::string jan5 = "1" + kMonth + "5" + kDay;
    EXPECT_TRUE(parses_to(kHeisei + "8" + kYear + jan5, kBoth, civil_serial(1996, 1, 5)));
    EXPECT_TRUE(parses_to(kHeisei + " 8" + kYear + jan5, kBoth, civil_serial(1996, 1, 5)));
    EXPECT_TRUE(parses_to("H8" + kYear + jan5, kBoth, civil_serial(1996, 1, 5)));
    EXPECT_TRUE(parses_to("H8/1/5", kBoth, civil_serial(1996, 1, 5)));
    EXPECT_TRUE(parses_to(kShowa + "50" + kYear + jan5, kBoth, civil_serial(1975, 1, 5)));
    EXPECT_TRUE(parses_to(kTaisho + "10" + kYear + jan5, kBoth, civil_serial(1921, 1, 5)));
    EXPECT_TRUE(parses_to(kMeiji + "30" + kYear + jan5, kBoth, civil_serial(1897, 1, 5)));
    // The last day of an era and the first of the next.
    EXPECT_TRUE(parses_to(kShowa + "64" + kYear + "1" + kMonth + "7" + kDay, kBoth,
                          civil_serial(1989, 1, 7)));
    EXPECT_TRUE(parses_to(kHeisei + "1" + kYear + "1" + kMonth + "8" + kDay, kBoth,
                          civil_serial(1989, 1, 8)));
    // A date outside its era fails the rewrite, and the text as it was is no date either.
    EXPECT_TRUE(rejected(kShowa + "64" + kYear + "1" + kMonth + "8" + kDay, kBoth));
    EXPECT_TRUE(rejected(kHeisei + "1" + kYear + "1" + kMonth + "7" + kDay, kBoth));
    // Without a day the first of the month decides: Heisei began on 8 January 1989.
    EXPECT_TRUE(rejected(kHeisei + "1" + kYear + "1" + kMonth, kBoth));
    EXPECT_TRUE(parses_to(kHeisei + "1" + kYear + "2" + kMonth, kBoth, civil_serial(1989, 2, 1)));
    // An era name without a number is copied; alone it is no date.
    EXPECT_TRUE(rejected(kHeisei, kBoth));
    // Another multibyte character fails the rewrite.
    EXPECT_TRUE(rejected("1996" + kYear + "1" + kMonth + "5" + kDay + "\x82\xa0", kBoth));
    EXPECT_TRUE(traps().empty());
}

TEST_F(MultibyteParseTest, AFifthEraHasNoYears) {
    // The era names are kept once read: a new process reads them with a fifth one.
    BRTL_IN_FRESH_PROCESS({
        host().texts[-1125] = "\x97\xdf\x98\x61"; // a fifth long era name
        brtl_setlocale("Ja_JP");
        EXPECT_TRUE(rejected("\x97\xdf\x98\x61"
                             "2" +
                                 sjis::kYear + "1" + sjis::kMonth,
                             kBoth));
        EXPECT_TRUE(
            parses_to(sjis::kHeisei + "2" + sjis::kYear + "1" + sjis::kMonth + "1" + sjis::kDay,
                      kBoth, civil_serial(1990, 1, 1)));
    });
}

TEST_F(MultibyteParseTest, TheRewriteIsBoundedAt160Bytes) {
    char out[brtl::kRewriteCapacity + 1];
    size_t length = 0;
    std::string exact(160, 'a');
    ASSERT_TRUE(brtl::rewrite_multibyte_date(exact.data(), exact.size(), out, &length));
    EXPECT_EQ(length, 160u);
    EXPECT_EQ(std::string(out, length), exact);
    std::string over(161, 'a');
    EXPECT_FALSE(brtl::rewrite_multibyte_date(over.data(), over.size(), out, &length));
    // Each number grows to " n ": 54 of them need 162 bytes.
    std::string numbers;
    for (int i = 0; i < 54; ++i)
        numbers += "1" + sjis::kSecond;
    EXPECT_FALSE(brtl::rewrite_multibyte_date(numbers.data(), numbers.size(), out, &length));
    // A long text goes to the tokenizer as it was: a valid date with 300 trailing spaces.
    EXPECT_TRUE(parses_to("1/2/96" + std::string(300, ' '), kBoth, civil_serial(1996, 1, 2)));
    EXPECT_TRUE(rejected(std::string(5000, '1') + sjis::kYear, kBoth));
}

TEST_F(MultibyteParseTest, FullWidthSpacesAreTrimmed) {
    // The unknown character makes the rewrite fail; the full-width spaces around the date are
    // trimmed as RTrim and LTrim trim them.
    using namespace sjis;
    EXPECT_TRUE(
        parses_to(kFullWidthSpace + "1/2/96" + kFullWidthSpace, kBoth, civil_serial(1996, 1, 2)));
    EXPECT_TRUE(rejected(kFullWidthSpace + "1/2/96\x82\xa0" + kFullWidthSpace, kBoth));
}
