// Which characters the font draws, and what is left of a text or a file's name when it lacks
// some: no box, no stand-in, no gap.
#include <gtest/gtest.h>
#include <string>
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

struct Shown {
    std::wstring_view text, shown;
};

TEST(ShownText, LeavesOutWhatTheFontLacksWithoutAGap) {
    for (const Shown& c : {
             // Whole: every blank kept, each as a space.
             Shown{L"Noël à Zürich", L"Noël à Zürich"},
             {L"  two  spaces ", L"  two  spaces "},
             {L"no\u00A0break\u3000wide", L"no break wide"},
             // A character left out takes the blanks after it with it...
             {L"Trip 東京 2024", L"Trip 2024"},
             {L"Trip 東京  2024", L"Trip 2024"},
             {L"🌊 Beach", L"Beach"},
             {L"a東b", L"ab"},
             // ...or those before it, when a sign or the end follows it.
             {L"Tokyo 東京", L"Tokyo"},
             {L"Noël 🎄!", L"Noël!"},
             {L"Trip 東京 ", L"Trip"},
             {L"Trip 東京2024", L"Trip 2024"},
             // Half an emoji is left out like a whole one.
             {L"A\xD83C B", L"A B"},
             {L"\xDF0A", L""},
             {L"", L""},
         }) {
        EXPECT_EQ(ShownText(c.text), std::wstring(c.shown)) << std::wstring(c.text);
    }
}

TEST(FileCaption, ShowsWhatTheFontHasOfTheNameOrANeutralCaption) {
    for (const Shown& c : {
             Shown{L"Łódź – Świętokrzyska.tif", L"Łódź – Świętokrzyska.tif"},
             {L"Tokyo 東京.jpg", L"Tokyo.jpg"},
             {L"東京 (1).jpg", L"(1).jpg"},
             {L"🌊 2024.gif", L"2024.gif"},
             // Nothing left out: the name as it is, letters or not.
             {L"-.jpg", L"-.jpg"},
             {L"image", L"image"},
             // Only the extension, signs and blanks left of the name.
             {L"東京.jpg", NEUTRAL_CAPTION},
             {L"🌊🌊 - !.png", NEUTRAL_CAPTION},
             {L"東京", NEUTRAL_CAPTION},
             {L"日本.東京.jpg", NEUTRAL_CAPTION},
         }) {
        EXPECT_EQ(FileCaption(c.text), std::wstring(c.shown)) << std::wstring(c.text);
    }
    // The neutral caption is drawn whole.
    EXPECT_EQ(ShownText(NEUTRAL_CAPTION), std::wstring(NEUTRAL_CAPTION));
}

}  // namespace
