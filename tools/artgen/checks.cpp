#include "checks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "catalogue.h"

namespace fs = std::filesystem;

namespace {

class Report {
public:
    explicit Report(std::vector<std::string>& out) : out_(out) {}
    void operator()(const std::string& where, const std::string& what) {
        out_.push_back(where + ": " + what);
    }

private:
    std::vector<std::string>& out_;
};

// The channel orders of the six colour schemes.
Rgb8 Scheme(Rgb8 c, int scheme) {
    switch (scheme) {
        case 1:
            return {c.b, c.g, c.r};
        case 2:
            return {c.r, c.b, c.g};
        case 3:
            return {c.b, c.r, c.b};
        case 4:
            return {c.b, c.b, c.r};
        case 5:
            return {c.r, c.b, c.b};
        default:
            return c;
    }
}

// Palette entries that some pixel uses, with their colours.
std::map<int, Rgb8> UsedColours(const BmpFile& bmp) {
    std::map<int, Rgb8> used;
    for (size_t i = 0; i < bmp.indices.size(); ++i) used[bmp.indices[i]] = bmp.image.pixels[i];
    return used;
}

double KeyFraction(const RgbImage& image, Rgb8 key) {
    return static_cast<double>(std::count(image.pixels.begin(), image.pixels.end(), key)) /
           image.pixels.size();
}

void CheckSchemeTexture(Report& report, const std::string& name, const BmpFile& bmp, bool keyed) {
    const Rgb8 key = bmp.image.pixels[0];
    std::vector<Rgb8> used;
    for (const auto& [index, colour] : UsedColours(bmp)) used.push_back(colour);
    for (const Rgb8& c : used) {
        if (!c.Neutral() && !(c.b > c.r && c.b > c.g))
            report(name, "colour " + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
                             std::to_string(c.b) +
                             " is neither grey nor blue, so a colour scheme would change it oddly");
    }
    if (!keyed) return;
    const double fraction = KeyFraction(bmp.image, key);
    if (fraction < 0.2 || fraction > 0.9)
        report(name, "the key colour should cover 20% to 90% of the decal");
    for (int scheme = 0; scheme < 6; ++scheme) {
        for (const Rgb8& c : used) {
            if (!(c == key) && Scheme(c, scheme) == Scheme(key, scheme))
                report(name, "a panel colour turns into the key colour in scheme " +
                                 std::to_string(scheme));
        }
    }
}

void CheckPicture(Report& report, const PictureArt& art, const BmpFile& bmp) {
    const std::string name = "picture " + std::to_string(art.id);
    const RgbImage& image = bmp.image;
    const Rgb8 key = image.pixels[0];
    if (!(key == kBlackKey)) report(name, "the top-left pixel is not the black key colour");
    for (int x = 0; x < image.width; ++x) {
        for (int y : {0, image.height - 1}) {
            if (!(image.pixels[y * image.width + x] == key)) {
                report(name, "the subject touches the top or bottom edge");
                x = image.width;
                break;
            }
        }
    }
    for (int y = 0; y < image.height; ++y) {
        if (!(image.pixels[y * image.width] == key) ||
            !(image.pixels[y * image.width + image.width - 1] == key)) {
            report(name, "the subject touches the left or right edge");
            break;
        }
    }
    int keyEntries = 0;
    for (const auto& [index, colour] : UsedColours(bmp)) keyEntries += colour == key;
    if (keyEntries != 1) report(name, "the key colour must have exactly one palette entry");
    const double background = KeyFraction(image, key);
    if (background < 0.1 || background > 0.9)
        report(name, "the background covers " + std::to_string(static_cast<int>(background * 100)) +
                         "% of the picture; a subject should fill 10% to 90%");
    if (art.flags & kZoom) {
        // The start region, widened to at least 6 pixels, must show mostly subject.
        const int cx0 = static_cast<int>(art.zoom.left * image.width),
                  cx1 = static_cast<int>(art.zoom.right * image.width);
        const int cy0 = static_cast<int>(art.zoom.top * image.height),
                  cy1 = static_cast<int>(art.zoom.bottom * image.height);
        int covered = 0, total = 0;
        for (int y = std::min(cy0, (cy0 + cy1) / 2 - 3); y <= std::max(cy1, (cy0 + cy1) / 2 + 3);
             ++y) {
            for (int x = std::min(cx0, (cx0 + cx1) / 2 - 3);
                 x <= std::max(cx1, (cx0 + cx1) / 2 + 3); ++x) {
                ++total;
                covered += !(image.pixels[std::clamp(y, 0, image.height - 1) * image.width +
                                          std::clamp(x, 0, image.width - 1)] == key);
            }
        }
        if (covered * 10 < total * 8) report(name, "the zoom start region shows mostly background");
    }
}

void CheckCatalogue(Report& report) {
    std::map<std::pair<int, int>, int> sizes;
    int floors = 0, floorPortraits = 0, zooms = 0, fronts = 0;
    int expectedId = 200;
    for (const PictureArt& art : Pictures()) {
        if (art.id != expectedId++) report("catalogue", "ids must run from 200 to 289 in order");
        ++sizes[{art.width, art.height}];
        if (art.flags == kFloor) {
            ++floors;
            floorPortraits += art.width == 128 && art.height == 256;
        } else if (art.flags == (kFront | kZoom)) {
            ++zooms;
        } else if (art.flags == kFront) {
            ++fronts;
        } else {
            report("catalogue", "picture " + std::to_string(art.id) + " has unexpected flags");
        }
        const Region& z = art.zoom;
        const bool full = z.left == 0 && z.top == 0 && z.right == 1 && z.bottom == 1;
        if (((art.flags & kZoom) != 0) == full || z.left > z.right || z.top > z.bottom)
            report("catalogue", "picture " + std::to_string(art.id) + " has a wrong start region");
    }
    if (expectedId != 290) report("catalogue", "there must be 90 pictures");
    if (sizes[{256, 128}] != 26 || sizes[{128, 256}] != 25 || sizes[{256, 256}] != 23 ||
        sizes[{128, 128}] != 16)
        report(
            "catalogue",
            "the picture sizes must be 26 of 256x128, 25 of 128x256, 23 of 256x256, 16 of 128x128");
    if (floors != 21 || floorPortraits != 17)
        report("catalogue", "there must be 21 floor pictures, 17 of them 128x256");
    if (zooms != 32 || fronts != 37)
        report("catalogue", "there must be 32 zoom and 37 plain front pictures");
}

void CheckCaptions(Report& report) {
    const std::set<int> silent{226, 227, 274, 276, 277};
    std::set<std::string> seen;
    int expectedId = 200;
    for (const CaptionLine& line : Captions()) {
        const std::string where = "caption " + std::to_string(line.id);
        if (line.id != expectedId++) report(where, "captions must run from 200 to 289 in order");
        if (line.text.size() > 24) report(where, "longer than 24 characters");
        for (char ch : line.text)
            if (ch < 32 || ch > 126) report(where, "not printable ASCII");
        if (silent.count(line.id) != line.text.empty())
            report(where, silent.count(line.id) ? "must be empty" : "is empty");
        if (!line.text.empty() && !seen.insert(line.text).second)
            report(where, "repeats another caption");
    }
    if (expectedId != 290) report("captions", "there must be 90 captions");
}

void CheckGlyphs(Report& report, const BmpFile& bmp) {
    const int cell = GLYPH_STRIP_BITMAP.height;
    struct Ink {
        int left, right, top, bottom;
    };
    auto ink = [&](char32_t code) {
        Ink e{cell, -1, cell, -1};
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                const Rgb8 p = bmp.image.pixels[y * bmp.width + GlyphCell(code) * cell + x];
                if (!p.Neutral()) report("glyphs", "the strip must be grey");
                if (p.r > 100) {
                    e = {std::min(e.left, x), std::max(e.right, x), std::min(e.top, y),
                         std::max(e.bottom, y)};
                }
            }
        return e;
    };
    if (ink(' ').right >= 0) report("glyphs", "the space cell is not blank");
    for (const GlyphRange& range : GLYPH_RANGES) {
        for (char32_t code = range.first; code <= range.last; ++code) {
            if (code == ' ') continue;
            const Ink e = ink(code);
            char name[16];
            std::snprintf(name, sizeof(name), "U+%04X", static_cast<unsigned>(code));
            if (e.right < 0) {
                report("glyphs", std::string("no ink in the cell of ") + name);
            } else if (std::abs((e.left + e.right + 1) / 2.0 - cell / 2.0) > 1.5) {
                report("glyphs", std::string(name) + " is not centred in its cell");
            }
        }
    }
    std::set<int> baselines;
    for (char32_t c : {U'H', U'E', U'x', U'z', U'n', U'É', U'Ł', U'ß', U'Ж', U'Ω', U'λ', U'Ά'})
        baselines.insert(ink(c).bottom);
    if (baselines.size() != 1) report("glyphs", "letters do not share one baseline");
    // Marks over a letter or under it stay whole: they reach past the plain letter's ink.
    for (auto [plain, marked] : {std::pair{U'E', U'É'},
                                 {U'A', U'Å'},
                                 {U'Z', U'Ž'},
                                 {U'Е', U'Ё'},
                                 {U'И', U'Й'},
                                 {U'Ι', U'Ϊ'},
                                 {U'o', U'ö'}})
        if (ink(marked).top >= ink(plain).top) report("glyphs", "a mark over a letter is lost");
    for (auto [plain, marked] : {std::pair{U'A', U'Ą'}, {U'c', U'ç'}, {U'T', U'Ţ'}})
        if (ink(marked).bottom <= ink(plain).bottom)
            report("glyphs", "a mark under a letter is lost");
}

void CheckIcon(Report& report, const fs::path& file) {
    const std::vector<IconEntry> entries = ReadIcon(file);
    const auto& sizes = PROGRAM_ICON.sizes;
    if (entries.size() != sizes.size()) {
        report("icon", "must hold 4 images");
        return;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const IconEntry& e = entries[i];
        const std::string where = "icon " + std::to_string(e.width);
        if (e.width != sizes[i] || e.height != sizes[i]) report(where, "unexpected size");
        const auto& px = e.image.pixels;
        if (px.front().a != 0 || px.back().a != 0) report(where, "corners must be transparent");
        if (px[(e.height / 2) * e.width + e.width / 2].a != 255)
            report(where, "the centre must be opaque");
        const auto opaque =
            std::count_if(px.begin(), px.end(), [](const RgbaPixel& p) { return p.a > 128; });
        if (opaque * 4 < static_cast<long>(px.size()))
            report(where, "the robot covers less than a quarter");
    }
}

}  // namespace

std::vector<std::string> CheckOutput(const fs::path& dir, const DialogArt& dialog) {
    std::vector<std::string> problems;
    Report report(problems);
    std::map<int, BmpFile> files;
    auto load = [&](int id, const std::string& file, int width, int height, int bits) {
        try {
            BmpFile bmp = ReadBmp(dir / file);
            if (bmp.width != width || bmp.height != height || bmp.bits != bits)
                report(file, "expected " + std::to_string(width) + "x" + std::to_string(height) +
                                 " at " + std::to_string(bits) + " bits");
            else
                files[id] = std::move(bmp);
        } catch (const std::exception& e) {
            report(file, e.what());
        }
    };
    for (const BitmapResource& b : FIXED_BITMAPS) load(b.id, b.file, b.width, b.height, b.bits);
    for (const PictureArt& art : Pictures())
        load(art.id, "picture" + std::to_string(art.id) + ".bmp", art.width, art.height, 8);

    if (files.count(BANNER_BITMAP.id)) {
        const RgbImage& banner = files[BANNER_BITMAP.id].image;
        const double key = KeyFraction(banner, kBlackKey);
        if (!(banner.pixels[0] == kBlackKey) || key < 0.3 || key > 0.95)
            report(BANNER_BITMAP.file, "the logo must stand on a black key ground");
    }
    for (const BitmapResource& b : {BODY_BITMAP, PANEL_BITMAP, LEGS_BITMAP})
        if (files.count(b.id)) CheckSchemeTexture(report, b.file, files[b.id], false);
    for (const BitmapResource& b : {DOME_CAP_BITMAP, DOME_BAND_BITMAP}) {
        if (!files.count(b.id)) continue;
        if (!(files[b.id].image.pixels[0] == robot::kDecalKey))
            report(b.file, "the top-left pixel must be the decal key");
        CheckSchemeTexture(report, b.file, files[b.id], true);
    }
    if (files.count(GLYPH_STRIP_BITMAP.id)) CheckGlyphs(report, files[GLYPH_STRIP_BITMAP.id]);
    for (const PictureArt& art : Pictures())
        if (files.count(art.id)) CheckPicture(report, art, files[art.id]);
    CheckCatalogue(report);
    CheckCaptions(report);
    for (const Box& label : dialog.labels) {
        if (label.x0 < 0 || label.y0 < 0 || label.x1 > DIALOG_BACKGROUND_BITMAP.width ||
            label.y1 > DIALOG_BACKGROUND_BITMAP.height)
            report("dialog", "a label leaves the picture");
        for (const Box& control : dialog.controls)
            if (label.Overlaps({control.x0 - 1, control.y0 - 1, control.x1 + 1, control.y1 + 1}))
                report("dialog", "a label lies under a control");
    }
    try {
        CheckIcon(report, dir / PROGRAM_ICON.file);
    } catch (const std::exception& e) {
        report(PROGRAM_ICON.file, e.what());
    }
    std::ifstream rc(dir / "art.rc");
    int lines = 0;
    for (std::string line; std::getline(rc, line); ++lines) {
        const size_t quote = line.find('"');
        if (quote == std::string::npos ||
            !fs::exists(line.substr(quote + 1, line.size() - quote - 2)))
            report("art.rc", "names a missing file: " + line);
    }
    if (lines != static_cast<int>(1 + FIXED_BITMAPS.size() + Pictures().size()))
        report("art.rc", "must name the icon and every bitmap once");
    return problems;
}
