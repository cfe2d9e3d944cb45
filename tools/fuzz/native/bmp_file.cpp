// A whole BMP file through its check. What passes uncompressed holds every padded row the
// platform's drawer reads.
#include "textures/bmp_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const UntrustedBytes file({data, size});
    const BmpCheck layout = CheckBmp(file.Span());
    if (!layout) return 0;
    const bool core = file.U32(BMP_HEADER_AT) == 12;
    const uint64_t compression = core ? 0 : file.U32(30);
    const uint64_t bitCount = file.U16(core ? 24 : 28);
    const uint64_t rowBytes = (layout->width * bitCount + 31) / 32 * 4;
    const bool runLength = compression == 1 || compression == 2;
    if (layout->pixelsAt > size ||
        (!runLength && layout->pixelsAt + rowBytes * layout->height > size))
        __builtin_trap();
    return 0;
}
