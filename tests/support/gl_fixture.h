// A hidden window with a current OpenGL context, for tests that make textures and lists.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <vector>

class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // RGBA pixels of the back buffer, bottom row first.
    std::vector<uint8_t> ReadBackBuffer(int width, int height) const;

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};
