// Movie sound heard for real: sound_e2e.sh runs the Captured cases with a wave-out device whose
// output ALSA writes to a file (QUORVEL_SOUND=capture, the file in QUORVEL_CAPTURE) and the
// NoSoundDevice case with none (QUORVEL_SOUND=none); elsewhere they are skipped.
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>
#include "host/saver_window.h"
#include "media/movie_files.h"

namespace {

using movie_files::ReadFile;

// Whether the device was still open after each buffer-done message.
std::vector<bool> openAfterDone;

// The buffer-done messages take the saver window's own way to the player.
LRESULT CALLBACK SaverLikeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != MM_WOM_DONE) return DefWindowProcA(window, message, wParam, lParam);
    const LRESULT result = ScreenSaverProc(window, message, wParam, lParam);
    openAfterDone.push_back(movieSound.soundDevice != nullptr);
    return result;
}

void HandleMessages() {
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&message);
}

bool Device(const char* kind) {
    const char* mode = std::getenv("QUORVEL_SOUND");
    return mode != nullptr && std::string(mode) == kind;
}

class SoundTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SaverLikeProc));
        moviePlayer.soundWindow = window_;
        movieSound = {};
        AVIFileInit();
        ASSERT_EQ(AVIStreamOpenFromFileA(&stream_, movie_files::MovieFile("tone").c_str(),
                                         streamtypeAUDIO, 0, OF_READ, nullptr),
                  0);
        tone_ = ReadFile(movie_files::Case("tone") + "m.raw");
        ASSERT_EQ(tone_.size(), 40000u);
        if (const char* file = std::getenv("QUORVEL_CAPTURE")) capture_ = std::string("Z:") + file;
        Forget();
    }
    void TearDown() override {
        MediaTest::TearDown();
        if (stream_ != nullptr) AVIStreamRelease(stream_);
        AVIFileExit();
        moviePlayer.soundWindow = nullptr;
    }
    bool Start(int start, int end) { return StartMovieSound(window_, stream_, start, end); }
    // Forgets what was played so far.
    void Forget() {
        DeleteFileA(capture_.c_str());
        openAfterDone.clear();
    }
    // Handles messages until the device has closed itself (five seconds at most); what it played
    // once the file has stopped growing, without the silence the platform may add when it runs
    // dry (every 4-byte frame of the tone holds sound).
    std::vector<unsigned char> Played() const {
        for (DWORD start = GetTickCount();
             movieSound.soundDevice != nullptr && GetTickCount() - start < 5000;)
            HandleMessages(), Sleep(1);
        EXPECT_EQ(movieSound.soundDevice, nullptr) << "still playing";
        std::vector<unsigned char> bytes = ReadFile(capture_), sound;
        for (int i = 0; i < 50; ++i) {
            Sleep(20);
            std::vector<unsigned char> again = ReadFile(capture_);
            if (again == bytes) break;
            bytes = std::move(again);
        }
        for (size_t at = 0; at + 4 <= bytes.size(); at += 4) {
            if (std::any_of(bytes.begin() + at, bytes.begin() + at + 4, [](int b) { return b; }))
                sound.insert(sound.end(), bytes.begin() + at, bytes.begin() + at + 4);
        }
        return sound;
    }

    PAVISTREAM stream_ = nullptr;
    std::vector<unsigned char> tone_;
    std::string capture_;
};

TEST_F(SoundTest, CapturedSoundFillsBuffersInTurnAndClosesAfterTheLast) {
    if (!Device("capture")) GTEST_SKIP() << "needs QUORVEL_SOUND=capture";
    ASSERT_TRUE(Start(-1, -1));
    EXPECT_EQ(movieSound.soundBufferCount, SOUND_BUFFER_MAX);
    EXPECT_EQ(movieSound.sampleSize, 4);
    EXPECT_EQ(movieSound.buffersQueued, 3u);
    const DWORD lengths[] = {4096 * 4, 4096 * 4, 1808 * 4};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(movieSound.soundBuffers[i]->dwBufferLength, lengths[i]) << i;
    EXPECT_EQ(Played(), tone_);
    EXPECT_EQ(openAfterDone, (std::vector<bool>{true, true, false}));
    // Two buffers are enough, one is not.
    Forget();
    movieSound.soundBufferLimit = 2;
    ASSERT_TRUE(Start(-1, -1));
    EXPECT_EQ(movieSound.soundCurrentSample, 8192);
    EXPECT_EQ(Played(), tone_);
    EXPECT_EQ(openAfterDone.size(), 3u);
    movieSound.soundBufferLimit = 1;
    EXPECT_FALSE(Start(-1, -1));
    EXPECT_EQ(movieSound.soundDevice, nullptr);
}

TEST_F(SoundTest, CapturedSoundRestartsPlayEverySampleOnce) {
    if (!Device("capture")) GTEST_SKIP() << "needs QUORVEL_SOUND=capture";
    // A second start while streaming only moves the end.
    ASSERT_TRUE(Start(0, 5000));
    EXPECT_EQ(movieSound.soundCurrentSample, 5000);
    ASSERT_TRUE(Start(3000, -1));
    EXPECT_EQ(movieSound.soundCurrentSample, 10000);
    EXPECT_EQ(Played(), tone_);
    // The reset device's buffers come back by message while the next one plays.
    Forget();
    ASSERT_TRUE(Start(-1, -1));
    StopMovieSound();
    EXPECT_EQ(movieSound.soundDevice, nullptr);
    ASSERT_TRUE(Start(-1, -1));
    const std::vector<unsigned char> played = Played();
    ASSERT_GE(played.size(), tone_.size());
    EXPECT_TRUE(std::equal(tone_.begin(), tone_.end(), played.end() - long(tone_.size())));
}

TEST_F(SoundTest, CapturedSoundAMoviesSoundStartsAtTheRevealAndPlaysOnce) {
    if (!Device("capture")) GTEST_SKIP() << "needs QUORVEL_SOUND=capture";
    ASSERT_TRUE(OpenMovie("tone"));
    for (int frame = 0; frame < 10; ++frame) Advance(0.04);
    EXPECT_EQ(movieSound.soundDevice, nullptr) << "sound before the reveal";
    RestartMovie();
    EXPECT_EQ(movieSound.soundStream, moviePlayer.audioStream);
    EXPECT_EQ(Played(), tone_);
    // Sound no device plays, or that the platform cannot read: the movie plays on silently.
    for (const char* name : {"oddwave", "latesound"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(OpenMovie(name));
        RestartMovie();
        EXPECT_FALSE(moviePlayer.movieSoundOn);
        EXPECT_EQ(movieSound.soundDevice, nullptr);
        EXPECT_TRUE(Advance(0.1));
    }
}

TEST_F(SoundTest, NoSoundDeviceTheMoviePlaysSilently) {
    if (!Device("none")) GTEST_SKIP() << "needs QUORVEL_SOUND=none";
    EXPECT_FALSE(Start(-1, -1));
    ASSERT_TRUE(OpenMovie("tone"));
    RestartMovie();
    EXPECT_FALSE(moviePlayer.movieSoundOn);
    EXPECT_EQ(movieSound.soundDevice, nullptr);
    EXPECT_TRUE(Advance(0.25));
    EXPECT_EQ(moviePlayer.movieFrameIndex, 2);
}

TEST_F(SoundTest, NothingToPlayOpensNothing) {
    for (const auto& [start, end] : {std::pair{5000, 5000}, {20000, -1}})
        EXPECT_FALSE(Start(start, end)) << start;
    EXPECT_FALSE(StartMovieSound(window_, nullptr, -1, -1));
    EXPECT_EQ(movieSound.soundDevice, nullptr);
    StopMovieSound();
    // A wave format record and the extra bytes it announces must fit what was read.
    const std::tuple<WORD, LONG, bool> formats[] = {
        {0, sizeof(PCMWAVEFORMAT), true},  {0, sizeof(PCMWAVEFORMAT) - 1, false},
        {22, sizeof(WAVEFORMATEX), false}, {22, sizeof(WAVEFORMATEX) + 22, true},
        {0xFFFF, 0x10011, true},           {0xFFFF, 0x10012, false}};
    for (const auto& [extra, size, fits] : formats) {
        WAVEFORMATEX format{};
        format.cbSize = extra;
        EXPECT_EQ(WaveFormatFits(format, size), fits) << extra << " in " << size;
    }
}

// Live GDI objects: Wine keeps no count, but a handle's low 16 bits alone name a live object.
int LiveGdiObjects() {
    int live = 0;
    for (uintptr_t index = 1; index < 0x10000; ++index)
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
    return live;
}

// Bytes in use on the process's heaps, and its committed private memory.
std::pair<size_t, size_t> MemoryInUse() {
    size_t heapBytes = 0, committed = 0;
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    for (HANDLE heap : heaps) {
        PROCESS_HEAP_ENTRY entry{};
        HeapLock(heap);
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) heapBytes += entry.cbData;
        HeapUnlock(heap);
    }
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr;
         VirtualQuery(at, &region, sizeof(region)) == sizeof(region) && at + region.RegionSize > at;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            committed += region.RegionSize;
    }
    return {heapBytes, committed};
}

// The show itself with only movies to show (broken ones among them, some with sound); frames of
// 1/30 s of show time as fast as they can, messages handled between them.
TEST_F(SoundTest, CapturedSoundTwoHundredMovieItemsLeaveNothingBehind) {
    if (!Device("capture")) GTEST_SKIP() << "needs QUORVEL_SOUND=capture";
    ResetShowState(7);
    saverSettings.playAvis = saverSettings.showExternalBmps = saverSettings.onlyExternalPics = true;
    UseMediaFolder("soak");
    std::set<GLuint> textureNames;
    int movies = 0, previousStep = showState.showStep;
    const auto playItems = [&](int count) {
        for (int target = movies + count, frame = 0; movies < target && frame < 500000; ++frame) {
            ShowFrame();
            if (showState.movieActive) textureNames.insert(textureSlots[SLOT_HOLOGRAM]);
            movies += previousStep == SHOW_PLAY && showState.showStep == SHOW_WAIT &&
                      ItemHas(showState.currentIndex, PF_MOVIE);
            previousStep = showState.showStep;
            HandleMessages();
        }
    };
    playItems(10);
    const int gdiBefore = LiveGdiObjects();
    const auto [heapBefore, committedBefore] = MemoryInUse();
    playItems(200);
    EXPECT_EQ(movies, 210);
    EXPECT_FALSE(openAfterDone.empty()) << "no movie was heard";
    EXPECT_EQ(LiveGdiObjects(), gdiBefore);
    const auto [heapAfter, committedAfter] = MemoryInUse();
    // One item's surface alone is 96 KiB and its sound buffers 256 KiB; the platform may start
    // a thread of its own (a stack of a few MiB) once.
    EXPECT_LT(heapAfter, heapBefore + 16 * 1024);
    EXPECT_LT(committedAfter, committedBefore + 4 * 1024 * 1024);
    glDeleteTextures(1, &textureSlots[SLOT_HOLOGRAM]);
    for (GLuint name : textureNames) EXPECT_FALSE(glIsTexture(name)) << name;
    ResetShowState(1);
}

}  // namespace
