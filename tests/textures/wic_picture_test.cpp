#include <gtest/gtest.h>
#include <GL/gl.h>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>
#include "media/movie_files.h"
#include "render/scene.h"
#include "show/catalogue.h"
#include "show/director.h"
#include "show/show_fixture.h"
#include "support/gl_fixture.h"
#include "textures/picture_header.h"
#include "textures/media_library.h"
#include "textures/texture_loader.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A TIFF structure of one directory with one SHORT entry; big- or little-endian.
Bytes TiffWith(uint16_t tag, uint16_t value, bool big, uint32_t directory = 8) {
    const uint32_t fields[] = {big ? 0x4D4Du : 0x4949u, 42, directory, 1, tag, 3, 1, value, 0, 0};
    const int sizes[] = {2, 2, 4, 2, 2, 2, 4, 2, 2, 4};
    Bytes out;
    for (int f = 0; f < 10; ++f) {
        for (int i = 0; i < sizes[f]; ++i)
            out.push_back(uint8_t(fields[f] >> 8 * (big ? sizes[f] - 1 - i : i)));
    }
    return out;
}

// A JPEG head: an APP0, an APP1 holding `exif` (with its "Exif" lead) and a frame header.
Bytes JpegWith(const Bytes& exif, int width, int height) {
    Bytes jpeg;
    const auto append = [&jpeg](std::initializer_list<int> bytes) {
        for (int b : bytes) jpeg.push_back(static_cast<uint8_t>(b));
    };
    const int length = static_cast<int>(exif.size()) + 8;
    append({0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F', 0xFF, 0xE1, length >> 8, length & 255, 'E', 'x',
            'i', 'f', 0, 0});
    jpeg.insert(jpeg.end(), exif.begin(), exif.end());
    append(
        {0xFF, 0xC2, 0, 11, 8, height >> 8, height & 255, width >> 8, width & 255, 1, 1, 0x11, 0});
    return jpeg;
}

TEST(PictureHeader, SizeAndTurnOfEachFormatFromBytesItHoldsWhole) {
    for (bool big : {true, false}) {
        const PictureHeader header = ReadPictureHeader(JpegWith(TiffWith(274, 8, big), 4000, 3000));
        EXPECT_EQ(header.orientation, 8) << big;
        EXPECT_EQ(header.width, 4000u);
        EXPECT_EQ(header.height, 3000u);
    }
    // Out of range, another tag, a directory past the end: upright.
    for (const Bytes& exif :
         {TiffWith(274, 9, true), TiffWith(275, 6, true), TiffWith(274, 6, true, 4000)})
        EXPECT_EQ(ReadPictureHeader(JpegWith(exif, 8, 8)).orientation, 1);
    // No cut of a file claims a size or a turn from a segment it does not hold whole (the frame
    // header is the last 13 bytes).
    const Bytes jpeg = JpegWith(TiffWith(274, 6, false), 640, 480);
    for (size_t cut = 0; cut < jpeg.size(); ++cut) {
        const PictureHeader header = ReadPictureHeader(Bytes(jpeg.begin(), jpeg.begin() + cut));
        EXPECT_EQ(header.width, 0u) << cut;
        EXPECT_EQ(header.orientation, cut < jpeg.size() - 13 ? 1 : 6) << cut;
    }
    // A directory that claims more entries than the block holds.
    Bytes many = TiffWith(274, 6, true);
    many[8] = many[9] = 0xFF;
    EXPECT_EQ(TiffOrientation(many), 6);

    // A 10 x 10 screen with a global table of 4 colours, one extension, then an image that
    // reaches past the screen to 300 x 20.
    Bytes gif{'G', 'I', 'F', '8', '9', 'a', 10, 0, 10, 0, 0x81, 0, 0};
    gif.resize(gif.size() + 12);
    gif.insert(gif.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C, 0x22, 1, 0, 0, 10, 0, 20, 0});
    EXPECT_EQ(ReadPictureHeader(gif).width, 300u);
    EXPECT_EQ(ReadPictureHeader(gif).height, 20u);
    EXPECT_TRUE(IsDecodable({PictureFormat::Jpeg, 16384, 8192, 1}));
    EXPECT_FALSE(IsDecodable({PictureFormat::Jpeg, 16385, 10, 1}));
    EXPECT_FALSE(IsDecodable({PictureFormat::Jpeg, 12000, 12000, 1}));
    EXPECT_FALSE(IsDecodable({PictureFormat::Jpeg, 0, 10, 1}));
}

// The pictures of make_pictures.sh, made once per test process.
const std::string& PictureFolder() {
    static const std::string folder = [] {
        const std::string unix = movie_files::UnixFolder() + "-pictures";
        const std::string source = __FILE__;
        const std::string script = source.substr(0, source.find_last_of("/\\") + 1);
        EXPECT_EQ(movie_files::RunUnix("bash " + script + "make_pictures.sh " + unix), 0);
        std::atexit(
            [] { movie_files::RunUnix("rm -rf " + movie_files::UnixFolder() + "-pictures"); });
        std::string path = "Z:" + unix + "\\";
        for (char& c : path) c = c == '/' ? '\\' : c;
        return path;
    }();
    return folder;
}

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
        const std::string path = PictureFolder() + file;
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
         {"empty.jpg", "text.png", "huge.png", "huge.jpg", "bmp-inside.jpg", "missing.png",
          "truncated-multipage.tif", "corrupt-multipage.tif", "truncated-animated.gif"}) {
        EXPECT_FALSE(Load(file)) << file;
        EXPECT_EQ(name_, 0u) << file;
    }
    ExpectUpright("orient6.jpg");
    // The decoder starts again after a release.
    ReleasePictureDecoder();
    ExpectUpright("orient8.jpg");
}

// Frames of the show, in real time, until `done` holds or 20 seconds have passed.
bool ShowUntil(const std::function<bool()>& done) {
    for (ULONGLONG end = GetTickCount64() + 20000; !done() && GetTickCount64() < end; Sleep(1))
        ShowFrame();
    return done();
}

// The show hands a photo to the decoding thread and poses only once it is in its slot, turned
// upright; a photo the decoder refuses is skipped like a bad BMP file.
TEST_F(ShowTest, ShowPosesOncePhotoIsDecodedAndSkipsOneThatIsNot) {
    const std::string folder = PictureFolder() + "show\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string photo = folder + "a.jpg";
    CopyFileA((PictureFolder() + "truncated-progressive.jpg").c_str(), photo.c_str(), FALSE);
    saverSettings.showExternalBmps = saverSettings.onlyExternalPics = true;
    StartMediaLibrary(std::wstring(folder.begin(), folder.end()));
    while (!CountMedia().listed) Sleep(1);
    showState.nextIndex = FirstIndexWithFlags(PF_EXTERNAL | PF_ZOOM | PF_FRONT);
    const int refused = showState.nextIndex;
    bool posed = false;
    ASSERT_TRUE(ShowUntil([&] {
        posed = posed || showState.showStep != SHOW_WAIT;
        return showState.nextIndex != refused;
    }));
    EXPECT_FALSE(posed);
    EXPECT_EQ(textureSlots[SLOT_HOLOGRAM], 0u);

    CopyFileA((PictureFolder() + "orient6.jpg").c_str(), photo.c_str(), FALSE);
    ASSERT_TRUE(ShowUntil([] { return showState.showStep == SHOW_POSE; }));
    EXPECT_TRUE(ItemHas(showState.nextIndex, PF_EXTERNAL));
    EXPECT_STREQ(pictureCatalogue[showState.nextIndex].caption, L"a.jpg");
    EXPECT_FLOAT_EQ(showState.holoHalfWidth, 1.5f);
    EXPECT_TRUE(glIsTexture(textureSlots[SLOT_HOLOGRAM]));
    ReleasePictureDecoder();
    StopMediaLibrary();
    DeleteFileA(photo.c_str());
}

}  // namespace
