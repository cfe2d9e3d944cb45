#include "support/gl_fixture.h"

#include <GL/gl.h>

void GlTest::SetUp() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuorvelTestGl";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "QuorvelTestGl", "test", WS_POPUP, 0, 0, 256, 256, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    dc_ = GetDC(window_);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.cColorBits = 24;
    format.cDepthBits = 16;
    ASSERT_TRUE(SetPixelFormat(dc_, ChoosePixelFormat(dc_, &format), &format));
    context_ = wglCreateContext(dc_);
    ASSERT_NE(context_, nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc_, context_));
}

void GlTest::TearDown() {
    wglMakeCurrent(nullptr, nullptr);
    if (context_ != nullptr) wglDeleteContext(context_);
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
    if (window_ != nullptr) DestroyWindow(window_);
}

std::vector<uint8_t> GlTest::ReadBackBuffer(int width, int height) const {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
