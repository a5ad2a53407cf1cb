// The [intl] settings: defaults, derived values, and the rules of what is kept for the process.
// Every test that reads a setting does so in a newly started process, because the values are
// read once per process; the profile file is written before the first read.
#include <fstream>
#include <string>
#include <vector>

#include "harness/fresh_process.h"
#include "harness/harness.h"

using namespace brtl_test;

namespace {

class LocaleTest : public RuntimeTest {};

void write_profile(const std::string &text) {
    std::ofstream(scratch_profile(), std::ios::binary | std::ios::trunc) << text;
}

void write_intl(const std::string &lines) {
    write_profile("[intl]\n" + lines);
}

} // namespace

TEST_F(LocaleTest, DefaultsWithoutAnIntlSection) {
    write_profile("[desktop]\nsTime=.\nsShortDate=dd.MM.yyyy\niCountry=81\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), ':');
        EXPECT_EQ(ZrIntlGetDateSeperator(), '/');
        EXPECT_STREQ(ZrIntlGetLongDateString(), "mmmm dd, yyyy");
        EXPECT_STREQ(ZrIntlGetDateString(), "mm/dd/yy");
        EXPECT_EQ(ZrIntlGetTimeFomat(), 0);
        EXPECT_EQ(ZrIntlGetDateOrdering(), 0);
        EXPECT_EQ(ZrIntlGetThousandSeperator(), ',');
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), '.');
        EXPECT_EQ(ZrIntlIsTLZero(), 0);
        EXPECT_STREQ(ZrIntlGetCodePageName(), "C");
    });
}

TEST_F(LocaleTest, MissingProfileFileGivesTheDefaults) {
    BRTL_IN_FRESH_PROCESS({
        brtl_set_profile_path((scratch_dir() / "no-such-dir" / "win.ini").c_str());
        EXPECT_EQ(ZrIntlGetTimeSeperator(), ':');
        EXPECT_STREQ(ZrIntlGetDateString(), "mm/dd/yy");
        EXPECT_STREQ(ZrIntlGetCodePageName(), "C");
    });
}

TEST_F(LocaleTest, ValuesOfTheIntlSection) {
    write_intl("sTime=.\nsLongDate=d. MMMM yyyy\nsShortDate=dd.MM.yyyy\niTime=1\n"
               "sThousand=.\nsDecimal=,\niTLZero=1\niCountry=49\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '.');
        EXPECT_STREQ(ZrIntlGetLongDateString(), "d. MMMM yyyy");
        EXPECT_STREQ(ZrIntlGetDateString(), "dd.MM.yyyy");
        EXPECT_EQ(ZrIntlGetTimeFomat(), 1);
        EXPECT_EQ(ZrIntlGetThousandSeperator(), '.');
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), ',');
        EXPECT_EQ(ZrIntlIsTLZero(), 1);
        EXPECT_STREQ(ZrIntlGetCodePageName(), "C");
    });
}

TEST_F(LocaleTest, SectionAndKeyNamesIgnoreCase) {
    write_profile("[INTL]\nSTIME=-\nsshortdate=yyyy-MM-dd\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '-');
        EXPECT_EQ(ZrIntlGetDateOrdering(), 2);
    });
}

TEST_F(LocaleTest, SeparatorAndOrderFromTheShortDatePattern) {
    struct Case {
        const char *pattern;
        char separator;
        int32_t order;
    };
    const std::vector<Case> cases = {
        {"dd.MM.yyyy", '.', 1}, {"yyyy-MM-dd", '-', 2},
        {"M/d/yy", '/', 0},     {"ddMMyy", '/', 1}, // no separator character: "/"
        {"yyyy dd MM", ' ', 0},                     // year-day-month is none of the named orders
        {"MM-yy-dd", '-', 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pattern);
        write_intl(std::string("sShortDate=") + c.pattern + "\n");
        BRTL_IN_FRESH_PROCESS({
            EXPECT_EQ(ZrIntlGetDateSeperator(), c.separator);
            EXPECT_EQ(ZrIntlGetDateOrdering(), c.order);
            EXPECT_STREQ(ZrIntlGetDateString(), c.pattern);
        });
    }
}

TEST_F(LocaleTest, LowerCaseLetterDecidesTheOrderBeforeUpperCase) {
    // The first "d" is at 6 although a "D" comes first; so y < m < d.
    write_intl("sShortDate=yD/MM/dd\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetDateOrdering(), 2);
        EXPECT_EQ(ZrIntlGetDateSeperator(), '/'); // "D" is a date letter in either case
    });
}

TEST_F(LocaleTest, OrderingWithoutAYearIsReadAgainOnEveryCall) {
    write_intl("sShortDate=dd/MM\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetDateOrdering(), -1);
        EXPECT_EQ(ZrIntlGetDateOrdering(), -1);
        write_intl("sShortDate=dd/MM/yy\n");
        EXPECT_EQ(ZrIntlGetDateOrdering(), 1); // not kept: read anew
        write_intl("sShortDate=yy/MM/dd\n");
        EXPECT_EQ(ZrIntlGetDateOrdering(), 1); // kept from here on
    });
}

TEST_F(LocaleTest, EveryReadValueIsKeptForTheProcess) {
    write_intl("sTime=.\nsLongDate=dddd\nsShortDate=dd-MM-yy\niTime=1\nsThousand=.\n"
               "sDecimal=,\niTLZero=1\niCountry=81\n");
    BRTL_IN_FRESH_PROCESS({
        const char time_sep = ZrIntlGetTimeSeperator();
        const char date_sep = ZrIntlGetDateSeperator();
        const std::string long_date = ZrIntlGetLongDateString();
        const std::string short_date = ZrIntlGetDateString();
        const int32_t format = ZrIntlGetTimeFomat();
        const int32_t order = ZrIntlGetDateOrdering();
        const char thousand = ZrIntlGetThousandSeperator();
        const char decimal = ZrIntlGetDecimalSeperator();
        const uint8_t zero = ZrIntlIsTLZero();
        const std::string code_page = ZrIntlGetCodePageName();
        write_intl("sTime=:\nsLongDate=mmmm\nsShortDate=yy/MM/dd\niTime=0\nsThousand=,\n"
                   "sDecimal=.\niTLZero=0\niCountry=1\n");
        EXPECT_EQ(ZrIntlGetTimeSeperator(), time_sep);
        EXPECT_EQ(ZrIntlGetDateSeperator(), date_sep);
        EXPECT_EQ(ZrIntlGetLongDateString(), long_date);
        EXPECT_EQ(ZrIntlGetDateString(), short_date);
        EXPECT_EQ(ZrIntlGetTimeFomat(), format);
        EXPECT_EQ(ZrIntlGetDateOrdering(), order);
        EXPECT_EQ(ZrIntlGetThousandSeperator(), thousand);
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), decimal);
        EXPECT_EQ(ZrIntlIsTLZero(), zero);
        EXPECT_EQ(ZrIntlGetCodePageName(), code_page);
        // and they are the first file's values
        EXPECT_EQ(time_sep, '.');
        EXPECT_EQ(date_sep, '-');
        EXPECT_EQ(long_date, "dddd");
        EXPECT_EQ(format, 1);
        EXPECT_EQ(order, 1);
        EXPECT_EQ(code_page, "Ja_JP");
    });
}

TEST_F(LocaleTest, SeparatorByte255IsReadAgain) {
    write_intl("sTime=\xFF\nsShortDate=dd\xFFMM\xFFyy\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '\xFF');
        EXPECT_EQ(ZrIntlGetDateSeperator(), '\xFF');
        write_intl("sTime=.\nsShortDate=dd-MM-yy\n");
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '.');
        EXPECT_EQ(ZrIntlGetDateSeperator(), '-');
        write_intl("sTime=,\nsShortDate=dd.MM.yy\n");
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '.');
        EXPECT_EQ(ZrIntlGetDateSeperator(), '-');
    });
}

TEST_F(LocaleTest, LongDatePatternLosesItsApostrophes) {
    write_intl("sLongDate=dddd, d 'de' MMMM\n");
    BRTL_IN_FRESH_PROCESS({ EXPECT_STREQ(ZrIntlGetLongDateString(), "dddd, d de MMMM"); });
}

TEST_F(LocaleTest, ShortDatePatternKeepsItsApostrophes) {
    write_intl("sShortDate=dd 'of' MM yy\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_STREQ(ZrIntlGetDateString(), "dd 'of' MM yy");
        EXPECT_EQ(ZrIntlGetDateSeperator(), ' ');
    });
}

TEST_F(LocaleTest, EmptyValuesGiveNulSeparatorsAndAnEmptyPattern) {
    write_intl("sTime=\nsThousand=\nsDecimal=\nsShortDate=\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '\0');
        EXPECT_EQ(ZrIntlGetThousandSeperator(), '\0');
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), '\0');
        EXPECT_STREQ(ZrIntlGetDateString(), ""); // present but empty: not the default
        EXPECT_EQ(ZrIntlGetDateSeperator(), '/');
        EXPECT_EQ(ZrIntlGetDateOrdering(), -1);
    });
}

TEST_F(LocaleTest, LongerSeparatorsAreCutToTheirFirstCharacter) {
    write_intl("sTime=h:\nsThousand=  '.\nsDecimal=,.\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), 'h');
        EXPECT_EQ(ZrIntlGetThousandSeperator(), '\''); // blanks before a value are dropped
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), ',');
    });
}

TEST_F(LocaleTest, PatternsAreCutAfter63Characters) {
    const std::string long_pattern = "dddd" + std::string(60, ' ') + "MMMM yyyy";
    write_intl("sLongDate=" + long_pattern + "\nsShortDate='" + long_pattern + "\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(std::string(ZrIntlGetLongDateString()), long_pattern.substr(0, 63));
        EXPECT_EQ(std::string(ZrIntlGetDateString()), "'" + long_pattern.substr(0, 62));
    });
}

TEST_F(LocaleTest, LeadingZeroAnswersTheLowByte) {
    write_intl("iTLZero=257\n");
    BRTL_IN_FRESH_PROCESS({ EXPECT_EQ(ZrIntlIsTLZero(), 1); });
    write_intl("iTLZero=256\n");
    BRTL_IN_FRESH_PROCESS({ EXPECT_EQ(ZrIntlIsTLZero(), 0); });
}

TEST_F(LocaleTest, CodePageNameFollowsTheCountry) {
    write_intl("iCountry=81\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_STREQ(ZrIntlGetCodePageName(), "Ja_JP");
        EXPECT_EQ(brtl_setlocale(ZrIntlGetCodePageName()), 0); // the host's use of it
        EXPECT_STREQ(brtl_getlocale(), "Ja_JP");
    });
    write_intl("iCountry=1\n");
    BRTL_IN_FRESH_PROCESS({ EXPECT_STREQ(ZrIntlGetCodePageName(), "C"); });
    write_intl("iCountry=810\n");
    BRTL_IN_FRESH_PROCESS({ EXPECT_STREQ(ZrIntlGetCodePageName(), "C"); });
}

TEST_F(LocaleTest, ProfilePathSetByTheHostWinsOverTheEnvironment) {
    write_intl("sTime=.\nsDecimal=;\n");
    const auto other = scratch_dir() / "other.ini";
    std::ofstream(other) << "[intl]\nsTime=-\n";
    BRTL_IN_FRESH_PROCESS({
        brtl_set_profile_path(other.c_str());
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '-');
        brtl_set_profile_path(nullptr); // back to BRTL_PROFILE
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), ';');
    });
}
