// File formats written by the generator, and the BMP and ICO readers that check its output.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "palette.h"

struct RgbaPixel {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

struct RgbaImage {
    int width = 0, height = 0;
    std::vector<RgbaPixel> pixels;  // top row first
};

void WriteBmp8(const std::filesystem::path& file, const Indexed& image);
void WriteBmp24(const std::filesystem::path& file, const RgbImage& image);
// One 32-bit entry per image, each with its AND mask taken from the alpha channel.
void WriteIcon(const std::filesystem::path& file, const std::vector<RgbaImage>& images);
void WritePng(const std::filesystem::path& file, const RgbImage& image);

struct BmpFile {
    int width = 0, height = 0, bits = 0;
    int paletteSize = 0;
    RgbImage image;
    std::vector<uint8_t> indices;  // 8-bit files only
};
// Throws std::runtime_error on anything but an uncompressed bottom-up 8- or 24-bit BMP.
BmpFile ReadBmp(const std::filesystem::path& file);

struct IconEntry {
    int width = 0, height = 0, bits = 0;
    RgbaImage image;
};
std::vector<IconEntry> ReadIcon(const std::filesystem::path& file);
