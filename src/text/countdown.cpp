#include "text/countdown.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include "settings/settings.h"

namespace {

constexpr int64_t DAYS_PER_YEAR = 365;

struct Unit {
    const char* name;
    const char* singular;
    const char* plural;
};

constexpr std::array<Unit, 5> UNITS{{{" Year", ",", "s,"},
                                     {" Day", ",", "s,"},
                                     {" Hour", ",", "s,"},
                                     {" Minute", ",", "s,"},
                                     {" Second", ".", "s."}}};

// The 0-based day of the year of a target date; a month outside the table counts the months
// of the table only, so a hand-edited setting never reads past it.
int64_t TargetDayOfYear(int month, int day) {
    const int months = std::clamp(month, 0, static_cast<int>(daysInMonth.size()));
    return std::accumulate(daysInMonth.begin(), daysInMonth.begin() + months, int64_t{0}) + day - 1;
}

void Borrow(int64_t& value, int64_t& larger, int64_t range) {
    if (value < 0) {
        larger -= 1;
        value += range;
    }
}

}  // namespace

std::string CountdownText(const std::tm& now, int year, int month, int day) {
    // 64-bit so that any stored target stays well defined; a year still counts 365 days.
    int64_t years = int64_t{year} - (int64_t{now.tm_year} + 1900);
    int64_t days = TargetDayOfYear(month, day) - now.tm_yday;
    Borrow(days, years, DAYS_PER_YEAR);
    int64_t hours = -now.tm_hour;
    int64_t minutes = -now.tm_min;
    int64_t seconds = -now.tm_sec;
    Borrow(seconds, minutes, 60);
    Borrow(minutes, hours, 60);
    Borrow(hours, days, 24);
    Borrow(days, years, DAYS_PER_YEAR);
    if (years < 0) return COUNTDOWN_OVER_TEXT;

    const std::array<int64_t, 5> values{years, days, hours, minutes, seconds};
    std::string line;
    for (size_t i = 0; i < UNITS.size(); ++i) {
        if (values[i] <= 0) continue;
        line += std::to_string(values[i]);
        line += UNITS[i].name;
        line += values[i] == 1 ? UNITS[i].singular : UNITS[i].plural;
    }
    if (!line.empty()) line.back() = '.';
    return line;
}

void BuildCountdownText(char* out, size_t size) {
    if (size == 0) return;
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    const std::string line =
        local == nullptr ? std::string()
                         : CountdownText(*local, saverSettings.countToYear,
                                         saverSettings.countToMonth, saverSettings.countToDay);
    const size_t length = std::min(line.size(), size - 1);
    std::memcpy(out, line.data(), length);
    out[length] = '\0';
}
