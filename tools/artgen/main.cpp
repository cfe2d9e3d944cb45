// artgen <outdir>: draws every artwork resource of the saver into outdir, with art.rc naming
// them for the resource compiler and contact_sheet.png showing the picture set, then reads the
// files back and checks them.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "art.h"
#include "catalogue.h"
#include "checks.h"

namespace fs = std::filesystem;

namespace {

class ResourceScript {
public:
    explicit ResourceScript(const fs::path& dir) : dir_(dir) {}

    void Bitmap(int id, const std::string& name, const Indexed& image) {
        WriteBmp8(dir_ / name, image);
        Add(id, "BITMAP", name);
    }
    void Bitmap(const BitmapResource& bitmap, const Indexed& image) {
        Bitmap(bitmap.id, bitmap.file, image);
    }
    void Bitmap(const BitmapResource& bitmap, const RgbImage& image) {
        WriteBmp24(dir_ / bitmap.file, image);
        Add(bitmap.id, "BITMAP", bitmap.file);
    }
    void Icon(const IconResource& icon, const std::vector<RgbaImage>& images) {
        WriteIcon(dir_ / icon.file, images);
        Add(icon.id, "ICON", icon.file);
    }
    void Save() const {
        std::ofstream out(dir_ / "art.rc");
        out << text_;
        if (!out) throw std::runtime_error("cannot write art.rc");
    }

private:
    void Add(int id, const char* type, const std::string& name) {
        text_ += std::to_string(id) + " " + type + " \"" + (dir_ / name).generic_string() + "\"\n";
    }

    fs::path dir_;
    std::string text_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <output folder>\n");
        return 2;
    }
    try {
        const fs::path dir = fs::absolute(argv[1]).lexically_normal();
        fs::create_directories(dir);
        ResourceScript rc(dir);
        rc.Icon(PROGRAM_ICON, DrawIcons());
        rc.Bitmap(BANNER_BITMAP, DrawBanner());
        rc.Bitmap(BODY_BITMAP, DrawBodyTexture());
        rc.Bitmap(DOME_CAP_BITMAP, DrawDomeCapDecal());
        rc.Bitmap(CHROME_BITMAP, DrawChrome());
        rc.Bitmap(DOME_BAND_BITMAP, DrawDomeBandDecal());
        rc.Bitmap(PANEL_BITMAP, DrawPanelBlock());
        rc.Bitmap(LENS_BITMAP, DrawLensGlass());
        rc.Bitmap(LEGS_BITMAP, DrawLegTexture());
        rc.Bitmap(FEET_BITMAP, DrawFeetTexture());
        rc.Bitmap(GLYPH_STRIP_BITMAP, DrawGlyphStrip());
        const DialogArt dialog = DrawDialogBackground();
        rc.Bitmap(DIALOG_BACKGROUND_BITMAP, dialog.image);
        for (const PictureArt& picture : Pictures()) {
            Canvas canvas(picture.width, picture.height);
            picture.draw(canvas);
            rc.Bitmap(picture.id, "picture" + std::to_string(picture.id) + ".bmp",
                      Keyed(canvas.Resolve(), kBlackKey));
        }
        rc.Save();
        WritePng(dir / "contact_sheet.png", DrawContactSheet(dir));

        const std::vector<std::string> problems = CheckOutput(dir, dialog);
        for (const std::string& problem : problems)
            std::fprintf(stderr, "artgen: %s\n", problem.c_str());
        return problems.empty() ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
}
