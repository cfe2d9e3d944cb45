#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>
#include "settings/settings.h"
#include "text/countdown.h"

namespace {

// A local broken-down time as the runtime gives it, day of the year included.
std::tm At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    time.tm_isdst = -1;
    std::mktime(&time);
    return time;
}

struct Case {
    std::tm now;
    int year, month, day;  // the target, month 0-based as stored
    const char* line;
};

TEST(CountdownText, LinesForTheClockAndTheTarget) {
    const char* over = "The wait is over! Or has it just begun?";
    const Case cases[] = {
        {At(2002, 1, 10, 20, 55, 55), 2003, 0, 13, "1 Year,2 Days,3 Hours,4 Minutes,5 Seconds."},
        {At(2002, 4, 15, 23, 59, 30), 2002, 4, 16, "30 Days,30 Seconds."},
        {At(2002, 12, 1), 2004, 0, 10, "1 Year,40 Days."},
        // Singular and plural; units of 0 are left out, also between others.
        {At(2002, 5, 14, 22, 58, 59), 2003, 4, 16, "1 Year,1 Day,1 Hour,1 Minute,1 Second."},
        // The target second itself is empty; every later moment is over.
        {At(2002, 5, 16), 2002, 4, 16, ""},
        {At(2002, 5, 16, 0, 0, 1), 2002, 4, 16, over},
        // A leap year's day of the year runs one ahead of the table from 1 March on.
        {At(2004, 2, 1), 2004, 1, 11, "10 Days."},
        {At(2004, 3, 1), 2004, 2, 11, "9 Days."},
        {At(2004, 2, 28), 2004, 2, 1, "1 Day."},
        // The leap day itself, which the dialog accepts in leap years, counts true.
        {At(2028, 2, 28, 12), 2028, 1, 29, "12 Hours."},
        {At(2027, 12, 31), 2028, 1, 29, "60 Days."},
        {At(2027, 2, 28), 2028, 1, 29, "1 Year,1 Day."},
        {At(2028, 2, 29), 2028, 1, 29, ""},
        // Stored months outside the table count all of it or none of it; a day beyond its
        // month runs on into the next.
        {At(2002, 1, 1), 2002, 12, 1, "365 Days."},
        {At(2002, 1, 1), 2002, INT_MAX, 1, "365 Days."},
        {At(2002, 1, 1), 2002, -1, 2, "1 Day."},
        {At(2002, 1, 1), 2002, INT_MIN, 2, "1 Day."},
        {At(2002, 1, 1), 2002, 0, 40, "39 Days."},
        {At(2002, 1, 1, 12), INT_MIN, 4, 16, over},
        {At(2002, 1, 1, 12, 30, 30), INT_MAX, 4, 16,
         "2147481645 Years,134 Days,11 Hours,29 Minutes,30 Seconds."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountdownText(c.now, c.year, c.month, c.day), c.line)
            << std::asctime(&c.now) << " to " << c.year << "/" << c.month << "/" << c.day;
    }
}

TEST(BuildCountdownText, WritesTheLineForTheClockAndTheSettingsWithinTheBuffer) {
    const SaverSettings saved = saverSettings;
    saverSettings.countToYear = 9999;
    char line[100];
    BuildCountdownText(line, sizeof(line));
    EXPECT_EQ(std::string(line).find(" Years,"), 4u) << line;
    // The longest lines still fit the overlay's buffer.
    EXPECT_LT(CountdownText(At(2002, 1, 1, 12, 30, 30), 2002, 4, INT_MAX).size(), 100u);

    saverSettings.countToYear = 2002;
    std::memset(line, '#', sizeof(line));
    BuildCountdownText(line, 8);
    EXPECT_STREQ(line, "The wai");
    EXPECT_EQ(line[8], '#');
    line[0] = '#';
    BuildCountdownText(line, 0);
    EXPECT_EQ(line[0], '#');
    saverSettings = saved;
}

}  // namespace
