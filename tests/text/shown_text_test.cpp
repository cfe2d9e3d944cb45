// Which characters the font draws.
#include <gtest/gtest.h>
#include <string_view>
#include "text/overlay.h"

namespace {

TEST(GlyphIndex, EveryCellButTheBlankBelongsToOneCharacterInCodeOrder) {
    int last = 0, drawn = 0;
    for (int code = 0; code <= 0xFFFF; ++code) {
        const int cell = GlyphIndex(static_cast<wchar_t>(code));
        if (cell < 0) continue;
        ASSERT_EQ(cell, last + 1) << std::hex << code;
        last = cell;
        ++drawn;
    }
    EXPECT_EQ(last, GLYPH_COUNT - 1);
    EXPECT_EQ(drawn, GLYPH_COUNT - 1);
}

TEST(GlyphIndex, LettersOfFourScriptsHaveCellsOtherCharactersNone) {
    for (const wchar_t c : std::wstring_view(L"aZ~éÿßŁłŉžſΆΐΰΩωάЀЁЖяџҐґƒ€–’“…™‰"))
        EXPECT_GT(GlyphIndex(c), 0) << static_cast<int>(c);
    // Blanks; controls; the soft hyphen and a combining accent (nothing of their own to show);
    // Japanese, Hebrew, Arabic; both halves of an emoji; the replacement character.
    for (const wchar_t c : std::wstring_view(L" \u00A0\u3000\u2009\t\n\u0080\u009F\u00AD\u0301"
                                             L"東タא\u0627\U0001F30A\uFFFD"))
        EXPECT_EQ(GlyphIndex(c), -1) << static_cast<int>(c);
    EXPECT_EQ(GlyphIndex(L'\0'), -1);
}

}  // namespace
