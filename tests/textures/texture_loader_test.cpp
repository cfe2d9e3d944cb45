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

// The texture repeats its bitmap (see TextureMismatches), which is one a flip or a swap of
// channels would change: not the same upside down, and with pixels whose channels all differ.
void ExpectTextureOf(int resource, uint32_t name, int scheme, bool keyed) {
    const Bitmap bitmap = DecodeBitmapResource(resource);
    ASSERT_TRUE(bitmap.TopDiffersFromBottom()) << resource;
    const auto mixed = std::ranges::count_if(
        bitmap.pixels, [](Rgb8 p) { return p[0] != p[1] && p[1] != p[2] && p[0] != p[2]; });
    EXPECT_GT(mixed, std::ssize(bitmap.pixels) / 50) << resource;
    EXPECT_EQ(TextureMismatches(name, resource, scheme, keyed), 0)
        << "resource " << resource << ", scheme " << scheme;
    GLint wrap = 0, filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_TRUE(wrap == GL_CLAMP && filter == GL_LINEAR) << wrap << " " << filter;
}

TEST_F(TextureLoaderTest, PicturesAndSchemeTexturesRepeatTheirBitmaps) {
    HMODULE module = GetModuleHandleA(nullptr);
    const PictureSize size =
        LoadResourceTexture(200, SLOT_HOLOGRAM, module, ALPHA_COLOUR_KEY, false);
    EXPECT_EQ(size.width, 128.0);
    EXPECT_EQ(size.height, 256.0);
    ExpectTextureOf(200, textureSlots[SLOT_HOLOGRAM], 0, true);
    // A scheme of a stored setting that is none of the six keeps the colours.
    for (int scheme = 0; scheme <= 6; ++scheme) {
        LoadSchemeTexture(DOME_CAP_BITMAP.id, SLOT_DOME_CAP, module, DOME_CAP_BITMAP.width,
                          DOME_CAP_BITMAP.height, ALPHA_COLOUR_KEY, false, scheme);
        ExpectTextureOf(DOME_CAP_BITMAP.id, textureSlots[SLOT_DOME_CAP], scheme % 6, true);
        glDeleteTextures(1, &textureSlots[SLOT_DOME_CAP]);
    }
    LoadSchemeTexture(LEGS_BITMAP.id, SLOT_LEGS, module, LEGS_BITMAP.width, LEGS_BITMAP.height,
                      ALPHA_OPAQUE, false, 4);
    ExpectTextureOf(LEGS_BITMAP.id, textureSlots[SLOT_LEGS], 4, false);
}

TEST_F(TextureLoaderTest, EachGlyphIsItsCellOfTheStripWhiteWithAlphaFromRed) {
    LoadGlyphTextures(GLYPH_STRIP_BITMAP.id, GetModuleHandleA(nullptr), 16, 16, glyphTextures,
                      ALPHA_FROM_RED);
    const Bitmap strip = DecodeBitmapResource(GLYPH_STRIP_BITMAP.id);
    ASSERT_EQ(strip.width, 16 * GLYPH_COUNT);
    int mismatches = 0, lopsided = 0;
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        int width = 0, height = 0;
        const std::vector<uint8_t> texels = TexturePixels(glyphTextures[i], &width, &height);
        ASSERT_TRUE(width == 16 && height == 16) << i;
        bool symmetric = true;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const uint8_t* texel = &texels[(y * 16 + x) * 4];
                const int red = strip.At(16 * i + x, y)[0];
                mismatches += texel[0] != 255 || texel[1] != 255 || texel[2] != 255;
                mismatches += texel[3] != red;
                symmetric = symmetric && red == strip.At(16 * i + x, 15 - y)[0];
            }
        }
        lopsided += !symmetric;
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(lopsided, GLYPH_COUNT * 2 / 3) << "glyphs that look different upside down";
}

}  // namespace
