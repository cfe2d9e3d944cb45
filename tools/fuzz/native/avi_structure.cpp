// A movie file's structure, read through the same callback as a file on disk.
#include "media/avi_structure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const AviCheck structure = CheckAviBytes({data, size});
    if (structure && (structure->videoSamples < 0 || structure->audioSamples < 0)) __builtin_trap();
    return 0;
}
