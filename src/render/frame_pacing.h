// When frames are drawn: at the display's refresh rate, through the driver's vertical sync
// where it works and otherwise through a deadline per refresh period that the message loop
// sleeps towards.
#pragma once
#include <windows.h>
#include <string_view>

constexpr int DEFAULT_REFRESH_HZ = 60;
// A frame interval shorter than this share of the refresh period was not held by the swap.
constexpr double FAST_SWAP_SHARE = 0.5;
// This many such intervals in a row: the driver ignores the swap interval.
constexpr int FAST_SWAPS_TO_GIVE_UP = 8;

using SwapIntervalProc = BOOL(WINAPI*)(int);

struct FramePacer {
    // Seconds between frames: the display's refresh period.
    double period;
    // Pacing-clock time at which the next frame is due.
    double deadline;
    // Pacing-clock time the previous frame was swapped, negative before the first.
    double lastPresent;
    // True while the driver's vertical sync holds each swap until the display is ready.
    bool swapPaced;
    // Frame intervals in a row that were far shorter than the period.
    int fastSwaps;
    // wglSwapIntervalEXT where the driver offers it.
    SwapIntervalProc swapInterval;
    // timeBeginPeriod(1) is in force and must be ended.
    bool fineTimer;
};

extern FramePacer framePacer;

// Seconds between frames for a reported refresh rate; 0 and 1 mean the hardware's default.
double RefreshPeriod(int reportedHz);
// The next frame's deadline after the one at `deadline`, seen at `now`: one period on, so the
// cadence does not drift; never in the past (a late frame starts the cadence again from now,
// with no burst to catch up) and never more than a period ahead (a clock that stepped back).
double NextFrameDeadline(double deadline, double now, double period);
// Milliseconds to wait at `now` for `deadline`: 0 once it is due, otherwise rounded up so the
// wait never ends early and spins, and at most one period.
DWORD FrameWaitMilliseconds(double deadline, double now, double period);
// Counts a frame interval against the period; false once the swaps have run far faster than
// the display FAST_SWAPS_TO_GIVE_UP times in a row.
bool SwapKeepsPace(int& fastSwaps, double interval, double period);
// Whether a space-separated extension list names `name` exactly.
bool ListsExtension(std::string_view extensions, std::string_view name);

// Seconds on the pacing clock (the performance counter).
double PacingClockSeconds();
// With the rendering context current: the display's refresh period and vertical sync.
void StartFramePacing(HDC dc);
// After a change of display: the period of the refresh rate the display has now.
void FollowRefreshRate(HDC dc);
void StopFramePacing();
// Invalidates `window` when a frame is due and moves the deadline on; otherwise returns the
// milliseconds until the next frame is due (0 when it invalidated).
DWORD PaceFrames(HWND window);
// After each swap: under vertical sync the next frame may start at once; swaps that come back
// far faster than the display end the trust in vertical sync.
void NoteFramePresented();
