#include <gtest/gtest.h>
#include <cstdint>
#include "host/command_line.h"

namespace {

TEST(CommandLine, TheFirstSwitchLetterNamesTheModeAndTheParentFollows) {
    const struct {
        const char* tail;
        SaverMode mode;
        const char* rest;  // null: configuration with no parent at all
    } cases[] = {
        {"", SaverMode::Configure, nullptr},
        {" -/ ", SaverMode::Configure, nullptr},
        {"/S", SaverMode::FullScreen, ""},
        {"-s", SaverMode::FullScreen, ""},
        {"s", SaverMode::FullScreen, ""},
        {"  //s", SaverMode::FullScreen, ""},
        {"/p 12345", SaverMode::Preview, "12345"},
        {"/P\t1", SaverMode::Preview, "\t1"},
        {"/l   77", SaverMode::Preview, "77"},
        {"/p:12345", SaverMode::Preview, ":12345"},
        {"/c:12345", SaverMode::Configure, ":12345"},
        {"/C 12345", SaverMode::Configure, " 12345"},
        {"/a 12345", SaverMode::ChangePassword, "12345"},
        {"/x", SaverMode::None, "x"},
        {"\t/s", SaverMode::None, "\t/s"},
        {"\xE9s", SaverMode::None, "\xE9s"},
    };
    for (const auto& c : cases) {
        const SwitchRequest request = ParseCommandTail(c.tail);
        EXPECT_EQ(request.mode, c.mode) << c.tail;
        EXPECT_STREQ(request.rest, c.rest) << c.tail;
    }
    // The parent's handle: leading decimal digits, wrapping at 32 bits.
    const std::pair<const char*, uint32_t> handles[] = {
        {"12345", 12345u}, {"42abc", 42u},      {"", 0u},           {" 12", 0u},         {"-5", 0u},
        {"0x10", 0u},      {"4294967295", ~0u}, {"4294967296", 0u}, {"4294967306", 10u},
    };
    for (const auto& [text, value] : handles)
        EXPECT_EQ(reinterpret_cast<uintptr_t>(ParseWindowHandle(text)), value) << text;
    // The program's name and the blanks after it are skipped.
    const std::pair<const char*, const char*> lines[] = {
        {"\"C:\\Program Files\\q v\\quorvel.scr\" /s", "/s"},
        {"quorvel.scr  \t/p 12", "/p 12"},
        {"quorvel.scr", ""},
        {"\"unterminated name /s", ""},
        {"\"\"/c", "/c"},
    };
    for (const auto& [line, tail] : lines) EXPECT_STREQ(SkipProgramName(line), tail) << line;
}

}  // namespace
