// A GL test with the font built, optionally with marked glyphs whose colour tells which cell
// was drawn, and an orthographic pixel projection.
#pragma once
#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <vector>
#include "support/gl_fixture.h"
#include "text/overlay.h"
#include "textures/texture_loader.h"

constexpr int VIEW = 256;

// The blue byte of the marked glyph for a character code.
inline int MarkBlue(int code) {
    return 40 + 2 * (code - 32);
}

class TextGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        BuildFont();
        glViewport(0, 0, VIEW, VIEW);
        PixelProjection(VIEW, VIEW);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        ReleaseGlyphTextures();
        GlTest::TearDown();
    }
    static void PixelProjection(int width, int height) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    // Replaces the font's glyphs: cell i is opaque in its top half, clear in its bottom half,
    // and coloured (255, 255, MarkBlue(32 + i)).
    static void UseMarkedGlyphs() {
        ReleaseGlyphTextures();
        glGenTextures(GLYPH_COUNT, glyphTextures.data());
        std::vector<uint8_t> cell(16 * 16 * 4);
        for (int i = 0; i < GLYPH_COUNT; ++i) {
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    uint8_t* texel = &cell[(y * 16 + x) * 4];
                    texel[0] = 255;
                    texel[1] = 255;
                    texel[2] = static_cast<uint8_t>(MarkBlue(32 + i));
                    texel[3] = y < 8 ? 255 : 0;
                }
            }
            glBindTexture(GL_TEXTURE_2D, glyphTextures[i]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         cell.data());
        }
    }
    std::array<int, 4> PixelAt(int x, int y) const {
        glReadBuffer(GL_BACK);
        uint8_t rgba[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }
    int BlueAt(int x, int y) const { return PixelAt(x, y)[2]; }
};
