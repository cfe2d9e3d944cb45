// The configuration dialog's background: a dark steel-blue panel that carries the title and the
// labels of every control of the dialog template, placed beside or above the controls.
#include <cmath>
#include <iterator>
#include <string_view>

#include "art.h"
#include "noise.h"
#include "text.h"

namespace {

constexpr int kWidth = DIALOG_BACKGROUND_BITMAP.width, kHeight = DIALOG_BACKGROUND_BITMAP.height;

// The controls of the dialog template, by name, in its order.
enum Control {
#define QUORVEL_CONTROL(name, ...) name,
#include "dialog_controls.inc"
};

struct UnitRect {
    std::string_view kind;
    float x, y, w, h;
};
constexpr UnitRect kControlUnits[] = {
#define QUORVEL_CONTROL(name, id, text, kind, style, x, y, w, h, extended) {kind, x, y, w, h},
#include "dialog_controls.inc"
};
// A drop-down list's template height is the open list; what stands on the picture is its field.
constexpr float kDropDownFieldUnits = 14;

// Where a control stands on the picture. Dialog units are of the template's 8-point font; the
// background control's units span the picture.
Box ControlBox(Control control) {
    const UnitRect& all = kControlUnits[CONTROL_BACKGROUND];
    const UnitRect& r = kControlUnits[control];
    const float sx = kWidth / all.w, sy = kHeight / all.h;
    const float h = r.kind == "ComboBox" ? kDropDownFieldUnits : r.h;
    return {r.x * sx, r.y * sy, (r.x + r.w) * sx, (r.y + h) * sy};
}

const Color kLabel = Rgb(228, 238, 255);
const Color kHeading = Rgb(118, 196, 255);
const Color kHint = Rgb(150, 172, 210);

class Labeller {
public:
    Labeller(Canvas& canvas, DialogArt& art) : canvas_(canvas), art_(art) {}

    void operator()(const Font& font, std::string_view text, float x, float y, int size,
                    Color colour, Align align = Align::Left) {
        DrawLabel(canvas_, font, text, x, y, size, Solid(colour), align);
        const Font::Bitmap bm = font.Render(text, size);
        float left = std::round(x) + bm.left;
        if (align == Align::Centre) left = std::round(x) - bm.width / 2;
        if (align == Align::Right) left = std::round(x) - bm.width;
        art_.labels.push_back(
            {left, std::round(y) - bm.top, left + bm.width, std::round(y) - bm.top + bm.height});
    }

private:
    Canvas& canvas_;
    DialogArt& art_;
};

void Panel(Canvas& c, float x, float y, float w, float h) {
    Path shadow;
    shadow.RoundRect(x + 2, y + 3, w, h, 7);
    c.Fill(shadow, Rgb(0, 0, 10, 0.5f));
    Path border;
    border.RoundRect(x, y, w, h, 7);
    c.Fill(border, Linear({0, y}, {0, y + h}, {{0, Rgb(110, 150, 210)}, {1, Rgb(46, 70, 120)}}));
    Path face;
    face.RoundRect(x + 1, y + 1, w - 2, h - 2, 6);
    c.Fill(face, Linear({0, y}, {0, y + h},
                        {{0, Rgb(34, 52, 96)}, {0.12f, Rgb(26, 42, 82)}, {1, Rgb(18, 30, 62)}}));
}

void Stars(Canvas& c, float x, float y, float w, float h, int count, uint64_t seed) {
    Rng rng(seed);
    Path dim, bright;
    for (int i = 0; i < count; ++i) {
        const float sx = rng.Range(x, x + w), sy = rng.Range(y, y + h);
        (rng.Chance(0.15f) ? bright : dim).Circle(sx, sy, rng.Range(0.35f, 0.7f));
    }
    c.Fill(dim, Rgb(140, 170, 230, 0.6f));
    c.Fill(bright, Rgb(230, 240, 255));
}

// The robot projecting a small ringed planet, in the title panel.
void TitleScene(Canvas& c) {
    Stars(c, 12, 62, 132, 78, 50, 7);
    DrawRobotFigure(c, {38, 91, 16, true});
    Canvas beam = c.Layer();
    Path cone;
    cone.Polygon({{33, 89}, {86, 70}, {86, 134}});
    beam.Fill(cone, Linear({33, 0}, {86, 0},
                           {{0, Rgb(80, 160, 255, 0.55f)}, {1, Rgb(80, 160, 255, 0.05f)}}));
    c.Composite(beam, Blend::Add);
    const Vec2 planet{113, 102};
    Canvas holo = c.Layer();
    Path ringBack;
    ringBack.Ellipse(planet.x, planet.y, 29, 8, -12).Ellipse(planet.x, planet.y, 23, 5, -12, true);
    holo.Fill(ringBack, Rgb(120, 190, 255, 0.7f));
    Path ball;
    ball.Circle(planet.x, planet.y, 17);
    holo.Fill(ball, [&](float x, float y) {
        const float band = std::sin((y - planet.y) * 0.55f + Noise(x * 0.15f, y * 0.15f, 3) * 2);
        const float light = 1 - Length(Vec2{x, y} - planet - Vec2{-7, -7}) / 31;
        return Mix(Rgb(20, 60, 170), Rgb(150, 215, 255),
                   std::clamp(light + band * 0.15f, 0.f, 1.f));
    });
    Path ringFront;
    std::vector<Vec2> front;
    for (int i = 0; i <= 24; ++i) {
        const float a = kPi * i / 24;
        front.push_back(planet + Rotated({29 * std::cos(a), 8 * std::sin(a)}, -12));
    }
    for (int i = 24; i >= 0; --i) {
        const float a = kPi * i / 24;
        front.push_back(planet + Rotated({23 * std::cos(a), 5 * std::sin(a)}, -12));
    }
    ringFront.Polygon(front);
    holo.Fill(ringFront, Rgb(170, 220, 255, 0.85f));
    for (int y = 66; y < 140; y += 3) {
        Path line;
        line.Rect(80, static_cast<float>(y), 64, 1.1f);
        holo.Fill(line, Rgb(0, 0, 0, 0.35f), Blend::Erase);
    }
    Canvas glow = holo;
    glow.Blur(3);
    c.Composite(glow, Blend::Add, 0.8f);
    c.Composite(holo, Blend::Add);
}

void FolderIcon(Canvas& c, float x, float y) {
    Path tab;
    tab.RoundRect(x, y, 7, 4, 1.2f);
    c.Fill(tab, kHeading);
    Path body;
    body.RoundRect(x, y + 2, 15, 10, 1.5f);
    c.Fill(body, Linear({0, y}, {0, y + 12}, {{0, Rgb(150, 210, 255)}, {1, Rgb(70, 130, 220)}}));
}

void CountIcon(Canvas& c, float x, float y) {
    for (int i = 0; i < 3; ++i) {
        Path bar;
        const float h = 5.f + 3 * i;
        bar.RoundRect(x + i * 5.5f, y + 12 - h, 4, h, 1);
        c.Fill(bar, kHeading);
    }
}

void ListIcon(Canvas& c, float x, float y) {
    for (int i = 0; i < 4; ++i) {
        Path row;
        row.RoundRect(x + (i ? 5.f : 0), y + i * 5.f, i ? 10.f : 12.f, 3, 1);
        c.Fill(row, i ? kHint : kHeading);
    }
    Path stem;
    stem.Rect(x + 2, y + 3, 1.4f, 13);
    c.Fill(stem, kHint);
}

// A lens casting a small beam, beside the projector check boxes.
void ProjectorIcon(Canvas& c, float x, float y) {
    Path beam;
    beam.Polygon({{x + 8, y + 10}, {x + 44, y + 2}, {x + 44, y + 22}});
    c.Fill(beam, Linear({x + 8, 0}, {x + 44, 0},
                        {{0, Rgb(110, 190, 255, 0.7f)}, {1, Rgb(110, 190, 255, 0.05f)}}));
    Path lens;
    lens.Circle(x + 8, y + 10, 6);
    c.Fill(lens, Radial({x + 6, y + 8}, 8, {{0, Rgb(230, 245, 255)}, {1, Rgb(60, 120, 220)}}));
}

void FloorGrid(Canvas& c) {
    Canvas grid = c.Layer();
    const Vec2 vanish{187.5f, 250};
    Path lines;
    for (int i = -14; i <= 14; ++i) {
        const Vec2 bottom{187.5f + i * 40.f, 420};
        const float t = (300 - vanish.y) / (bottom.y - vanish.y);
        lines.Line(vanish + (bottom - vanish) * t, bottom, 1);
    }
    for (int i = 0; i < 8; ++i) {
        const float y = 300 + 60 * (std::pow(1.45f, static_cast<float>(i)) - 1) / 6;
        if (y > kHeight) break;
        lines.Line({0, y}, {kWidth, y}, 1);
    }
    grid.Fill(lines, Linear({0, 300}, {0, kHeight},
                            {{0, Rgb(70, 150, 255, 0.15f)}, {1, Rgb(90, 170, 255, 0.7f)}}));
    Canvas glow = grid;
    glow.Blur(2);
    c.Composite(glow, Blend::Add);
    c.Composite(grid, Blend::Add);
}

}  // namespace

DialogArt DrawDialogBackground() {
    DialogArt art;
    // Every control but the background, which the labels stand on.
    for (int control = 0; control < std::ssize(kControlUnits); ++control)
        if (control != CONTROL_BACKGROUND) art.controls.push_back(ControlBox(Control(control)));
    Canvas c(kWidth, kHeight, 3);
    c.FillAll(Linear({0, 0}, {0, kHeight},
                     {{0, Rgb(16, 28, 58)}, {0.6f, Rgb(10, 18, 40)}, {1, Rgb(6, 10, 26)}}));
    Path frame;
    frame.Rect(0, 0, kWidth, kHeight).Rect(1.5f, 1.5f, kWidth - 3, kHeight - 3, true);
    c.Fill(frame, Rgb(90, 130, 190));
    FloorGrid(c);

    Panel(c, 8, 8, 140, 136);
    Path screen;
    screen.RoundRect(12, 62, 132, 78, 4);
    c.Fill(screen, Linear({0, 62}, {0, 140}, {{0, Rgb(6, 12, 30)}, {1, Rgb(12, 24, 54)}}));
    c.Clip(screen);
    TitleScene(c);
    c.ClearClip();

    Panel(c, 8, 150, 140, 136);
    Panel(c, 152, 104, 216, 182);

    const Font& bold = BoldFont();
    const Font& sans = SansFont();
    Path title = bold.Outline("QUORVEL", 16, 40, 23);
    Canvas glow = c.Layer();
    glow.Fill(title, Rgb(40, 130, 255));
    glow.Blur(4);
    c.Composite(glow, Blend::Add, 1.2f);
    c.Fill(title, Linear({0, 21}, {0, 41},
                         {{0, Rgb(255, 255, 255)},
                          {0.5f, Rgb(186, 222, 255)},
                          {0.55f, Rgb(112, 170, 250)},
                          {1, Rgb(176, 214, 255)}}));

    Labeller label(c, art);
    label(sans, "hologram projector robot", 18, 55, 9, kHint);
    const Box combo = ControlBox(CONTROL_COLOUR);
    label(bold, "Robot colour", combo.x0 + 1, combo.y0 - 4, 11, kHeading);

    auto checkBaseline = [](const Box& b) { return (b.y0 + b.y1) / 2 + 4; };
    // Right of a check box, on its middle.
    auto checkLabel = [&](Control control, std::string_view text) {
        const Box box = ControlBox(control);
        label(sans, text, box.x1 + 4, checkBaseline(box), 10, kLabel);
    };
    checkLabel(CONTROL_PLAY_AVIS, "Play movies & pictures");
    checkLabel(CONTROL_PLAY_SOUND, "Play movie sound");
    checkLabel(CONTROL_ONLY_EXTERNAL, "Only external pictures");

    label(bold, "PROJECTOR", 160, ControlBox(CONTROL_PLAY_AVIS).y1 - 1, 9, kHeading);
    ProjectorIcon(c, 164, ControlBox(CONTROL_PLAY_SOUND).y0 + 2);
    const Box counts = ControlBox(CONTROL_MEDIA_COUNTS), folder = ControlBox(CONTROL_FOLDER_PATH),
              list = ControlBox(CONTROL_FOLDER_LIST);
    label(bold, "MEDIA FOLDER", counts.x0, counts.y0 - 4, 9, kHeading);
    CountIcon(c, 156, counts.y0 + 3);
    FolderIcon(c, 155, folder.y0 + 3);
    ListIcon(c, 156, list.y0 + 4);
    label(sans, "Double-click a folder to open it", list.x0, list.y1 + 12, 9, kHint);

    const Box show = ControlBox(CONTROL_SHOW_COUNTDOWN), message = ControlBox(CONTROL_MESSAGE);
    label(bold, "Show countdown", show.x1 + 4, checkBaseline(show), 11, kLabel);
    label(sans, "Countdown message", message.x0, message.y0 - 5, 10, kHeading);
    const Box day = ControlBox(CONTROL_DAY), month = ControlBox(CONTROL_MONTH),
              year = ControlBox(CONTROL_YEAR);
    label(sans, "Count down to", message.x0, day.y0 - 8, 10, kHeading);
    for (const auto& [box, name] :
         {std::pair{day, "Day"}, std::pair{month, "Month"}, std::pair{year, "Year"}})
        label(sans, name, (box.x0 + box.x1) / 2, box.y1 + 12, 9, kHint, Align::Centre);
    label(bold, "/", (day.x1 + month.x0) / 2, day.y1 - 5, 12, kHint, Align::Centre);
    label(bold, "/", (month.x1 + year.x0) / 2, day.y1 - 5, 12, kHint, Align::Centre);

    label(sans, "Drag the panel anywhere to move it", kWidth / 2.f, 302, 9, kHint, Align::Centre);

    art.image = Quantise(Flatten(c.Resolve(), Rgb(0, 0, 0)));
    return art;
}
