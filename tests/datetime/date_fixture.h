// What the date suites share: a fixture whose host answers the English words and, for the
// multibyte locale, Japanese era names and unit markers (the parser keeps the words it first
// reads for the whole process, so every date test installs the same ones); an independent
// calendar for expected serials; and small call helpers.
#pragma once

#include <cstdint>
#include <string>

#include "harness/harness.h"

namespace brtl_test {

// Shift-JIS (code page 932) bytes of the Japanese words the tests use.
namespace sjis {
inline const std::string kMeiji = "\x96\xbe\x8e\xa1";
inline const std::string kTaisho = "\x91\xe5\x90\xb3";
inline const std::string kShowa = "\x8f\xba\x98\x61";
inline const std::string kHeisei = "\x95\xbd\x90\xac";
inline const std::string kYear = "\x94\x4e";
inline const std::string kMonth = "\x8c\x8e";
inline const std::string kDay = "\x93\xfa";
inline const std::string kHour = "\x8e\x9e";
inline const std::string kMinute = "\x95\xaa";
inline const std::string kSecond = "\x95\x62";
inline const std::string kFullWidthSpace = "\x81\x40";
} // namespace sjis

// The words of every date test: the English text hook's, the era names (long names, one-letter
// short names) and the unit markers.
void install_date_texts();

// Days from 30 December 1899 of a proleptic Gregorian date, by the days-from-civil formula.
double civil_serial(int64_t y, int64_t m, int64_t d);
// The serial of a date at a time of day, the time read forward from that day's midnight.
double civil_serial(int64_t y, int64_t m, int64_t d, int h, int n, int s);

class DateTest : public RuntimeTest {
  protected:
    void SetUp() override;
    // Puts the library clock back on the machine's time.
    void TearDown() override;
};

// ZbiParseDateAndTime of a temporary copy of text.
VARIANT parse(const std::string &text, int32_t kind, bool quiet = true);

constexpr int32_t kTime = 0, kDate = 1, kBoth = 2;

// The serial of a time of day.
double hms(int h, int n, int s);
// Success when the text parses (quietly) with the kind to the Date expected.
::testing::AssertionResult parses_to(const std::string &text, int32_t kind, double expected);
// Success when the text is not accepted with the kind (quiet: Empty).
::testing::AssertionResult rejected(const std::string &text, int32_t kind);

// Text written into the scratch profile's [intl] section (before a fresh process reads it).
void write_intl_profile(const std::string &lines);

} // namespace brtl_test
