// The structure of a movie file, checked before the platform's AVI library sees it: the library
// and the codecs behind it trust every size, count and offset the file gives.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include "textures/untrusted_bytes.h"

struct AviStructure {
    // Samples of the file's first video and first audio stream that the index holds, counted
    // from the stream's start: the platform aborts a read of samples past them (a decoded frame
    // past them only fails). 0 for a stream the file does not have or whose samples the platform
    // cannot read.
    int64_t videoSamples = 0;
    int64_t audioSamples = 0;
};

enum class AviRefusal {
    None,
    NotAvi,
    TooManyChunks,
    ChunkCut,       // a chunk header not in the file, or a chunk reaching past its list
    ListCut,        // a list too short for its type
    ChunkPastList,  // a chunk header that starts inside a list and ends past it
    NoHeaderList,
    NoFrameData,
    NoIndex,
    MainHeaderCut,
    StreamCount,  // not the number of streams the main header declares
    StreamHeaderCut,
    TooManyStreams,
    NoRate,  // a stream's time base of 0
    StreamTooLong,
    NoStreamFormat,
    VideoFormatCut,
    VideoHeaderSize,
    FrameSize,
    Planes,
    ImageSize,
    BitCount,
    ColourCount,
    MsVideo1Shape,  // not whole blocks of 4 by 4 pixels
    ColourTableCut,
    FrameRectangle,
    AudioFormatCut,
    Channels,
    SampleRate,
    BlockAlign,
    AudioExtraCut,
    ExtensibleCut,
    PcmShape,
    IndexSize,  // not whole entries
    IndexCut,
    IndexEntryOutside,  // an entry's chunk not inside the frame data
    IndexStream,        // an entry of a stream the file does not declare
    FrameShort,         // a stored frame of less than a whole image
    IndexShort,         // a stream counted in bytes whose samples the index does not all hold
};
using AviCheck = Checked<AviRefusal, AviStructure>;
const char* RefusalName(AviRefusal refusal);

// Reads `size` bytes at `offset`; false when the file holds fewer.
using AviReader = std::function<bool(uint64_t offset, void* out, size_t size)>;

// Checks a file of `fileSize` bytes; reads only its headers and its index.
AviCheck CheckAviStructure(uint64_t fileSize, const AviReader& read);
AviCheck CheckAviBytes(std::span<const unsigned char> bytes);
