// The [intl] settings: defaults, derived values, and the rules of what is kept for the process
// (every test that reads a setting does so in a newly started process, because the values are
// read once per process); and the English text hook: every word id the date, format and Boolean
// code asks for, and a message for every trap number the runtime raises.
#include <sstream>

#include "date_fixture.h"
#include "harness/fresh_process.h"

using namespace brtl_test;
using namespace std::string_literals;

namespace {

class LocaleTest : public RuntimeTest {};

void write_profile(const std::string &text) {
    std::ofstream(scratch_profile(), std::ios::binary | std::ios::trunc) << text;
}

// Every setting, in this order: time and date separators, long and short date patterns, time
// format, date order, thousand and decimal separators, leading zero, code page.
std::string settings() {
    std::ostringstream s;
    s << ZrIntlGetTimeSeperator() << "|" << ZrIntlGetDateSeperator() << "|"
      << ZrIntlGetLongDateString() << "|" << ZrIntlGetDateString() << "|" << ZrIntlGetTimeFomat()
      << "|" << ZrIntlGetDateOrdering() << "|" << ZrIntlGetThousandSeperator() << "|"
      << ZrIntlGetDecimalSeperator() << "|" << +ZrIntlIsTLZero() << "|" << ZrIntlGetCodePageName();
    return s.str();
}

std::string english(int32_t id) {
    const char *t = brtl_english_text(id);
    return t == nullptr ? std::string() : std::string(t); // a missing text is empty
}

const std::string kDefaults = ":|/|mmmm dd, yyyy|mm/dd/yy|0|0|,|.|0|C";

} // namespace

TEST_F(LocaleTest, SettingsOfAProfile) {
    // The defaults without an [intl] section, or with country 1; section and key names ignore
    // case; empty values give NUL separators and an empty pattern (present, so not the
    // default); the long date pattern loses its apostrophes, the short one keeps them; the
    // leading-zero flag is the low byte; country 81 is the Japanese code page.
    const std::pair<std::string, std::string> rows[] = {
        {"[desktop]\nsTime=.\nsShortDate=dd.MM.yyyy\niCountry=81\n", kDefaults},
        {"[intl]\niCountry=1\n", kDefaults},
        {"[INTL]\nSTIME=-\nsshortdate=yyyy-MM-dd\n", "-|-|mmmm dd, yyyy|yyyy-MM-dd|0|2|,|.|0|C"},
        {"[intl]\nsTime=\nsThousand=\nsDecimal=\nsShortDate=\n",
         "\0|/|mmmm dd, yyyy||0|-1|\0|\0|0|C"s},
        {"[intl]\nsLongDate=dddd, d 'de' MMMM\nsShortDate=dd 'of' MM yy\niTLZero=257\n"
         "iCountry=81\n",
         ":| |dddd, d de MMMM|dd 'of' MM yy|0|1|,|.|1|Ja_JP"},
    };
    for (const auto &[profile, expected] : rows) {
        write_profile(profile);
        BRTL_IN_FRESH_PROCESS({
            EXPECT_EQ(settings(), expected);
            EXPECT_EQ(brtl_setlocale(ZrIntlGetCodePageName()), 0); // the host's use of it
            EXPECT_STREQ(brtl_getlocale(), ZrIntlGetCodePageName());
        });
    }
    // Without a profile file: the defaults.
    BRTL_IN_FRESH_PROCESS({
        brtl_set_profile_path((scratch_dir() / "no-such-dir" / "profile.ini").string().c_str());
        EXPECT_EQ(settings(), kDefaults);
    });
    // Separators are cut to their first character after the blanks, patterns after 63; the
    // leading-zero flag is the low byte; country 810 is not 81.
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
}

TEST_F(LocaleTest, SeparatorAndOrderFromTheShortDatePattern) {
    // Without a separator character, "/"; year-day-month is none of the named orders; the first
    // lower-case "d" decides, and "D" is a date letter too.
    const std::tuple<const char *, char, int32_t> rows[] = {
        {"dd.MM.yyyy", '.', 1}, {"yyyy-MM-dd", '-', 2}, {"M/d/yy", '/', 0},  {"ddMMyy", '/', 1},
        {"yyyy dd MM", ' ', 0}, {"MM-yy-dd", '-', 0},   {"yD/MM/dd", '/', 2}};
    for (auto [pattern, separator, order] : rows) {
        SCOPED_TRACE(pattern);
        write_intl_profile("sShortDate="s + pattern + "\n");
        BRTL_IN_FRESH_PROCESS({
            EXPECT_EQ(ZrIntlGetDateSeperator(), separator);
            EXPECT_EQ(ZrIntlGetDateOrdering(), order);
            EXPECT_STREQ(ZrIntlGetDateString(), pattern);
        });
    }
}

TEST_F(LocaleTest, WhatIsKeptForTheProcess) {
    // Every value read is kept, even when the profile changes.
    const std::string kept = ".|.|d. MMMM yyyy|dd.MM.yyyy|1|1|.|,|1|C";
    write_intl_profile("sTime=.\nsLongDate=d. MMMM yyyy\nsShortDate=dd.MM.yyyy\niTime=1\n"
                       "sThousand=.\nsDecimal=,\niTLZero=1\niCountry=49\n");
    BRTL_IN_FRESH_PROCESS({
        EXPECT_EQ(settings(), kept);
        write_intl_profile("sTime=:\nsLongDate=mmmm\nsShortDate=yy/MM/dd\niTime=0\n"
                           "sThousand=,\nsDecimal=.\niTLZero=0\niCountry=81\n");
        EXPECT_EQ(settings(), kept);
    });
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
    // The profile path the host sets wins over the environment's.
    write_intl_profile("sTime=.\nsDecimal=;\n");
    const auto other = scratch_dir() / "other.ini";
    std::ofstream(other) << "[intl]\nsTime=-\n";
    BRTL_IN_FRESH_PROCESS({
        brtl_set_profile_path(other.string().c_str());
        EXPECT_EQ(ZrIntlGetTimeSeperator(), '-');
        brtl_set_profile_path(nullptr); // back to BRTL_PROFILE
        EXPECT_EQ(ZrIntlGetDecimalSeperator(), ';');
    });
}

TEST_F(LocaleTest, EnglishWordsOfTheDateFormatAndBooleanCode) {
    // The first and last word of each table (months and days in calendar order, two further
    // day-name tables Sunday first, the named formats; the Format suites use every word); the
    // trap messages.
    const std::pair<int32_t, const char *> rows[] = {{-1001, "January"},
                                                     {-1012, "December"},
                                                     {-1013, "Sunday"},
                                                     {-1019, "Saturday"},
                                                     {-1101, "Sunday"},
                                                     {-1107, "Saturday"},
                                                     {-1108, "Sun"},
                                                     {-1114, "Sat"},
                                                     {-1021, "AM"},
                                                     {-1020, "PM"},
                                                     {-1022, "General Number"},
                                                     {-1037, "Short Time"},
                                                     {-1038, "True"},
                                                     {-1039, "False"},
                                                     {13, "Type mismatch"},
                                                     {94, "Invalid use of Null"}};
    for (auto [id, expected] : rows)
        EXPECT_EQ(english(id), expected) << id;
    for (int32_t n : {5,  6,  7,  8,  11, 13, 14, 17, 51, 52, 53, 54, 55, 57, 58,
                      59, 61, 62, 63, 64, 67, 68, 70, 71, 74, 75, 76, 93, 94, -1})
        EXPECT_GT(english(n).size(), 3u) << n;
    for (int32_t id : {0, 1, 4, 9, 95, 1000, -2, -1000, -1040, -1100, -1115, -1121, -1146, -1151,
                       INT32_MIN, INT32_MAX})
        EXPECT_EQ(brtl_english_text(id), nullptr) << id;
    // Installed as the text hook, it answers the error texts.
    ZbiInitBasicRTL(brtl_english_text, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
    EXPECT_EQ(take(ZbiBuiltIn_Error_(11)), "Division by zero");
    EXPECT_EQ(take(ZbiBuiltIn_Error_(1000)), "");
}
