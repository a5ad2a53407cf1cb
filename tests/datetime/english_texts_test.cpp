// The English text hook: every word id the date, format and Boolean code asks for, and a
// message for every trap number the runtime raises.
#include <set>
#include <string>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

std::string text(int32_t id) {
    const char *t = brtl_english_text(id);
    return t == nullptr ? std::string("<null>") : std::string(t);
}

} // namespace

TEST(EnglishTexts, MonthAndDayNamesInCalendarOrder) {
    EXPECT_EQ(text(-1001), "January");
    EXPECT_EQ(text(-1002), "February");
    EXPECT_EQ(text(-1005), "May");
    EXPECT_EQ(text(-1009), "September");
    EXPECT_EQ(text(-1012), "December");
    EXPECT_EQ(text(-1013), "Sunday");
    EXPECT_EQ(text(-1019), "Saturday");
    // The two further day-name tables: full names, then the abbreviations, Sunday first.
    EXPECT_EQ(text(-1101), "Sunday");
    EXPECT_EQ(text(-1107), "Saturday");
    EXPECT_EQ(text(-1108), "Sun");
    EXPECT_EQ(text(-1111), "Wed");
    EXPECT_EQ(text(-1114), "Sat");
    EXPECT_EQ(text(-1021), "AM");
    EXPECT_EQ(text(-1020), "PM");
}

TEST(EnglishTexts, NamedFormatNamesAndBooleanWords) {
    const char *names[] = {"General Number", "Currency",     "Fixed",       "Standard",
                           "Percent",        "Scientific",   "Yes/No",      "True/False",
                           "On/Off",         "General Date", "Long Date",   "Medium Date",
                           "Short Date",     "Long Time",    "Medium Time", "Short Time"};
    std::set<std::string> seen;
    for (int32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(text(-1022 - i), names[i]);
        seen.insert(text(-1022 - i));
    }
    EXPECT_EQ(seen.size(), 16u); // the format engine needs a distinct name for each entry
    EXPECT_EQ(text(-1038), "True");
    EXPECT_EQ(text(-1039), "False");
}

TEST(EnglishTexts, EveryTrapNumberOfTheRuntimeHasAMessage) {
    const int32_t traps[] = {5,  6,  7,  8,  11, 13, 14, 17, 51, 52, 53, 54, 55, 57, 58,
                             59, 61, 62, 63, 64, 67, 68, 70, 71, 74, 75, 76, 93, 94, -1};
    for (int32_t n : traps) {
        const char *t = brtl_english_text(n);
        ASSERT_NE(t, nullptr) << n;
        EXPECT_GT(std::string(t).size(), 3u) << n;
    }
    EXPECT_EQ(text(13), "Type mismatch");
    EXPECT_EQ(text(53), "File not found");
    EXPECT_EQ(text(94), "Invalid use of Null");
}

TEST(EnglishTexts, OtherIdsHaveNoText) {
    for (int32_t id : {0, 1, 4, 9, 95, 1000, -2, -1000, -1040, -1100, -1115, -1121, -1146, -1151,
                       INT32_MIN, INT32_MAX})
        EXPECT_EQ(brtl_english_text(id), nullptr) << id;
}

class EnglishTextHookTest : public RuntimeTest {};

TEST_F(EnglishTextHookTest, InstalledAsTheTextHookItAnswersErrorText) {
    ZbiInitBasicRTL(brtl_english_text, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
    EXPECT_EQ(take(ZbiBuiltIn_Error_(11)), "Division by zero");
    EXPECT_EQ(take(ZbiBuiltIn_Error_(1000)), "");
}
