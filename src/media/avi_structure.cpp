#include "media/avi_structure.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

using namespace std::string_view_literals;

namespace {

constexpr std::array AVI_REFUSAL_NAMES{
    "None",           "NotAvi",          "TooManyChunks",  "ChunkCut",
    "ListCut",        "ChunkPastList",   "NoHeaderList",   "NoFrameData",
    "NoIndex",        "MainHeaderCut",   "StreamCount",    "StreamHeaderCut",
    "TooManyStreams", "NoRate",          "StreamTooLong",  "NoStreamFormat",
    "VideoFormatCut", "VideoHeaderSize", "FrameSize",      "Planes",
    "ImageSize",      "BitCount",        "ColourCount",    "MsVideo1Shape",
    "ColourTableCut", "FrameRectangle",  "AudioFormatCut", "Channels",
    "SampleRate",     "BlockAlign",      "AudioExtraCut",  "ExtensibleCut",
    "PcmShape",       "IndexSize",       "IndexCut",       "IndexEntryOutside",
    "IndexStream",    "FrameShort",      "IndexShort"};
static_assert(AVI_REFUSAL_NAMES.size() == static_cast<size_t>(AviRefusal::IndexShort) + 1);

constexpr uint32_t FourCc(const char (&text)[5]) {
    return uint32_t{static_cast<unsigned char>(text[0])} |
           uint32_t{static_cast<unsigned char>(text[1])} << 8 |
           uint32_t{static_cast<unsigned char>(text[2])} << 16 |
           uint32_t{static_cast<unsigned char>(text[3])} << 24;
}

constexpr uint32_t ID_RIFF = FourCc("RIFF");
constexpr uint32_t ID_LIST = FourCc("LIST");
constexpr uint32_t ID_AVI = FourCc("AVI ");
constexpr uint32_t ID_HDRL = FourCc("hdrl");
constexpr uint32_t ID_AVIH = FourCc("avih");
constexpr uint32_t ID_STRL = FourCc("strl");
constexpr uint32_t ID_STRH = FourCc("strh");
constexpr uint32_t ID_STRF = FourCc("strf");
constexpr uint32_t ID_MOVI = FourCc("movi");
constexpr uint32_t ID_IDX1 = FourCc("idx1");
constexpr uint32_t ID_REC = FourCc("rec ");
constexpr uint32_t ID_VIDS = FourCc("vids");
constexpr uint32_t ID_AUDS = FourCc("auds");
// MS Video 1's codes, in lower case.
constexpr std::array<uint32_t, 3> MS_VIDEO_1 = {FourCc("msvc"), FourCc("cram"), FourCc("wham")};

// The platform's bitmap and wave formats, as the file stores them.
constexpr uint32_t BITMAP_HEADER_SIZE = 40;
constexpr uint32_t COLOUR_SIZE = 4;
constexpr uint32_t COMPRESSION_RGB = 0;
constexpr uint32_t COMPRESSION_RLE8 = 1;
constexpr uint32_t COMPRESSION_RLE4 = 2;
constexpr uint32_t COMPRESSION_BITFIELDS = 3;
constexpr uint32_t WAVE_TAG_PCM = 1;
constexpr uint32_t WAVE_TAG_EXTENSIBLE = 0xFFFE;
// The platform counts samples in 32-bit signed integers.
constexpr uint64_t PLATFORM_SAMPLE_LIMIT = std::numeric_limits<int32_t>::max();

// More chunks than any movie's headers hold, or lists nested deeper, are not walked.
constexpr int AVI_CHUNK_LIMIT = 10000;
constexpr int AVI_DEPTH_LIMIT = 4;
// Index entries name their stream with two hexadecimal digits.
constexpr size_t AVI_STREAM_LIMIT = 256;
constexpr uint32_t AVI_IMAGE_SIZE_LIMIT = 1u << 30;
constexpr uint32_t AVI_COLOUR_LIMIT = 256;
// The speaker positions a channel mask can name; the platform's sound driver corrupts its heap
// with many more channels.
constexpr uint32_t AVI_CHANNEL_LIMIT = 18;
constexpr size_t AVI_INDEX_ENTRY = 16;
constexpr size_t AVI_INDEX_BLOCK = 4096;
constexpr uint32_t AVIH_SIZE = 56;
// Older stream headers end before the frame rectangle.
constexpr uint32_t STRH_SHORT_SIZE = 48;
constexpr uint32_t STRH_SIZE = 56;
constexpr uint32_t WAVE_SIZE = 16;
constexpr uint32_t WAVE_EXTRA_SIZE = 18;
constexpr uint32_t WAVE_EXTENSIBLE_SIZE = 40;
// The first bytes of the sub-format of PCM sound in an extensible wave format.
constexpr std::string_view WAVE_SUBTYPE_PCM = "\x01\0\0\0\0\0\x10\0\x80\0\0\xaa\0\x38\x9b\x71"sv;

struct Chunk {
    uint64_t offset = 0;  // of its header
    uint32_t id = 0;
    uint32_t size = 0;
    uint32_t listType = 0;
    bool IsList() const { return id == ID_LIST || id == ID_RIFF; }
    uint64_t Data() const { return offset + 8; }
    uint64_t End() const { return Data() + size; }
};

struct Stream {
    uint32_t type = 0;
    uint32_t start = 0;
    uint32_t length = 0;
    // Bytes of one sample as the platform counts them; 0 for one sample per index entry.
    uint32_t sampleSize = 0;
    // Bytes of a whole frame, for frames the platform hands to the drawer as they are stored.
    uint64_t frameBytes = 0;
    int64_t indexedSamples = 0;
};

struct Walk {
    Walk(const AviReader& reader, uint64_t size) : read(reader), fileSize(size) {}
    // The `buffer.size()` bytes at `offset`, to be parsed; nothing when the file holds fewer.
    std::optional<UntrustedBytes> Read(uint64_t offset, std::span<uint8_t> buffer) const {
        if (!read(offset, buffer.data(), buffer.size())) return {};
        return UntrustedBytes(buffer);
    }
    const AviReader& read;
    uint64_t fileSize;
    int chunks = 0;
    bool mainHeader = false;
    uint32_t declaredStreams = 0;
    std::vector<Stream> streams;
    std::optional<Chunk> headerList;
    std::optional<Chunk> movi;
    std::optional<Chunk> index;
};

// Calls `visit` for each chunk from `begin` to `end`, up to the first refusal.
template <typename Visit>
AviRefusal ForEachChunk(Walk& walk, uint64_t begin, uint64_t end, Visit visit) {
    uint64_t offset = begin;
    for (; offset + 8 <= end;) {
        if (++walk.chunks > AVI_CHUNK_LIMIT) return AviRefusal::TooManyChunks;
        std::array<uint8_t, 8> raw;
        const std::optional<UntrustedBytes> header = walk.Read(offset, raw);
        if (!header) return AviRefusal::ChunkCut;
        Chunk chunk{offset, header->U32(0), header->U32(4)};
        if (chunk.End() > end) return AviRefusal::ChunkCut;
        if (chunk.IsList()) {
            std::array<uint8_t, 4> rawType;
            const std::optional<UntrustedBytes> type =
                chunk.size < 4 ? std::nullopt : walk.Read(chunk.Data(), rawType);
            if (!type) return AviRefusal::ListCut;
            chunk.listType = type->U32(0);
        }
        if (const AviRefusal refusal = visit(chunk); refusal != AviRefusal::None) return refusal;
        offset = chunk.End() + (chunk.size & 1);
    }
    // The platform reads a chunk header that starts inside the list from the file, whatever
    // lies past the list.
    return offset >= end || offset + 8 > walk.fileSize ? AviRefusal::None
                                                       : AviRefusal::ChunkPastList;
}

// Lists the platform only passes through: their chunks must still lie inside them.
AviRefusal ListNests(Walk& walk, const Chunk& list, int depth) {
    if (depth >= AVI_DEPTH_LIMIT) return AviRefusal::None;
    return ForEachChunk(walk, list.Data() + 4, list.End(), [&](const Chunk& chunk) {
        return chunk.IsList() ? ListNests(walk, chunk, depth + 1) : AviRefusal::None;
    });
}

bool IsRgbBitCount(uint32_t bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

// The frame rectangle of the stream header `strh`: empty for the whole frame, or inside it.
bool FrameRectangleFits(const UntrustedBytes& strh, int64_t width, int64_t rows) {
    const int64_t left = static_cast<int16_t>(strh.U16(48));
    const int64_t top = static_cast<int16_t>(strh.U16(50));
    const int64_t right = static_cast<int16_t>(strh.U16(52));
    const int64_t bottom = static_cast<int16_t>(strh.U16(54));
    const bool empty = left == 0 && top == 0 && right == 0 && bottom == 0;
    return empty || (0 <= left && left < right && right <= width && 0 <= top && top < bottom &&
                     bottom <= rows);
}

AviRefusal VideoFormatRefusal(const Walk& walk, const Chunk& format, const UntrustedBytes& strh,
                              Stream& stream) {
    std::array<uint8_t, BITMAP_HEADER_SIZE> raw;
    const std::optional<UntrustedBytes> bytes =
        format.size < raw.size() ? std::nullopt : walk.Read(format.Data(), raw);
    if (!bytes) return AviRefusal::VideoFormatCut;
    const uint32_t headerSize = bytes->U32(0);
    const int64_t width = static_cast<int32_t>(bytes->U32(4));
    const int64_t height = static_cast<int32_t>(bytes->U32(8));
    const int64_t rows = height < 0 ? -height : height;
    const uint32_t bitCount = bytes->U16(14);
    const uint32_t compression = bytes->U32(16);
    const uint32_t coloursUsed = bytes->U32(32);
    if (headerSize < BITMAP_HEADER_SIZE || headerSize > format.size) {
        return AviRefusal::VideoHeaderSize;
    }
    if (width < 1 || width > LARGEST_PICTURE_SIDE || rows < 1 || rows > LARGEST_PICTURE_SIDE) {
        return AviRefusal::FrameSize;
    }
    if (bytes->U16(12) != 1) return AviRefusal::Planes;
    if (bytes->U32(20) > AVI_IMAGE_SIZE_LIMIT) return AviRefusal::ImageSize;
    const bool stored = compression == COMPRESSION_RGB || compression == COMPRESSION_BITFIELDS;
    if ((stored ? !IsRgbBitCount(bitCount) : bitCount > 32) ||
        (compression == COMPRESSION_BITFIELDS && bitCount != 16 && bitCount != 32) ||
        (compression == COMPRESSION_RLE8 && bitCount != 8) ||
        (compression == COMPRESSION_RLE4 && bitCount != 4)) {
        return AviRefusal::BitCount;
    }
    const uint32_t colourLimit = bitCount < 8 ? 1u << bitCount : AVI_COLOUR_LIMIT;
    if (coloursUsed > colourLimit) return AviRefusal::ColourCount;
    // The MS Video 1 decoder writes whole blocks of 4 by 4 pixels, past the end of a narrower
    // image; its encoders make no other.
    const uint32_t lowerCase = compression | 0x20202020;
    if (std::find(MS_VIDEO_1.begin(), MS_VIDEO_1.end(), lowerCase) != MS_VIDEO_1.end() &&
        (width % 4 != 0 || rows % 4 != 0)) {
        return AviRefusal::MsVideo1Shape;
    }
    const uint64_t colours = coloursUsed != 0 ? coloursUsed : bitCount <= 8 ? 1u << bitCount : 0;
    const uint64_t masks =
        compression == COMPRESSION_BITFIELDS && headerSize == BITMAP_HEADER_SIZE ? 3 : 0;
    if (headerSize + (colours + masks) * COLOUR_SIZE > format.size) {
        return AviRefusal::ColourTableCut;
    }
    if (!FrameRectangleFits(strh, width, rows)) return AviRefusal::FrameRectangle;
    if (stored) stream.frameBytes = static_cast<uint64_t>((width * bitCount + 31) / 32 * 4 * rows);
    return AviRefusal::None;
}

AviRefusal AudioFormatRefusal(const Walk& walk, const Chunk& format, Stream& stream) {
    std::array<uint8_t, WAVE_EXTENSIBLE_SIZE> raw{};
    const std::optional<UntrustedBytes> bytes =
        format.size < WAVE_SIZE
            ? std::nullopt
            : walk.Read(format.Data(),
                        std::span(raw).first(std::min<size_t>(format.size, raw.size())));
    if (!bytes) return AviRefusal::AudioFormatCut;
    const uint32_t tag = bytes->U16(0);
    const uint32_t channels = bytes->U16(2);
    const uint32_t blockAlign = bytes->U16(12);
    const uint32_t bits = bytes->U16(14);
    const bool extra = format.size >= WAVE_EXTRA_SIZE;
    const uint32_t extraSize = extra ? bytes->U16(16) : 0;
    if (channels == 0 || channels > AVI_CHANNEL_LIMIT) return AviRefusal::Channels;
    if (bytes->U32(4) == 0) return AviRefusal::SampleRate;
    if (blockAlign == 0) return AviRefusal::BlockAlign;
    if (extra && WAVE_EXTRA_SIZE + extraSize > format.size) return AviRefusal::AudioExtraCut;
    const bool extensible = tag == WAVE_TAG_EXTENSIBLE;
    if (extensible && WAVE_EXTRA_SIZE + extraSize < WAVE_EXTENSIBLE_SIZE) {
        return AviRefusal::ExtensibleCut;
    }
    const bool pcm =
        tag == WAVE_TAG_PCM ||
        (extensible && bytes->Starts(raw.size() - WAVE_SUBTYPE_PCM.size(), WAVE_SUBTYPE_PCM));
    if (pcm && (bits % 8 != 0 || bits < 8 || bits > 32 || blockAlign != channels * bits / 8)) {
        return AviRefusal::PcmShape;
    }
    // The platform counts a sound's samples in blocks, whatever its stream header says.
    stream.sampleSize = blockAlign;
    return AviRefusal::None;
}

AviRefusal StreamRefusal(Walk& walk, const Chunk& list) {
    std::optional<Chunk> header;
    std::optional<Chunk> format;
    const AviRefusal walked =
        ForEachChunk(walk, list.Data() + 4, list.End(), [&](const Chunk& chunk) {
            if (chunk.id == ID_STRH && !header) header = chunk;
            if (chunk.id == ID_STRF && !format) format = chunk;
            return chunk.IsList() ? ListNests(walk, chunk, 3) : AviRefusal::None;
        });
    if (walked != AviRefusal::None) return walked;
    std::array<uint8_t, STRH_SIZE> raw{};
    const std::optional<UntrustedBytes> strh =
        !header || header->size < STRH_SHORT_SIZE
            ? std::nullopt
            : walk.Read(header->Data(), std::span(raw).first(std::min(header->size, STRH_SIZE)));
    if (!strh) return AviRefusal::StreamHeaderCut;
    if (walk.streams.size() >= AVI_STREAM_LIMIT) return AviRefusal::TooManyStreams;
    // An older header's missing frame rectangle reads as empty.
    const UntrustedBytes whole(raw);
    Stream stream;
    stream.type = whole.U32(0);
    stream.start = whole.U32(28);
    stream.length = whole.U32(32);
    stream.sampleSize = whole.U32(44);
    if (whole.U32(20) == 0 || whole.U32(24) == 0) return AviRefusal::NoRate;
    if (uint64_t{stream.start} + stream.length > PLATFORM_SAMPLE_LIMIT) {
        return AviRefusal::StreamTooLong;
    }
    if ((stream.type == ID_VIDS || stream.type == ID_AUDS) && !format) {
        return AviRefusal::NoStreamFormat;
    }
    const AviRefusal formatRefusal =
        stream.type == ID_VIDS   ? VideoFormatRefusal(walk, *format, whole, stream)
        : stream.type == ID_AUDS ? AudioFormatRefusal(walk, *format, stream)
                                 : AviRefusal::None;
    if (formatRefusal != AviRefusal::None) return formatRefusal;
    walk.streams.push_back(stream);
    return AviRefusal::None;
}

AviRefusal HeaderListRefusal(Walk& walk, const Chunk& list) {
    const AviRefusal walked =
        ForEachChunk(walk, list.Data() + 4, list.End(), [&](const Chunk& chunk) {
            if (chunk.id == ID_AVIH && !walk.mainHeader) {
                std::array<uint8_t, AVIH_SIZE> raw;
                const std::optional<UntrustedBytes> avih =
                    chunk.size < AVIH_SIZE ? std::nullopt : walk.Read(chunk.Data(), raw);
                if (!avih) return AviRefusal::MainHeaderCut;
                walk.mainHeader = true;
                walk.declaredStreams = avih->U32(24);
                return AviRefusal::None;
            }
            if (chunk.id == ID_LIST && chunk.listType == ID_STRL) return StreamRefusal(walk, chunk);
            return chunk.IsList() ? ListNests(walk, chunk, 2) : AviRefusal::None;
        });
    if (walked != AviRefusal::None) return walked;
    if (!walk.mainHeader) return AviRefusal::MainHeaderCut;
    return walk.streams.empty() || walk.declaredStreams != walk.streams.size()
               ? AviRefusal::StreamCount
               : AviRefusal::None;
}

// Two hexadecimal digits, as the platform reads them; -1 for anything else.
int StreamNumber(uint32_t id) {
    const auto digit = [](uint32_t c) {
        if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
        if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
        return -1;
    };
    const int high = digit(id & 0xff);
    const int low = digit(id >> 8 & 0xff);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// Every entry must name a declared stream and lie inside the frame data. The platform takes
// offsets from the start of the file until one lies before the frame data's list type; from then
// on it counts them so that the first entry's chunk is the list's first.
AviRefusal IndexRefusal(Walk& walk) {
    const Chunk& movi = *walk.movi;
    const Chunk& index = *walk.index;
    if (index.size % AVI_INDEX_ENTRY != 0) return AviRefusal::IndexSize;
    const auto listType = static_cast<uint32_t>(movi.Data());
    uint32_t base = 0;
    bool relative = false;
    std::vector<uint8_t> raw;
    const uint64_t count = index.size / AVI_INDEX_ENTRY;
    for (uint64_t done = 0; done < count;) {
        const size_t entries =
            static_cast<size_t>(std::min<uint64_t>(count - done, AVI_INDEX_BLOCK));
        raw.resize(entries * AVI_INDEX_ENTRY);
        const std::optional<UntrustedBytes> block =
            walk.Read(index.Data() + done * AVI_INDEX_ENTRY, raw);
        if (!block) return AviRefusal::IndexCut;
        for (size_t i = 0; i < entries; ++i) {
            const uint64_t entry = i * AVI_INDEX_ENTRY;
            const uint32_t id = block->U32(entry);
            const uint32_t offset = block->U32(entry + 8);
            const uint32_t size = block->U32(entry + 12);
            if (done + i == 0) base = listType + 4 - offset;
            relative = relative || offset < listType;
            const uint64_t at = relative ? static_cast<uint32_t>(base + offset) : offset;
            if (at < movi.Data() + 4 || at + 8 + size > movi.End()) {
                return AviRefusal::IndexEntryOutside;
            }
            if (id == ID_REC) continue;
            const int number = StreamNumber(id);
            if (number < 0 || static_cast<size_t>(number) >= walk.streams.size()) {
                return AviRefusal::IndexStream;
            }
            Stream& stream = walk.streams[static_cast<size_t>(number)];
            if (size != 0 && size < stream.frameBytes) return AviRefusal::FrameShort;
            stream.indexedSamples += stream.sampleSize == 0 ? 1 : size / stream.sampleSize;
        }
        done += entries;
    }
    // The platform aborts reading a sample of a stream counted in bytes that its index does not
    // hold; the sound is played only as far as it does, other streams must be whole.
    const bool whole =
        std::all_of(walk.streams.begin(), walk.streams.end(), [](const Stream& stream) {
            return stream.type == ID_AUDS || stream.sampleSize == 0 ||
                   (stream.start == 0 && stream.indexedSamples >= stream.length);
        });
    return whole ? AviRefusal::None : AviRefusal::IndexShort;
}

// The platform aborts a read of a stream that does not start at its first sample.
int64_t ReadableSamples(const Walk& walk, uint32_t type) {
    const auto stream =
        std::find_if(walk.streams.begin(), walk.streams.end(),
                     [&](const Stream& candidate) { return candidate.type == type; });
    return stream == walk.streams.end() || stream->start != 0 ? 0 : stream->indexedSamples;
}

}  // namespace

const char* RefusalName(AviRefusal refusal) {
    return AVI_REFUSAL_NAMES[static_cast<size_t>(refusal)];
}

AviCheck CheckAviStructure(uint64_t fileSize, const AviReader& read) {
    std::array<uint8_t, 12> raw;
    Walk walk(read, fileSize);
    const std::optional<UntrustedBytes> riff =
        fileSize < raw.size() ? std::nullopt : walk.Read(0, raw);
    if (!riff || riff->U32(0) != ID_RIFF || riff->U32(8) != ID_AVI) return AviRefusal::NotAvi;
    // A file cut short may claim more than it holds, and what follows the chunk (padding, or the
    // continuation of a large file) is not the platform's to read here.
    const uint64_t end = std::min(8 + uint64_t{riff->U32(4)}, fileSize);
    const AviRefusal walked = ForEachChunk(walk, raw.size(), end, [&](const Chunk& chunk) {
        if (chunk.id == ID_LIST && chunk.listType == ID_HDRL && !walk.headerList) {
            walk.headerList = chunk;
            return HeaderListRefusal(walk, chunk);
        }
        // The frame data is checked through the index.
        if (chunk.id == ID_LIST && chunk.listType == ID_MOVI) {
            if (walk.headerList && !walk.movi) walk.movi = chunk;
            return AviRefusal::None;
        }
        if (chunk.id == ID_IDX1 && walk.movi && !walk.index) walk.index = chunk;
        return chunk.IsList() ? ListNests(walk, chunk, 1) : AviRefusal::None;
    });
    if (walked != AviRefusal::None) return walked;
    if (!walk.headerList) return AviRefusal::NoHeaderList;
    if (!walk.movi) return AviRefusal::NoFrameData;
    if (!walk.index) return AviRefusal::NoIndex;
    if (const AviRefusal refusal = IndexRefusal(walk); refusal != AviRefusal::None) return refusal;
    return AviStructure{ReadableSamples(walk, ID_VIDS), ReadableSamples(walk, ID_AUDS)};
}

AviCheck CheckAviBytes(std::span<const unsigned char> bytes) {
    return CheckAviStructure(bytes.size(), [&](uint64_t offset, void* out, size_t size) {
        if (offset > bytes.size() || size > bytes.size() - offset) return false;
        std::memcpy(out, bytes.data() + offset, size);
        return true;
    });
}
