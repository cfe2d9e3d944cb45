#include <gtest/gtest.h>
#include <GL/gl.h>
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

TEST(ColourScheme, ReordersChannels) {
    const Rgb blue{0, 0, 255};
    EXPECT_EQ(ApplyColourScheme(blue, 0), blue);
    EXPECT_EQ(ApplyColourScheme(blue, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(ApplyColourScheme(blue, 2), (Rgb{0, 255, 0}));
    EXPECT_EQ(ApplyColourScheme(blue, 3), (Rgb{255, 0, 255}));
    EXPECT_EQ(ApplyColourScheme(blue, 4), (Rgb{255, 255, 0}));
    EXPECT_EQ(ApplyColourScheme(blue, 5), (Rgb{0, 255, 255}));
    EXPECT_EQ(ApplyColourScheme(blue, 7), blue);
    const Rgb grey{90, 90, 90};
    for (int scheme = 0; scheme < 6; ++scheme) EXPECT_EQ(ApplyColourScheme(grey, scheme), grey);
}

TEST(AlphaRules, ColourKeyMatchesAllThreeBytesExactly) {
    const Rgb key{10, 20, 30};
    for (Rgb other : {Rgb{11, 20, 30}, Rgb{10, 21, 30}, Rgb{10, 20, 29}}) {
        EXPECT_EQ(PixelAlpha(other, key, ALPHA_COLOUR_KEY), 255);
    }
    Rgb same = key;
    EXPECT_EQ(PixelAlpha(same, key, ALPHA_COLOUR_KEY), 0);
    EXPECT_EQ(same, key);
    EXPECT_EQ(PixelAlpha(same, key, ALPHA_OPAQUE), 255);
    Rgb glyph{128, 3, 4};
    EXPECT_EQ(PixelAlpha(glyph, key, ALPHA_FROM_RED), 128);
    EXPECT_EQ(glyph, (Rgb{255, 255, 255}));
}

// Reads level 0 of the texture bound now as RGBA.
std::vector<uint8_t> TexturePixels(uint32_t name, int* width, int* height) {
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, height);
    std::vector<uint8_t> pixels(static_cast<size_t>(*width) * *height * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Writes a 24-bit BMP whose top-left pixel is blue and whose other pixels are a gradient.
void WriteTestBmp(const std::string& path, int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + rowBytes * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<uint8_t> rows(static_cast<size_t>(rowBytes) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rows[static_cast<size_t>(height - 1 - y) * rowBytes + x * 3];
            p[0] = 255;
            p[1] = static_cast<uint8_t>(x * 255 / width);
            p[2] = static_cast<uint8_t>(y * 255 / height);
        }
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(rows.data(), rows.size(), 1, out);
    std::fclose(out);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

class TextureLoaderTest : public GlTest {
protected:
    void TearDown() override {
        ReleaseSlotTextures();
        ReleaseGlyphTextures();
        GlTest::TearDown();
    }
};

TEST_F(TextureLoaderTest, CataloguePictureKeysOutItsBackground) {
    const PictureSize size =
        LoadResourceTexture(200, 2, GetModuleHandleA(nullptr), ALPHA_COLOUR_KEY, false);
    EXPECT_EQ(size.width, 128.0);
    EXPECT_EQ(size.height, 256.0);
    int width, height;
    const std::vector<uint8_t> pixels = TexturePixels(textureSlots[2], &width, &height);
    ASSERT_EQ(width, 128);
    ASSERT_EQ(height, 256);
    const uint8_t* key = pixels.data();
    int transparent = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const bool sameColour = std::memcmp(&pixels[i], key, 3) == 0;
        EXPECT_EQ(pixels[i + 3], sameColour ? 0 : 255);
        transparent += pixels[i + 3] == 0;
    }
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, width * height);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP);
}

TEST_F(TextureLoaderTest, SchemesKeepTheSameTransparentPixels) {
    HMODULE module = GetModuleHandleA(nullptr);
    std::vector<std::vector<bool>> masks;
    for (int scheme = 0; scheme < 6; ++scheme) {
        LoadSchemeTexture(103, 5, module, 256, 256, ALPHA_COLOUR_KEY, false, scheme);
        int width, height;
        const std::vector<uint8_t> pixels = TexturePixels(textureSlots[5], &width, &height);
        std::vector<bool> mask;
        for (size_t i = 3; i < pixels.size(); i += 4) mask.push_back(pixels[i] == 0);
        masks.push_back(mask);
        glDeleteTextures(1, &textureSlots[5]);
    }
    for (int scheme = 1; scheme < 6; ++scheme) EXPECT_EQ(masks[scheme], masks[0]) << scheme;
}

TEST_F(TextureLoaderTest, GlyphsAreWhiteWithAlphaFromRed) {
    LoadGlyphTextures(111, GetModuleHandleA(nullptr), 16, 16, 96, ALPHA_FROM_RED);
    for (uint32_t name : glyphTextures) EXPECT_TRUE(glIsTexture(name));
    int width, height;
    const std::vector<uint8_t> pixels = TexturePixels(glyphTextures['A' - 32], &width, &height);
    ASSERT_EQ(width, 16);
    int opaque = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        EXPECT_EQ(pixels[i], 255);
        EXPECT_EQ(pixels[i + 2], 255);
        opaque += pixels[i + 3] > 128;
    }
    EXPECT_GT(opaque, 10);
    GLint levelWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 4, GL_TEXTURE_WIDTH, &levelWidth);
    EXPECT_EQ(levelWidth, 1);
}

TEST_F(TextureLoaderTest, MissingResourceMakesNoTexture) {
    const PictureSize size =
        LoadResourceTexture(999, 2, GetModuleHandleA(nullptr), ALPHA_COLOUR_KEY, false);
    EXPECT_EQ(size.width, 0.0);
    EXPECT_EQ(size.height, 0.0);
    EXPECT_EQ(textureSlots[2], 0u);
}

class MediaFolderTest : public TextureLoaderTest {
protected:
    void SetUp() override {
        TextureLoaderTest::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder_ = "C:\\q\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
        GetCurrentDirectoryA(sizeof(start_), start_);
        std::strcpy(saverSettings.aviPath, folder_.c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryA(start_);
        for (const std::string& name : made_) {
            DeleteFileA((folder_ + name).c_str());
            RemoveDirectoryA((folder_ + name).c_str());
        }
        RemoveDirectoryA(folder_.c_str());
        TextureLoaderTest::TearDown();
    }
    std::string Add(const std::string& name) {
        made_.push_back(name);
        return folder_ + name;
    }
    std::string folder_;
    char start_[MAX_PATH]{};
    std::vector<std::string> made_;
};

TEST_F(MediaFolderTest, ExternalPictureBecomesA256SquareTexture) {
    WriteTestBmp(Add("wide.bmp"), 640, 480);
    nextIndex = 0;
    pictureCatalogue[0].caption[0] = '\0';
    ASSERT_TRUE(LoadExternalPicture());
    EXPECT_FLOAT_EQ(holoHalfWidth, 1.3333334f);
    EXPECT_STREQ(pictureCatalogue[0].caption, "wide.bmp");
    int width, height;
    const std::vector<uint8_t> pixels = TexturePixels(textureSlots[2], &width, &height);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 256);
    EXPECT_EQ(pixels[2], 255);
    EXPECT_EQ(pixels[3], 255);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);
}

TEST_F(MediaFolderTest, LongFileNamesAndTheCaptionRule) {
    nextIndex = 2;
    std::strcpy(pictureCatalogue[2].caption, "earlier.bmp");
    const std::string longest = std::string(254 - 4, 'n') + ".bmp";
    WriteTestBmp(Add(longest), 32, 32);
    PictureSize size{};
    SetCurrentDirectoryA(folder_.c_str());
    ASSERT_TRUE(LoadExternalPicture());
    EXPECT_STREQ(pictureCatalogue[2].caption, "earlier.bmp");
    DeleteFileA((folder_ + longest).c_str());

    const std::string shorter = std::string(253 - 4, 's') + ".bmp";
    WriteTestBmp(Add(shorter), 32, 16);
    ASSERT_TRUE(LoadExternalPicture());
    EXPECT_EQ(std::string(pictureCatalogue[2].caption), shorter);
    EXPECT_FLOAT_EQ(holoHalfWidth, 2.0f);
    (void)size;
}

TEST_F(MediaFolderTest, BadFilesAreRefusedCleanly) {
    WriteTestBmp(Add("good.bmp"), 64, 64);
    std::string truncated;
    {
        std::FILE* in = std::fopen((folder_ + "good.bmp").c_str(), "rb");
        truncated.resize(200);
        truncated.resize(std::fread(truncated.data(), 1, truncated.size(), in));
        std::fclose(in);
    }
    WriteBytes(Add("truncated.bmp"), truncated);
    WriteBytes(Add("empty.bmp"), "");
    WriteBytes(Add("text.bmp"), "this is not a bitmap at all, only words");
    std::string huge = truncated.substr(0, 54);
    *reinterpret_cast<int32_t*>(&huge[18]) = 1 << 20;
    *reinterpret_cast<int32_t*>(&huge[22]) = 1 << 20;
    WriteBytes(Add("huge.bmp"), huge);
    CreateDirectoryA(Add("folder.bmp").c_str(), nullptr);
    SetCurrentDirectoryA(folder_.c_str());
    for (const char* name : {"truncated.bmp", "empty.bmp", "text.bmp", "huge.bmp", "folder.bmp"}) {
        uint32_t texture = 0;
        PictureSize size{-1.0, -1.0};
        EXPECT_FALSE(LoadBmpFileTexture(&texture, name, &size)) << name;
        glDeleteTextures(1, &texture);
    }
    uint32_t texture = 0;
    PictureSize size{};
    EXPECT_TRUE(LoadBmpFileTexture(&texture, "good.bmp", &size));
    EXPECT_EQ(size.width, 64.0);
    glDeleteTextures(1, &texture);
}

}  // namespace
