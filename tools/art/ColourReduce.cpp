// SPDX-License-Identifier: GPL-3.0-or-later
// Median cut over the picture's colours (the box cut next is the widest,
// weighed by how many pixels it covers), each box standing for its most
// common colour (so a flat fill keeps its exact value), then every colour
// mapped to the nearest one kept.
#include "ColourReduce.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace {

struct TColour {
    uint32_t Rgb = 0;
    uint64_t Count = 0;
    int Channel(int c) const { return static_cast<int>((Rgb >> (16 - 8 * c)) & 0xFF); }
};

struct TBox {
    size_t Begin = 0, End = 0; // a range of the sorted colour list
    int Range = 0;             // widest channel extent
    int Widest = 0;            // which channel that is
    double Weight = 0;         // how much cutting it is worth
};

bool Opaque(uint32_t p) { return (p >> 24) == 0xFF; }

std::vector<TColour> Histogram(const TRgbaImage& image)
{
    std::unordered_map<uint32_t, uint64_t> counts;
    for (uint32_t p : image.Pixels)
        if (Opaque(p)) ++counts[p & 0x00FFFFFF];
    std::vector<TColour> colours;
    colours.reserve(counts.size());
    for (const auto& [rgb, n] : counts) colours.push_back({rgb, n});
    // Sorted, so that the hash table's order never reaches the result.
    std::sort(colours.begin(), colours.end(), [](const TColour& a, const TColour& b) { return a.Rgb < b.Rgb; });
    return colours;
}

void Measure(const std::vector<TColour>& colours, TBox& box)
{
    std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
    for (size_t i = box.Begin; i < box.End; ++i)
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], colours[i].Channel(c));
            hi[c] = std::max(hi[c], colours[i].Channel(c));
        }
    box.Range = -1;
    for (int c = 0; c < 3; ++c)
        if (hi[c] - lo[c] > box.Range) {
            box.Range = hi[c] - lo[c];
            box.Widest = c;
        }
    // Wide boxes and much-used ones: a gradient over a large area (a sky)
    // earns its colours, so it grades in small steps instead of bands.
    uint64_t pixels = 0;
    for (size_t i = box.Begin; i < box.End; ++i) pixels += colours[i].Count;
    box.Weight = box.Range * std::sqrt(static_cast<double>(pixels));
}

// Perceptual weights: the eye is most sensitive to green, least to blue.
int64_t Distance(uint32_t a, uint32_t b)
{
    const int64_t dr = static_cast<int64_t>((a >> 16) & 0xFF) - static_cast<int64_t>((b >> 16) & 0xFF);
    const int64_t dg = static_cast<int64_t>((a >> 8) & 0xFF) - static_cast<int64_t>((b >> 8) & 0xFF);
    const int64_t db = static_cast<int64_t>(a & 0xFF) - static_cast<int64_t>(b & 0xFF);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

} // namespace

int CountColours(const TRgbaImage& image) { return static_cast<int>(Histogram(image).size()); }

void ReduceColours(TRgbaImage& image, int maxColours)
{
    if (maxColours < 1) throw std::runtime_error("at least one colour must be kept");
    std::vector<TColour> colours = Histogram(image);
    if (colours.size() <= static_cast<size_t>(maxColours)) return;

    std::vector<TBox> boxes{{0, colours.size()}};
    Measure(colours, boxes[0]);
    while (boxes.size() < static_cast<size_t>(maxColours)) {
        // The weightiest box is cut; ties go to the first.
        size_t pick = boxes.size();
        for (size_t b = 0; b < boxes.size(); ++b)
            if (boxes[b].End - boxes[b].Begin > 1 && (pick == boxes.size() || boxes[b].Weight > boxes[pick].Weight))
                pick = b;
        if (pick == boxes.size() || boxes[pick].Range == 0) break;
        TBox& box = boxes[pick];
        const int c = box.Widest;
        std::stable_sort(colours.begin() + static_cast<ptrdiff_t>(box.Begin), colours.begin() + static_cast<ptrdiff_t>(box.End),
                         [c](const TColour& a, const TColour& b) { return a.Channel(c) < b.Channel(c); });
        // Cut at the pixel-weighted median, never leaving a side empty.
        uint64_t total = 0;
        for (size_t i = box.Begin; i < box.End; ++i) total += colours[i].Count;
        uint64_t run = 0;
        size_t cut = box.Begin + 1;
        for (size_t i = box.Begin; i + 1 < box.End; ++i) {
            run += colours[i].Count;
            cut = i + 1;
            if (run * 2 >= total) break;
        }
        // Equal channel values stay on one side of the cut; the box's range
        // is above 0, so there is a place where the value changes.
        auto straddles = [&](size_t k) { return colours[k].Channel(c) == colours[k - 1].Channel(c); };
        size_t up = cut;
        while (up < box.End && straddles(up)) ++up;
        if (up < box.End) {
            cut = up;
        } else {
            while (cut > box.Begin + 1 && straddles(cut)) --cut;
        }
        TBox upper{cut, box.End};
        box.End = cut;
        Measure(colours, box);
        Measure(colours, upper);
        boxes.push_back(upper);
    }

    std::vector<uint32_t> kept;
    for (const TBox& box : boxes) {
        const TColour* best = &colours[box.Begin];
        for (size_t i = box.Begin; i < box.End; ++i)
            if (colours[i].Count > best->Count || (colours[i].Count == best->Count && colours[i].Rgb < best->Rgb))
                best = &colours[i];
        kept.push_back(best->Rgb);
    }
    std::unordered_map<uint32_t, uint32_t> nearest;
    for (const TColour& colour : colours) {
        uint32_t to = kept[0];
        int64_t bestDistance = Distance(colour.Rgb, to);
        for (uint32_t k : kept) {
            const int64_t d = Distance(colour.Rgb, k);
            if (d < bestDistance) {
                bestDistance = d;
                to = k;
            }
        }
        nearest[colour.Rgb] = to;
    }
    for (uint32_t& p : image.Pixels)
        if (Opaque(p)) p = 0xFF000000u | nearest[p & 0x00FFFFFF];
}
