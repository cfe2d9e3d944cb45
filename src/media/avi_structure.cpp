#include "media/avi_structure.h"

#include <windows.h>
#include <mmreg.h>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

namespace {

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

// More chunks than any movie's headers hold, or lists nested deeper, are not walked.
constexpr int AVI_CHUNK_LIMIT = 10000;
constexpr int AVI_DEPTH_LIMIT = 4;
// Index entries name their stream with two hexadecimal digits.
constexpr size_t AVI_STREAM_LIMIT = 256;
constexpr int64_t AVI_FRAME_SIDE_LIMIT = 16384;
constexpr uint32_t AVI_IMAGE_SIZE_LIMIT = 1u << 30;
constexpr uint32_t AVI_COLOUR_LIMIT = 256;
// The speaker positions a channel mask can name; the platform's sound driver corrupts its heap
// with many more channels.
constexpr uint16_t AVI_CHANNEL_LIMIT = 18;
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
constexpr std::array<unsigned char, 16> WAVE_SUBTYPE_PCM = {0x01, 0, 0, 0,    0, 0,    0x10, 0,
                                                            0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71};

uint16_t Le16(const unsigned char* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t Le32(const unsigned char* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

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

// Calls `visit` for each chunk from `begin` to `end`; false when one does not lie inside them.
template <typename Visit>
bool ForEachChunk(Walk& walk, uint64_t begin, uint64_t end, Visit visit) {
    uint64_t offset = begin;
    for (; offset + 8 <= end;) {
        if (++walk.chunks > AVI_CHUNK_LIMIT) return false;
        unsigned char bytes[12];
        if (!walk.read(offset, bytes, 8)) return false;
        Chunk chunk{offset, Le32(bytes), Le32(bytes + 4)};
        if (chunk.End() > end) return false;
        if (chunk.IsList()) {
            if (chunk.size < 4 || !walk.read(chunk.Data(), bytes + 8, 4)) return false;
            chunk.listType = Le32(bytes + 8);
        }
        if (!visit(chunk)) return false;
        offset = chunk.End() + (chunk.size & 1);
    }
    // The platform reads a chunk header that starts inside the list from the file, whatever
    // lies past the list.
    return offset >= end || offset + 8 > walk.fileSize;
}

// Lists the platform only passes through: their chunks must still lie inside them.
bool ListNests(Walk& walk, const Chunk& list, int depth) {
    if (depth >= AVI_DEPTH_LIMIT) return true;
    return ForEachChunk(walk, list.Data() + 4, list.End(), [&](const Chunk& chunk) {
        return !chunk.IsList() || ListNests(walk, chunk, depth + 1);
    });
}

bool IsRgbBitCount(uint16_t bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

bool VideoFormatValid(Walk& walk, const Chunk& format, const unsigned char* strh, Stream& stream) {
    unsigned char bytes[sizeof(BITMAPINFOHEADER)];
    if (format.size < sizeof(bytes) || !walk.read(format.Data(), bytes, sizeof(bytes)))
        return false;
    const uint32_t headerSize = Le32(bytes);
    const int64_t width = static_cast<int32_t>(Le32(bytes + 4));
    const int64_t height = static_cast<int32_t>(Le32(bytes + 8));
    const int64_t rows = height < 0 ? -height : height;
    const uint16_t planes = Le16(bytes + 12);
    const uint16_t bitCount = Le16(bytes + 14);
    const uint32_t compression = Le32(bytes + 16);
    const uint32_t imageSize = Le32(bytes + 20);
    const uint32_t coloursUsed = Le32(bytes + 32);
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > format.size) return false;
    if (width < 1 || width > AVI_FRAME_SIDE_LIMIT || rows < 1 || rows > AVI_FRAME_SIDE_LIMIT ||
        planes != 1 || imageSize > AVI_IMAGE_SIZE_LIMIT) {
        return false;
    }
    const bool stored = compression == BI_RGB || compression == BI_BITFIELDS;
    if (stored ? !IsRgbBitCount(bitCount) : bitCount > 32) return false;
    if ((compression == BI_BITFIELDS && bitCount != 16 && bitCount != 32) ||
        (compression == BI_RLE8 && bitCount != 8) || (compression == BI_RLE4 && bitCount != 4)) {
        return false;
    }
    const uint32_t colourLimit = bitCount < 8 ? 1u << bitCount : AVI_COLOUR_LIMIT;
    if (coloursUsed > colourLimit) return false;
    // The MS Video 1 decoder writes whole blocks of 4 by 4 pixels, past the end of a narrower
    // image; its encoders make no other.
    const uint32_t lowerCase = compression | 0x20202020;
    if (std::find(MS_VIDEO_1.begin(), MS_VIDEO_1.end(), lowerCase) != MS_VIDEO_1.end() &&
        (width % 4 != 0 || rows % 4 != 0)) {
        return false;
    }
    const uint64_t colours = coloursUsed != 0 ? coloursUsed : bitCount <= 8 ? 1u << bitCount : 0;
    const uint64_t masks =
        compression == BI_BITFIELDS && headerSize == sizeof(BITMAPINFOHEADER) ? 3 : 0;
    if (headerSize + (colours + masks) * sizeof(RGBQUAD) > format.size) return false;
    // An empty frame rectangle stands for the whole frame.
    const int64_t left = static_cast<int16_t>(Le16(strh + 48));
    const int64_t top = static_cast<int16_t>(Le16(strh + 50));
    const int64_t right = static_cast<int16_t>(Le16(strh + 52));
    const int64_t bottom = static_cast<int16_t>(Le16(strh + 54));
    const bool empty = left == 0 && top == 0 && right == 0 && bottom == 0;
    if (!empty && !(0 <= left && left < right && right <= width && 0 <= top && top < bottom &&
                    bottom <= rows)) {
        return false;
    }
    if (stored) stream.frameBytes = static_cast<uint64_t>((width * bitCount + 31) / 32 * 4 * rows);
    return true;
}

bool AudioFormatValid(Walk& walk, const Chunk& format, Stream& stream) {
    std::array<unsigned char, WAVE_EXTENSIBLE_SIZE> bytes{};
    if (format.size < WAVE_SIZE ||
        !walk.read(format.Data(), bytes.data(), std::min<size_t>(format.size, bytes.size()))) {
        return false;
    }
    const uint16_t tag = Le16(&bytes[0]);
    const uint16_t channels = Le16(&bytes[2]);
    const uint32_t sampleRate = Le32(&bytes[4]);
    const uint16_t blockAlign = Le16(&bytes[12]);
    const uint16_t bits = Le16(&bytes[14]);
    const uint32_t extra = format.size >= WAVE_EXTRA_SIZE ? Le16(&bytes[16]) : 0;
    if (channels == 0 || channels > AVI_CHANNEL_LIMIT || sampleRate == 0 || blockAlign == 0)
        return false;
    if (format.size >= WAVE_EXTRA_SIZE && WAVE_EXTRA_SIZE + extra > format.size) return false;
    const bool extensible = tag == WAVE_FORMAT_EXTENSIBLE;
    if (extensible && WAVE_EXTRA_SIZE + extra < WAVE_EXTENSIBLE_SIZE) return false;
    const bool pcm = tag == WAVE_FORMAT_PCM ||
                     (extensible && std::equal(WAVE_SUBTYPE_PCM.begin(), WAVE_SUBTYPE_PCM.end(),
                                               bytes.end() - WAVE_SUBTYPE_PCM.size()));
    if (pcm && (bits % 8 != 0 || bits < 8 || bits > 32 || blockAlign != channels * bits / 8))
        return false;
    // The platform counts a sound's samples in blocks, whatever its stream header says.
    stream.sampleSize = blockAlign;
    return true;
}

bool StreamValid(Walk& walk, const Chunk& list) {
    std::optional<Chunk> header;
    std::optional<Chunk> format;
    const bool walked = ForEachChunk(walk, list.Data() + 4, list.End(), [&](const Chunk& chunk) {
        if (chunk.id == ID_STRH && !header) header = chunk;
        if (chunk.id == ID_STRF && !format) format = chunk;
        return !chunk.IsList() || ListNests(walk, chunk, 3);
    });
    if (!walked || !header || header->size < STRH_SHORT_SIZE ||
        walk.streams.size() >= AVI_STREAM_LIMIT) {
        return false;
    }
    std::array<unsigned char, STRH_SIZE> strh{};
    if (!walk.read(header->Data(), strh.data(), std::min(header->size, STRH_SIZE))) return false;
    Stream stream;
    stream.type = Le32(&strh[0]);
    const uint32_t scale = Le32(&strh[20]);
    const uint32_t rate = Le32(&strh[24]);
    stream.start = Le32(&strh[28]);
    stream.length = Le32(&strh[32]);
    stream.sampleSize = Le32(&strh[44]);
    if (scale == 0 || rate == 0 || uint64_t{stream.start} + stream.length > LONG_MAX) return false;
    if (stream.type == ID_VIDS && !(format && VideoFormatValid(walk, *format, strh.data(), stream)))
        return false;
    if (stream.type == ID_AUDS && !(format && AudioFormatValid(walk, *format, stream)))
        return false;
    walk.streams.push_back(stream);
    return true;
}

bool HeaderListValid(Walk& walk, const Chunk& list) {
    const bool walked = ForEachChunk(walk, list.Data() + 4, list.End(), [&](const Chunk& chunk) {
        if (chunk.id == ID_AVIH && !walk.mainHeader) {
            unsigned char avih[AVIH_SIZE];
            if (chunk.size < AVIH_SIZE || !walk.read(chunk.Data(), avih, AVIH_SIZE)) return false;
            walk.mainHeader = true;
            walk.declaredStreams = Le32(avih + 24);
            return true;
        }
        if (chunk.id == ID_LIST && chunk.listType == ID_STRL) return StreamValid(walk, chunk);
        return !chunk.IsList() || ListNests(walk, chunk, 2);
    });
    return walked && walk.mainHeader && !walk.streams.empty() &&
           walk.declaredStreams == walk.streams.size();
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
bool IndexValid(Walk& walk) {
    const Chunk& movi = *walk.movi;
    const Chunk& index = *walk.index;
    if (index.size % AVI_INDEX_ENTRY != 0) return false;
    const auto listType = static_cast<uint32_t>(movi.Data());
    uint32_t base = 0;
    bool relative = false;
    std::vector<unsigned char> block;
    const uint64_t count = index.size / AVI_INDEX_ENTRY;
    for (uint64_t done = 0; done < count;) {
        const size_t entries =
            static_cast<size_t>(std::min<uint64_t>(count - done, AVI_INDEX_BLOCK));
        block.resize(entries * AVI_INDEX_ENTRY);
        if (!walk.read(index.Data() + done * AVI_INDEX_ENTRY, block.data(), block.size()))
            return false;
        for (size_t i = 0; i < entries; ++i) {
            const unsigned char* entry = &block[i * AVI_INDEX_ENTRY];
            const uint32_t id = Le32(entry);
            const uint32_t offset = Le32(entry + 8);
            const uint32_t size = Le32(entry + 12);
            if (done + i == 0) base = listType + 4 - offset;
            relative = relative || offset < listType;
            const uint64_t at = relative ? static_cast<uint32_t>(base + offset) : offset;
            if (at < movi.Data() + 4 || at + 8 + size > movi.End()) return false;
            if (id == ID_REC) continue;
            const int number = StreamNumber(id);
            if (number < 0 || static_cast<size_t>(number) >= walk.streams.size()) return false;
            Stream& stream = walk.streams[static_cast<size_t>(number)];
            if (size != 0 && size < stream.frameBytes) return false;
            stream.indexedSamples += stream.sampleSize == 0 ? 1 : size / stream.sampleSize;
        }
        done += entries;
    }
    // The platform aborts reading a sample of a stream counted in bytes that its index does not
    // hold; the sound is played only as far as it does, other streams must be whole.
    return std::all_of(walk.streams.begin(), walk.streams.end(), [](const Stream& stream) {
        return stream.type == ID_AUDS || stream.sampleSize == 0 ||
               (stream.start == 0 && stream.indexedSamples >= stream.length);
    });
}

// The platform aborts a read of a stream that does not start at its first sample.
int64_t ReadableSamples(const Walk& walk, uint32_t type) {
    const auto stream =
        std::find_if(walk.streams.begin(), walk.streams.end(),
                     [&](const Stream& candidate) { return candidate.type == type; });
    return stream == walk.streams.end() || stream->start != 0 ? 0 : stream->indexedSamples;
}

}  // namespace

AviStructure CheckAviStructure(uint64_t fileSize, const AviReader& read) {
    unsigned char riff[12];
    if (fileSize < sizeof(riff) || !read(0, riff, sizeof(riff)) || Le32(riff) != ID_RIFF ||
        Le32(riff + 8) != ID_AVI) {
        return {};
    }
    // A file cut short may claim more than it holds, and what follows the chunk (padding, or the
    // continuation of a large file) is not the platform's to read here.
    const uint64_t end = std::min(8 + uint64_t{Le32(riff + 4)}, fileSize);
    Walk walk(read, fileSize);
    const bool walked = ForEachChunk(walk, sizeof(riff), end, [&](const Chunk& chunk) {
        if (chunk.id == ID_LIST && chunk.listType == ID_HDRL && !walk.headerList) {
            walk.headerList = chunk;
            return HeaderListValid(walk, chunk);
        }
        // The frame data is checked through the index.
        if (chunk.id == ID_LIST && chunk.listType == ID_MOVI) {
            if (walk.headerList && !walk.movi) walk.movi = chunk;
            return true;
        }
        if (chunk.id == ID_IDX1 && walk.movi && !walk.index) walk.index = chunk;
        return !chunk.IsList() || ListNests(walk, chunk, 1);
    });
    if (!walked || !walk.headerList || !walk.movi || !walk.index || !IndexValid(walk)) return {};
    AviStructure structure;
    structure.valid = true;
    structure.videoSamples = ReadableSamples(walk, ID_VIDS);
    structure.audioSamples = ReadableSamples(walk, ID_AUDS);
    return structure;
}

AviStructure CheckAviBytes(std::span<const unsigned char> bytes) {
    return CheckAviStructure(bytes.size(), [&](uint64_t offset, void* out, size_t size) {
        if (offset > bytes.size() || size > bytes.size() - offset) return false;
        std::memcpy(out, bytes.data() + offset, size);
        return true;
    });
}

AviStructure CheckAviFile(const char* fileName) {
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    if (!file) return {};
    const std::streamoff size = file.tellg();
    if (size < 0) return {};
    return CheckAviStructure(
        static_cast<uint64_t>(size), [&](uint64_t offset, void* out, size_t count) {
            file.clear();
            file.seekg(static_cast<std::streamoff>(offset));
            file.read(static_cast<char*>(out), static_cast<std::streamsize>(count));
            return file.gcount() == static_cast<std::streamsize>(count);
        });
}
