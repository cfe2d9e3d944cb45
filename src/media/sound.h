// A movie's sound streamed to the wave-out device.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>
#include <array>

constexpr unsigned int SOUND_BUFFER_MAX = 16;
constexpr LONG SOUND_BUFFER_BYTES = 16384;

extern HWAVEOUT soundDevice;
// Each block is the wave header followed by its 16,384 bytes of data, locked in place.
extern std::array<WAVEHDR*, SOUND_BUFFER_MAX> soundBuffers;
// Whether the device holds buffer i; done messages for any other header are stale.
extern std::array<bool, SOUND_BUFFER_MAX> soundBufferQueued;
extern unsigned int soundBufferCount;
extern unsigned int buffersQueued;
extern unsigned int nextBuffer;
extern bool soundPlaying;
extern int sampleSize;
extern int soundCurrentSample;
extern int soundEndSample;
// The stream being played.
extern PAVISTREAM soundStream;
// How many buffers an open tries to make.
extern unsigned int soundBufferLimit;

bool StartMovieSound(HWND window, PAVISTREAM stream, int start, int end);
LRESULT OnSoundBufferDone(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void StopMovieSound();
bool OpenSoundDevice(HWND window, PAVISTREAM stream);
bool FillSoundBuffers();
void CloseSoundDevice();

// Whether a wave format record of `size` bytes read from a stream can be handed to the device:
// at least the PCM fields, and any extra bytes it announces lie inside the record.
bool WaveFormatFits(const WAVEFORMATEX& format, LONG size);
