// Writes every bitmap resource of the program, the icon and the resource script entries.
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct Image {
    int width, height, bits;
    std::vector<uint8_t> pixels;  // 8-bit: indices; 24-bit: BGR; top row first
};

void WriteBmp(const std::string& path, const Image& image) {
    const int rowBytes = ((image.width * image.bits / 8) + 3) & ~3;
    const int paletteBytes = image.bits == 8 ? 1024 : 0;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + paletteBytes + rowBytes * image.height);
    Put32(out, 0);
    Put32(out, 54 + paletteBytes);
    Put32(out, 40);
    Put32(out, image.width);
    Put32(out, image.height);
    Put16(out, 1);
    Put16(out, image.bits);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int i = 0; i < paletteBytes / 4; ++i) {
        const uint8_t grey = static_cast<uint8_t>(i);
        out.insert(out.end(), {grey, grey, grey, 0});
    }
    const int pixelBytes = image.width * image.bits / 8;
    for (int y = image.height - 1; y >= 0; --y) {
        auto row = image.pixels.begin() + y * pixelBytes;
        out.insert(out.end(), row, row + pixelBytes);
        out.resize(out.size() + rowBytes - pixelBytes, 0);
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(out.data()), out.size());
}

void WriteIcon(const std::string& path) {
    constexpr std::array sizes{16, 32, 48, 256};
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, sizes.size());
    uint32_t offset = 6 + 16 * sizes.size();
    std::vector<uint8_t> images;
    for (int size : sizes) {
        std::vector<uint8_t> dib;
        Put32(dib, 40);
        Put32(dib, size);
        Put32(dib, size * 2);
        Put16(dib, 1);
        Put16(dib, 32);
        for (int i = 0; i < 6; ++i) Put32(dib, 0);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) dib.insert(dib.end(), {200, 200, 200, 255});
        dib.resize(dib.size() + ((size + 31) / 32) * 4 * size, 0);
        out.push_back(size == 256 ? 0 : size);
        out.push_back(size == 256 ? 0 : size);
        out.insert(out.end(), {0, 0});
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, dib.size());
        Put32(out, offset);
        offset += dib.size();
        images.insert(images.end(), dib.begin(), dib.end());
    }
    out.insert(out.end(), images.begin(), images.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(out.data()), out.size());
}

Image Flat(int width, int height, int bits) {
    Image image{width, height, bits, {}};
    image.pixels.assign(width * height * bits / 8, 0);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <output folder>\n");
        return 2;
    }
    const std::filesystem::path outDir = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(outDir);
    std::ofstream rc(outDir / "art.rc");
    WriteIcon(outDir / "quorvel.ico");
    rc << "100 ICON \"" << (outDir / "quorvel.ico").string() << "\"\n";
    struct Entry {
        int id, width, height, bits;
    };
    std::vector<Entry> entries{{101, 256, 32, 8},  {102, 512, 256, 8}, {103, 256, 256, 8},
                               {104, 256, 256, 8}, {105, 512, 64, 8},  {106, 128, 128, 8},
                               {108, 32, 32, 8},   {109, 128, 256, 8}, {110, 256, 64, 8},
                               {111, 1536, 16, 24}, {112, 375, 350, 8}};
    for (int id = 200; id < 290; ++id) entries.push_back({id, 128, 128, 8});
    for (const Entry& e : entries) {
        const auto path = outDir / ("bitmap" + std::to_string(e.id) + ".bmp");
        WriteBmp(path, Flat(e.width, e.height, e.bits));
        rc << e.id << " BITMAP \"" << path.string() << "\"\n";
    }
    return 0;
}
