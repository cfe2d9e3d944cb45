// The scene's lifecycle: build at the saver window's creation, one frame per paint, teardown.
#pragma once
#include <windows.h>
#include <array>
#include <cstdint>

constexpr unsigned int LIST_PROJECTION = 1;
constexpr unsigned int LIST_BANNER = 2;
constexpr unsigned int LIST_GLYPH = 3;
constexpr unsigned int LIST_BODY = 4;
constexpr unsigned int LIST_DOME = 5;
constexpr unsigned int LIST_SIDE_LEG = 6;
constexpr unsigned int LIST_SIDE_LEG_MIRRORED = 7;
constexpr unsigned int LIST_CENTRE_LEG = 8;
constexpr unsigned int LIST_PANEL_BLOCK = 10;
constexpr unsigned int LIST_LENS = 11;
constexpr unsigned int LIST_SIDE_FOOT = 12;
constexpr unsigned int LIST_SIDE_FOOT_MIRRORED = 13;
constexpr unsigned int LIST_CENTRE_FOOT = 14;
constexpr unsigned int LIST_BEAM = 15;

constexpr int TEXTURE_SLOT_COUNT = 12;
constexpr int SLOT_BANNER = 0;
constexpr int SLOT_HOLOGRAM = 2;
constexpr int SLOT_CHROME = 3;
constexpr int SLOT_BODY = 4;
constexpr int SLOT_DOME_CAP = 5;
constexpr int SLOT_DOME_BAND = 6;
constexpr int SLOT_PANEL = 7;
constexpr int SLOT_LENS_GLASS = 9;
constexpr int SLOT_LEGS = 10;
constexpr int SLOT_FEET = 11;
constexpr UINT FRAME_TIMER_ID = 1;
constexpr UINT FRAME_TIMER_PERIOD_MS = 33;

extern std::array<uint32_t, TEXTURE_SLOT_COUNT> textureSlots;
// The OpenGL window's client rectangle: right and bottom are the scene's size in pixels.
extern RECT clientRect;
extern UINT_PTR frameTimerId;
extern bool overlayDisabled;
extern double previousFrameTime;

LRESULT ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RenderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InitRenderState();
void SetupLight();
void SetProjection(int width, int height);
void BuildScene();
void BuildBannerList();
void DrawFrame();
void ReleaseScene();
uint32_t ReadWallClock();

// The creation sequence of the saver window's WM_CREATE, with the seed given; the OpenGL
// window covers sceneArea of the client area, or all of it when none is given. False when no
// OpenGL window could be made.
bool CreateScene(HWND window, uint32_t seed, const RECT* sceneArea = nullptr);
// One frame at the given clock reading: sets frameTime and frameDelta and draws (no swap).
void RenderFrame(double time);
// The destruction sequence of the saver window's WM_DESTROY.
void DestroyScene();
