// Textures as uploaded, texel by texel, against the bitmaps they come from.
#include <gtest/gtest.h>
#include <GL/gl.h>
#include <algorithm>
#include <vector>
#include "art_resources.h"
#include "render/scene.h"
#include "support/gl_fixture.h"
#include "text/overlay.h"
#include "textures/texture_loader.h"

namespace {

class TextureLoaderTest : public GlTest {
protected:
    void TearDown() override {
        ReleaseSlotTextures();
        ReleaseGlyphTextures();
        GlTest::TearDown();
    }
};

// The dome cap in every scheme, and in a stored one that is none of the six (which keeps the
// colours). Its bitmap is one a flip or a swap of channels would change (see TextureMismatches):
// not the same upside down, and with pixels whose channels all differ.
TEST_F(TextureLoaderTest, SchemeTexturesRepeatTheirBitmapInEveryScheme) {
    const Bitmap bitmap = DecodeBitmapResource(DOME_CAP_BITMAP.id);
    ASSERT_TRUE(bitmap.TopDiffersFromBottom());
    EXPECT_GT(
        std::ranges::count_if(bitmap.pixels,
                              [](Rgb8 p) { return p[0] != p[1] && p[1] != p[2] && p[0] != p[2]; }),
        std::ssize(bitmap.pixels) / 50);
    for (int scheme = 0; scheme <= 6; ++scheme) {
        LoadSchemeTexture(DOME_CAP_BITMAP.id, SLOT_DOME_CAP, GetModuleHandleA(nullptr),
                          DOME_CAP_BITMAP.width, DOME_CAP_BITMAP.height, ALPHA_COLOUR_KEY, false,
                          scheme);
        const uint32_t name = textureSlots[SLOT_DOME_CAP];
        EXPECT_EQ(TextureMismatches(name, DOME_CAP_BITMAP.id, scheme % 6, true), 0) << scheme;
        GLint wrap = 0, filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_TRUE(wrap == GL_CLAMP && filter == GL_LINEAR) << wrap << " " << filter;
        glDeleteTextures(1, &textureSlots[SLOT_DOME_CAP]);
    }
}

TEST_F(TextureLoaderTest, EachGlyphIsItsCellOfTheStripWhiteWithAlphaFromRed) {
    LoadGlyphTextures(GLYPH_STRIP_BITMAP.id, GetModuleHandleA(nullptr), 16, 16, glyphTextures,
                      ALPHA_FROM_RED);
    const Bitmap strip = DecodeBitmapResource(GLYPH_STRIP_BITMAP.id);
    ASSERT_EQ(strip.width, 16 * GLYPH_COUNT);
    int mismatches = 0;
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        int width = 0, height = 0;
        const std::vector<uint8_t> texels = TexturePixels(glyphTextures[i], &width, &height);
        ASSERT_TRUE(width == 16 && height == 16) << i;
        for (int at = 0; at < 16 * 16; ++at) {
            const uint8_t* texel = &texels[at * 4];
            mismatches += texel[0] != 255 || texel[1] != 255 || texel[2] != 255 ||
                          texel[3] != strip.At(16 * i + at % 16, at / 16)[0];
        }
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
