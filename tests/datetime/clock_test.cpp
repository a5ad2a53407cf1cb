// The clock operations of the locale family: reading the local time, and setting the date and
// the time of the library's clock (an offset from the machine's clock, which stays untouched).
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "harness/harness.h"
#include "platform/clock.h"

using namespace brtl_test;

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date, by era arithmetic.
int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// 0 = Sunday; 1 January 1970 was a Thursday.
int weekday_of(int64_t y, int64_t m, int64_t d) {
    return static_cast<int>(((days_from_civil(y, m, d) + 4) % 7 + 7) % 7);
}

int64_t seconds_of(const BiBrokenDownTime &t) {
    return days_from_civil(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday) * 86400 + t.tm_hour * 3600 +
           t.tm_min * 60 + t.tm_sec;
}

int64_t time_of_day(const BiBrokenDownTime &t) {
    return t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec;
}

// The machine's local time, read independently of the library.
BiBrokenDownTime machine_now() {
    std::time_t now = std::time(nullptr);
    std::tm parts = *std::localtime(&now);
    return {parts.tm_sec, parts.tm_min,  parts.tm_hour, parts.tm_mday,
            parts.tm_mon, parts.tm_year, parts.tm_wday};
}

BiBrokenDownTime library_now() {
    BiBrokenDownTime t{-1, -1, -1, -1, -1, -1, -1};
    ZrIntlGetSystemDateTime(&t);
    return t;
}

// Two times of day at most `slack` seconds apart, across midnight too.
bool close_times_of_day(int64_t a, int64_t b, int64_t slack) {
    int64_t d = ((a - b) % 86400 + 86400) % 86400;
    return d <= slack || 86400 - d <= slack;
}

void expect_date(const BiBrokenDownTime &t, int y, int m, int d) {
    EXPECT_EQ(t.tm_year, y - 1900);
    EXPECT_EQ(t.tm_mon, m - 1);
    EXPECT_EQ(t.tm_mday, d);
    EXPECT_EQ(t.tm_wday, weekday_of(y, m, d));
}

class ClockTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        unsetenv("BRTL_SET_SYSTEM_CLOCK"); // the machine's clock is never set by these tests
        brtl::pf::reset_clock_offset();
    }
    void TearDown() override {
        brtl::pf::reset_clock_offset();
        RuntimeTest::TearDown();
    }
};

} // namespace

TEST_F(ClockTest, ReadsTheMachinesLocalTime) {
    BiBrokenDownTime machine = machine_now();
    BiBrokenDownTime t = library_now();
    EXPECT_LE(std::llabs(seconds_of(t) - seconds_of(machine)), 2);
    EXPECT_EQ(t.tm_wday, weekday_of(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday));
    EXPECT_GE(t.tm_sec, 0);
    EXPECT_LE(t.tm_sec, 59);
}

TEST_F(ClockTest, SettingTheDateKeepsTheTimeOfDayAndLeavesTheMachineClock) {
    std::time_t before = std::time(nullptr);
    ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0);
    BiBrokenDownTime t = library_now();
    expect_date(t, 2001, 6, 15); // a Friday
    EXPECT_EQ(t.tm_wday, 5);
    EXPECT_TRUE(close_times_of_day(time_of_day(t), time_of_day(machine_now()), 2));
    EXPECT_LE(std::time(nullptr) - before, 2);
}

TEST_F(ClockTest, ImpossibleDatesAreRefusedAndChangeNothing) {
    ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0);
    const int64_t offset = brtl::pf::clock_offset_milliseconds();
    struct Date {
        int32_t day, month, year;
    };
    for (Date d : {Date{31, 2, 1996}, Date{30, 2, 1996}, Date{29, 2, 1900}, Date{29, 2, 2001},
                   Date{31, 4, 2001}, Date{0, 6, 2001}, Date{1, 13, 2001}, Date{1, 0, 2001},
                   Date{1, 1, 1600}, Date{1, 1, 30828}, Date{-1, 6, 2001}, Date{1, 1, 0}}) {
        SCOPED_TRACE(testing::Message() << d.day << "/" << d.month << "/" << d.year);
        EXPECT_EQ(ZrIntlSetSystemDate(d.day, d.month, d.year), 1);
        EXPECT_EQ(brtl::pf::clock_offset_milliseconds(), offset);
    }
    expect_date(library_now(), 2001, 6, 15);
}

TEST_F(ClockTest, DatesAtTheEdgesOfTheCalendar) {
    EXPECT_EQ(ZrIntlSetSystemDate(29, 2, 1996), 0);
    expect_date(library_now(), 1996, 2, 29);
    EXPECT_EQ(ZrIntlSetSystemDate(29, 2, 2000), 0); // divisible by 400
    expect_date(library_now(), 2000, 2, 29);
    EXPECT_EQ(ZrIntlSetSystemDate(1, 1, 1601), 0);
    expect_date(library_now(), 1601, 1, 1);
    EXPECT_EQ(ZrIntlSetSystemDate(31, 12, 30827), 0);
    expect_date(library_now(), 30827, 12, 31);
}

TEST_F(ClockTest, OnlyTheLow16BitsOfEachArgumentCount) {
    EXPECT_EQ(ZrIntlSetSystemDate(15 + 65536, 6 + 3 * 65536, 2001 - 65536), 0);
    expect_date(library_now(), 2001, 6, 15);
    EXPECT_EQ(ZrIntlSetSystemTime(13 + 65536, 14 - 2 * 65536, 15 + 65536), 0);
    EXPECT_TRUE(close_times_of_day(time_of_day(library_now()), 13 * 3600 + 14 * 60 + 15, 2));
}

TEST_F(ClockTest, SettingTheTimeKeepsTheDate) {
    ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0);
    ASSERT_EQ(ZrIntlSetSystemTime(13, 14, 15), 0);
    BiBrokenDownTime t = library_now();
    expect_date(t, 2001, 6, 15);
    EXPECT_EQ(t.tm_hour, 13);
    EXPECT_EQ(t.tm_min, 14);
    EXPECT_GE(t.tm_sec, 15);
    EXPECT_LE(t.tm_sec, 17);
    EXPECT_EQ(ZrIntlSetSystemTime(23, 59, 59), 0);
    EXPECT_EQ(ZrIntlSetSystemTime(0, 0, 0), 0);
    EXPECT_TRUE(close_times_of_day(time_of_day(library_now()), 0, 2));
}

TEST_F(ClockTest, TimesOutOfRangeAreRefusedAndChangeNothing) {
    ASSERT_EQ(ZrIntlSetSystemTime(10, 0, 0), 0);
    const int64_t offset = brtl::pf::clock_offset_milliseconds();
    EXPECT_EQ(ZrIntlSetSystemTime(24, 0, 0), 1);
    EXPECT_EQ(ZrIntlSetSystemTime(25, 0, 0), 1);
    EXPECT_EQ(ZrIntlSetSystemTime(23, 60, 0), 1);
    EXPECT_EQ(ZrIntlSetSystemTime(23, 59, 60), 1);
    EXPECT_EQ(ZrIntlSetSystemTime(-1, 0, 0), 1);
    EXPECT_EQ(brtl::pf::clock_offset_milliseconds(), offset);
}

TEST_F(ClockTest, TheSetClockKeepsRunning) {
    ASSERT_EQ(ZrIntlSetSystemTime(10, 0, 0), 0); // milliseconds 0
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    BiBrokenDownTime t = library_now();
    EXPECT_EQ(t.tm_hour, 10);
    EXPECT_EQ(t.tm_min, 0);
    EXPECT_GE(t.tm_sec, 1);
    EXPECT_LE(t.tm_sec, 3);
}
