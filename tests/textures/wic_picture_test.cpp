// Photos decoded by the platform's codecs on the decoding thread, turned upright, and the show
// that waits for them.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "media/movie_files.h"

namespace {

class WicPictureTest : public GlTest {
protected:
    void TearDown() override {
        glDeleteTextures(1, &name_);
        ReleasePictureDecoder();
        GlTest::TearDown();
    }
    // Loads `file`; its texture's pixels, row 0 at the top.
    bool Load(const char* file) {
        glDeleteTextures(1, &name_);
        name_ = 0;
        const std::string path = movie_files::Case("pictures") + file;
        const std::optional<LoadedPicture> picture =
            LoadPictureFile(std::wstring(path.begin(), path.end()));
        if (!picture) return false;
        name_ = picture->texture;
        size_ = picture->size;
        int width = 0, height = 0;
        pixels_ = TexturePixels(name_, &width, &height);
        EXPECT_TRUE(width == 256 && height == 256) << file;
        return true;
    }
    // The quadrants' middles: red top left, blue bottom left, the two given on the right.
    void ExpectQuadrants(const char* file, Rgb8 topRight, Rgb8 bottomRight, int tolerance) {
        const Rgb8 expected[4] = {{255, 0, 0}, topRight, {0, 0, 255}, bottomRight};
        for (int i = 0; i < 4; ++i) {
            const uint8_t* p = &pixels_[((64 + 128 * (i / 2)) * 256 + 64 + 128 * (i % 2)) * 4];
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(p[c], expected[i][c], tolerance) << file << " quadrant " << i;
            EXPECT_EQ(p[3], 255) << file;
        }
        EXPECT_EQ(size_.width, 96.0) << file;
        EXPECT_EQ(size_.height, 64.0) << file;
    }
    void ExpectUpright(const char* file, int tolerance = 40) {
        ASSERT_TRUE(Load(file)) << file;
        ExpectQuadrants(file, {0, 255, 0}, {255, 255, 0}, tolerance);
    }

    uint32_t name_ = 0;
    PictureSize size_{};
    std::vector<uint8_t> pixels_;
};

// Every EXIF orientation, and every kind in its own colours from its first frame.
TEST_F(WicPictureTest, EveryKindAndOrientationDecodesUprightInItsOwnColours) {
    for (const char* file :
         {"orient1.jpg", "orient2.jpg", "orient3.jpg", "orient4.jpg", "orient5.jpg", "orient6.jpg",
          "orient7.jpg", "orient8.jpg", "orient6.tif", "turned.tiff", "upright.png",
          "interlaced.png", "deep.png", "palette.gif", "animated.gif", "progressive.jpg",
          "multipage.tif", "png-inside.JPEG"}) {
        ExpectUpright(file);
    }
    // The press's inks turn back into the screen's colours only roughly.
    ExpectUpright("cmyk.jpg", 70);
    // See-through parts over black: the top right at half strength, the bottom right black.
    ASSERT_TRUE(Load("alpha.png"));
    ExpectQuadrants("alpha.png", {0, 128, 0}, {0, 0, 0}, 3);
}

TEST_F(WicPictureTest, BadFilesMakeNoTextureAndTheNextGoodOneLoads) {
    for (const char* file :
         {"empty.jpg", "text.png", "huge.png", "bmp-inside.jpg", "missing.png",
          "truncated-multipage.tif", "corrupt-multipage.tif", "truncated-animated.gif"}) {
        EXPECT_FALSE(Load(file)) << file;
        EXPECT_EQ(name_, 0u) << file;
    }
    ExpectUpright("orient6.jpg");
    // The decoder starts again after a release.
    ReleasePictureDecoder();
    ExpectUpright("orient8.jpg");
}

// The show hands a photo to the decoding thread and poses only once it is decoded; a photo the
// decoder refuses is skipped like a bad BMP file.
TEST_F(ShowTest, ShowWaitsForAPhotoAndSkipsOneTheDecoderRefuses) {
    saverSettings.showExternalBmps = saverSettings.onlyExternalPics = true;
    ListLibrary(movie_files::Case("pictures") + "refused\\");
    showState.nextIndex = FirstIndexWithFlags(PF_EXTERNAL | PF_ZOOM | PF_FRONT);
    const int refused = showState.nextIndex;
    bool posed = false;
    for (ULONGLONG end = GetTickCount64() + 20000;
         showState.nextIndex == refused && GetTickCount64() < end; Sleep(1)) {
        ShowFrame();
        posed = posed || showState.showStep != SHOW_WAIT;
    }
    EXPECT_NE(showState.nextIndex, refused);
    EXPECT_FALSE(posed);
    EXPECT_EQ(textureSlots[SLOT_HOLOGRAM], 0u);
    ReleasePictureDecoder();
}

}  // namespace
