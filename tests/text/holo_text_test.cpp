// Text printed with the real font, read back pixel by pixel against its glyph strip.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>
#include "art_resources.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "support/gl_fixture.h"
#include "text/overlay.h"
#include "textures/texture_loader.h"

namespace {

// At size 16, character i covers columns LEFT + 16 i on and rows BOTTOM on, a texel per pixel.
constexpr int LEFT = 16;
constexpr int BOTTOM = 120;

class HoloText : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        BuildFont();
        strip_ = DecodeBitmapResource(GLYPH_STRIP_BITMAP.id);
        glViewport(0, 0, 256, 256);
        glMatrixMode(GL_PROJECTION);
        glOrtho(0.0, 256.0, 0.0, 256.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_TEXTURE_2D);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override {
        ReleaseGlyphTextures();
        GlTest::TearDown();
    }
    static void Print(std::wstring_view text, float alpha) {
        glPushMatrix();
        glTranslatef(LEFT + 8.0f, BOTTOM + 8.0f, 0.0f);
        DrawHoloText(text, 16.0f, alpha);
        glPopMatrix();
    }
    // Pixels of place i whose channel differs by more than 2 from the ink (the strip's red) of
    // `cell` (-1: none) * scale, in the glyph's top `rows` rows.
    int Mismatches(const std::vector<uint8_t>& frame, int i, int channel, int cell, double scale,
                   int left = LEFT, int bottom = BOTTOM, int rows = 16) const {
        int count = 0;
        for (int v = 0; v < rows; ++v) {
            for (int x = 0; x < 16; ++x) {
                const size_t at = ((bottom + 15 - v) * 256 + left + 16 * i + x) * 4;
                const double ink = cell < 0 ? 0.0 : strip_.At(16 * cell + x, v)[0] * scale;
                count += std::abs(frame[at + channel] - ink) > 2.0;
            }
        }
        return count;
    }
    Bitmap strip_;
};

TEST_F(HoloText, ACaptionReadsBackGlyphByGlyphFromTheStrip) {
    // The printable codes keep the first cells, in order; other scripts' letters follow.
    const std::wstring_view ascii =
        L"Quorvel 7! \x80"
        L"Ag~";
    const std::wstring_view letters = L"éßŁŉЖλΩЁґάŸ€…";
    for (const std::wstring_view text : {ascii, letters}) {
        glClear(GL_COLOR_BUFFER_BIT);
        Print(text, 1.0f);
        const std::vector<uint8_t> frame = ReadBackBuffer(256, 256);
        for (int i = 0; i < static_cast<int>(text.size()); ++i) {
            const int code = text[i];
            const int cell =
                text == ascii ? (code > 32 && code < 128 ? code - 32 : -1) : GlyphIndex(text[i]);
            ASSERT_TRUE(text == ascii || cell > 0) << code;
            // Blue glow: full blue and 0.35 green where the glyph is opaque, no red.
            EXPECT_EQ(Mismatches(frame, i, 2, cell, 1.0), 0) << "place " << i;
            EXPECT_EQ(Mismatches(frame, i, 1, cell, 0.35), 0) << "place " << i;
            EXPECT_EQ(Mismatches(frame, i, 0, -1, 0.0), 0) << "place " << i;
            if (cell < 0) continue;
            // Its neighbours in the strip look different, so a glyph one cell off would show.
            EXPECT_GT(Mismatches(frame, i, 2, cell - 1, 1.0), 3) << code;
            EXPECT_GT(Mismatches(frame, i, 2, cell + 1 < GLYPH_COUNT ? cell + 1 : 1, 1.0), 3)
                << code;
        }
    }
}

// Letters of one look in several scripts read back alike; with a printable ASCII letter first
// in most groups, this ties every block of the strip to cells whose letters are known.
TEST_F(HoloText, LookAlikesInOtherScriptsDrawTheSameGlyph) {
    for (const std::wstring_view group : {L"AΑА", L"PΡР", L"TΤТ", L"XΧХ", L"oοо", L"SЅ", L"jј",
                                          L"xх", L"ÐĐ", L"ÏЇ", L"ïї", L"µμ", L"ΓГ", L"ΠП"}) {
        glClear(GL_COLOR_BUFFER_BIT);
        Print(group, 1.0f);
        const std::vector<uint8_t> frame = ReadBackBuffer(256, 256);
        std::vector<uint8_t> first;
        for (int i = 0; i < static_cast<int>(group.size()); ++i) {
            std::vector<uint8_t> blue;
            for (int v = 0; v < 16; ++v)
                for (int x = 0; x < 16; ++x)
                    blue.push_back(frame[((BOTTOM + v) * 256 + LEFT + 16 * i + x) * 4 + 2]);
            if (i == 0) first = blue;
            EXPECT_EQ(blue, first) << static_cast<int>(group[i]);
        }
        EXPECT_GT(std::ranges::count_if(first, [](uint8_t b) { return b > 100; }), 10);
        if (group[0] < 128) {
            EXPECT_EQ(Mismatches(frame, 0, 2, group[0] - 32, 1.0), 0);
        }
    }
}

// The message as typed, accents and all, centred on its line.
TEST_F(HoloText, TheMessageIsDrawnWithItsAccents) {
    const SaverSettings saved = saverSettings;
    const std::wstring_view shown = L"Noël à Zürich";
    std::wcscpy(saverSettings.countMessage, shown.data());
    // Glyphs of 12 units on 16 pixels, the message's line at 180 units: its glyphs stand on
    // pixel row 232, which the countdown line's glyph tops below reach.
    overlay.overlayScale = 4.0f / 3.0f;
    overlay.textOffset = 2.0f;
    DrawOverlay(256, 256);
    const std::vector<uint8_t> frame = ReadBackBuffer(256, 256);
    const int left = 128 - 8 * static_cast<int>(shown.size()) - 8;
    for (int i = 0; i < static_cast<int>(shown.size()); ++i) {
        EXPECT_EQ(Mismatches(frame, i, 2, GlyphIndex(shown[i]), 0.5, left, 232, 15), 0)
            << "place " << i;
    }
    saverSettings = saved;
    overlay = {};
}

TEST_F(HoloText, AlphaDimsTheGlowAndTheEmissionShowsItUnlit) {
    constexpr GLfloat none[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_LIGHTING);
    Print(L"W", 0.5f);
    const std::vector<uint8_t> frame = ReadBackBuffer(256, 256);
    EXPECT_EQ(Mismatches(frame, 0, 2, 'W' - 32, 0.5), 0);
    EXPECT_EQ(Mismatches(frame, 0, 1, 'W' - 32, 0.35 * 0.5), 0);
}

// The shipped strip is grey, so only a coloured pixel tells its red from its other channels.
TEST(GlyphAlpha, ComesFromRedAndLeavesTheTexelWhite) {
    Rgb colour{200, 10, 30};
    EXPECT_EQ(PixelAlpha(colour, {}, ALPHA_FROM_RED), 200);
    EXPECT_EQ(colour, (Rgb{255, 255, 255}));
}

// What the next drawing would otherwise inherit: blending, a blue colour, a blue glow.
TEST_F(HoloText, RestoresBlendingColourAndEmissionButLeavesTexturing) {
    glDisable(GL_TEXTURE_2D);
    Print(L"Hi there", 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    std::array<GLfloat, 4> colour{}, front{}, back{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    glGetMaterialfv(GL_FRONT, GL_EMISSION, front.data());
    glGetMaterialfv(GL_BACK, GL_EMISSION, back.data());
    EXPECT_EQ(colour, (std::array<GLfloat, 4>{1, 1, 1, 1}));
    EXPECT_EQ(front, (std::array<GLfloat, 4>{0, 0, 0, 1}));
    EXPECT_EQ(back, front);
}

}  // namespace
