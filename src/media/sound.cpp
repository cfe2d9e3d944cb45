#include "media/sound.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

MovieSound movieSound;

namespace {

constexpr SIZE_T SOUND_BLOCK_BYTES = sizeof(WAVEHDR) + SOUND_BUFFER_BYTES;
constexpr LONG LARGEST_FORMAT = sizeof(WAVEFORMATEX) + 0xFFFF;

struct FreeGlobal {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using GlobalBlock = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, FreeGlobal>;

// A locked block: its address stays put until it is freed.
WAVEHDR* AllocateSoundBuffer() {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, SOUND_BLOCK_BYTES);
    if (memory == nullptr) return nullptr;
    auto* header = static_cast<WAVEHDR*>(GlobalLock(memory));
    if (header == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    *header = WAVEHDR{};
    header->lpData = reinterpret_cast<LPSTR>(header + 1);
    header->dwBufferLength = SOUND_BUFFER_BYTES;
    header->dwFlags = WHDR_DONE;
    return header;
}

void FreeSoundBuffer(WAVEHDR* header) {
    HGLOBAL memory = GlobalHandle(header);
    GlobalUnlock(memory);
    GlobalFree(memory);
}

// The stream's wave format in a zero-filled block that holds at least a whole WAVEFORMATEX.
GlobalBlock ReadWaveFormat(PAVISTREAM stream) {
    LONG size = 0;
    if (AVIStreamReadFormat(stream, 0, nullptr, &size) != 0) return nullptr;
    if (size < static_cast<LONG>(sizeof(PCMWAVEFORMAT)) || size > LARGEST_FORMAT) return nullptr;
    GlobalBlock block(
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, std::max<SIZE_T>(size, sizeof(WAVEFORMATEX))));
    if (block == nullptr) return nullptr;
    auto* format = static_cast<WAVEFORMATEX*>(GlobalLock(block.get()));
    if (format == nullptr) return nullptr;
    LONG readSize = size;
    const bool read = AVIStreamReadFormat(stream, 0, format, &readSize) == 0;
    const bool fits = read && WaveFormatFits(*format, size);
    GlobalUnlock(block.get());
    if (!fits) return nullptr;
    return block;
}

bool OpenWaveOut(HWND window, const WAVEFORMATEX* format) {
    return waveOutOpen(&movieSound.soundDevice, WAVE_MAPPER, format,
                       reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW) == MMSYSERR_NOERROR;
}

void MakeSoundBuffers() {
    const unsigned int limit = std::min(movieSound.soundBufferLimit, SOUND_BUFFER_MAX);
    while (movieSound.soundBufferCount < limit) {
        WAVEHDR* header = AllocateSoundBuffer();
        if (header == nullptr) return;
        if (waveOutPrepareHeader(movieSound.soundDevice, header, sizeof(WAVEHDR)) !=
            MMSYSERR_NOERROR) {
            FreeSoundBuffer(header);
            return;
        }
        movieSound.soundBufferQueued[movieSound.soundBufferCount] = false;
        movieSound.soundBuffers[movieSound.soundBufferCount++] = header;
    }
}

}  // namespace

bool WaveFormatFits(const WAVEFORMATEX& format, LONG size) {
    if (size < static_cast<LONG>(sizeof(PCMWAVEFORMAT)) || size > LARGEST_FORMAT) return false;
    // A record shorter than WAVEFORMATEX is read into a zero-filled one: no extra bytes.
    if (size < static_cast<LONG>(sizeof(WAVEFORMATEX))) return format.cbSize == 0;
    return static_cast<LONG>(sizeof(WAVEFORMATEX)) + format.cbSize <= size;
}

bool OpenSoundDevice(HWND window, PAVISTREAM stream) {
    if (stream == nullptr) return false;
    if (movieSound.soundDevice != nullptr) return true;
    AVISTREAMINFOA info{};
    if (AVIStreamInfoA(stream, &info, sizeof(info)) != 0) return false;
    if (info.dwSampleSize < 1 || info.dwSampleSize > static_cast<DWORD>(SOUND_BUFFER_BYTES))
        return false;
    movieSound.sampleSize = static_cast<int>(info.dwSampleSize);
    GlobalBlock formatBlock = ReadWaveFormat(stream);
    if (formatBlock == nullptr) return false;
    const auto* format = static_cast<const WAVEFORMATEX*>(GlobalLock(formatBlock.get()));
    bool opened = OpenWaveOut(window, format);
    if (!opened) {
        // The simple sound player may be holding the device.
        sndPlaySoundA(nullptr, 0);
        opened = OpenWaveOut(window, format);
    }
    GlobalUnlock(formatBlock.get());
    if (!opened) {
        movieSound.soundDevice = nullptr;
        return false;
    }
    MakeSoundBuffers();
    if (movieSound.soundBufferCount < 2) {
        CloseSoundDevice();
        return false;
    }
    movieSound.buffersQueued = 0;
    movieSound.nextBuffer = 0;
    movieSound.soundPlaying = false;
    return true;
}

bool StartMovieSound(HWND window, PAVISTREAM stream, int start, int end) {
    if (stream == nullptr) return false;
    const LONG first = AVIStreamStart(stream);
    int64_t from = start;
    int64_t to = end;
    if (from < 0) from = first;
    if (to < 0) to = int64_t{first} + AVIStreamLength(stream);
    to = std::min<int64_t>(to, INT_MAX);
    if (from < 0 || from >= to) return false;
    if (!OpenSoundDevice(window, stream)) return false;
    if (!movieSound.soundPlaying) {
        waveOutPause(movieSound.soundDevice);
        movieSound.soundStream = stream;
        movieSound.soundCurrentSample = static_cast<int>(from);
        movieSound.soundPlaying = true;
    }
    movieSound.soundEndSample = static_cast<int>(to);
    FillSoundBuffers();
    // Everything queued while paused starts together.
    if (movieSound.soundDevice != nullptr) waveOutRestart(movieSound.soundDevice);
    return true;
}

bool FillSoundBuffers() {
    if (!movieSound.soundPlaying) return true;
    while (movieSound.buffersQueued < movieSound.soundBufferCount) {
        // Never refill a buffer the device still holds.
        if (movieSound.soundCurrentSample >= movieSound.soundEndSample ||
            movieSound.soundBufferQueued[movieSound.nextBuffer])
            break;
        const int count = std::min<int>(movieSound.soundEndSample - movieSound.soundCurrentSample,
                                        SOUND_BUFFER_BYTES / movieSound.sampleSize);
        WAVEHDR* header = movieSound.soundBuffers[movieSound.nextBuffer];
        LONG bytesRead = 0;
        LONG samplesRead = 0;
        if (AVIStreamRead(movieSound.soundStream, movieSound.soundCurrentSample, count,
                          header->lpData, SOUND_BUFFER_BYTES, &bytesRead, &samplesRead) != 0 ||
            samplesRead != count || bytesRead < 0 || bytesRead > SOUND_BUFFER_BYTES) {
            return false;
        }
        header->dwBufferLength = static_cast<DWORD>(bytesRead);
        if (waveOutWrite(movieSound.soundDevice, header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
            return false;
        // Moved on only once the device has the samples, so a refused write loses none.
        movieSound.soundCurrentSample += samplesRead;
        movieSound.soundBufferQueued[movieSound.nextBuffer] = true;
        ++movieSound.buffersQueued;
        movieSound.nextBuffer = (movieSound.nextBuffer + 1) % movieSound.soundBufferCount;
    }
    if (movieSound.buffersQueued == 0 && movieSound.soundCurrentSample >= movieSound.soundEndSample)
        StopMovieSound();
    return true;
}

LRESULT OnSoundBufferDone(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message != MM_WOM_DONE) return 0;
    // A reset device hands its buffers back by message too, possibly after the next open:
    // only a buffer this device holds counts.
    const auto* header = reinterpret_cast<const WAVEHDR*>(lParam);
    for (unsigned int i = 0; i < movieSound.soundBufferCount; ++i) {
        if (movieSound.soundBuffers[i] == header && movieSound.soundBufferQueued[i] &&
            (movieSound.soundBuffers[i]->dwFlags & WHDR_DONE) != 0) {
            movieSound.soundBufferQueued[i] = false;
            --movieSound.buffersQueued;
            FillSoundBuffers();
            break;
        }
    }
    return 0;
}

void StopMovieSound() {
    if (movieSound.soundDevice == nullptr) return;
    waveOutReset(movieSound.soundDevice);
    movieSound.soundPlaying = false;
    CloseSoundDevice();
}

void CloseSoundDevice() {
    if (movieSound.soundDevice == nullptr) return;
    for (unsigned int i = movieSound.soundBufferCount; i-- > 0;) {
        waveOutUnprepareHeader(movieSound.soundDevice, movieSound.soundBuffers[i], sizeof(WAVEHDR));
        FreeSoundBuffer(movieSound.soundBuffers[i]);
        movieSound.soundBuffers[i] = nullptr;
        movieSound.soundBufferQueued[i] = false;
    }
    waveOutClose(movieSound.soundDevice);
    movieSound.soundDevice = nullptr;
    movieSound.soundBufferCount = 0;
    movieSound.soundStream = nullptr;
}
