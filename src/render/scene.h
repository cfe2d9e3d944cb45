// The scene's lifecycle: build at the saver window's creation, one frame per paint, teardown.
#pragma once
#include <windows.h>
#include <cstdint>
#include "render/gl_names.h"

constexpr UINT FRAME_TIMER_ID = 1;
constexpr UINT FRAME_TIMER_PERIOD_MS = 33;

struct SceneState {
    // The OpenGL window's client rectangle: right and bottom are the scene's size in pixels.
    RECT clientRect{};
    UINT_PTR frameTimerId = 0;
    bool overlayDisabled = false;
};

extern SceneState scene;

LRESULT ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RenderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InitRenderState();
void SetupLight();
void SetProjection(int width, int height);
void BuildScene();
void BuildBannerList();
// Moves everything on to the clock reading `time`: the frame clock, the show (director, robot,
// hologram and its flicker, the movie) and the overlay's slides. Every random draw of a frame
// happens here, in this order.
void AdvanceFrame(double time);
// Draws the frame as the last advance left it (no swap); changes no state.
void DrawFrame();
void ReleaseScene();
uint32_t ReadWallClock();

// The creation sequence of the saver window's WM_CREATE, with the seed given; the OpenGL
// window covers sceneArea of the client area, or all of it when none is given. False when no
// OpenGL window could be made.
bool CreateScene(HWND window, uint32_t seed, const RECT* sceneArea = nullptr);
// After the host moved or resized the OpenGL window (a change of display, a preview parent
// resized): scene.clientRect, the projection, the overlay's scale for `dpi` and the frame pace
// follow. Loads nothing and draws no random number: the show goes on as it is.
void FitScene(UINT dpi);
// One frame at the given clock reading: the advance, then the drawing (no swap).
void RenderFrame(double time);
// The destruction sequence of the saver window's WM_DESTROY.
void DestroyScene();
