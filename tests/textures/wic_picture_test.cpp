#include <gtest/gtest.h>
#include <GL/gl.h>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "media/movie_files.h"
#include "render/random.h"
#include "render/scene.h"
#include "show/catalogue.h"
#include "show/director.h"
#include "show/show_fixture.h"
#include "support/gl_fixture.h"
#include "textures/media_scan.h"
#include "textures/picture_header.h"
#include "textures/wic_picture.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, std::initializer_list<int> bytes) {
    for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
}

// A TIFF structure of one directory with one SHORT entry; big- or little-endian.
Bytes TiffWith(uint16_t tag, uint16_t value, bool bigEndian, uint32_t directory = 8) {
    const auto u16 = [&](Bytes& out, uint32_t v) {
        bigEndian ? Append(out, {int(v >> 8 & 255), int(v & 255)})
                  : Append(out, {int(v & 255), int(v >> 8 & 255)});
    };
    const auto u32 = [&](Bytes& out, uint32_t v) {
        bigEndian ? (u16(out, v >> 16), u16(out, v & 0xFFFF))
                  : (u16(out, v & 0xFFFF), u16(out, v >> 16));
    };
    Bytes tiff;
    bigEndian ? Append(tiff, {'M', 'M', 0, 42}) : Append(tiff, {'I', 'I', 42, 0});
    u32(tiff, directory);
    u16(tiff, 1);
    u16(tiff, tag);
    u16(tiff, 3);
    u32(tiff, 1);
    u16(tiff, value);
    u16(tiff, 0);
    u32(tiff, 0);
    return tiff;
}

// A JPEG head: an APP0, an APP1 holding `exif` (with its "Exif" lead) and a frame header.
Bytes JpegWith(const Bytes& exif, int width, int height) {
    Bytes jpeg{0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F'};
    const size_t length = exif.size() + 8;
    Append(jpeg, {0xFF, 0xE1, int(length >> 8), int(length & 255), 'E', 'x', 'i', 'f', 0, 0});
    jpeg.insert(jpeg.end(), exif.begin(), exif.end());
    Append(jpeg, {0xFF, 0xC2, 0, 11, 8, height >> 8, height & 255, width >> 8, width & 255, 1, 1,
                  0x11, 0});
    return jpeg;
}

TEST(PictureHeader, ExifOrientationOfEitherByteOrderInsideAJpeg) {
    for (bool bigEndian : {true, false}) {
        const PictureHeader header =
            ReadPictureHeader(JpegWith(TiffWith(274, 8, bigEndian), 4000, 3000));
        EXPECT_EQ(header.orientation, 8) << bigEndian;
        EXPECT_EQ(header.width, 4000u);
        EXPECT_EQ(header.height, 3000u);
    }
    // Out of range, another tag, a directory past the end: upright.
    EXPECT_EQ(ReadPictureHeader(JpegWith(TiffWith(274, 9, true), 8, 8)).orientation, 1);
    EXPECT_EQ(ReadPictureHeader(JpegWith(TiffWith(275, 6, true), 8, 8)).orientation, 1);
    EXPECT_EQ(ReadPictureHeader(JpegWith(TiffWith(274, 6, true, 4000), 8, 8)).orientation, 1);
}

TEST(PictureHeader, EveryCutOfAHeaderStaysInsideItsBytes) {
    // No cut of a file claims a size or a turn from a segment it does not hold whole (the
    // frame header is the last 13 bytes).
    const Bytes jpeg = JpegWith(TiffWith(274, 6, false), 640, 480);
    for (size_t cut = 0; cut < jpeg.size(); ++cut) {
        const PictureHeader header = ReadPictureHeader(Bytes(jpeg.begin(), jpeg.begin() + cut));
        EXPECT_EQ(header.width, 0u) << cut;
        EXPECT_EQ(header.orientation, cut < jpeg.size() - 13 ? 1 : 6) << cut;
    }
    // A directory that claims more entries than the block holds, and an APP1 too short for
    // its lead.
    Bytes many = TiffWith(274, 6, true);
    many[8] = 0xFF;
    many[9] = 0xFF;
    EXPECT_EQ(TiffOrientation(many), 6);
    EXPECT_EQ(ReadPictureHeader(Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0, 3, 'E', 'x', 'i', 'f', 0, 0})
                  .orientation,
              1);
}

TEST(PictureHeader, SizesOfPngGifAndTiffAndTheDecodeLimits) {
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    Append(png, {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0});  // 100000 x 100000
    const PictureHeader bigPng = ReadPictureHeader(png);
    EXPECT_EQ(bigPng.format, PictureFormat::Png);
    EXPECT_EQ(bigPng.width, 100000u);
    EXPECT_FALSE(IsDecodable(bigPng));

    // A 10 x 10 screen with a global table of 4 colours, one extension, then an image that
    // reaches past the screen to 300 x 20.
    Bytes gif{'G', 'I', 'F', '8', '9', 'a', 10, 0, 10, 0, 0x81, 0, 0};
    gif.resize(gif.size() + 12);
    Append(gif, {0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C, 0x22, 1, 0, 0, 10, 0, 20, 0});
    const PictureHeader wideGif = ReadPictureHeader(gif);
    EXPECT_EQ(wideGif.width, 300u);
    EXPECT_EQ(wideGif.height, 20u);

    Bytes tiff = TiffWith(256, 1200, false);
    EXPECT_EQ(ReadPictureHeader(tiff).width, 1200u);
    EXPECT_EQ(ReadPictureHeader(tiff).height, 0u);
    EXPECT_FALSE(IsDecodable(ReadPictureHeader(tiff)));
    EXPECT_EQ(ReadPictureHeader(Bytes{'B', 'M', 0, 0}).format, PictureFormat::Unknown);

    const auto decodable = [](uint32_t w, uint32_t h) {
        return IsDecodable({PictureFormat::Jpeg, w, h, 1});
    };
    EXPECT_TRUE(decodable(16384, 8192));
    EXPECT_TRUE(decodable(8000, 6000));
    EXPECT_FALSE(decodable(16385, 10));
    EXPECT_FALSE(decodable(12000, 12000));
    EXPECT_FALSE(decodable(0, 10));
}

// The pictures of make_pictures.sh, made once per test process.
const std::string& PictureFolder() {
    static const std::string folder = [] {
        const std::string unix = movie_files::UnixFolder() + "-pictures";
        std::string script = __FILE__;
        script = script.substr(0, script.find_last_of("/\\") + 1) + "make_pictures.sh";
        EXPECT_EQ(movie_files::RunUnix("bash " + script + " " + unix), 0);
        std::atexit(
            [] { movie_files::RunUnix("rm -rf " + movie_files::UnixFolder() + "-pictures"); });
        std::string path = "Z:" + unix + "\\";
        for (char& c : path) c = c == '/' ? '\\' : c;
        return path;
    }();
    return folder;
}

struct Colour {
    int r, g, b;
};

class WicPictureTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        GetCurrentDirectoryA(sizeof(start_), start_);
        ASSERT_TRUE(SetCurrentDirectoryA(PictureFolder().c_str()));
    }
    void TearDown() override {
        glDeleteTextures(1, &name_);
        ReleaseWicPictures();
        SetCurrentDirectoryA(start_);
        GlTest::TearDown();
    }
    // Loads `file`; its texture's pixels, row 0 at the top.
    bool Load(const char* file) {
        glDeleteTextures(1, &name_);
        name_ = 0;
        if (!LoadWicPictureTexture(&name_, file, &size_)) return false;
        glBindTexture(GL_TEXTURE_2D, name_);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, 256);
        EXPECT_EQ(height, 256);
        pixels_.assign(256 * 256 * 4, 0);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
        return true;
    }
    Colour At(int x, int y) const {
        const uint8_t* p = &pixels_[(static_cast<size_t>(y) * 256 + x) * 4];
        EXPECT_EQ(p[3], 255);
        return {p[0], p[1], p[2]};
    }
    // The four quadrants' middles against their expected colours.
    void ExpectQuadrants(const char* file, Colour topRight, Colour bottomRight, int tolerance) {
        const Colour expected[4] = {{255, 0, 0}, topRight, {0, 0, 255}, bottomRight};
        const int spots[4][2] = {{64, 64}, {192, 64}, {64, 192}, {192, 192}};
        for (int i = 0; i < 4; ++i) {
            const Colour c = At(spots[i][0], spots[i][1]);
            EXPECT_NEAR(c.r, expected[i].r, tolerance) << file << " quadrant " << i;
            EXPECT_NEAR(c.g, expected[i].g, tolerance) << file << " quadrant " << i;
            EXPECT_NEAR(c.b, expected[i].b, tolerance) << file << " quadrant " << i;
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
    char start_[MAX_PATH]{};
};

TEST_F(WicPictureTest, EveryOrientationOfAJpegAndATiffShowsUpright) {
    for (const char* file :
         {"orient1.jpg", "orient2.jpg", "orient3.jpg", "orient4.jpg", "orient5.jpg", "orient6.jpg",
          "orient7.jpg", "orient8.jpg", "orient6.tif", "turned.tiff"}) {
        ExpectUpright(file);
    }
}

TEST_F(WicPictureTest, EveryKindDecodesInItsOwnColoursFromItsFirstFrame) {
    for (const char* file :
         {"upright.png", "interlaced.png", "deep.png", "palette.gif", "animated.gif",
          "progressive.jpg", "multipage.tif", "png-inside.JPEG"}) {
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
    // Decoders fill what a cut or damaged stream lacks in their own way; a texture is made
    // only whole.
    for (const char* file :
         {"truncated-progressive.jpg", "corrupt-progressive.jpg", "truncated-interlaced.png",
          "corrupt-interlaced.png", "corrupt-animated.gif"}) {
        if (!Load(file)) {
            EXPECT_EQ(name_, 0u) << file;
        }
    }
    ExpectUpright("orient6.jpg");
    // The component starts again after a release.
    ReleaseWicPictures();
    ExpectUpright("orient8.jpg");
}

// Frames of the show, in real time, until `done` holds or 20 seconds have passed.
bool ShowUntil(const std::function<bool()>& done) {
    for (ULONGLONG end = GetTickCount64() + 20000; !done() && GetTickCount64() < end; Sleep(1)) {
        ShowFrame();
    }
    return done();
}

// The show hands a photo to the decoding thread and poses only once it is in its slot, turned
// upright; a photo the decoder refuses is skipped like a bad BMP file.
TEST_F(ShowTest, ShowPosesOncePhotoIsDecodedAndSkipsOneThatIsNot) {
    const std::string folder = PictureFolder() + "show\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string photo = folder + "a.jpg";
    CopyFileA((PictureFolder() + "truncated-progressive.jpg").c_str(), photo.c_str(), FALSE);
    std::snprintf(saverSettings.aviPath, sizeof(saverSettings.aviPath), "%s", folder.c_str());
    saverSettings.showExternalBmps = saverSettings.onlyExternalPics = true;
    nextIndex = FirstIndexWithFlags(PF_EXTERNAL | PF_ZOOM | PF_FRONT);
    const int refused = nextIndex;
    bool posed = false;
    ASSERT_TRUE(ShowUntil([&] {
        posed = posed || showStep != SHOW_WAIT;
        return nextIndex != refused;
    }));
    EXPECT_FALSE(posed);
    EXPECT_EQ(textureSlots[SLOT_HOLOGRAM], 0u);

    CopyFileA((PictureFolder() + "orient6.jpg").c_str(), photo.c_str(), FALSE);
    ASSERT_TRUE(ShowUntil([] { return showStep == SHOW_POSE; }));
    EXPECT_TRUE(ItemHas(nextIndex, PF_EXTERNAL));
    EXPECT_STREQ(pictureCatalogue[nextIndex].caption, "a.jpg");
    EXPECT_FLOAT_EQ(holoHalfWidth, 1.5f);
    EXPECT_TRUE(glIsTexture(textureSlots[SLOT_HOLOGRAM]));
    ReleaseWicPictures();
    DeleteFileA(photo.c_str());
}

// Pictures of every kind in one walk: a name counts once whatever aliases the platform
// matches it by, and every one is drawn alike.
TEST(PictureScan, CountsEachPictureOnceAndDrawsThemAllAlike) {
    const std::string folder = PictureFolder() + "scan\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::vector<std::string> names{"a.bmp", "b.JPG",  "c.jpeg", "d.png",  "e.gif",
                                         "f.tif", "g.TIFF", "h.avi",  "i.jpgx", "j.webp"};
    for (const std::string& name : names) {
        CloseHandle(CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr));
    }
    EXPECT_EQ(CountPictureFiles(folder.c_str()), 7);
    SeedRandom(99);
    std::map<std::string, int> picks;
    for (int i = 0; i < 1400; ++i) {
        char name[MEDIA_NAME_SIZE] = "";
        const int kind = PickRandomPicture(folder.c_str(), name);
        ASSERT_GE(kind, 0);
        EXPECT_EQ(kind == PICTURE_BMP, std::string(name) == "a.bmp");
        ++picks[name];
    }
    ASSERT_EQ(picks.size(), 7u);
    for (const auto& [name, count] : picks) EXPECT_NEAR(count, 200, 60) << name;

    // Without the new kinds, the same draws pick the same files as the BMP-only scan did, and
    // leave the generator where it left it.
    for (const std::string& name : names) {
        if (name != "a.bmp" && name != "h.avi") DeleteFileA((folder + name).c_str());
    }
    CloseHandle(CreateFileA((folder + "k.bmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr));
    for (uint32_t seed : {1u, 2u, 3u, 77u}) {
        char before[MEDIA_NAME_SIZE] = "", now[MEDIA_NAME_SIZE] = "";
        SeedRandom(seed);
        ASSERT_TRUE(PickRandomMediaFile(folder.c_str(), before, "*.bmp"));
        const uint32_t stateBefore = randomState;
        SeedRandom(seed);
        EXPECT_EQ(PickRandomPicture(folder.c_str(), now), PICTURE_BMP);
        EXPECT_STREQ(now, before);
        EXPECT_EQ(randomState, stateBefore);
    }
}

}  // namespace
