// Textures as uploaded, texel by texel, against the bitmaps they come from.
#include <gtest/gtest.h>
#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "render/scene.h"
#include "settings/settings.h"
#include "show/catalogue.h"
#include "show/director.h"
#include "support/gl_fixture.h"
#include "text/overlay.h"
#include "textures/texture_loader.h"

namespace {

TEST(ColourScheme, SendsEachSourceChannelWhereItsSchemeSays) {
    const Rgb source{10, 20, 30};
    const uint8_t channel[3] = {10, 20, 30};
    for (int scheme = 0; scheme < 6; ++scheme) {
        const int* from = SCHEME_SOURCES[scheme];
        EXPECT_EQ(ApplyColourScheme(source, scheme),
                  (Rgb{channel[from[0]], channel[from[1]], channel[from[2]]}))
            << scheme;
    }
    for (int unknown : {-1, 6, 7}) EXPECT_EQ(ApplyColourScheme(source, unknown), source);
}

TEST(AlphaRules, ColourKeyMatchesAllThreeBytesExactly) {
    const Rgb key{10, 20, 30};
    for (Rgb other : {Rgb{11, 20, 30}, Rgb{10, 21, 30}, Rgb{10, 20, 29}})
        EXPECT_EQ(PixelAlpha(other, key, ALPHA_COLOUR_KEY), 255);
    Rgb same = key;
    EXPECT_EQ(PixelAlpha(same, key, ALPHA_COLOUR_KEY), 0);
    EXPECT_EQ(same, key);
    EXPECT_EQ(PixelAlpha(same, key, ALPHA_OPAQUE), 255);
    Rgb glyph{128, 3, 4};
    EXPECT_EQ(PixelAlpha(glyph, key, ALPHA_FROM_RED), 128);
    EXPECT_EQ(glyph, (Rgb{255, 255, 255}));
}

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
    EXPECT_EQ(wrap, GL_CLAMP);
    EXPECT_EQ(filter, GL_LINEAR);
}

TEST_F(TextureLoaderTest, PicturesAndSchemeTexturesRepeatTheirBitmaps) {
    HMODULE module = GetModuleHandleA(nullptr);
    const PictureSize size =
        LoadResourceTexture(200, SLOT_HOLOGRAM, module, ALPHA_COLOUR_KEY, false);
    EXPECT_EQ(size.width, 128.0);
    EXPECT_EQ(size.height, 256.0);
    ExpectTextureOf(200, textureSlots[SLOT_HOLOGRAM], 0, true);
    for (int scheme = 0; scheme < 6; ++scheme) {
        LoadSchemeTexture(103, SLOT_DOME_CAP, module, 256, 256, ALPHA_COLOUR_KEY, false, scheme);
        ExpectTextureOf(103, textureSlots[SLOT_DOME_CAP], scheme, true);
        glDeleteTextures(1, &textureSlots[SLOT_DOME_CAP]);
    }
    LoadSchemeTexture(109, SLOT_LEGS, module, 128, 256, ALPHA_OPAQUE, false, 4);
    ExpectTextureOf(109, textureSlots[SLOT_LEGS], 4, false);
}

TEST_F(TextureLoaderTest, EachGlyphIsItsCellOfTheStripWhiteWithAlphaFromRed) {
    LoadGlyphTextures(111, GetModuleHandleA(nullptr), 16, 16, 96, ALPHA_FROM_RED);
    const Bitmap strip = DecodeBitmapResource(111);
    ASSERT_EQ(strip.width, 16 * 96);
    int mismatches = 0, lopsided = 0;
    for (int i = 0; i < 96; ++i) {
        int width = 0, height = 0;
        const std::vector<uint8_t> texels = TexturePixels(glyphTextures[i], &width, &height);
        ASSERT_EQ(width, 16);
        ASSERT_EQ(height, 16);
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
    EXPECT_GT(lopsided, 60) << "glyphs that look different upside down";
    GLint smallest = 0;
    glBindTexture(GL_TEXTURE_2D, glyphTextures['A' - 32]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 4, GL_TEXTURE_WIDTH, &smallest);
    EXPECT_EQ(smallest, 1) << "mipmaps down to 1 x 1";
}

// A media folder of our own, with a short name so that the longest name the caption rule tries
// still fits a path; it is the current directory while the test runs.
class MediaFolderTest : public TextureLoaderTest {
protected:
    void SetUp() override {
        TextureLoaderTest::SetUp();
        CreateDirectoryA(FOLDER, nullptr);
        std::strcpy(saverSettings.aviPath, FOLDER);
        SetCurrentDirectoryA(FOLDER);
    }
    void TearDown() override {
        SetCurrentDirectoryA("C:\\");
        for (const std::string& name : made_) DeleteFileA((FOLDER + name).c_str());
        RemoveDirectoryA(FOLDER);
        TextureLoaderTest::TearDown();
    }
    // A 24-bit BMP whose red grows down its rows and green along its columns.
    void WriteBmp(const std::string& name, int width, int height) {
        made_.push_back(name);
        const int rowBytes = (width * 3 + 3) & ~3;
        std::vector<uint8_t> rows(static_cast<size_t>(rowBytes) * height, 128);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                uint8_t* p = &rows[static_cast<size_t>(height - 1 - y) * rowBytes + x * 3];
                p[1] = static_cast<uint8_t>(x * 255 / (width - 1));
                p[2] = static_cast<uint8_t>(y * 255 / (height - 1));
            }
        }
        const BITMAPINFOHEADER info{sizeof(info), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(info);
        const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(offset + rows.size()), 0, 0, offset};
        std::FILE* out = std::fopen(name.c_str(), "wb");
        std::fwrite(&file, sizeof(file), 1, out);
        std::fwrite(&info, sizeof(info), 1, out);
        std::fwrite(rows.data(), rows.size(), 1, out);
        std::fclose(out);
    }
    static constexpr const char* FOLDER = "C:\\q\\";
    std::vector<std::string> made_;
};

TEST_F(MediaFolderTest, ExternalPictureBecomesAnUprightSquareTexture) {
    WriteBmp("wide.bmp", 640, 480);
    nextIndex = 0;
    ASSERT_TRUE(LoadExternalPicture());
    EXPECT_FLOAT_EQ(holoHalfWidth, 1.3333334f);
    EXPECT_STREQ(pictureCatalogue[0].caption, "wide.bmp");
    int width = 0, height = 0;
    const std::vector<uint8_t> texels = TexturePixels(textureSlots[SLOT_HOLOGRAM], &width, &height);
    ASSERT_EQ(width, 256);
    ASSERT_EQ(height, 256);
    auto at = [&texels](int x, int y) { return &texels[(y * 256 + x) * 4]; };
    // Red from the top row down, green from the left column across.
    EXPECT_LT(at(0, 0)[0], 8);
    EXPECT_GT(at(0, 255)[0], 247);
    EXPECT_LT(at(0, 0)[1], 8);
    EXPECT_GT(at(255, 0)[1], 247);
    EXPECT_NEAR(at(128, 64)[0], 64, 4);
    EXPECT_NEAR(at(64, 128)[1], 64, 4);
    EXPECT_EQ(at(100, 100)[3], 255);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);
    pictureCatalogue[0].caption[0] = '\0';
}

TEST_F(MediaFolderTest, OnlyNamesShorterThan254CharactersBecomeTheCaption) {
    nextIndex = 2;
    std::strcpy(pictureCatalogue[2].caption, "earlier.bmp");
    const std::string longest = std::string(254 - 4, 'n') + ".bmp";
    WriteBmp(longest, 32, 32);
    ASSERT_TRUE(LoadExternalPicture());
    EXPECT_STREQ(pictureCatalogue[2].caption, "earlier.bmp");
    DeleteFileA(longest.c_str());
    const std::string shorter = std::string(253 - 4, 's') + ".bmp";
    WriteBmp(shorter, 32, 16);
    ASSERT_TRUE(LoadExternalPicture());
    EXPECT_EQ(std::string(pictureCatalogue[2].caption), shorter);
    EXPECT_FLOAT_EQ(holoHalfWidth, 2.0f);
    pictureCatalogue[2].caption[0] = '\0';
}

}  // namespace
