// The English text hook: every word id the date, format and Boolean code asks for, and a
// message for every trap number the runtime raises.
#include <string>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

std::string text(int32_t id) {
    const char *t = brtl_english_text(id);
    return t == nullptr ? std::string() : std::string(t); // a missing text is empty
}

} // namespace

TEST(EnglishTexts, WordsOfTheDateFormatAndBooleanCode) {
    // Month and day names in calendar order; two further day-name tables (full names, then
    // abbreviations, Sunday first); the named formats; the trap messages.
    const std::pair<int32_t, const char *> rows[] = {
        {-1001, "January"},
        {-1002, "February"},
        {-1005, "May"},
        {-1009, "September"},
        {-1012, "December"},
        {-1013, "Sunday"},
        {-1019, "Saturday"},
        {-1101, "Sunday"},
        {-1107, "Saturday"},
        {-1108, "Sun"},
        {-1111, "Wed"},
        {-1114, "Sat"},
        {-1021, "AM"},
        {-1020, "PM"},
        {-1038, "True"},
        {-1039, "False"},
        {13, "Type mismatch"},
        {53, "File not found"},
        {94, "Invalid use of Null"},
    };
    for (auto [id, expected] : rows)
        EXPECT_EQ(text(id), expected) << id;
    const char *names[] = {"General Number", "Currency",     "Fixed",       "Standard",
                           "Percent",        "Scientific",   "Yes/No",      "True/False",
                           "On/Off",         "General Date", "Long Date",   "Medium Date",
                           "Short Date",     "Long Time",    "Medium Time", "Short Time"};
    for (int32_t i = 0; i < 16; ++i)
        EXPECT_EQ(text(-1022 - i), names[i]);
    for (int32_t n : {5,  6,  7,  8,  11, 13, 14, 17, 51, 52, 53, 54, 55, 57, 58,
                      59, 61, 62, 63, 64, 67, 68, 70, 71, 74, 75, 76, 93, 94, -1})
        EXPECT_GT(text(n).size(), 3u) << n;
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
