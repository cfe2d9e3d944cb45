#include <gtest/gtest.h>
#include <cstdint>
#include <string>
#include "settings/config_dialog.h"

namespace {

constexpr int64_t EMPTY = -1;
const std::string OK = "accepted";
const std::string BAD_DATE = "Please enter a valid date!";
const std::string BAD_YEAR = "Please enter a valid year!";
const std::string BAD_MONTH = "Please enter a valid month! (1-12)";
const std::string BAD_DAY = "Please enter a valid day of the month!";

// The first failing check speaks: the year before the month before the day.
TEST(CountdownDate, EachFieldInItsRangeOrTheFirstProblemNamed) {
    const struct {
        int64_t day, month, year;
        const std::string& verdict;
    } cases[] = {
        // 29 February only in leap years; the leap day belongs to February only.
        {29, 2, 2000, OK},
        {29, 2, 2004, OK},
        {29, 2, 2024, OK},
        {29, 2, 2400, OK},
        {29, 2, 9996, OK},
        {30, 2, 2024, BAD_DAY},
        {29, 2, 1900, BAD_DAY},
        {29, 2, 2023, BAD_DAY},
        {29, 2, 2100, BAD_DAY},
        {29, 2, 9999, BAD_DAY},
        {28, 2, 2100, OK},
        {31, 4, 2024, BAD_DAY},
        {30, 4, 2005, OK},
        {31, 12, 2005, OK},
        {31, 1, 2005, OK},
        {32, 12, 2005, BAD_DAY},
        {0, 6, 2005, BAD_DAY},
        {4294967295, 6, 2005, BAD_DAY},
        {16, 5, 1899, BAD_YEAR},
        {16, 5, 10000, BAD_YEAR},
        {16, 5, 0, BAD_YEAR},
        {16, 5, 4294967295, BAD_YEAR},
        {1, 1, 1900, OK},
        {31, 12, 9999, OK},
        {16, 0, 2005, BAD_MONTH},
        {16, 13, 2005, BAD_MONTH},
        {16, 4294967295, 2005, BAD_MONTH},
        {16, 5, EMPTY, BAD_DATE},
        {16, EMPTY, 2005, BAD_DATE},
        {EMPTY, 5, 2005, BAD_DATE},
        {EMPTY, 13, EMPTY, BAD_DATE},
        {40, EMPTY, 1899, BAD_YEAR},
        {EMPTY, 13, 2005, BAD_MONTH},
        {40, EMPTY, 2005, BAD_DATE},
    };
    const auto field = [](int64_t value) {
        return DateFieldValue{value != EMPTY, static_cast<uint32_t>(value)};
    };
    for (const auto& c : cases) {
        const auto problem = CheckCountdownDate(field(c.year), field(c.month), field(c.day));
        EXPECT_EQ(problem ? std::string(*problem) : OK, c.verdict)
            << c.day << "." << c.month << "." << c.year;
    }
}

}  // namespace
