#include "media/movie.h"

HDC movieDC = nullptr;
double movieDurationMs = 0.0;

bool OpenRandomMovie() {
    return false;
}
bool OpenMovieFile(const char*) {
    return false;
}
void AdvanceMovie(int) {}
bool DecodeMovieFrame(int) {
    return false;
}
void RestartMovie() {}
void CloseMovie() {}
void CloseMovieAndSound() {}
void SwapRedBlue(unsigned char*) {}
