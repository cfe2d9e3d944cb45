#include <GL/gl.h>
#include <algorithm>
#include "render/scene.h"
#include "text/text_gl_fixture.h"

namespace {

// Glyphs of size 16 from x = 16, centred on y = 128: glyph i covers columns 8 + 16 i to
// 23 + 16 i, its opaque top half rows 128 to 135 and its clear bottom half rows 120 to 127.
constexpr int ROW_TOP = 132;

class HoloText : public TextGlTest {
protected:
    void SetUp() override {
        TextGlTest::SetUp();
        UseMarkedGlyphs();
        glEnable(GL_TEXTURE_2D);
    }
    static void Print(const char* text, float alpha = 1.0f) {
        glPushMatrix();
        glTranslatef(16.0f, 128.0f, 0.0f);
        DrawHoloText(text, 16.0f, alpha);
        glPopMatrix();
    }
    // The character code drawn at glyph position i across its width, 0 for none, -1 for
    // anything else.
    int CodeAt(int i) const {
        const int left = BlueAt(8 + 16 * i, ROW_TOP);
        if (BlueAt(23 + 16 * i, ROW_TOP) != left) return -1;
        if (left == 0) return 0;
        for (int code = 33; code < 128; ++code) {
            if (std::abs(MarkBlue(code) - left) <= 1) return code;
        }
        return -1;
    }
};

TEST_F(HoloText, BuildFontMakesEveryGlyphAndTheQuad) {
    ReleaseGlyphTextures();
    BuildFont();
    EXPECT_TRUE(std::all_of(glyphTextures.begin(), glyphTextures.end(),
                            [](uint32_t name) { return glIsTexture(name) == GL_TRUE; }));
    EXPECT_TRUE(glIsList(LIST_GLYPH));
}

TEST_F(HoloText, EachCharacterKeepsItsPlaceAndOnlyCodesWithACellDrawAGlyph) {
    Print("Ab C\x80\xE9\xFF\t\x1F\x7F~");
    const int expected[] = {'A', 'b', 0, 'C', 0, 0, 0, 0, 0, 0x7F, '~', 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(CodeAt(i), expected[i]) << i;
    EXPECT_EQ(BlueAt(7, ROW_TOP), 0);
}

TEST_F(HoloText, TheGlyphsTopRowLiesAtTheTopOfASizeHighQuad) {
    Print("A");
    EXPECT_EQ(BlueAt(16, 135), MarkBlue('A'));
    EXPECT_EQ(BlueAt(16, 136), 0);
    EXPECT_EQ(BlueAt(16, 124), 0);
}

TEST_F(HoloText, TextIsHoloBlueAtTheGivenAlphaWithOrWithoutLight) {
    Print("A", 1.0f);
    const auto opaque = PixelAt(16, ROW_TOP);
    EXPECT_EQ(opaque[0], 0);
    EXPECT_NEAR(opaque[1], 89, 1);
    EXPECT_EQ(opaque[2], MarkBlue('A'));
    Print("B", 0.5f);
    EXPECT_NEAR(BlueAt(16, ROW_TOP), (MarkBlue('A') + MarkBlue('B')) / 2, 1);

    // With lighting on and no light at all, the emission alone gives the colour.
    constexpr GLfloat none[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_LIGHTING);
    Print("C");
    EXPECT_EQ(BlueAt(16, ROW_TOP), MarkBlue('C'));
    EXPECT_NEAR(PixelAt(16, ROW_TOP)[1], 89, 1);
}

TEST_F(HoloText, AnEmptyTextDrawsNothing) {
    Print("");
    const auto pixels = ReadBackBuffer(VIEW, VIEW);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i] + pixels[i + 1] + pixels[i + 2], 0) << "pixel " << i / 4;
    }
}

TEST_F(HoloText, RestoresBlendingColourAndEmissionButLeavesTexturing) {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    Print("Hi there");
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<GLfloat>(colour, colour + 4), (std::vector<GLfloat>{1, 1, 1, 1}));
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        GLfloat emission[4];
        glGetMaterialfv(face, GL_EMISSION, emission);
        EXPECT_EQ(std::vector<GLfloat>(emission, emission + 4), (std::vector<GLfloat>{0, 0, 0, 1}));
    }
}

}  // namespace
