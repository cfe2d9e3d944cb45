// The countdown line to the user's chosen date.
#pragma once
#include <array>
#include <ctime>
#include <string>

constexpr std::array<int, 12> daysInMonth{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr const char* COUNTDOWN_OVER_TEXT = "The wait is over! Or has it just begun?";

// The line for a local broken-down time (tm_year, tm_yday, tm_hour, tm_min, tm_sec) and a
// target date with a 0-based month.
std::string CountdownText(const std::tm& now, int year, int month, int day);
// The line for the current local time and the settings' target, into a buffer of `size` bytes.
void BuildCountdownText(char* out, size_t size);
