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
    // Red of texel (10, 10) after advancing `seconds`; the test movie codes its frame there.
    int RedAfter(double seconds) {
        frameDelta = seconds;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
        std::vector<uint8_t> pixels(MOVIE_SURFACE_PIXELS * 3);
        glBindTexture(GL_TEXTURE_2D, textureSlots[MOVIE_TEXTURE_SLOT]);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels[(10 * MOVIE_SURFACE_WIDTH + 10) * 3];
    }
    // Marks the texel: a decode of any frame would overwrite the mark.
    void Mark() {
        const uint8_t mark[3] = {99, 99, 99};
        glTexSubImage2D(GL_TEXTURE_2D, 0, 10, 10, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, mark);
    }
};

TEST_F(MovieFrameReuse, AFrameAlreadyInTheTextureIsNotDecodedAgain) {
    // Ten frames a second; frame n has red 25 n + 5.
    saverSettings.playAviSound = false;
    movie_files::UseMediaFolder("raw");
    movieActive = true;
    ASSERT_TRUE(OpenRandomMovie());
    EXPECT_EQ(RedAfter(0.0), 5);
    Mark();
    // More frames of the show within the movie's first frame decode nothing...
    EXPECT_EQ(RedAfter(0.03), 99);
    EXPECT_EQ(RedAfter(0.06), 99);
    // ...until the movie moves on; after a restart the first frame is decoded again.
    EXPECT_EQ(RedAfter(0.02), 30);
    RestartMovie();
    EXPECT_EQ(RedAfter(0.0), 5);
    // A movie opened anew has a texture of its own, which its first frame must fill.
    CloseMovieAndSound();
    glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
    ASSERT_TRUE(OpenRandomMovie());
    EXPECT_EQ(RedAfter(0.0), 5);
}

}  // namespace
