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

TEST(CountdownText, ExampleLines) {
    EXPECT_EQ(CountdownText(At(2002, 1, 10, 20, 55, 55), 2003, 0, 13),
              "1 Year,2 Days,3 Hours,4 Minutes,5 Seconds.");
    EXPECT_EQ(CountdownText(At(2002, 4, 15, 23, 59, 30), 2002, 4, 16), "30 Days,30 Seconds.");
    EXPECT_EQ(CountdownText(At(2002, 5, 15, 22, 0, 0), 2002, 4, 16), "2 Hours.");
    EXPECT_EQ(CountdownText(At(2002, 5, 15, 23, 59, 0), 2002, 4, 16), "1 Minute.");
    EXPECT_EQ(CountdownText(At(2002, 12, 1), 2004, 0, 10), "1 Year,40 Days.");
}

TEST(CountdownText, SingularAndPluralSuffixes) {
    EXPECT_EQ(CountdownText(At(2002, 5, 14, 22, 58, 59), 2003, 4, 16),
              "1 Year,1 Day,1 Hour,1 Minute,1 Second.");
    EXPECT_EQ(CountdownText(At(2001, 5, 13, 21, 57, 58), 2003, 4, 16),
              "2 Years,2 Days,2 Hours,2 Minutes,2 Seconds.");
    EXPECT_EQ(CountdownText(At(2002, 5, 15, 23, 59, 59), 2002, 4, 16), "1 Second.");
}

TEST(CountdownText, ZeroUnitsAreLeftOutAndTheLastSuffixBecomesAFullStop) {
    EXPECT_EQ(CountdownText(At(2002, 5, 15, 23, 55, 0), 2003, 4, 16), "1 Year,5 Minutes.");
    EXPECT_EQ(CountdownText(At(2002, 5, 13, 23, 59, 53), 2002, 4, 16), "2 Days,7 Seconds.");
    EXPECT_EQ(CountdownText(At(2001, 5, 16, 12, 0, 0), 2002, 4, 16), "364 Days,12 Hours.");
    EXPECT_EQ(CountdownText(At(2001, 5, 16), 2002, 4, 16), "1 Year.");
}

TEST(CountdownText, TheTargetSecondItselfIsEmpty) {
    EXPECT_EQ(CountdownText(At(2002, 5, 16), 2002, 4, 16), "");
}

TEST(CountdownText, EveryMomentAfterTheTargetGivesTheClosingSentence) {
    const std::string over = "The wait is over! Or has it just begun?";
    EXPECT_EQ(COUNTDOWN_OVER_TEXT, over);
    EXPECT_EQ(CountdownText(At(2002, 5, 16, 0, 0, 1), 2002, 4, 16), over);
    EXPECT_EQ(CountdownText(At(2002, 5, 16, 23, 59, 59), 2002, 4, 16), over);
    EXPECT_EQ(CountdownText(At(2002, 12, 31, 23, 59, 59), 2002, 4, 16), over);
    EXPECT_EQ(CountdownText(At(2003, 5, 16), 2002, 4, 16), over);
    EXPECT_EQ(CountdownText(At(2031, 1, 1), 2002, 4, 16), over);
}

TEST(CountdownText, LeapYearsCountTheDayOfTheYearFromAThreeHundredSixtyFiveDayTable) {
    // Before 29 February the calendar and the table agree.
    EXPECT_EQ(CountdownText(At(2004, 2, 1), 2004, 1, 11), "10 Days.");
    // From 1 March on the current day of the year is one ahead of the table.
    EXPECT_EQ(CountdownText(At(2004, 3, 1), 2004, 2, 11), "9 Days.");
    EXPECT_EQ(CountdownText(At(2004, 2, 28), 2004, 2, 1), "1 Day.");
    EXPECT_EQ(CountdownText(At(2004, 12, 30), 2005, 0, 1), "1 Day.");
}

TEST(CountdownText, StoredDatesOutsideTheTableStayWithinIt) {
    const std::tm newYear = At(2002, 1, 1);
    // A month past December counts the whole table; one before January counts none of it.
    EXPECT_EQ(CountdownText(newYear, 2002, 12, 1), "365 Days.");
    EXPECT_EQ(CountdownText(newYear, 2002, INT_MAX, 1), "365 Days.");
    EXPECT_EQ(CountdownText(newYear, 2002, -1, 2), "1 Day.");
    EXPECT_EQ(CountdownText(newYear, 2002, INT_MIN, 2), "1 Day.");
    // A day beyond its month runs on into the following days of the year.
    EXPECT_EQ(CountdownText(newYear, 2002, 0, 40), "39 Days.");
    EXPECT_EQ(CountdownText(newYear, 2002, 0, 40), CountdownText(newYear, 2002, 1, 9));
}

TEST(CountdownText, ExtremeStoredValuesFitTheOverlayBuffer) {
    const std::tm now = At(2002, 1, 1, 12, 30, 30);
    const std::string distant = CountdownText(now, INT_MAX, 4, 16);
    EXPECT_EQ(distant.rfind("2147481645 Years,", 0), 0u) << distant;
    EXPECT_LT(distant.size(), 100u);
    EXPECT_LT(CountdownText(now, 2002, 4, INT_MAX).size(), 100u);
    EXPECT_EQ(CountdownText(now, INT_MIN, 4, 16), COUNTDOWN_OVER_TEXT);
}

class BuildCountdownTextTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = saverSettings; }
    void TearDown() override { saverSettings = saved_; }
    static std::string Now() {
        const std::time_t now = std::time(nullptr);
        return CountdownText(*std::localtime(&now), saverSettings.countToYear,
                             saverSettings.countToMonth, saverSettings.countToDay);
    }
    SaverSettings saved_;
};

TEST_F(BuildCountdownTextTest, WritesTheLineForTheClockAndTheSettings) {
    saverSettings.countToYear = 9999;
    saverSettings.countToMonth = 11;
    saverSettings.countToDay = 31;
    char line[100];
    const std::string before = Now();
    BuildCountdownText(line, sizeof(line));
    const std::string after = Now();
    EXPECT_TRUE(line == before || line == after) << line;
    EXPECT_EQ(std::string(line).find(" Years,"), 4u) << line;

    saverSettings.countToYear = 2002;
    BuildCountdownText(line, sizeof(line));
    EXPECT_STREQ(line, COUNTDOWN_OVER_TEXT);
}

TEST_F(BuildCountdownTextTest, CopiesNoMoreThanTheBufferHolds) {
    saverSettings.countToYear = 2002;
    char line[16];
    std::memset(line, '#', sizeof(line));
    BuildCountdownText(line, 8);
    EXPECT_STREQ(line, "The wai");
    EXPECT_EQ(line[8], '#');

    line[0] = '#';
    BuildCountdownText(line, 0);
    EXPECT_EQ(line[0], '#');
}

}  // namespace
