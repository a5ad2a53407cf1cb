// Format under other locale settings (read once per process, so each case runs in a freshly
// started process with its own scratch profile) and under the double-byte code page.
#include <fstream>
#include <string>

#include "format_fixture.h"
#include "harness/fresh_process.h"

namespace brtl_test {
namespace {

using FormatLocaleTest = FormatTest;

const VARIANT jan5 = date(kJan5);

// Checks the cases in a newly started process whose profile holds the [intl] settings.
void with_profile(const std::string &intl, const auto &...cases) {
    BRTL_IN_FRESH_PROCESS({
        std::ofstream(scratch_profile()) << "[intl]\n" << intl;
        expect_formats(cases...);
    });
}

TEST_F(FormatLocaleTest, ProfileSettings) {
    // A later "," of the section is no decimal point.
    with_profile("sDecimal=,\nsThousand=.\n", F{1234567.891, "#,##0.00", "1.234.567,89"},
                 F{0.5, "0.00%", "50,00%"}, F{12345.0, "0.00E+00", "1,23E+04"}, F{2.5, "", "2,5"},
                 F{1234.5, "Currency", "$1.234,50"}, F{5.0, "0.00 ,", "5,00 ,"},
                 F{5.0, "\\,0", ",5"});
    with_profile("sDecimal=\nsThousand=\nsTime=\n", F{1234567.891, "#,##0.00", "1234567.89"},
                 F{jan5, "h:nn", "1407"}, F{jan5, "ttttt", "140709"});
    with_profile("sShortDate=dd.MM.yyyy\n", F{jan5, "ddddd", "05.01.1996"},
                 F{jan5, "d/m/yy", "5.1.96"}, F{date(35069.0), "", "05.01.1996"},
                 F{jan5, "Medium Date", "05.Jan.1996"}, F{jan5, "c", "05.01.1996 2:07:09 PM"});
    // Two-digit years widen outside the nineteen hundreds, but "c" keeps the pattern as it is.
    with_profile("sShortDate=yy-MM-dd\n", F{date(35069.0), "ddddd", "96-01-05"},
                 F{date(36896.0), "ddddd", "2001-01-05"}, F{date(36896.0), "c", "01-01-05"});
    with_profile("sLongDate=dddd, MMMM d, yyyy\n", F{jan5, "dddddd", "Friday, January 5, 1996"},
                 F{jan5, "Long Date", "Friday, January 5, 1996"});
    // A 24-hour clock shows no AM/PM; a time separator that is a letter stays text; a pattern
    // that splices itself is rejected.
    with_profile("sTime=.\niTLZero=1\niTime=1\n", F{jan5, "h:nn", "14.07"},
                 F{date(35069.0 + (9 * 60 + 5) / 1440.0), "ttttt", "09.05.00"},
                 F{jan5, "", "01/05/96 14.07.09"}, F{jan5, "c", "01/05/96 14.07.09"},
                 F{date(0.0), "", "00.00.00"});
    with_profile("sTime=h\n", F{jan5, "ttttt", "14h07h09"}, F{jan5, "h:nn", "14h07"});
    with_profile("sShortDate=ddddd\n", F{jan5, "ddddd", "", 5});
}

TEST_F(FormatLocaleTest, WithoutHostNamesNoNamedFormatMatches) {
    // The host answers no names: an empty name must match nothing, and the month has no name;
    // "Fixed" is no longer a name, so its "e" is a misplaced exponent.
    BRTL_IN_FRESH_PROCESS({
        host().texts.clear();
        expect_formats(F{1.5, "0.00", "1.50"}, F{jan5, "dd/mm/yyyy", "05/01/1996"},
                       F{jan5, "mmmm", ""}, F{1.5, "Fixed", "", 5});
    });
}

TEST_F(FormatLocaleTest, EraNamesAndDoubleByteDayNames) {
    // 1900 lies in the era that began in 1868, 1996 in the one that began in 1989. Friday's
    // name is three double-byte characters, which "ddd" may not split.
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(brtl_setlocale("Ja_JP"), 0);
        host().texts[-1124] = "Heisei";
        host().texts[-1129] = "He";
        host().texts[-1134] = "H";
        host().texts[-1121] = "Meiji";
        host().texts[-1018] = "\x8b\xe0\x97\x6a\x93\xfa";
        expect_formats(F{jan5, "ggg e", "Heisei 8"}, F{jan5, "gg/g ee", "He/H 08"},
                       F{5.0, "ggg", "Meiji"}, F{date(-20000.0), "ggg", ""},
                       F{jan5, "ddd", "\x8b\xe0"}, F{jan5, "dddd", "\x8b\xe0\x97\x6a\x93\xfa"});
    });
}

TEST_F(FormatLocaleTest, DoubleByteCodePage) {
    // Numbers and dates as under the single-byte code page. 0x89 0x64 is one character whose
    // trail byte is the letter d, and a trail byte that is a backslash (0x95 0x5C) escapes
    // nothing. Era years: 1900 is year 33 of its era, 1996 year 8, and before the first era
    // there is nothing. String formats fill by character.
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    const std::u16string nihon = u"\u65e5\u672c";
    expect_formats(
        F{1234567.891, "#,##0.00", "1,234,567.89"}, F{12345.0, "0.00E+00", "1.23E+04"},
        F{-5.0, "0;(0)", "(5)"}, F{jan5, "dddd d mmm yyyy h:nn AM/PM", "Friday 5 Jan 1996 2:07 PM"},
        F{jan5, "", "01/05/96 2:07:09 PM"}, F{5.0, "\x89\x64 0", "\x89\x64 5"},
        F{5.0, "\\\x89\x64 0", "\x89\x64 5"}, F{jan5, "yyyy\x94\x4e", "1996\x94\x4e"},
        F{-5.0, "0\x95\x5c;(0)", "(5)"}, F{5.0, "0\x95\x5c;(0)", "5\x95\x5c"}, F{5.0, "e", "33"},
        F{jan5, "ee", "08"}, F{date(-20000.0), "e", ""}, F{bstr_variant("abc"), "@@@@@", "  abc"},
        F{bstr_variant(nihon), "@@@", " \x93\xfa\x96\x7b"},
        F{bstr_variant(nihon), "!@@@", "\x93\xfa\x96\x7b "});
    // Under the single-byte code page the same bytes are two characters: d is the day.
    ASSERT_EQ(brtl_setlocale("C"), 0);
    expect_formats(F{5.0, "\x89\x64 0",
                     "\x89"
                     "4 0"});
}

} // namespace
} // namespace brtl_test
