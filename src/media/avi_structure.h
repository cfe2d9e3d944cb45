// The structure of a movie file, checked before the platform's AVI library sees it: the library
// and the codecs behind it trust every size, count and offset the file gives.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

struct AviStructure {
    bool valid = false;
    // Samples of the file's first video and first audio stream that the index holds, counted
    // from the stream's start: the platform aborts a read of samples past them (a decoded frame
    // past them only fails). 0 for a stream the file does not have or whose samples the platform
    // cannot read.
    int64_t videoSamples = 0;
    int64_t audioSamples = 0;
};

// Reads `size` bytes at `offset`; false when the file holds fewer there.
using AviReader = std::function<bool(uint64_t offset, void* out, size_t size)>;

// Checks a file of `fileSize` bytes; reads only its headers and its index.
AviStructure CheckAviStructure(uint64_t fileSize, const AviReader& read);
AviStructure CheckAviBytes(std::span<const unsigned char> bytes);
AviStructure CheckAviFile(const char* fileName);
