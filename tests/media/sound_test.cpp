// Sound heard for real: sound_e2e.sh runs these with a wave-out device whose output goes to a
// file (QUORVEL_SOUND=capture, the file in QUORVEL_CAPTURE) and with no device at all
// (QUORVEL_SOUND=none). Cases that need one of them are skipped elsewhere.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>
#include "host/saver_window.h"
#include "render/frame_clock.h"
#include "render/scene.h"
#include "media/movie.h"
#include "media/movie_files.h"
#include "media/sound.h"
#include "settings/settings.h"
#include "show/director.h"
#include "show/show_fixture.h"
#include "support/gl_fixture.h"

namespace {

using movie_files::Case;
using movie_files::ReadFile;

std::string SoundMode() {
    const char* mode = std::getenv("QUORVEL_SOUND");
    return mode == nullptr ? "" : mode;
}

// What each buffer-done message left behind: whether the device was still open.
std::vector<bool> deviceOpenAfterDone;

LRESULT CALLBACK SoundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MM_WOM_DONE) {
        OnSoundBufferDone(window, message, wParam, lParam);
        deviceOpenAfterDone.push_back(soundDevice != nullptr);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class SoundTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        // The GL window stands in for the saver window and takes the buffer-done messages.
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SoundWindowProc));
        soundWindow_ = window_;
        saverWindow = soundWindow_;
        deviceOpenAfterDone.clear();
        soundBufferLimit = SOUND_BUFFER_MAX;
        saverSettings.playAviSound = true;
        AVIFileInit();
        const std::string file = Case("tone") + "m.avi";
        ASSERT_EQ(
            AVIStreamOpenFromFileA(&stream_, file.c_str(), streamtypeAUDIO, 0, OF_READ, nullptr),
            0);
        toneBytes_ = ReadFile(Case("tone") + "m.raw");
        ASSERT_EQ(toneBytes_.size(), 40000u);
        if (SoundMode() == "capture") capturePath_ = std::string("Z:") + getenv("QUORVEL_CAPTURE");
    }

    void TearDown() override {
        CloseMovieAndSound();
        StopMovieSound();
        soundBufferLimit = SOUND_BUFFER_MAX;
        if (stream_ != nullptr) AVIStreamRelease(stream_);
        AVIFileExit();
        saverWindow = nullptr;
        GlTest::TearDown();
    }

    // Handles messages until `done` holds or five seconds pass.
    bool PumpUntil(const std::function<bool()>& done) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
            if (done()) return true;
            if (!HandleMessages()) Sleep(1);
        }
        return done();
    }

    // Handles the messages waiting; false when there were none.
    static bool HandleMessages() {
        bool any = false;
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); any = true)
            DispatchMessageA(&message);
        return any;
    }

    // Handles messages for `ms` milliseconds.
    void Pump(DWORD ms) {
        const DWORD start = GetTickCount();
        PumpUntil([&] { return GetTickCount() - start >= ms; });
    }

    bool PlayedOut() {
        return PumpUntil([] { return soundDevice == nullptr; });
    }

    // What the device played since it was last opened, once the file has stopped growing,
    // without the silence the platform may add when it runs out of sound: every 4-byte frame
    // of the tone holds sound.
    std::vector<unsigned char> Captured() {
        std::vector<unsigned char> bytes = ReadFile(capturePath_);
        for (int i = 0; i < 50; ++i) {
            Sleep(20);
            std::vector<unsigned char> again = ReadFile(capturePath_);
            if (again == bytes) break;
            bytes = std::move(again);
        }
        std::vector<unsigned char> sound;
        for (size_t at = 0; at + 4 <= bytes.size(); at += 4) {
            if (std::any_of(bytes.begin() + at, bytes.begin() + at + 4, [](int b) { return b; }))
                sound.insert(sound.end(), bytes.begin() + at, bytes.begin() + at + 4);
        }
        return sound;
    }

    void ClearCapture() { DeleteFileA(capturePath_.c_str()); }

    HWND soundWindow_ = nullptr;
    PAVISTREAM stream_ = nullptr;
    std::vector<unsigned char> toneBytes_;
    std::string capturePath_;
};

class CapturedSound : public SoundTest {
protected:
    void SetUp() override {
        if (SoundMode() != "capture") GTEST_SKIP() << "needs a captured wave-out device";
        SoundTest::SetUp();
        ClearCapture();
    }
};

TEST_F(CapturedSound, TenThousandSamplesFillThreeBuffersAndCloseAfterTheThird) {
    ASSERT_TRUE(StartMovieSound(soundWindow_, stream_, -1, -1));
    EXPECT_EQ(soundBufferCount, SOUND_BUFFER_MAX);
    EXPECT_EQ(sampleSize, 4);
    EXPECT_EQ(buffersQueued, 3u);
    EXPECT_EQ(soundCurrentSample, 10000);
    EXPECT_EQ(soundBuffers[0]->dwBufferLength, 4096u * 4);
    EXPECT_EQ(soundBuffers[1]->dwBufferLength, 4096u * 4);
    EXPECT_EQ(soundBuffers[2]->dwBufferLength, 1808u * 4);
    ASSERT_TRUE(PlayedOut());
    EXPECT_EQ(deviceOpenAfterDone, (std::vector<bool>{true, true, false}));
    EXPECT_FALSE(soundPlaying);
    EXPECT_EQ(Captured(), toneBytes_);
}

TEST_F(CapturedSound, TwoBuffersAreEnoughOneIsNot) {
    soundBufferLimit = 2;
    ASSERT_TRUE(StartMovieSound(soundWindow_, stream_, -1, -1));
    EXPECT_EQ(soundBufferCount, 2u);
    EXPECT_EQ(soundCurrentSample, 8192);
    ASSERT_TRUE(PlayedOut());
    EXPECT_EQ(deviceOpenAfterDone.size(), 3u);
    EXPECT_EQ(Captured(), toneBytes_);

    soundBufferLimit = 1;
    EXPECT_FALSE(StartMovieSound(soundWindow_, stream_, -1, -1));
    EXPECT_EQ(soundDevice, nullptr);
    EXPECT_EQ(soundBufferCount, 0u);
}

TEST_F(CapturedSound, ASecondStartWhileStreamingOnlyMovesTheEnd) {
    ASSERT_TRUE(StartMovieSound(soundWindow_, stream_, 0, 5000));
    EXPECT_EQ(buffersQueued, 2u);
    EXPECT_EQ(soundCurrentSample, 5000);
    ASSERT_TRUE(StartMovieSound(soundWindow_, stream_, 3000, -1));
    EXPECT_EQ(soundEndSample, 10000);
    EXPECT_EQ(soundCurrentSample, 10000);
    ASSERT_TRUE(PlayedOut());
    EXPECT_EQ(Captured(), toneBytes_);
}

TEST_F(CapturedSound, AStopAndStartCountsOnlyTheNewDevicesBuffers) {
    ASSERT_TRUE(StartMovieSound(soundWindow_, stream_, -1, -1));
    StopMovieSound();
    EXPECT_EQ(soundDevice, nullptr);
    // The reset device's buffers come back by message while the next one plays.
    ASSERT_TRUE(StartMovieSound(soundWindow_, stream_, -1, -1));
    ASSERT_TRUE(PlayedOut());
    EXPECT_EQ(deviceOpenAfterDone.back(), false);
    const std::vector<unsigned char> captured = Captured();
    ASSERT_GE(captured.size(), toneBytes_.size());
    EXPECT_TRUE(std::equal(toneBytes_.begin(), toneBytes_.end(),
                           captured.end() - static_cast<long>(toneBytes_.size())));
}

TEST_F(CapturedSound, AMoviesSoundStartsAtTheRevealAndPlaysOnce) {
    movie_files::UseMediaFolder("tone");
    movieActive = true;
    ASSERT_TRUE(OpenRandomMovie());
    ASSERT_TRUE(movieSoundOn);
    for (int frame = 0; frame < 10; ++frame) {
        frameDelta = 0.04;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
    }
    Pump(300);
    EXPECT_EQ(soundDevice, nullptr);
    EXPECT_TRUE(ReadFile(capturePath_).empty());

    RestartMovie();
    EXPECT_TRUE(movieSoundOn);
    EXPECT_EQ(soundStream, audioStream);
    ASSERT_TRUE(PlayedOut());
    EXPECT_EQ(Captured(), toneBytes_);
    CloseMovieAndSound();
    movieActive = false;
}

// Sound no device plays, or that the platform cannot read: the movie plays on without sound and
// nothing is left open.
TEST_F(CapturedSound, BrokenSoundPlaysSilently) {
    for (const char* name : {"oddwave", "latesound"}) {
        SCOPED_TRACE(name);
        movie_files::UseMediaFolder(name);
        movieActive = true;
        ASSERT_TRUE(OpenRandomMovie());
        RestartMovie();
        EXPECT_FALSE(movieSoundOn);
        EXPECT_EQ(soundDevice, nullptr);
        frameDelta = 0.1;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
        EXPECT_TRUE(movieActive);
        CloseMovieAndSound();
        movieActive = false;
    }
}

class NoSoundDevice : public SoundTest {
protected:
    void SetUp() override {
        if (SoundMode() != "none") GTEST_SKIP() << "needs a machine without a sound device";
        SoundTest::SetUp();
    }
};

TEST_F(NoSoundDevice, TheMoviePlaysSilently) {
    EXPECT_FALSE(StartMovieSound(soundWindow_, stream_, -1, -1));
    EXPECT_EQ(soundDevice, nullptr);

    movie_files::UseMediaFolder("tone");
    movieActive = true;
    ASSERT_TRUE(OpenRandomMovie());
    EXPECT_TRUE(movieSoundOn);
    RestartMovie();
    EXPECT_FALSE(movieSoundOn);
    EXPECT_EQ(soundDevice, nullptr);
    frameDelta = 0.25;
    AdvanceMovie(MOVIE_TEXTURE_SLOT);
    EXPECT_TRUE(movieActive);
    EXPECT_EQ(movieFrameIndex, 2);
    CloseMovieAndSound();
    movieActive = false;
}

TEST_F(SoundTest, PlayAviSoundOffOpensNoAudioStream) {
    saverSettings.playAviSound = false;
    movie_files::UseMediaFolder("tone");
    movieActive = true;
    ASSERT_TRUE(OpenRandomMovie());
    EXPECT_EQ(audioStream, nullptr);
    EXPECT_FALSE(movieSoundOn);
    RestartMovie();
    EXPECT_EQ(soundDevice, nullptr);
    EXPECT_EQ(movieElapsedMs, 0.0);
    CloseMovieAndSound();
    movieActive = false;
    if (!capturePath_.empty()) {
        Pump(300);
        EXPECT_TRUE(ReadFile(capturePath_).empty());
    }
}

TEST_F(SoundTest, NothingToPlayOpensNothing) {
    EXPECT_FALSE(StartMovieSound(soundWindow_, nullptr, -1, -1));
    EXPECT_FALSE(StartMovieSound(soundWindow_, stream_, 5000, 5000));
    EXPECT_FALSE(StartMovieSound(soundWindow_, stream_, 20000, -1));
    EXPECT_EQ(soundDevice, nullptr);
    StopMovieSound();
    EXPECT_EQ(soundDevice, nullptr);
}

// GDI objects of this process: the platform's count where it keeps one; Wine does not, but
// there a handle's low 16 bits alone name a live object, so the table can be walked.
int LiveGdiObjects() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<int>(counted);
    int live = 0;
    for (uintptr_t index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
    return live;
}

// Bytes in use on all heaps of the process, and its committed private memory.
struct MemoryUse {
    size_t heapBytes = 0;
    size_t committedBytes = 0;
};

MemoryUse MeasureMemory() {
    MemoryUse use;
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    for (HANDLE heap : heaps) {
        PROCESS_HEAP_ENTRY entry{};
        HeapLock(heap);
        while (HeapWalk(heap, &entry))
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) use.heapBytes += entry.cbData;
        HeapUnlock(heap);
    }
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr;
         VirtualQuery(at, &region, sizeof(region)) == sizeof(region) && at + region.RegionSize > at;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            use.committedBytes += region.RegionSize;
    }
    return use;
}

// The show itself with "Only Show External Pics" and a media folder of short movies (broken
// ones among them) and no picture: every item it shows is a movie. Frames are 1/30 s of show
// time and follow each other as fast as they can; messages are handled between them.
TEST_F(SoundTest, TwoHundredMovieItemsLeaveNothingBehind) {
    ResetShowState(7);
    saverSettings.playAvis = saverSettings.showExternalBmps = saverSettings.onlyExternalPics = true;
    saverSettings.playAviSound = true;
    movie_files::UseMediaFolder("soak");
    std::set<GLuint> textureNames;
    int movies = 0;
    int previousStep = showStep;
    const auto playItems = [&](int count) {
        for (int target = movies + count, frame = 0; movies < target && frame < 500000; ++frame) {
            ShowFrame();
            if (movieActive) textureNames.insert(textureSlots[MOVIE_TEXTURE_SLOT]);
            if (previousStep == SHOW_PLAY && showStep == SHOW_WAIT &&
                ItemHas(currentIndex, PF_MOVIE))
                ++movies;
            previousStep = showStep;
            HandleMessages();
        }
    };
    playItems(10);
    Pump(100);
    const int gdiBefore = LiveGdiObjects();
    const MemoryUse memoryBefore = MeasureMemory();
    playItems(200);
    Pump(100);
    EXPECT_EQ(movies, 210);
    // With a device, the movies with sound were heard (the show runs faster than the device
    // plays, so many are cut short).
    if (SoundMode() == "capture") {
        EXPECT_FALSE(deviceOpenAfterDone.empty());
    }
    EXPECT_EQ(LiveGdiObjects(), gdiBefore);
    const MemoryUse memoryAfter = MeasureMemory();
    // One item's surface alone is 96 KiB and its sound buffers 256 KiB; the platform may
    // start a thread of its own (a stack of a few MiB) once.
    EXPECT_LT(memoryAfter.heapBytes, memoryBefore.heapBytes + 16 * 1024);
    EXPECT_LT(memoryAfter.committedBytes, memoryBefore.committedBytes + 4 * 1024 * 1024);
    glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
    textureSlots[MOVIE_TEXTURE_SLOT] = 0;
    for (GLuint name : textureNames) EXPECT_FALSE(glIsTexture(name)) << name;
    ResetShowState(1);
}

TEST(WaveFormatFits, ExtraBytesMustLieInsideTheRecord) {
    WAVEFORMATEX format{};
    EXPECT_TRUE(WaveFormatFits(format, sizeof(PCMWAVEFORMAT)));
    EXPECT_FALSE(WaveFormatFits(format, sizeof(PCMWAVEFORMAT) - 1));
    EXPECT_TRUE(WaveFormatFits(format, sizeof(WAVEFORMATEX)));
    format.cbSize = 22;
    EXPECT_FALSE(WaveFormatFits(format, sizeof(WAVEFORMATEX)));
    EXPECT_TRUE(WaveFormatFits(format, sizeof(WAVEFORMATEX) + 22));
    format.cbSize = 0xFFFF;
    EXPECT_TRUE(WaveFormatFits(format, sizeof(WAVEFORMATEX) + 0xFFFF));
    EXPECT_FALSE(WaveFormatFits(format, sizeof(WAVEFORMATEX) + 0x10000));
}

}  // namespace
