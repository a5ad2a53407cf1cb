// Format under other locale settings (read once per process, so each case runs in a freshly
// started process with its own scratch profile) and under the double-byte code page.
#include <fstream>
#include <string>

#include "format_fixture.h"
#include "harness/fresh_process.h"

namespace brtl_test {
namespace {

class FormatLocaleTest : public FormatTest {
  protected:
    static void write_profile(const std::string &intl) {
        std::ofstream(scratch_profile()) << "[intl]\n" << intl;
    }
};

const double kJan5 = jan5_1996_140709();

TEST_F(FormatLocaleTest, DecimalAndThousandsSeparators) {
    BRTL_IN_FRESH_PROCESS({
        write_profile("sDecimal=,\nsThousand=.\n");
        EXPECT_EQ(format(1234567.891, "#,##0.00"), "1.234.567,89");
        EXPECT_EQ(format(0.5, "0.00%"), "50,00%");
        EXPECT_EQ(format(12345.0, "0.00E+00"), "1,23E+04");
        EXPECT_EQ(format(2.5, ""), "2,5");
        EXPECT_EQ(format(1234.5, "Currency"), "$1.234,50");
        EXPECT_EQ(format(5.0, "0.00 ,"), "5,00 ,"); // a later "," of the section is no point
        EXPECT_EQ(format(5.0, "\\,0"), ",5");
    });
}

TEST_F(FormatLocaleTest, EmptySeparators) {
    BRTL_IN_FRESH_PROCESS({
        write_profile("sDecimal=\nsThousand=\nsTime=\n");
        EXPECT_EQ(format(1234567.891, "#,##0.00"), "1234567.89");
        EXPECT_EQ(format_date(kJan5, "h:nn"), "1407");
        EXPECT_EQ(format_date(kJan5, "ttttt"), "140709");
    });
}

TEST_F(FormatLocaleTest, ShortDatePattern) {
    BRTL_IN_FRESH_PROCESS({
        write_profile("sShortDate=dd.MM.yyyy\n");
        EXPECT_EQ(format_date(kJan5, "ddddd"), "05.01.1996");
        EXPECT_EQ(format_date(kJan5, "d/m/yy"), "5.1.96");
        EXPECT_EQ(format_date(35069.0, ""), "05.01.1996");
        EXPECT_EQ(format_date(kJan5, "Medium Date"), "05.Jan.1996");
        EXPECT_EQ(format_date(kJan5, "c"), "05.01.1996 2:07:09 PM");
    });
}

TEST_F(FormatLocaleTest, TwoDigitYearsWidenOutsideTheNineteenHundreds) {
    BRTL_IN_FRESH_PROCESS({
        write_profile("sShortDate=yy-MM-dd\n");
        EXPECT_EQ(format_date(35069.0, "ddddd"), "96-01-05");
        EXPECT_EQ(format_date(36896.0, "ddddd"), "2001-01-05");
        EXPECT_EQ(format_date(36896.0, "c"), "01-01-05"); // c keeps the pattern as it is
    });
}

TEST_F(FormatLocaleTest, LongDatePattern) {
    BRTL_IN_FRESH_PROCESS({
        write_profile("sLongDate=dddd, MMMM d, yyyy\n");
        EXPECT_EQ(format_date(kJan5, "dddddd"), "Friday, January 5, 1996");
        EXPECT_EQ(format_date(kJan5, "Long Date"), "Friday, January 5, 1996");
    });
}

TEST_F(FormatLocaleTest, TimeSettings) {
    BRTL_IN_FRESH_PROCESS({
        write_profile("sTime=.\niTLZero=1\niTime=1\n");
        EXPECT_EQ(format_date(kJan5, "h:nn"), "14.07");
        EXPECT_EQ(format_date(35069.0 + (9 * 60 + 5) / 1440.0, "ttttt"), "09.05.00");
        EXPECT_EQ(format_date(kJan5, ""), "01/05/96 14.07.09"); // a 24-hour clock: no AM/PM
        EXPECT_EQ(format_date(kJan5, "c"), "01/05/96 14.07.09");
        EXPECT_EQ(format_date(0.0, ""), "00.00.00");
    });
}

TEST_F(FormatLocaleTest, TimeSeparatorsThatAreLettersStayText) {
    BRTL_IN_FRESH_PROCESS({
        write_profile("sTime=h\n");
        EXPECT_EQ(format_date(kJan5, "ttttt"), "14h07h09");
        EXPECT_EQ(format_date(kJan5, "h:nn"), "14h07");
    });
}

TEST_F(FormatLocaleTest, APatternThatSplicesItselfIsRejected) {
    BRTL_IN_FRESH_PROCESS({
        write_profile("sShortDate=ddddd\n");
        EXPECT_EQ(format_date(kJan5, "ddddd"), "");
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    });
}

TEST_F(FormatLocaleTest, WithoutHostNamesNoNamedFormatMatches) {
    BRTL_IN_FRESH_PROCESS({
        host().texts.clear(); // the host answers no names: an empty name must match nothing
        EXPECT_EQ(format(1.5, "0.00"), "1.50");
        EXPECT_EQ(format_date(kJan5, "dd/mm/yyyy"), "05/01/1996");
        EXPECT_EQ(format_date(kJan5, "mmmm"), ""); // and the month has no name
        EXPECT_TRUE(traps().empty());
        EXPECT_EQ(format(1.5, "Fixed"), ""); // no longer a name: "e" is a misplaced exponent
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    });
}

// ---- The double-byte code page --------------------------------------------------------------

class FormatDoubleByteTest : public FormatTest {
  protected:
    void SetUp() override {
        FormatTest::SetUp();
        ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    }
};

TEST_F(FormatDoubleByteTest, NumbersAndDatesAsInTheSingleByteCodePage) {
    EXPECT_EQ(format(1234567.891, "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(format(12345.0, "0.00E+00"), "1.23E+04");
    EXPECT_EQ(format(-5.0, "0;(0)"), "(5)");
    EXPECT_EQ(format_date(kJan5, "dddd d mmm yyyy h:nn AM/PM"), "Friday 5 Jan 1996 2:07 PM");
    EXPECT_EQ(format_date(kJan5, ""), "01/05/96 2:07:09 PM");
    EXPECT_TRUE(traps().empty());
}

TEST_F(FormatDoubleByteTest, DoubleByteCharactersAreText) {
    // 0x89 0x64 is one character whose trail byte is the letter d.
    EXPECT_EQ(format(5.0, "\x89\x64 0"), "\x89\x64 5");
    EXPECT_EQ(format(5.0, "\\\x89\x64 0"), "\x89\x64 5");
    EXPECT_EQ(format_date(kJan5, "yyyy\x94\x4e"), "1996\x94\x4e"); // year, then a character
    // 0x95 0x5C: a trail byte that is a backslash escapes nothing.
    EXPECT_EQ(format(-5.0, "0\x95\x5c;(0)"), "(5)");
    EXPECT_EQ(format(5.0, "0\x95\x5c;(0)"), "5\x95\x5c");
    EXPECT_TRUE(traps().empty());
    // Under the single-byte code page the same bytes are two characters: d is the day.
    ASSERT_EQ(brtl_setlocale("C"), 0);
    EXPECT_EQ(format(5.0, "\x89\x64 0"), "\x89"
                                         "4 0");
}

TEST_F(FormatDoubleByteTest, EraYearsAndStringFormatDecisions) {
    // 1900 lies in the era that began in 1868 (its year 1 is 1868).
    EXPECT_EQ(format(5.0, "e"), "33");
    EXPECT_EQ(format_date(kJan5, "ee"), "08"); // 1996 in the era that began in 1989
    EXPECT_EQ(format_date(-20000.0, "e"), ""); // before the first era: nothing
    EXPECT_EQ(format(bstr_variant("abc"), "@@@@@"), "  abc");
    EXPECT_TRUE(traps().empty());
}

TEST_F(FormatDoubleByteTest, StringFormatsFillByCharacter) {
    VARIANT text = bstr_variant(std::u16string(u"\u65e5\u672c"));
    EXPECT_EQ(format(text, "@@@"), " \x93\xfa\x96\x7b");
    text = bstr_variant(std::u16string(u"\u65e5\u672c"));
    EXPECT_EQ(format(text, "!@@@"), "\x93\xfa\x96\x7b ");
}

TEST_F(FormatLocaleTest, EraNamesAndDoubleByteDayNames) {
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(brtl_setlocale("Ja_JP"), 0);
        host().texts[-1124] = "Heisei";
        host().texts[-1129] = "He";
        host().texts[-1134] = "H";
        host().texts[-1121] = "Meiji";
        host().texts[-1018] = "\x8b\xe0\x97\x6a\x93\xfa"; // Friday: three double-byte characters
        EXPECT_EQ(format_date(kJan5, "ggg e"), "Heisei 8");
        EXPECT_EQ(format_date(kJan5, "gg/g ee"), "He/H 08");
        EXPECT_EQ(format(5.0, "ggg"), "Meiji");
        EXPECT_EQ(format_date(-20000.0, "ggg"), "");
        EXPECT_EQ(format_date(kJan5, "ddd"), "\x8b\xe0"); // three bytes would split a character
        EXPECT_EQ(format_date(kJan5, "dddd"), "\x8b\xe0\x97\x6a\x93\xfa");
    });
}

} // namespace
} // namespace brtl_test
