#include <gtest/gtest.h>
#include <cstdint>
#include "host/command_line.h"
#include "host/saver_window.h"

namespace {

uint32_t Handle(const char* text) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(ParseWindowHandle(text)));
}

TEST(ParseWindowHandle, ReadsLeadingDecimalDigitsOnly) {
    EXPECT_EQ(Handle("12345"), 12345u);
    EXPECT_EQ(Handle("42abc"), 42u);
    EXPECT_EQ(Handle(""), 0u);
    EXPECT_EQ(Handle(" 12"), 0u);
    EXPECT_EQ(Handle("-5"), 0u);
    EXPECT_EQ(Handle("0x10"), 0u);
}

TEST(ParseWindowHandle, WrapsAsUnsigned32Bit) {
    EXPECT_EQ(Handle("4294967295"), 4294967295u);
    EXPECT_EQ(Handle("4294967296"), 0u);
    EXPECT_EQ(Handle("4294967306"), 10u);
}

TEST(SkipProgramName, SkipsQuotedAndPlainNames) {
    EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\q v\\quorvel.scr\" /s"), "/s");
    EXPECT_STREQ(SkipProgramName("quorvel.scr  \t/p 12"), "/p 12");
    EXPECT_STREQ(SkipProgramName("quorvel.scr"), "");
    EXPECT_STREQ(SkipProgramName("\"unterminated name /s"), "");
    EXPECT_STREQ(SkipProgramName("\"\"/c"), "/c");
}

TEST(CloseRules, MouseMustMoveMoreThanFourPixels) {
    const POINT anchor{100, 100};
    EXPECT_FALSE(IsClosingMove(anchor, {102, 102}));
    EXPECT_TRUE(IsClosingMove(anchor, {103, 102}));
    EXPECT_FALSE(IsClosingMove(anchor, {96, 100}));
    EXPECT_TRUE(IsClosingMove(anchor, {95, 100}));
    EXPECT_FALSE(IsClosingMove(anchor, anchor));
}

}  // namespace
