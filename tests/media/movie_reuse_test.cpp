#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <vector>
#include "media/movie.h"
#include "media/movie_files.h"
#include "render/frame_clock.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/director.h"
#include "support/gl_fixture.h"

namespace {

class MovieFrameReuse : public GlTest {
protected:
    void TearDown() override {
        CloseMovieAndSound();
        movieActive = false;
        glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
        textureSlots[MOVIE_TEXTURE_SLOT] = 0;
        GlTest::TearDown();
    }
    void Advance(double seconds) {
        frameDelta = seconds;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
    }
    // Red of texel (10, 10) of the movie texture; the test movie codes its frame number there.
    int Red() {
        std::vector<uint8_t> pixels(MOVIE_SURFACE_PIXELS * 3);
        glBindTexture(GL_TEXTURE_2D, textureSlots[MOVIE_TEXTURE_SLOT]);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels[(10 * MOVIE_SURFACE_WIDTH + 10) * 3];
    }
    // Marks the texel, so that a decode of any frame would show by overwriting the mark.
    void Mark() {
        const uint8_t mark[3] = {99, 99, 99};
        glBindTexture(GL_TEXTURE_2D, textureSlots[MOVIE_TEXTURE_SLOT]);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 10, 10, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, mark);
    }
};

TEST_F(MovieFrameReuse, AFrameAlreadyInTheTextureIsNotDecodedAgain) {
    // Ten frames a second; frame n has red 25 n + 5.
    saverSettings.playAviSound = false;
    movie_files::UseMediaFolder("raw");
    movieActive = true;
    ASSERT_TRUE(OpenRandomMovie());
    Advance(0.0);
    EXPECT_EQ(Red(), 5);
    Mark();
    // Three more frames of the show within the movie's first frame: nothing is decoded...
    for (int i = 0; i < 3; ++i) Advance(0.03);
    EXPECT_EQ(movieFrameIndex, 0);
    EXPECT_EQ(Red(), 99);
    // ...until the movie moves on.
    Advance(0.02);
    EXPECT_EQ(movieFrameIndex, 1);
    EXPECT_EQ(Red(), 30);
    // Back at the first frame after a restart, it is decoded again.
    RestartMovie();
    Advance(0.0);
    EXPECT_EQ(Red(), 5);
    // A movie opened anew has a texture of its own, which its first frame must fill.
    CloseMovieAndSound();
    glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
    ASSERT_TRUE(OpenRandomMovie());
    Advance(0.0);
    EXPECT_EQ(Red(), 5);
}

}  // namespace
