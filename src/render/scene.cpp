#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <mmsystem.h>
#include <ctime>
#include "art_resources.h"
#include "host/monitors.h"
#include "host/password.h"
#include "host/saver.h"
#include "media/movie.h"
#include "media/sound.h"
#include "render/frame_clock.h"
#include "render/frame_pacing.h"
#include "render/gl_window.h"
#include "render/random.h"
#include "robot/robot_model.h"
#include "settings/settings.h"
#include "show/animation.h"
#include "show/director.h"
#include "show/hologram.h"
#include "text/overlay.h"
#include "textures/texture_loader.h"
#include "textures/media_library.h"

SceneState scene;

namespace {

void RealizeScenePalette() {
    UnrealizeObject(renderWindow.glPalette);
    SelectPalette(renderWindow.glDC, renderWindow.glPalette, FALSE);
    RealizePalette(renderWindow.glDC);
}

void BuildProjectionList() {
    glNewList(LIST_PROJECTION, GL_COMPILE);
    SetProjection(scene.clientRect.right, scene.clientRect.bottom);
    glEndList();
}

}  // namespace

uint32_t ReadWallClock() {
    return static_cast<uint32_t>(std::time(nullptr));
}

bool CreateScene(HWND window, uint32_t seed, const RECT* sceneArea) {
    saver.saverWindow = window;
    moviePlayer.soundWindow = window;
    RECT area;
    if (sceneArea != nullptr) {
        area = *sceneArea;
    } else {
        GetClientRect(window, &area);
    }
    renderWindow.glWindow = CreateRenderWindow(area.left, area.top, area.right - area.left,
                                               area.bottom - area.top, window, RenderWindowProc);
    if (renderWindow.glWindow == nullptr) return false;
    GetClientRect(renderWindow.glWindow, &scene.clientRect);
    LoadSettings();
    if (saverSettings.playAvis || saverSettings.showExternalBmps)
        StartMediaLibrary(saverSettings.aviPath);
    SeedRandom(seed);
    overlay.overlayScale = OverlayScaleFor(PrimaryMonitorDpi());
    InitRenderState();
    StartFrameClock();
    StartFramePacing(renderWindow.glDC);
    scene.overlayDisabled = saver.isPreviewMode != 0;
    return true;
}

void FitScene(UINT dpi) {
    RECT client{};
    GetClientRect(renderWindow.glWindow, &client);
    // A window folded to nothing draws nothing; the last size stands until it opens again.
    if (client.right > 0 && client.bottom > 0) {
        scene.clientRect = client;
        BuildProjectionList();
    }
    overlay.overlayScale = OverlayScaleFor(dpi);
    KeepBannerAtItsEdge(scene.clientRect.right, overlay.overlayScale);
    FollowRefreshRate(renderWindow.glDC);
}

void DestroyScene() {
    ReleaseScene();
    StopFramePacing();
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(renderWindow.glWindow, renderWindow.glDC);
    wglDeleteContext(renderWindow.glContext);
    if (renderWindow.glPalette != nullptr) DeleteObject(renderWindow.glPalette);
    DestroyWindow(renderWindow.glWindow);
    PostQuitMessage(0);
}

LRESULT ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            // Full screen, the creation parameter is the part of the window the scene covers.
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            const auto* sceneArea = static_cast<const RECT*>(create->lpCreateParams);
            // The user has already seen why the OpenGL window could not be made; the
            // system keys must not stay locked behind the ended process.
            if (!CreateScene(window, ReadWallClock(), sceneArea)) {
                UnloadPasswordSupport();
                ExitProcess(1);
            }
            return 0;
        }
        case WM_DESTROY:
            DestroyScene();
            return 0;
        case WM_SYSCOMMAND:
            return 0;
        case MM_WOM_DONE:
            OnSoundBufferDone(window, message, wParam, lParam);
            return 0;
        default:
            return DefScreenSaverProc(window, message, wParam, lParam);
    }
}

void AdvanceFrame(double time) {
    TakeFrameTime(time);
    AdvanceShow();
    if (!scene.overlayDisabled) {
        StepOverlay(frameClock.frameTime, scene.clientRect.right, scene.clientRect.bottom,
                    overlay.overlayScale);
    }
}

void RenderFrame(double time) {
    AdvanceFrame(time);
    DrawFrame();
}

LRESULT CALLBACK RenderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            scene.frameTimerId = SetTimer(window, FRAME_TIMER_ID, FRAME_TIMER_PERIOD_MS, nullptr);
            return 0;
        case WM_TIMER:
            // The message loop asks for frames on time; this keeps them coming while another
            // loop runs (a modal dialog).
            PaceFrames(window);
            return 0;
        case WM_PAINT:
            // Validated: the next frame comes when the pacing asks for it, not whenever the
            // queue is empty.
            ValidateRect(window, nullptr);
            RenderFrame(ReadFrameClock());
            SwapBuffers(renderWindow.glDC);
            NoteFramePresented();
            return 0;
        case WM_DESTROY:
            if (scene.frameTimerId != 0) KillTimer(window, scene.frameTimerId);
            PostQuitMessage(0);
            return 0;
        case WM_QUERYNEWPALETTE:
            if (renderWindow.glPalette == nullptr) return 0;
            RealizeScenePalette();
            return 1;
        case WM_PALETTECHANGED:
            if (reinterpret_cast<HWND>(wParam) == window || renderWindow.glPalette == nullptr)
                return 0;
            RealizeScenePalette();
            return 1;
        default:
            // Input over the child is judged as input over the saver window; the child's own
            // housekeeping (creation, sizing, painting defaults) stays with the child.
            return DefScreenSaverProcFor(saver.saverWindow, window, message, wParam, lParam);
    }
}

void InitRenderState() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    SetupLight();
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_NORMALIZE);
    BuildScene();
}

void SetupLight() {
    constexpr GLfloat ambient[] = {0.0f, 0.0f, 0.0f, 0.0f};
    constexpr GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    constexpr GLfloat specular[] = {0.3f, 0.3f, 0.3f, 1.0f};
    constexpr GLfloat position[] = {0.0f, 5.0f, 5.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}

void SetProjection(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<float>(width) / static_cast<float>(height), 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void BuildScene() {
    HMODULE module = GetModuleHandleA(nullptr);
    LoadResourceTexture(BANNER_BITMAP.id, SLOT_BANNER, module, ALPHA_COLOUR_KEY, false);
    overlay.overlayTimeBase = static_cast<float>(frameClock.frameTime);
    BuildBannerList();
    BuildProjectionList();
    if (saverSettings.robotColour == ROBOT_COLOUR_RANDOM)
        saverSettings.robotColour = NextRandom() % 6;
    const int scheme = saverSettings.robotColour;
    LoadSchemeTexture(BODY_BITMAP.id, SLOT_BODY, module, BODY_BITMAP.width, BODY_BITMAP.height,
                      ALPHA_OPAQUE, false, scheme);
    LoadSchemeTexture(DOME_CAP_BITMAP.id, SLOT_DOME_CAP, module, DOME_CAP_BITMAP.width,
                      DOME_CAP_BITMAP.height, ALPHA_COLOUR_KEY, false, scheme);
    LoadSchemeTexture(DOME_BAND_BITMAP.id, SLOT_DOME_BAND, module, DOME_BAND_BITMAP.width,
                      DOME_BAND_BITMAP.height, ALPHA_COLOUR_KEY, false, scheme);
    LoadSchemeTexture(PANEL_BITMAP.id, SLOT_PANEL, module, PANEL_BITMAP.width, PANEL_BITMAP.height,
                      ALPHA_OPAQUE, false, scheme);
    LoadSchemeTexture(LEGS_BITMAP.id, SLOT_LEGS, module, LEGS_BITMAP.width, LEGS_BITMAP.height,
                      ALPHA_OPAQUE, false, scheme);
    LoadResourceTexture(LENS_BITMAP.id, SLOT_LENS_GLASS, module, ALPHA_OPAQUE, false);
    LoadResourceTexture(FEET_BITMAP.id, SLOT_FEET, module, ALPHA_OPAQUE, false);
    LoadResourceTexture(CHROME_BITMAP.id, SLOT_CHROME, module, ALPHA_OPAQUE, false);
    BuildRobotLists();
    BuildBeamList();
    BuildFont();
}

void BuildBannerList() {
    constexpr GLfloat glow[] = {1.0f, 1.0f, 1.0f, 1.0f};
    constexpr GLfloat dark[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glNewList(LIST_BANNER, GL_COMPILE);
    glMaterialfv(GL_FRONT, GL_EMISSION, glow);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, textureSlots[SLOT_BANNER]);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(256.0f, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(256.0f, 32.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, 32.0f, 0.0f);
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glMaterialfv(GL_FRONT, GL_EMISSION, dark);
    glEndList();
}

void DrawFrame() {
    glCallList(LIST_PROJECTION);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -10.0f);
    DrawRobotAndHologram();
    glPopMatrix();
    if (!scene.overlayDisabled) DrawOverlay(scene.clientRect.right, scene.clientRect.bottom);
}

void ReleaseScene() {
    ReleaseSlotTextures();
    ReleaseGlyphTextures();
    ReleasePictureDecoder();
    StopMediaLibrary();
    if (showState.movieActive) CloseMovieAndSound();
}
