// Text printed with the real font, read back pixel by pixel against its glyph strip.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <array>
#include <cstring>
#include <vector>
#include "art_resources.h"
#include "render/scene.h"
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
    // Pixels of place i whose channel differs by more than 2 from the ink (the strip's red) *
    // scale.
    int Mismatches(const std::vector<uint8_t>& frame, int i, int channel, int code,
                   double scale) const {
        int count = 0;
        for (int v = 0; v < 16; ++v) {
            for (int x = 0; x < 16; ++x) {
                const size_t at = ((BOTTOM + 15 - v) * 256 + LEFT + 16 * i + x) * 4;
                const double ink = code < 0 ? 0.0 : strip_.At(16 * (code - 32) + x, v)[0] * scale;
                count += std::abs(frame[at + channel] - ink) > 2.0;
            }
        }
        return count;
    }
    Bitmap strip_;
};

TEST_F(HoloText, ACaptionReadsBackGlyphByGlyphFromTheStrip) {
    const std::wstring_view text =
        L"Quorvel 7! \x80"
        L"Ag~";
    Print(text, 1.0f);
    const std::vector<uint8_t> frame = ReadBackBuffer(256, 256);
    for (int i = 0; i < static_cast<int>(text.size()); ++i) {
        const int code = text[i];
        const bool drawn = code > 32 && code < 128;
        // Blue glow: full blue and 0.35 green where the glyph is opaque, no red.
        EXPECT_EQ(Mismatches(frame, i, 2, drawn ? code : -1, 1.0), 0) << "place " << i;
        EXPECT_EQ(Mismatches(frame, i, 1, drawn ? code : -1, 0.35), 0) << "place " << i;
        EXPECT_EQ(Mismatches(frame, i, 0, -1, 0.0), 0) << "place " << i;
        if (!drawn) continue;
        // Its neighbours in the strip look different, so a glyph one cell off would show.
        EXPECT_GT(Mismatches(frame, i, 2, code - 1, 1.0), 8) << code;
        EXPECT_GT(Mismatches(frame, i, 2, code + 1 < 128 ? code + 1 : 33, 1.0), 8) << code;
    }
}

TEST_F(HoloText, AlphaDimsTheGlowAndTheEmissionShowsItUnlit) {
    constexpr GLfloat none[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_LIGHTING);
    Print(L"W", 0.5f);
    const std::vector<uint8_t> frame = ReadBackBuffer(256, 256);
    EXPECT_EQ(Mismatches(frame, 0, 2, 'W', 0.5), 0);
    EXPECT_EQ(Mismatches(frame, 0, 1, 'W', 0.35 * 0.5), 0);
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
