// A BMP file's first bytes and its size through the check the row-by-row loader uses: the first
// 4 bytes of the input say how many bytes the file holds past the head.
#include "textures/bmp_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const UntrustedBytes input({data, size});
    const UntrustedBytes head = input.Sub(4, size < 4 ? 0 : size - 4);
    const uint64_t fileSize = head.Size() + input.U32(0);
    const BmpCheck layout = CheckBmp(head.Span(), fileSize);
    if (layout && layout->pixelsAt > fileSize) __builtin_trap();
    return 0;
}
