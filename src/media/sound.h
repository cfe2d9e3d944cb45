// A movie's sound streamed to the wave-out device.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>
#include <array>

constexpr unsigned int SOUND_BUFFER_MAX = 16;
constexpr LONG SOUND_BUFFER_BYTES = 16384;

// The wave-out device and the buffers it plays a movie's sound from.
struct MovieSound {
    HWAVEOUT soundDevice = nullptr;
    // Each block is the wave header followed by its 16,384 bytes of data, locked in place.
    std::array<WAVEHDR*, SOUND_BUFFER_MAX> soundBuffers{};
    // Whether the device holds buffer i; done messages for any other header are stale.
    std::array<bool, SOUND_BUFFER_MAX> soundBufferQueued{};
    unsigned int soundBufferCount = 0;
    unsigned int buffersQueued = 0;
    unsigned int nextBuffer = 0;
    bool soundPlaying = false;
    int sampleSize = 0;
    int soundCurrentSample = 0;
    int soundEndSample = 0;
    // The stream being played.
    PAVISTREAM soundStream = nullptr;
    // How many buffers an open tries to make.
    unsigned int soundBufferLimit = SOUND_BUFFER_MAX;
};

extern MovieSound movieSound;

bool StartMovieSound(HWND window, PAVISTREAM stream, int start, int end);
LRESULT OnSoundBufferDone(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void StopMovieSound();
bool OpenSoundDevice(HWND window, PAVISTREAM stream);
bool FillSoundBuffers();
void CloseSoundDevice();

// Whether a wave format record of `size` bytes read from a stream can be handed to the device:
// at least the PCM fields, and any extra bytes it announces lie inside the record.
bool WaveFormatFits(const WAVEFORMATEX& format, LONG size);
