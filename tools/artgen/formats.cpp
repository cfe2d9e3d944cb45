#include "formats.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t Get16(const std::vector<uint8_t>& in, size_t at) {
    if (at + 2 > in.size()) throw std::runtime_error("truncated file");
    return in[at] | (in[at + 1] << 8);
}

uint32_t Get32(const std::vector<uint8_t>& in, size_t at) {
    return Get16(in, at) | (Get16(in, at + 2) << 16);
}

void Save(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::vector<uint8_t> Load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, int colours,
                   uint32_t imageBytes) {
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, colours);
    Put32(out, 0);
}

void PutFileHeader(std::vector<uint8_t>& out, uint32_t pixelOffset, uint32_t imageBytes) {
    out.push_back('B');
    out.push_back('M');
    Put32(out, pixelOffset + imageBytes);
    Put32(out, 0);
    Put32(out, pixelOffset);
}

}  // namespace

void WriteBmp8(const std::filesystem::path& file, const Indexed& image) {
    const int rowBytes = (image.width + 3) & ~3;
    const uint32_t imageBytes = rowBytes * image.height;
    const int colours = static_cast<int>(image.palette.size());
    std::vector<uint8_t> out;
    PutFileHeader(out, 54 + 4 * colours, imageBytes);
    PutInfoHeader(out, image.width, image.height, 8, colours, imageBytes);
    for (const Rgb8& c : image.palette) out.insert(out.end(), {c.b, c.g, c.r, 0});
    for (int y = image.height - 1; y >= 0; --y) {
        auto row = image.pixels.begin() + static_cast<size_t>(y) * image.width;
        out.insert(out.end(), row, row + image.width);
        out.resize(out.size() + rowBytes - image.width, 0);
    }
    Save(file, out);
}

void WriteBmp24(const std::filesystem::path& file, const RgbImage& image) {
    const int rowBytes = (image.width * 3 + 3) & ~3;
    const uint32_t imageBytes = rowBytes * image.height;
    std::vector<uint8_t> out;
    PutFileHeader(out, 54, imageBytes);
    PutInfoHeader(out, image.width, image.height, 24, 0, imageBytes);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb8& c = image.pixels[static_cast<size_t>(y) * image.width + x];
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        out.resize(out.size() + rowBytes - image.width * 3, 0);
    }
    Save(file, out);
}

void WriteIcon(const std::filesystem::path& file, const std::vector<RgbaImage>& images) {
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    std::vector<uint8_t> data;
    for (const RgbaImage& image : images) {
        std::vector<uint8_t> dib;
        const int maskRow = ((image.width + 31) / 32) * 4;
        PutInfoHeader(dib, image.width, image.height * 2, 32, 0,
                      (image.width * 4 + maskRow) * image.height);
        for (int y = image.height - 1; y >= 0; --y) {
            for (int x = 0; x < image.width; ++x) {
                const RgbaPixel& p = image.pixels[static_cast<size_t>(y) * image.width + x];
                dib.insert(dib.end(), {p.b, p.g, p.r, p.a});
            }
        }
        for (int y = image.height - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskRow, 0);
            for (int x = 0; x < image.width; ++x) {
                if (image.pixels[static_cast<size_t>(y) * image.width + x].a == 0)
                    row[x / 8] |= 0x80 >> (x % 8);
            }
            dib.insert(dib.end(), row.begin(), row.end());
        }
        out.push_back(image.width >= 256 ? 0 : image.width);
        out.push_back(image.height >= 256 ? 0 : image.height);
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<uint32_t>(dib.size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(dib.size());
        data.insert(data.end(), dib.begin(), dib.end());
    }
    out.insert(out.end(), data.begin(), data.end());
    Save(file, out);
}

void WritePng(const std::filesystem::path& file, const RgbImage& image) {
    FILE* fp = std::fopen(file.c_str(), "wb");
    if (!fp) throw std::runtime_error("cannot write " + file.string());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(fp);
        throw std::runtime_error("libpng failed on " + file.string());
    }
    png_init_io(png, fp);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        auto* row = const_cast<Rgb8*>(&image.pixels[static_cast<size_t>(y) * image.width]);
        png_write_row(png, reinterpret_cast<png_bytep>(row));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(fp);
}

BmpFile ReadBmp(const std::filesystem::path& file) {
    const std::vector<uint8_t> in = Load(file);
    if (in.size() < 54 || in[0] != 'B' || in[1] != 'M') throw std::runtime_error("not a BMP");
    if (Get32(in, 2) != in.size()) throw std::runtime_error("file size field is wrong");
    const uint32_t pixelOffset = Get32(in, 10);
    if (Get32(in, 14) != 40) throw std::runtime_error("not a BITMAPINFOHEADER");
    BmpFile bmp;
    bmp.width = static_cast<int>(Get32(in, 18));
    bmp.height = static_cast<int>(Get32(in, 22));
    bmp.bits = static_cast<int>(Get16(in, 28));
    if (bmp.width <= 0 || bmp.height <= 0) throw std::runtime_error("not a bottom-up bitmap");
    if (Get16(in, 26) != 1 || Get32(in, 30) != 0) throw std::runtime_error("compressed bitmap");
    if (bmp.bits != 8 && bmp.bits != 24) throw std::runtime_error("unexpected bit depth");
    std::vector<Rgb8> palette;
    if (bmp.bits == 8) {
        bmp.paletteSize = static_cast<int>(Get32(in, 46));
        if (bmp.paletteSize == 0) bmp.paletteSize = 256;
        if (bmp.paletteSize > 256 || 54 + 4 * bmp.paletteSize > static_cast<int>(pixelOffset))
            throw std::runtime_error("bad palette");
        for (int i = 0; i < bmp.paletteSize; ++i)
            palette.push_back({in[56 + 4 * i], in[55 + 4 * i], in[54 + 4 * i]});
    }
    const int rowBytes = (bmp.width * bmp.bits / 8 + 3) & ~3;
    if (pixelOffset + static_cast<size_t>(rowBytes) * bmp.height > in.size())
        throw std::runtime_error("truncated pixel data");
    bmp.image = {bmp.width, bmp.height, {}};
    for (int y = 0; y < bmp.height; ++y) {
        const size_t row = pixelOffset + static_cast<size_t>(bmp.height - 1 - y) * rowBytes;
        for (int x = 0; x < bmp.width; ++x) {
            if (bmp.bits == 8) {
                const uint8_t index = in[row + x];
                if (index >= palette.size()) throw std::runtime_error("index beyond palette");
                bmp.indices.push_back(index);
                bmp.image.pixels.push_back(palette[index]);
            } else {
                const size_t at = row + 3 * x;
                bmp.image.pixels.push_back({in[at + 2], in[at + 1], in[at]});
            }
        }
    }
    return bmp;
}

std::vector<IconEntry> ReadIcon(const std::filesystem::path& file) {
    const std::vector<uint8_t> in = Load(file);
    if (Get16(in, 0) != 0 || Get16(in, 2) != 1) throw std::runtime_error("not an icon");
    std::vector<IconEntry> entries;
    const int count = static_cast<int>(Get16(in, 4));
    for (int i = 0; i < count; ++i) {
        const size_t dir = 6 + 16 * i;
        const uint32_t size = Get32(in, dir + 8), offset = Get32(in, dir + 12);
        if (offset + size > in.size()) throw std::runtime_error("icon entry beyond the file");
        IconEntry e;
        e.width = in[dir] == 0 ? 256 : in[dir];
        e.height = in[dir + 1] == 0 ? 256 : in[dir + 1];
        e.bits = static_cast<int>(Get16(in, offset + 14));
        if (static_cast<int>(Get32(in, offset + 4)) != e.width ||
            static_cast<int>(Get32(in, offset + 8)) != 2 * e.height || e.bits != 32)
            throw std::runtime_error("icon image header does not match its directory entry");
        const size_t maskRow = ((e.width + 31) / 32) * 4;
        if (40 + static_cast<size_t>(e.width) * e.height * 4 + maskRow * e.height != size)
            throw std::runtime_error("icon image size is wrong");
        e.image = {e.width, e.height, {}};
        for (int y = 0; y < e.height; ++y) {
            const size_t row = offset + 40 + static_cast<size_t>(e.height - 1 - y) * e.width * 4;
            for (int x = 0; x < e.width; ++x) {
                const size_t at = row + 4 * x;
                e.image.pixels.push_back({in[at + 2], in[at + 1], in[at], in[at + 3]});
            }
        }
        entries.push_back(std::move(e));
    }
    return entries;
}
