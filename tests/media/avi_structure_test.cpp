// Movies are checked before the platform's AVI library and decoders see them: the broken ones
// they crash on are refused, good ones of unusual shape still play.
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include "media/cinepak_frame.h"
#include "media/movie_files.h"
#include "support/refusals.h"

namespace {

using movie_files::MovieFile;

using AviSafety = MediaTest;

TEST_F(AviSafety, BrokenAndUnplayableFilesAreRefusedAndLeaveNothingOpen) {
    // Each breaks one rule of the structure check.
    using enum AviRefusal;
    const std::pair<const char*, AviRefusal> broken[] = {
        {"streamcount", StreamCount},     {"strlname", StreamCount},
        {"indexsize", IndexEntryOutside}, {"halfindex", ChunkCut},
        {"headersize", VideoHeaderSize},  {"hugemovi", ChunkCut},
        {"cinepakcolours", ColourCount},  {"palettecolours", ColourCount},
        {"nochannels", Channels},         {"norate", SampleRate},
        {"hugeblock", PcmShape},          {"hugewidth", FrameSize},
        {"noheight", FrameSize},          {"widebits", FrameShort},
        {"oddwidth", MsVideo1Shape},      {"badframe", IndexEntryOutside},
        {"truncated", ChunkCut},          {"zeroduration", NoRate},
        {"hugeframe", FrameRectangle}};
    for (const auto& [name, refusal] : broken) {
        const std::string file = MovieFile(name);
        EXPECT_EQ(CheckMovieFile(std::wstring(file.begin(), file.end())).refusal(), refusal)
            << name;
        EXPECT_FALSE(OpenMovie(name)) << name;
        ExpectNothingOpen();
    }
    // No decoder, no video stream, a folder named m.avi, no frames, nothing at all.
    for (const char* name : {"mjpeg", "audioonly", "dir", "zeroframes", "nosuchfolder", "empty"}) {
        EXPECT_FALSE(OpenMovie(name)) << name;
        ExpectNothingOpen();
    }
}

// Copies of the tone movie (five grey frames and 10,000 samples of 4 bytes): a header that
// overstates the file, padding after the movie, a long name, a large file's layout.
TEST_F(AviSafety, OverstatedPaddedLongNamedAndLargeFileLayoutsPlayWhatTheIndexHolds) {
    for (const char* name : {"riffsize", "tailff", "tailzero", "longname", "opendml"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(OpenMovie(name));
        ASSERT_TRUE(moviePlayer.movieSoundOn);
        EXPECT_EQ(moviePlayer.movieSoundEnd, 10000);
        EXPECT_TRUE(Advance(0.45));
        EXPECT_EQ(TexelAt(100, 50), (std::array<int, 3>{128, 128, 128}));
    }
    // The large file's headers count twice the frames and sound; the platform reads neither
    // past the first part, and the movie ends there.
    EXPECT_EQ(moviePlayer.movieFrameCount, 10);
    EXPECT_EQ(AVIStreamLength(moviePlayer.audioStream), 20000);
    EXPECT_FALSE(Advance(0.1));
}

TEST_F(AviSafety, PalettedFramesPlayAndCinepakMoviesEndAtAStripPastThePictureOrTheIndex) {
    ASSERT_TRUE(OpenMovie("pal8"));
    EXPECT_TRUE(Advance(0.0));
    // White at the top left, blue at the bottom right, in the encoder's dithered palette.
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(TexelAt(60, 100)[i], 255, 40) << i;
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(TexelAt(200, 30)[i], i == 2 ? 255 : 0, 40) << i;
    // Frame 5's strip reaches far past the picture; reached at once, it is still refused, as
    // the decoder would decode it on the way.
    ASSERT_TRUE(OpenMovie("stripheight"));
    EXPECT_TRUE(Advance(0.45));
    EXPECT_FALSE(Advance(0.1));
    ASSERT_TRUE(OpenMovie("stripheight"));
    EXPECT_FALSE(Advance(0.65));
    // The index ends after frame 4 of 10. The platform's library aborts a read of a frame past
    // the index, so the movie ends there without asking for one.
    ASSERT_TRUE(OpenMovie("cinepakindex"));
    EXPECT_EQ(moviePlayer.movieFrameCount, 10);
    EXPECT_TRUE(Advance(0.45));
    EXPECT_FALSE(Advance(0.1));
}

// A frame of 32 x 24 pixels: `strips` strips of `rows` rows, each a codebook of `entries`.
std::vector<unsigned char> CinepakFrame(int strips, int rows, size_t entries) {
    const size_t chunk = 4 + entries * 6, strip = 12 + chunk, length = 10 + strips * strip;
    std::vector<unsigned char> frame(length);
    const auto put = [&](size_t at, size_t value) {
        frame[at] = static_cast<unsigned char>(value >> 8);
        frame[at + 1] = static_cast<unsigned char>(value);
    };
    frame[1] = static_cast<unsigned char>(length >> 16);
    put(2, length & 0xffff), put(4, 32), put(6, 24), put(8, strips);
    for (size_t at = 10; at < length; at += strip) {
        put(at, 0x1000), put(at + 2, strip), put(at + 8, rows), put(at + 10, 32);
        put(at + 12, 0x2000), put(at + 14, chunk);
    }
    return frame;
}

TEST(CinepakFrame, StripsAndChunksStayInsideTheFrameAndThePicture) {
    using enum CinepakRefusal;
    EXPECT_TRUE(CheckCinepakFrame({}, 32, 24));
    // Strips, their rows, codebook entries; the picture's width and height (whole blocks of 4).
    const struct {
        int strips, rows;
        size_t entries;
        int width, height;
        CinepakRefusal refusal;
    } cases[] = {{1, 24, 2, 32, 24, None},
                 {1, 24, 2, 29, 21, None},
                 {1, 24, 2, 32, 20, FrameSize},
                 {1, 24, 2, 28, 24, FrameSize},
                 {2, 12, 2, 32, 24, None},
                 {2, 16, 2, 32, 24, StripsTooTall},
                 {33, 0, 2, 32, 24, TooManyStrips},
                 {1, 24, 256, 32, 24, None},
                 {1, 24, 257, 32, 24, CodebookTooLarge}};
    for (const auto& c : cases)
        EXPECT_EQ(CheckCinepakFrame(CinepakFrame(c.strips, c.rows, c.entries), c.width, c.height)
                      .refusal(),
                  c.refusal)
            << c.strips << " " << c.rows << " " << c.entries << " " << c.width << "x" << c.height;
    // One strip of 24 rows, changed.
    const std::pair<std::function<void(std::vector<unsigned char>&)>, CinepakRefusal> changes[] = {
        {[](auto& f) { f.resize(9); }, HeaderCut},
        {[](auto& f) { f[3] += 1; }, Length},  // longer than the frame
        {[](auto& f) { f[13] += 1; }, StripCut},
        {[](auto& f) { f[21] = 36; }, StripShape},  // right of the picture
        {[](auto& f) { f[25] += 1; }, ChunkCut},    // the codebook past its strip
    };
    for (const auto& [change, refusal] : changes) {
        std::vector<unsigned char> frame = CinepakFrame(1, 24, 2);
        change(frame);
        EXPECT_EQ(CheckCinepakFrame(frame, 32, 24).refusal(), refusal);
    }
}

TEST(PackedBitmapPixels, AColourTableBeyondTheFormatIsRefused) {
    std::vector<unsigned char> block(2048);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biBitCount = 8;
    header->biClrUsed = 256;
    EXPECT_EQ(PackedBitmapPixels(header, 40 + 1024) - block.data(), 40 + 1024);
    header->biClrUsed = 0x10000000;
    EXPECT_EQ(PackedBitmapPixels(header, 40 + 1024), nullptr);
    // A stream format may carry a longer table than a decoder writes.
    header->biClrUsed = 300;
    EXPECT_EQ(PackedBitmapPixels(header, 40 + 1200) - block.data(), 40 + 1200);
    header->biSize = 0xFFFFFFF0;
    EXPECT_EQ(PackedBitmapPixels(header, 40), nullptr);
}

// The rules on a copy of the tone movie, changed in memory. Its index: 15 entries, the first
// a frame of 32 x 32 x 3 bytes, the last 784 samples ending where the frame data does.
class AviRules : public ::testing::Test {
protected:
    size_t Find(const char* tag, int nth = 1) const {
        auto at = bytes_.begin() - 1;
        for (int i = 0; i < nth; ++i) at = std::search(at + 1, bytes_.end(), tag, tag + 4);
        return static_cast<size_t>(at - bytes_.begin());
    }
    uint32_t Get32(size_t at) const {
        uint32_t value;
        std::memcpy(&value, &bytes_[at], 4);
        return value;
    }
    void Put32(size_t at, uint32_t value) { std::memcpy(&bytes_[at], &value, 4); }
    void Put16(size_t at, uint16_t value) { std::memcpy(&bytes_[at], &value, 2); }
    AviRefusal Refusal() const { return CheckAviBytes(bytes_).refusal(); }
    // Why the file is refused with `value` at `at`, which is then put back.
    AviRefusal RefusalWith(size_t at, uint32_t value) {
        const uint32_t old = Get32(at);
        Put32(at, value);
        const AviRefusal refusal = Refusal();
        Put32(at, old);
        return refusal;
    }
    size_t Entry(int i) const { return Find("idx1") + 8 + static_cast<size_t>(i) * 16; }

    std::vector<unsigned char> bytes_ = movie_files::ReadFile(MovieFile("tone"));
};

TEST_F(AviRules, IndexEntriesAreCountedAsThePlatformCountsThem) {
    using enum AviRefusal;
    EXPECT_EQ(CheckAviBytes(bytes_)->audioSamples, 10000);
    // From the start of the file, the frame data's list type 4 bytes before its first chunk.
    const auto listType = static_cast<uint32_t>(Find("movi"));
    for (int i = 0; i < 15; ++i) Put32(Entry(i) + 8, Get32(Entry(i) + 8) + listType);
    EXPECT_EQ(CheckAviBytes(bytes_)->audioSamples, 10000);
    // Counted from the first entry once one lies before the list type, the rest lie past it.
    EXPECT_EQ(RefusalWith(Entry(0) + 8, 4), IndexEntryOutside);
    // The last chunk ends with the frame data, one byte more does not.
    EXPECT_EQ(RefusalWith(Entry(14) + 12, 785 * 4), IndexEntryOutside);
    std::memcpy(&bytes_[Entry(14)], "rec ", 4);
    EXPECT_EQ(CheckAviBytes(bytes_)->audioSamples, 10000 - 784);
    std::memcpy(&bytes_[Entry(14)], "02wb", 4);
    EXPECT_EQ(Refusal(), IndexStream);
}

TEST_F(AviRules, ChunksFramesAndFormatsHoldWhatTheyClaim) {
    using enum AviRefusal;
    // Bytes after the movie; a chunk header reaching past the movie's end.
    bytes_.resize(bytes_.size() + 8);
    EXPECT_EQ(Refusal(), None);
    EXPECT_EQ(RefusalWith(4, Get32(4) + 4), ChunkPastList);
    // A stored frame holds a whole image or none; frames counted in bytes all declared; one
    // colour with no room for it.
    EXPECT_EQ(RefusalWith(Entry(0) + 12, 32 * 32 * 3 - 1), FrameShort);
    EXPECT_EQ(RefusalWith(Entry(0) + 12, 0), None);
    EXPECT_EQ(RefusalWith(Find("strh") + 8 + 44, 32 * 32 * 3 + 1), IndexShort);
    EXPECT_EQ(RefusalWith(Find("strf") + 8 + 32, 1), ColourTableCut);
    // A bitmap header shorter than its fields; a sound of no channels in a format of its own.
    EXPECT_EQ(RefusalWith(Find("strf") + 8, 12), VideoHeaderSize);
    EXPECT_EQ(RefusalWith(Find("strf", 2) + 8, 0x1234), Channels);
    // 18 and 19 channels of 32 bits.
    const size_t sound = Find("strf", 2) + 8;
    for (uint16_t channels : {18, 19}) {
        Put16(sound + 2, channels);
        Put16(sound + 12, channels * 4);
        Put16(sound + 14, 32);
        EXPECT_EQ(Refusal(), channels == 18 ? None : Channels) << channels;
    }
}

}  // namespace
