// JPEG, PNG, GIF and TIFF headers: what passes has a size within the limits and an orientation.
#include "textures/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PictureCheck header = ReadPictureHeader({data, size});
    const int orientation = TiffOrientation({data, size});
    if ((header && !IsDecodable(*header)) || orientation < 1 || orientation > 8) __builtin_trap();
    return 0;
}
