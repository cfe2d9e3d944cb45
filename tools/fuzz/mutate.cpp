#include "mutate.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, &bytes[at], 4);
    return value;
}

void Set(std::vector<uint8_t>& bytes, size_t at, int width, uint32_t value) {
    std::memcpy(&bytes[at], &value, width);
}

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof(text), "%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string Dec(uint64_t value) {
    return std::to_string(value);
}

// A new value for a field of `width` bytes that held `old`, in a file of `size` bytes: an
// extreme, a small count or header size, a size near the file's own, or a near miss.
uint32_t FieldValue(FuzzRandom& random, uint32_t old, size_t size, int width) {
    static const std::vector<uint32_t> extremes = {0,          0xFFFFFFFF, 0x7FFFFFFF, 0x80000000,
                                                   0x10000000, 0xFFFFFFF0, 0xFFFF,     0x8000};
    static const std::vector<uint32_t> small = {1,     2,          3,         4,   5,   6,   8,
                                                12,    16,         24,        32,  40,  52,  56,
                                                64,    108,        124,       255, 256, 257, 65,
                                                17,    7,          11,        100, 200, 999, 16384,
                                                16385, 0x4D424544, 0x4C494E4B};  // 'MBED', 'LINK'
    const auto fileSize = static_cast<uint32_t>(size);
    uint32_t value = 0;
    switch (random.Below(4)) {
        case 0:
            value = random.Pick(extremes);
            break;
        case 1:
            value = random.Pick(small);
            break;
        case 2:
            value = random.Below(2) != 0 ? fileSize + 1 + static_cast<uint32_t>(random.Below(4096))
                                         : fileSize - static_cast<uint32_t>(random.Below(64));
            break;
        default: {
            const std::array<uint32_t, 6> misses = {old + 1,
                                                    old - 1,
                                                    old * 2,
                                                    old / 2,
                                                    old + static_cast<uint32_t>(random.Below(16)),
                                                    old ^ 1u << random.Below(width * 8)};
            value = misses[random.Below(misses.size())];
        }
    }
    return width == 2 ? value & 0xFFFF : value;
}

// Truncation at any point, near the headers, which hold most of what a reader trusts, or at a
// memory page boundary, where a mapped file's reader faults on the first byte past the end.
void Truncate(FuzzFile& file, FuzzRandom& random, size_t headerEnd, std::string& what) {
    constexpr size_t page = 4096;
    const size_t size = file.bytes.size();
    size_t at = random.Below(size);
    if (random.Below(3) == 0) at = random.Below(std::min(size, headerEnd + 64));
    if (random.Below(3) == 0 && size > page) at = at / page * page;
    file.bytes.resize(at);
    what = "cut" + Dec(at);
}

void FlipBits(FuzzFile& file, FuzzRandom& random, size_t from, size_t to, std::string& what) {
    to = std::min(to, file.bytes.size());
    if (from >= to) return;
    const int flips = 1 + static_cast<int>(random.Below(4));
    for (int i = 0; i < flips; ++i) {
        const size_t at = from + random.Below(to - from);
        const int bit = static_cast<int>(random.Below(8));
        file.bytes[at] ^= static_cast<uint8_t>(1 << bit);
        what += (i == 0 ? "flip" : ".") + Dec(at) + "b" + Dec(bit);
    }
}

// Bytes set to escape codes, extremes or anything, somewhere in [from, to).
void SetBytes(FuzzFile& file, FuzzRandom& random, size_t from, size_t to, std::string& what) {
    to = std::min(to, file.bytes.size());
    if (from >= to) return;
    const int count = 1 + static_cast<int>(random.Below(8));
    static const std::vector<uint8_t> values = {0, 1, 2, 3, 0xFF, 0x80, 0x7F};
    what = "data";
    for (int i = 0; i < count; ++i) {
        const size_t at = from + random.Below(to - from);
        const uint8_t value =
            random.Below(2) != 0 ? random.Pick(values) : static_cast<uint8_t>(random.Next());
        file.bytes[at] = value;
        char part[40];
        std::snprintf(part, sizeof(part), ".%zu=%x", at, value);
        what += part;
    }
}

void AppendGarbage(FuzzFile& file, FuzzRandom& random, std::string& what) {
    static const std::vector<size_t> lengths = {1, 3, 32, 4096, 200000};
    const size_t length = random.Pick(lengths);
    const int fill = static_cast<int>(random.Below(3));
    for (size_t i = 0; i < length; ++i) {
        file.bytes.push_back(fill == 0   ? 0
                             : fill == 1 ? 0xFF
                                         : static_cast<uint8_t>(random.Next()));
    }
    what = "tail" + Dec(length) + (fill == 0 ? "x00" : fill == 1 ? "xff" : "xrnd");
}

// --- BMP -------------------------------------------------------------------------------

struct Field {
    uint32_t at;
    int width;
};

// The file header's and every info header's fields (the 16-bit ones of the core header too);
// the offsets, sizes and counts a reader trusts most are listed twice.
constexpr std::array<Field, 30> BMP_FIELDS = {{
    {2, 4},  {10, 4}, {10, 4}, {14, 4}, {14, 4}, {18, 4}, {22, 4}, {18, 2},  {20, 2},  {22, 2},
    {24, 2}, {24, 2}, {26, 2}, {28, 2}, {28, 2}, {30, 4}, {30, 4}, {34, 4},  {34, 4},  {46, 4},
    {46, 4}, {50, 4}, {54, 4}, {58, 4}, {62, 4}, {66, 4}, {70, 4}, {126, 4}, {130, 4}, {38, 4},
}};

void MutateBmp(FuzzFile& file, FuzzRandom& random, std::string& what) {
    std::vector<uint8_t>& bytes = file.bytes;
    const size_t pixelsAt =
        bytes.size() >= 14 ? std::min<size_t>(Get32(bytes, 10), bytes.size()) : bytes.size();
    const size_t headerEnd = std::max<size_t>(pixelsAt, 54);
    const uint64_t roll = random.Below(20);
    if (roll < 3) {
        Truncate(file, random, headerEnd, what);
    } else if (roll < 10) {
        const Field field = BMP_FIELDS[random.Below(BMP_FIELDS.size())];
        if (field.at + field.width > bytes.size()) return;
        const uint32_t old =
            field.width == 2 ? bytes[field.at] | bytes[field.at + 1] << 8 : Get32(bytes, field.at);
        const uint32_t value = FieldValue(random, old, bytes.size(), field.width);
        Set(bytes, field.at, field.width, value);
        what = "set" + Dec(field.at) + "." + Dec(field.width) + "=" + Hex(value);
    } else if (roll < 13) {
        FlipBits(file, random, 0, headerEnd, what);
    } else if (roll < 18) {
        SetBytes(file, random, pixelsAt, bytes.size(), what);
    } else {
        AppendGarbage(file, random, what);
    }
}

// --- AVI -------------------------------------------------------------------------------

struct Chunk {
    size_t at;
    std::string id;
    uint32_t size;
    std::string listType;  // lists only
    bool inFrameData;      // inside the movi list
};

// The chunks of a RIFF file as far as they can be followed, lists and their contents.
void ListChunks(const std::vector<uint8_t>& bytes, uint64_t from, uint64_t end, int depth,
                bool inFrameData, std::vector<Chunk>& chunks) {
    end = std::min<uint64_t>(end, bytes.size());
    while (from + 8 <= end && chunks.size() < 4096) {
        Chunk chunk{from, std::string(reinterpret_cast<const char*>(&bytes[from]), 4),
                    Get32(bytes, from + 4), "", inFrameData};
        const bool list = chunk.id == "RIFF" || chunk.id == "LIST";
        if (list && from + 12 <= end) {
            chunk.listType.assign(reinterpret_cast<const char*>(&bytes[from + 8]), 4);
        }
        chunks.push_back(chunk);
        if (!chunk.listType.empty() && depth < 6) {
            ListChunks(bytes, from + 12, from + 8 + uint64_t{chunk.size}, depth + 1,
                       inFrameData || chunk.listType == "movi", chunks);
        }
        from += 8 + uint64_t{chunk.size} + (chunk.size & 1);
    }
}

const Chunk* Find(const std::vector<Chunk>& chunks, const std::function<bool(const Chunk&)>& ok,
                  FuzzRandom& random) {
    std::vector<const Chunk*> found;
    for (const Chunk& chunk : chunks)
        if (ok(chunk)) found.push_back(&chunk);
    return found.empty() ? nullptr : found[random.Below(found.size())];
}

bool IsHeader(const Chunk& chunk) {
    return !chunk.inFrameData && chunk.listType.empty() && chunk.id != "JUNK";
}

void MutateAvi(FuzzFile& file, FuzzRandom& random, std::string& what) {
    std::vector<uint8_t>& bytes = file.bytes;
    std::vector<Chunk> chunks;
    ListChunks(bytes, 0, UINT64_MAX, 0, false, chunks);
    size_t framesAt = bytes.size();
    for (const Chunk& chunk : chunks)
        if (chunk.listType == "movi") framesAt = std::min(framesAt, chunk.at);
    static const std::vector<std::string> tags = {"JUNK", "LIST", "strl", "strh", "strf",
                                                  "movi", "idx1", "00dc", "01wb", "00db",
                                                  "hdrl", "avih", "AVIX", "RIFF", "indx"};
    switch (random.Below(9)) {
        case 0:
            Truncate(file, random, framesAt, what);
            break;
        case 1: {  // a lying chunk or list size
            const Chunk* chunk = Find(
                chunks, [](const Chunk&) { return true; }, random);
            if (chunk == nullptr) break;
            const uint32_t value = FieldValue(random, chunk->size, bytes.size(), 4);
            Set(bytes, chunk->at + 4, 4, value);
            what = "size-" + chunk->id + chunk->listType + Dec(chunk->at) + "=" + Hex(value);
            break;
        }
        case 2: {  // a renamed chunk or list
            const Chunk* chunk = Find(
                chunks, [](const Chunk&) { return true; }, random);
            if (chunk == nullptr) break;
            const size_t at = chunk->at + (!chunk->listType.empty() && random.Below(2) ? 8 : 0);
            std::string tag = random.Pick(tags);
            if (random.Below(3) == 0) {
                tag.assign(reinterpret_cast<const char*>(&bytes[at]), 4);
                tag[random.Below(4)] = "0179Xz_ "[random.Below(8)];
            }
            std::memcpy(&bytes[at], tag.data(), 4);
            what = "tag" + Dec(at) + "=" + tag;
            // The recipe is one line of text.
            std::replace_if(
                what.begin(), what.end(), [](char c) { return c <= ' ' || c > '~'; }, '_');
            break;
        }
        case 3:
        case 4: {  // a field of a header chunk: main, stream, format, index
            const Chunk* chunk = Find(chunks, IsHeader, random);
            if (chunk == nullptr || chunk->size < 4) break;
            const size_t fields = std::min<size_t>(chunk->size, bytes.size() - chunk->at - 8) / 4;
            if (fields == 0) break;
            // idx1 entries are 16 bytes: stream and kind, flags, offset, size.
            const size_t at =
                chunk->at + 8 +
                4 * random.Below(chunk->id == "idx1" ? fields : std::min<size_t>(fields, 32));
            const int width = random.Below(4) == 0 ? 2 : 4;
            const bool streamTag = chunk->id == "idx1" && (at - chunk->at - 8) % 16 == 0;
            uint32_t value = FieldValue(random, Get32(bytes, at), bytes.size(), width);
            if (streamTag && random.Below(2) != 0) {
                const std::string tag = random.Pick(
                    std::vector<std::string>{"99dc", "01wb", "00wb", "01dc", "02wb", "00dc"});
                std::memcpy(&value, tag.data(), 4);
            }
            Set(bytes, at, streamTag ? 4 : width, value);
            what = chunk->id + "+" + Dec(at - chunk->at - 8) + "." + Dec(width) + "=" + Hex(value);
            break;
        }
        case 5: {  // bits of the headers or of the index
            const Chunk* index = Find(
                chunks, [](const Chunk& c) { return c.id == "idx1"; }, random);
            if (index != nullptr && random.Below(3) == 0) {
                FlipBits(file, random, index->at, index->at + 8 + uint64_t{index->size}, what);
            } else {
                FlipBits(file, random, 0, framesAt, what);
            }
            break;
        }
        case 6: {  // the bytes of one frame or sound chunk
            const Chunk* chunk = Find(
                chunks,
                [](const Chunk& c) { return c.inFrameData && c.listType.empty() && c.size > 0; },
                random);
            if (chunk == nullptr) break;
            SetBytes(file, random, chunk->at + 8, chunk->at + 8 + uint64_t{chunk->size}, what);
            break;
        }
        default:
            AppendGarbage(file, random, what);
    }
}

// --- JPEG, PNG, GIF, TIFF ------------------------------------------------------------

struct PictureField {
    size_t at;
    int width;
    bool bigEndian;
};

uint32_t GetField(const std::vector<uint8_t>& bytes, PictureField field) {
    uint32_t value = 0;
    for (int i = 0; i < field.width; ++i) {
        const size_t at = field.at + (field.bigEndian ? i : field.width - 1 - i);
        value = value << 8 | bytes[at];
    }
    return value;
}

void SetField(std::vector<uint8_t>& bytes, PictureField field, uint32_t value) {
    for (int i = 0; i < field.width; ++i) {
        const int shift = 8 * (field.bigEndian ? field.width - 1 - i : i);
        bytes[field.at + i] = static_cast<uint8_t>(value >> shift);
    }
}

bool IsPng(const std::vector<uint8_t>& bytes) {
    return bytes.size() > 8 && bytes[0] == 0x89 && bytes[1] == 'P';
}

// The header fields a decoder trusts, by format: sizes, lengths, counts and offsets.
std::vector<PictureField> PictureFields(const std::vector<uint8_t>& b) {
    constexpr size_t limit = 256;
    std::vector<PictureField> fields;
    const auto has = [&](size_t at, size_t n) { return at + n <= b.size(); };
    if (IsPng(b)) {  // every chunk's length; the size, depth and colour type of IHDR
        fields = {{16, 4, true}, {20, 4, true}, {24, 1, true}, {25, 1, true}, {28, 1, true}};
        for (size_t at = 8; has(at, 8) && fields.size() < limit;
             at += 12 + GetField(b, {at, 4, true})) {
            fields.push_back({at, 4, true});
        }
    } else if (has(0, 4) && b[0] == 0xFF && b[1] == 0xD8) {  // segment lengths, frame sizes
        for (size_t at = 2;
             has(at, 4) && b[at] == 0xFF && b[at + 1] != 0xDA && fields.size() < limit;
             at += 2 + GetField(b, {at + 2, 2, true})) {
            fields.push_back({at + 2, 2, true});
            if (b[at + 1] >= 0xC0 && b[at + 1] <= 0xC2 && has(at, 10)) {
                fields.insert(fields.end(),
                              {{at + 5, 2, true}, {at + 7, 2, true}, {at + 9, 1, true}});
            }
        }
    } else if (has(0, 13) && b[0] == 'G') {  // screen size and flags, the first image's place
        fields = {{6, 2, false}, {8, 2, false}, {10, 1, false}};
        const size_t table = (b[10] & 0x80) != 0 ? size_t{3} << ((b[10] & 7) + 1) : 0;
        const auto image = std::find(b.begin() + std::min(b.size(), 13 + table), b.end(), 0x2C);
        const size_t at = static_cast<size_t>(image - b.begin());
        for (size_t offset = 1; offset <= 7 && has(at, 10); offset += 2) {
            fields.push_back({at + offset, 2, false});
        }
    } else if (has(0,
                   8)) {  // the first directory's offset, count and every entry's count and value
        const bool big = b[0] == 'M';
        fields = {{4, 4, big}};
        const size_t directory = GetField(b, {4, 4, big});
        if (has(directory, 2)) {
            fields.push_back({directory, 2, big});
            for (size_t at = directory + 2; has(at, 12) && fields.size() < limit; at += 12) {
                fields.insert(fields.end(), {{at + 2, 2, big}, {at + 4, 4, big}, {at + 8, 4, big}});
            }
        }
    }
    return fields;
}

uint32_t Crc32(const uint8_t* bytes, size_t count) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? 0xEDB88320 ^ crc >> 1 : crc >> 1;
    }
    return ~crc;
}

// Every whole chunk's checksum made right again, so that the damage reaches the decoder.
void FixPngChecksums(std::vector<uint8_t>& bytes) {
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint64_t length = GetField(bytes, {at, 4, true});
        if (at + 12 + length > bytes.size()) break;
        SetField(bytes, {at + 8 + length, 4, true}, Crc32(&bytes[at + 4], length + 4));
        at += 12 + length;
    }
}

void MutateWicPicture(FuzzFile& file, FuzzRandom& random, std::string& what) {
    std::vector<uint8_t>& bytes = file.bytes;
    const std::vector<PictureField> fields = PictureFields(bytes);
    size_t headerEnd = 64;
    for (const PictureField& field : fields) headerEnd = std::max(headerEnd, field.at + 4);
    headerEnd = std::min(headerEnd, bytes.size());
    const uint64_t roll = random.Below(20);
    if (roll < 4) {
        Truncate(file, random, headerEnd, what);
    } else if (roll < 11 && !fields.empty()) {
        const PictureField field = fields[random.Below(fields.size())];
        const uint32_t value =
            FieldValue(random, GetField(bytes, field), bytes.size(), std::max(field.width, 2)) &
            (field.width == 4 ? 0xFFFFFFFFu : (1u << 8 * field.width) - 1);
        SetField(bytes, field, value);
        what = "set" + Dec(field.at) + "." + Dec(field.width) + "=" + Hex(value);
    } else if (roll < 14) {
        FlipBits(file, random, 0, headerEnd, what);
    } else if (roll < 18) {
        SetBytes(file, random, headerEnd, bytes.size(), what);
    } else {
        AppendGarbage(file, random, what);
    }
    if (IsPng(bytes) && random.Below(2) == 0) {
        FixPngChecksums(bytes);
        what += "+crc";
    }
}

}  // namespace

uint64_t FuzzRandom::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

FuzzFile MakeMutant(const std::vector<FuzzFile>& seeds, uint64_t runSeed, uint64_t index) {
    // Pictures and movies take turns; the seed files of a kind follow each other.
    std::array<std::vector<const FuzzFile*>, 2> kinds;
    for (const FuzzFile& seed : seeds) kinds[seed.name.ends_with(".avi")].push_back(&seed);
    const auto& kind = kinds[index % 2].empty() ? kinds[1 - index % 2] : kinds[index % 2];
    const FuzzFile& seed = *kind[index / 2 % kind.size()];
    FuzzRandom random(runSeed * 0x2545F4914F6CDD1Dull + index);
    FuzzFile mutant = seed;
    const bool movie = seed.name.ends_with(".avi");
    const uint64_t roll = random.Below(10);
    const int mutations = roll < 6 ? 1 : roll < 9 ? 2 : 3;
    for (int i = 0; i < mutations; ++i) {
        std::string what;
        if (movie) {
            MutateAvi(mutant, random, what);
        } else if (seed.name.ends_with(".bmp")) {
            MutateBmp(mutant, random, what);
        } else {
            MutateWicPicture(mutant, random, what);
        }
        if (what.empty()) continue;
        if (!mutant.recipe.empty()) mutant.recipe += " ";
        mutant.recipe += what;
    }
    char number[16];
    std::snprintf(number, sizeof(number), "%05llu-", static_cast<unsigned long long>(index));
    mutant.name = number + seed.name;
    return mutant;
}
