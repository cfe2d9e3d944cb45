#include "media/sound.h"

bool StartMovieSound(HWND, PAVISTREAM, int, int) {
    return false;
}
LRESULT OnSoundBufferDone(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
void StopMovieSound() {}
