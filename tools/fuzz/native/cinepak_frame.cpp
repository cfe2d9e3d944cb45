// A Cinepak frame for a picture whose width and height (1 to 1024) the first 4 bytes give.
#include "media/cinepak_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const UntrustedBytes input({data, size});
    const int width = static_cast<int>(input.U16(0) % 1024) + 1;
    const int height = static_cast<int>(input.U16(2) % 1024) + 1;
    CheckCinepakFrame(input.Sub(4, size < 4 ? 0 : size - 4).Span(), width, height);
    return 0;
}
