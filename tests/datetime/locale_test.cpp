// The [intl] settings: defaults, derived values, and the rules of what is kept for the process.
// Every test that reads a setting does so in a newly started process, because the values are
// read once per process; the profile file is written before the first read.
#include "date_fixture.h"
#include "harness/fresh_process.h"

using namespace brtl_test;

namespace {

class LocaleTest : public RuntimeTest {};

void write_profile(const std::string &text) {
    std::ofstream(scratch_profile(), std::ios::binary | std::ios::trunc) << text;
}

} // namespace

TEST_F(LocaleTest, DefaultsWithoutAnIntlSectionOrAProfile) {
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
    BRTL_IN_FRESH_PROCESS({
        brtl_set_profile_path((scratch_dir() / "no-such-dir" / "win.ini").c_str());
        EXPECT_EQ(ZrIntlGetTimeSeperator(), ':');
        EXPECT_STREQ(ZrIntlGetDateString(), "mm/dd/yy");
        EXPECT_STREQ(ZrIntlGetCodePageName(), "C");
    });
}

TEST_F(LocaleTest, EveryReadValueIsKeptForTheProcess) {
    write_intl_profile("sTime=.\nsLongDate=d. MMMM yyyy\nsShortDate=dd.MM.yyyy\niTime=1\n"
                       "sThousand=.\nsDecimal=,\niTLZero=1\niCountry=49\n");
    BRTL_IN_FRESH_PROCESS({
        for (int read = 0; read < 2; ++read) {
            SCOPED_TRACE(read == 0 ? "first read" : "after the profile changed");
            EXPECT_EQ(ZrIntlGetTimeSeperator(), '.');
            EXPECT_EQ(ZrIntlGetDateSeperator(), '.');
            EXPECT_STREQ(ZrIntlGetLongDateString(), "d. MMMM yyyy");
            EXPECT_STREQ(ZrIntlGetDateString(), "dd.MM.yyyy");
            EXPECT_EQ(ZrIntlGetTimeFomat(), 1);
            EXPECT_EQ(ZrIntlGetDateOrdering(), 1);
            EXPECT_EQ(ZrIntlGetThousandSeperator(), '.');
            EXPECT_EQ(ZrIntlGetDecimalSeperator(), ',');
            EXPECT_EQ(ZrIntlIsTLZero(), 1);
            EXPECT_STREQ(ZrIntlGetCodePageName(), "C");
            write_intl_profile("sTime=:\nsLongDate=mmmm\nsShortDate=yy/MM/dd\niTime=0\n"
                               "sThousand=,\nsDecimal=.\niTLZero=0\niCountry=81\n");
        }
    });
    // Section and key names ignore case.
    write_profile("[INTL]\nSTIME=-\nsshortdate=yyyy-MM-dd\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '-');
        EXPECT_EQ(ZrIntlGetDateOrdering(), 2);
    });
}

TEST_F(LocaleTest, SeparatorAndOrderFromTheShortDatePattern) {
    const struct {
        const char *pattern;
        char separator;
        int32_t order;
    } rows[] = {
        {"dd.MM.yyyy", '.', 1}, {"yyyy-MM-dd", '-', 2}, {"M/d/yy", '/', 0},
        {"ddMMyy", '/', 1},                           // no separator character: "/"
        {"yyyy dd MM", ' ', 0},                       // year-day-month is none of the named orders
        {"MM-yy-dd", '-', 0},   {"yD/MM/dd", '/', 2}, // the first lower-case "d" decides; "D" is a
                                                      // date letter too
    };
    for (const auto &c : rows) {
        SCOPED_TRACE(c.pattern);
        write_intl_profile(std::string("sShortDate=") + c.pattern + "\n");
        BRTL_IN_FRESH_PROCESS({
            EXPECT_EQ(ZrIntlGetDateSeperator(), c.separator);
            EXPECT_EQ(ZrIntlGetDateOrdering(), c.order);
            EXPECT_STREQ(ZrIntlGetDateString(), c.pattern);
        });
    }
}

TEST_F(LocaleTest, ValuesThatAreReadAgain) {
    // An ordering without a year is read again on every call, until one has a year.
    write_intl_profile("sShortDate=dd/MM\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetDateOrdering(), -1);
        EXPECT_EQ(ZrIntlGetDateOrdering(), -1);
        write_intl_profile("sShortDate=dd/MM/yy\n");
        EXPECT_EQ(ZrIntlGetDateOrdering(), 1);
        write_intl_profile("sShortDate=yy/MM/dd\n");
        EXPECT_EQ(ZrIntlGetDateOrdering(), 1);
    });
    // So is a separator byte 255, until another is read.
    write_intl_profile("sTime=\xFF\nsShortDate=dd\xFFMM\xFFyy\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '\xFF');
        EXPECT_EQ(ZrIntlGetDateSeperator(), '\xFF');
        write_intl_profile("sTime=.\nsShortDate=dd-MM-yy\n");
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '.');
        EXPECT_EQ(ZrIntlGetDateSeperator(), '-');
        write_intl_profile("sTime=,\nsShortDate=dd.MM.yy\n");
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '.');
        EXPECT_EQ(ZrIntlGetDateSeperator(), '-');
    });
}

TEST_F(LocaleTest, HowValuesAreRead) {
    // Empty values give NUL separators and an empty pattern (present, so not the default).
    write_intl_profile("sTime=\nsThousand=\nsDecimal=\nsShortDate=\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '\0');
        EXPECT_EQ(ZrIntlGetThousandSeperator(), '\0');
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), '\0');
        EXPECT_STREQ(ZrIntlGetDateString(), "");
        EXPECT_EQ(ZrIntlGetDateSeperator(), '/');
        EXPECT_EQ(ZrIntlGetDateOrdering(), -1);
    });
    // The long date pattern loses its apostrophes, the short one keeps them; the leading-zero
    // flag is the low byte; country 81 is the Japanese code page.
    write_intl_profile("sLongDate=dddd, d 'de' MMMM\nsShortDate=dd 'of' MM yy\niTLZero=257\n"
                       "iCountry=81\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_STREQ(ZrIntlGetLongDateString(), "dddd, d de MMMM");
        EXPECT_STREQ(ZrIntlGetDateString(), "dd 'of' MM yy");
        EXPECT_EQ(ZrIntlGetDateSeperator(), ' ');
        EXPECT_EQ(ZrIntlIsTLZero(), 1);
        EXPECT_STREQ(ZrIntlGetCodePageName(), "Ja_JP");
        EXPECT_EQ(brtl_setlocale(ZrIntlGetCodePageName()), 0); // the host's use of it
        EXPECT_STREQ(brtl_getlocale(), "Ja_JP");
    });
    // Separators are cut to their first character after the blanks; patterns after 63.
    const std::string pattern = "dddd" + std::string(60, ' ') + "MMMM yyyy";
    write_intl_profile("sTime=h:\nsThousand=  '.\nsDecimal=,.\niTLZero=256\niCountry=810\n"
                       "sLongDate=" +
                       pattern + "\nsShortDate='" + pattern + "\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(ZrIntlGetTimeSeperator(), 'h');
        EXPECT_EQ(ZrIntlGetThousandSeperator(), '\'');
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), ',');
        EXPECT_EQ(ZrIntlIsTLZero(), 0);
        EXPECT_STREQ(ZrIntlGetCodePageName(), "C");
        EXPECT_EQ(std::string(ZrIntlGetLongDateString()), pattern.substr(0, 63));
        EXPECT_EQ(std::string(ZrIntlGetDateString()), "'" + pattern.substr(0, 62));
    });
    write_intl_profile("iCountry=1\n");
    BRTL_IN_FRESH_PROCESS({ EXPECT_STREQ(ZrIntlGetCodePageName(), "C"); });
}

TEST_F(LocaleTest, ProfilePathSetByTheHostWinsOverTheEnvironment) {
    write_intl_profile("sTime=.\nsDecimal=;\n");
    const auto other = scratch_dir() / "other.ini";
    std::ofstream(other) << "[intl]\nsTime=-\n";
    BRTL_IN_FRESH_PROCESS({
        brtl_set_profile_path(other.c_str());
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '-');
        brtl_set_profile_path(nullptr); // back to BRTL_PROFILE
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), ';');
    });
}
