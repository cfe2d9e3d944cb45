#include "palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

uint8_t ToByte(float v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.f, 1.f) * 255));
}

struct Entry {
    std::array<int, 3> c;
    long count;
};

long Distance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    const long dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return 2 * dr * dr + 4 * dg * dg + 3 * db * db;
}

std::array<int, 3> Mean(const std::vector<Entry>& entries, size_t from, size_t to) {
    double sum[3] = {0, 0, 0};
    double total = 0;
    for (size_t i = from; i < to; ++i) {
        for (int k = 0; k < 3; ++k)
            sum[k] += entries[i].c[k] * static_cast<double>(entries[i].count);
        total += entries[i].count;
    }
    std::array<int, 3> out{};
    for (int k = 0; k < 3; ++k) out[k] = static_cast<int>(std::lround(sum[k] / total));
    return out;
}

// Median cut followed by a few rounds of k-means over one set of distinct colours.
std::vector<std::array<int, 3>> Reduce(std::vector<Entry> entries, int budget) {
    std::vector<std::array<int, 3>> palette;
    if (entries.empty() || budget <= 0) return palette;
    if (static_cast<int>(entries.size()) <= budget) {
        for (const Entry& e : entries) palette.push_back(e.c);
        return palette;
    }
    struct Box {
        size_t from, to;
    };
    std::vector<Box> boxes{{0, entries.size()}};
    auto spread = [&](const Box& box, int& channel) {
        long best = -1;
        for (int k = 0; k < 3; ++k) {
            int lo = 255, hi = 0;
            for (size_t i = box.from; i < box.to; ++i) {
                lo = std::min(lo, entries[i].c[k]);
                hi = std::max(hi, entries[i].c[k]);
            }
            const long weighted = static_cast<long>(hi - lo) * (k == 1 ? 4 : k == 2 ? 3 : 2);
            if (weighted > best) {
                best = weighted;
                channel = k;
            }
        }
        long count = 0;
        for (size_t i = box.from; i < box.to; ++i) count += entries[i].count;
        return best * static_cast<long>(std::sqrt(static_cast<double>(count)));
    };
    while (static_cast<int>(boxes.size()) < budget) {
        int bestBox = -1, bestChannel = 0;
        long bestScore = 0;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].to - boxes[b].from < 2) continue;
            int channel = 0;
            const long score = spread(boxes[b], channel);
            if (score > bestScore) {
                bestScore = score;
                bestBox = static_cast<int>(b);
                bestChannel = channel;
            }
        }
        if (bestBox < 0) break;
        Box box = boxes[bestBox];
        std::sort(entries.begin() + box.from, entries.begin() + box.to,
                  [&](const Entry& a, const Entry& b) {
                      return a.c[bestChannel] != b.c[bestChannel]
                                 ? a.c[bestChannel] < b.c[bestChannel]
                                 : a.c < b.c;
                  });
        long total = 0;
        for (size_t i = box.from; i < box.to; ++i) total += entries[i].count;
        long running = 0;
        size_t cut = box.from + 1;
        for (size_t i = box.from; i < box.to - 1; ++i) {
            running += entries[i].count;
            cut = i + 1;
            if (running * 2 >= total) break;
        }
        boxes[bestBox] = {box.from, cut};
        boxes.push_back({cut, box.to});
    }
    for (const Box& box : boxes) palette.push_back(Mean(entries, box.from, box.to));
    std::vector<int> nearest(entries.size());
    for (int round = 0; round < 4; ++round) {
        for (size_t i = 0; i < entries.size(); ++i) {
            long best = -1;
            for (size_t p = 0; p < palette.size(); ++p) {
                const long d = Distance(entries[i].c, palette[p]);
                if (best < 0 || d < best) {
                    best = d;
                    nearest[i] = static_cast<int>(p);
                }
            }
        }
        std::vector<std::array<double, 4>> sums(palette.size(), {0, 0, 0, 0});
        for (size_t i = 0; i < entries.size(); ++i) {
            for (int k = 0; k < 3; ++k)
                sums[nearest[i]][k] += entries[i].c[k] * 1.0 * entries[i].count;
            sums[nearest[i]][3] += entries[i].count;
        }
        for (size_t p = 0; p < palette.size(); ++p) {
            if (sums[p][3] == 0) continue;
            for (int k = 0; k < 3; ++k)
                palette[p][k] = static_cast<int>(std::lround(sums[p][k] / sums[p][3]));
        }
    }
    return palette;
}

}  // namespace

RgbImage Flatten(const ImageF& image, Color ground) {
    RgbImage out{image.width, image.height, {}};
    for (const Color& p : image.pixels) {
        out.pixels.push_back({ToByte(p.r + ground.r * (1 - p.a)),
                              ToByte(p.g + ground.g * (1 - p.a)),
                              ToByte(p.b + ground.b * (1 - p.a))});
    }
    return out;
}

Indexed Quantise(const RgbImage& image, const std::vector<bool>& keyMask, std::optional<Rgb8> key) {
    auto pack = [](Rgb8 c) { return (c.r << 16) | (c.g << 8) | c.b; };
    std::map<int, long> neutral, chromatic;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        if (!keyMask.empty() && keyMask[i]) continue;
        const Rgb8 c = image.pixels[i];
        ++(c.Neutral() ? neutral : chromatic)[pack(c)];
    }
    auto entries = [](const std::map<int, long>& counts) {
        std::vector<Entry> out;
        for (const auto& [packed, count] : counts)
            out.push_back({{(packed >> 16) & 255, (packed >> 8) & 255, packed & 255}, count});
        return out;
    };
    const int budget = key ? 255 : 256;
    const int n = static_cast<int>(neutral.size()), c = static_cast<int>(chromatic.size());
    int neutralBudget = n;
    if (n + c > budget) {
        neutralBudget =
            std::clamp(static_cast<int>(std::lround(budget * 0.5 * n / std::max(1, n + c) +
                                                    budget * 0.25 * (n > 0))),
                       std::min(n, 4), std::min(n, budget - std::min(c, 4)));
    }
    auto neutralPalette = Reduce(entries(neutral), neutralBudget);
    auto chromaticPalette =
        Reduce(entries(chromatic), budget - static_cast<int>(neutralPalette.size()));

    Indexed out{image.width, image.height, {}, std::vector<uint8_t>(image.pixels.size(), 0)};
    if (key) out.palette.push_back(*key);
    auto add = [&](const std::vector<std::array<int, 3>>& set, bool isNeutral) {
        const size_t first = out.palette.size();
        for (const auto& p : set) {
            Rgb8 colour{static_cast<uint8_t>(p[0]), static_cast<uint8_t>(p[1]),
                        static_cast<uint8_t>(p[2])};
            if (key && colour == *key) {
                const int step = colour.b < 128 ? 1 : -1;
                if (isNeutral)
                    colour = {static_cast<uint8_t>(colour.r + step),
                              static_cast<uint8_t>(colour.g + step),
                              static_cast<uint8_t>(colour.b + step)};
                else
                    colour.b = static_cast<uint8_t>(colour.b + step);
            }
            out.palette.push_back(colour);
        }
        return first;
    };
    const size_t neutralFirst = add(neutralPalette, true);
    const size_t chromaticFirst = add(chromaticPalette, false);
    std::map<int, uint8_t> lookup;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        if (!keyMask.empty() && keyMask[i]) continue;
        const Rgb8 px = image.pixels[i];
        auto [it, inserted] = lookup.try_emplace(pack(px), 0);
        if (inserted) {
            const size_t from = px.Neutral() ? neutralFirst : chromaticFirst;
            const size_t to = px.Neutral() ? chromaticFirst : out.palette.size();
            long best = -1;
            for (size_t p = from; p < to; ++p) {
                const Rgb8 q = out.palette[p];
                const long d = Distance({px.r, px.g, px.b}, {q.r, q.g, q.b});
                if (best < 0 || d < best) {
                    best = d;
                    it->second = static_cast<uint8_t>(p);
                }
            }
        }
        out.pixels[i] = it->second;
    }
    return out;
}

Indexed Keyed(const ImageF& image, Rgb8 key, float threshold) {
    const Color ground = Rgb(key.r, key.g, key.b);
    RgbImage flat = Flatten(image, ground);
    std::vector<bool> mask(image.pixels.size());
    for (size_t i = 0; i < mask.size(); ++i) mask[i] = image.pixels[i].a < threshold;
    return Quantise(flat, mask, key);
}
