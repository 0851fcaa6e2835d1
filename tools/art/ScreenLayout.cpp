// SPDX-License-Identifier: GPL-3.0-or-later
// Screen layout pictures, drawn with the engine as the game draws them.
//
// The screens file (one command per line, "# " starts a comment, words may be
// double-quoted; coordinates are surface pixels, rectangles inclusive):
//   screen NAME                    starts the picture layout-NAME.png
//   fill #RRGGBB                   clears the surface
//   sprite IMAGE X Y [PATTERN]     top-left at (trunc X, trunc Y); PATTERN may be "last"
//   centred IMAGE X Y              a sprite of size 0: the image centred on (X, Y)
//   middle IMAGE [SIZEOF]          centred on the display (by SIZEOF's size when given)
//   word TEXT X Y SCALE [cursor]   letter glyphs laid out as the game does
//   number VALUE X Y PREFIX SCALE  digit glyphs from X
//   score VALUE CX Y PREFIX        digit glyphs centred on CX
//   hud COUNTDOWN LEVEL SCORE LIVES HEALTH single|burst   the in-game status display
//   intro LEVEL                    level caption, number and the last "Fight" pattern
//   hover|click|box X1 X2 Y1 Y2 [LABEL]   outlined rectangles
//   label X Y TEXT                 a note written over the finished picture
//   object IMAGE X Y [PATTERN]     scenery: top-left at (X, Y), depth its bottom edge
//   enemy IMAGE X FOOT near|far [PATTERN]   feet on FOOT (its depth); far is drawn at two thirds
//   at IMAGE X Y Z [PATTERN]       any sprite at a depth of Z
//   strip IMAGE X Y [SCALE]        every pattern of IMAGE in a row, numbered
//   weapon BAND fire|rest          the weapon's pose for an aiming band (1-6), with its flash
//                                  when fired, where the game draws them
// Sprites placed by object, enemy and at are painted in depth order (on equal
// depths the later one beneath, as the sprite engine does) just before the
// next command that paints directly, or at the end of the screen.
//   grey                           also writes layout-NAME-grey.png: the picture in grey,
//                                  to see whether targets stand out by lightness alone
//   zoom X Y W H FACTOR            also writes layout-NAME-zoom.png: that area enlarged,
#include "ScreenLayout.h"

#include "ArtWords.h"
#include "CustomDXDraw.h"
#include "PictureCollection.h"
#include "ReviewCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <vector>

namespace {

class TScreenPainter {
public:
    TScreenPainter(TPictureCollection& library, TDirectDrawSurface& surface) : Library_(library), Surface_(surface) {}

    void Command(const std::vector<std::string>& w, const std::string& where)
    {
        auto need = [&](size_t n) {
            if (w.size() < n) throw std::runtime_error(where + ": too few words for \"" + w[0] + "\"");
        };
        const std::string& c = w[0];
        const bool queued = c == "object" || c == "enemy" || c == "at";
        const bool note = c == "hover" || c == "click" || c == "box" || c == "label" || c == "zoom" || c == "grey";
        if (!queued && !note) Flush();
        if (c == "object") {
            need(4);
            auto& item = Library_.Find(w[1]);
            const int x = Trunc(w[2]), y = Trunc(w[3]);
            Queue(item, {x, y, x + item.Width(), y + item.Height()}, y + item.Height(), Pattern(item, w, 4));
        } else if (c == "enemy") {
            need(5);
            auto& item = Library_.Find(w[1]);
            if (w[4] != "near" && w[4] != "far") throw std::runtime_error(where + ": expected near or far");
            // Far enemies are drawn with a divisor of 1.5, their feet kept on the line.
            const double scale = w[4] == "far" ? 1.5 : 1.0;
            const int x = Trunc(w[2]), foot = Trunc(w[3]);
            const int top = foot - static_cast<int>(std::nearbyint(item.Height() / scale));
            Queue(item,
                  {x, top, x + static_cast<int>(std::nearbyint(item.Width() / scale)),
                   top + static_cast<int>(std::nearbyint(item.Height() / scale))},
                  foot, Pattern(item, w, 5));
        } else if (c == "at") {
            need(5);
            auto& item = Library_.Find(w[1]);
            const int x = Trunc(w[2]), y = Trunc(w[3]);
            Queue(item, {x, y, x + item.Width(), y + item.Height()}, Trunc(w[4]), Pattern(item, w, 5));
        } else if (c == "strip") {
            need(4);
            Strip(w[1], std::stod(w[2]), std::stod(w[3]), w.size() > 4 ? std::stod(w[4]) : 1.0);
        } else if (c == "weapon") {
            need(3);
            Weapon(std::stoi(w[1]), w[2] == "fire");
        } else if (c == "label") {
            need(4);
            Notes_.push_back({std::stoi(w[1]), std::stoi(w[2]), w[3]});
        } else if (c == "fill") {
            need(2);
            Surface_.Fill(Surface_.PixelFormat().RGBToPixel(std::stoul(w[1].substr(1), nullptr, 16)));
        } else if (c == "backdrop") {
            need(2);
            Library_.Find(w[1]).Draw(Surface_, 0, 0, 0);
        } else if (c == "sprite") {
            need(4);
            auto& item = Library_.Find(w[1]);
            int pattern = 0;
            if (w.size() > 4) pattern = w[4] == "last" ? item.PatternCount() - 1 : std::stoi(w[4]);
            item.Draw(Surface_, Trunc(w[2]), Trunc(w[3]), pattern);
        } else if (c == "centred") {
            need(4);
            auto& item = Library_.Find(w[1]);
            item.Draw(Surface_, Trunc(w[2]) + (0 - item.Width()) / 2, Trunc(w[3]) + (0 - item.Height()) / 2, 0);
        } else if (c == "middle") {
            need(2);
            auto& item = Library_.Find(w[1]);
            const auto& size = Library_.Find(w.size() > 2 ? w[2] : w[1]);
            item.Draw(Surface_, static_cast<int>((800.0 - size.Width()) / 2), static_cast<int>((600.0 - size.Height()) / 2), 0);
        } else if (c == "word") {
            need(5);
            Word(w[1], std::stod(w[2]), std::stod(w[3]), std::stod(w[4]), w.size() > 5 && w[5] == "cursor");
        } else if (c == "number") {
            need(6);
            Number(std::stoi(w[1]), std::stod(w[2]), std::stod(w[3]), w[4], std::stod(w[5]));
        } else if (c == "score") {
            need(5);
            Score(std::stoi(w[1]), std::stod(w[2]), std::stod(w[3]), w[4]);
        } else if (c == "hud") {
            need(7);
            Hud(std::stoi(w[1]), std::stoi(w[2]), std::stoi(w[3]), std::stoi(w[4]), std::stoi(w[5]), w[6] == "single");
        } else if (c == "intro") {
            need(2);
            Intro(w[1]);
        } else if (c == "grey") {
            Grey_ = true;
        } else if (c == "zoom") {
            need(6);
            Zoom_ = {std::stoi(w[1]), std::stoi(w[2]), std::stoi(w[3]), std::stoi(w[4]), std::stoi(w[5])};
        } else if (c == "hover" || c == "click" || c == "box") {
            need(5);
            Rects_.push_back({c, std::stoi(w[1]), std::stoi(w[2]), std::stoi(w[3]), std::stoi(w[4]), w.size() > 5 ? w[5] : ""});
        } else {
            throw std::runtime_error(where + ": unknown command \"" + c + "\"");
        }
    }

    // Paints the sprites placed by depth, back to front.
    void Flush()
    {
        std::stable_sort(Queue_.begin(), Queue_.end(), [](const TQueued& a, const TQueued& b) {
            return a.Z != b.Z ? a.Z < b.Z : a.Order > b.Order;
        });
        for (const TQueued& q : Queue_) {
            if (q.Rect.Right - q.Rect.Left == q.Item->Width() && q.Rect.Bottom - q.Rect.Top == q.Item->Height())
                q.Item->Draw(Surface_, q.Rect.Left, q.Rect.Top, q.Pattern);
            else
                q.Item->StretchDraw(Surface_, q.Rect, q.Pattern);
        }
        Queue_.clear();
    }

    // Outlines every rectangle over the finished picture.
    void Annotate(cairo_t* cr) const
    {
        for (const auto& n : Notes_) Label(cr, n.X, n.Y, n.Text, 11, 1, 1, 0.6);
        for (const auto& r : Rects_) {
            double red = 0, green = 0.9, blue = 1; // hover: cyan
            if (r.Kind == "click") red = 1, green = 0.25, blue = 0.95;
            if (r.Kind == "box") red = 0.5, green = 1, blue = 0.3;
            cairo_set_source_rgb(cr, red, green, blue);
            cairo_set_line_width(cr, 1);
            if (r.Kind == "click") {
                const double dash[] = {4, 3};
                cairo_set_dash(cr, dash, 2, 0);
            } else {
                cairo_set_dash(cr, nullptr, 0, 0);
            }
            cairo_rectangle(cr, r.X1 + 0.5, r.Y1 + 0.5, r.X2 - r.X1, r.Y2 - r.Y1);
            cairo_stroke(cr);
            cairo_set_dash(cr, nullptr, 0, 0);
            if (!r.Label.empty())
                Label(cr, r.X1 + 2, r.Kind == "click" ? r.Y2 - 3 : r.Y1 + 11, r.Label, 9, red, green, blue);
        }
    }

    struct TZoom {
        int X = 0, Y = 0, W = 0, H = 0, Factor = 0;
    };
    const TZoom& Zoom() const { return Zoom_; }
    bool Grey() const { return Grey_; }

private:
    struct TOutline {
        std::string Kind;
        int X1, X2, Y1, Y2;
        std::string Label;
    };
    struct TNote {
        int X, Y;
        std::string Text;
    };
    struct TQueued {
        TPictureCollectionItem* Item;
        TRect Rect;
        int Z;
        int Pattern;
        int Order;
    };

    void Queue(TPictureCollectionItem& item, const TRect& rect, int z, int pattern)
    {
        Queue_.push_back({&item, rect, z, pattern, static_cast<int>(Queue_.size())});
    }

    static int Pattern(const TPictureCollectionItem& item, const std::vector<std::string>& w, size_t at)
    {
        if (w.size() <= at) return 0;
        const int p = w[at] == "last" ? item.PatternCount() - 1 : std::stoi(w[at]);
        if (p < 0 || p >= item.PatternCount())
            throw std::runtime_error(item.Name() + " has no pattern " + w[at]);
        return p;
    }

    void Strip(const std::string& name, double x, double y, double scale)
    {
        auto& item = Library_.Find(name);
        const int w = static_cast<int>(std::nearbyint(item.Width() * scale));
        const int h = static_cast<int>(std::nearbyint(item.Height() * scale));
        for (int p = 0; p < item.PatternCount(); ++p) {
            const int left = static_cast<int>(x) + p * (w + 6), top = static_cast<int>(y);
            item.StretchDraw(Surface_, {left, top, left + w, top + h}, p);
            Notes_.push_back({left, top + h + 12, std::to_string(p)});
        }
        Notes_.push_back({static_cast<int>(x), static_cast<int>(y) - 4, name});
    }

    // The aiming bands' flashes, where the game puts them.
    void Weapon(int band, bool fired)
    {
        static constexpr int kFlash[6][2] = {{222, 500}, {322, 492}, {405, 485}, {485, 486}, {558, 488}, {625, 493}};
        if (band < 1 || band > 6) throw std::runtime_error("the bands are 1 to 6");
        auto& weapon = Library_.Find("ak47");
        if (fired) Library_.Find("Splash_" + std::to_string(band)).Draw(Surface_, kFlash[band - 1][0], kFlash[band - 1][1], 0);
        const int x = (800 - weapon.Width()) / 2 + 60;
        const int y = 600 - weapon.Height() + (fired ? 0 : 5);
        weapon.Draw(Surface_, x, y, band - 1);
    }

    static int Trunc(const std::string& s) { return static_cast<int>(std::stod(s)); }

    // A glyph sprite: rounded edges, stretched to its size divided by scale.
    void Glyph(const std::string& name, double x, double y, double scale)
    {
        auto& item = Library_.Find(name);
        const int left = static_cast<int>(std::nearbyint(x)), top = static_cast<int>(std::nearbyint(y));
        const TRect rect{left, top, left + static_cast<int>(std::nearbyint(item.Width() / scale)),
                         top + static_cast<int>(std::nearbyint(item.Height() / scale))};
        item.StretchDraw(Surface_, rect, 0);
    }

    void Word(const std::string& text, double x, double y, double scale, bool cursor)
    {
        for (char ch : text) {
            const std::string name = std::string("Bukva_") + ch;
            Glyph(name, x, y, scale);
            x += Library_.Find(name).Width() / scale;
        }
        if (cursor) Glyph("Bukva_prefix", x, y + Library_.Find("Bukva_A").Height() - 10, scale);
    }

    void Number(int value, double x, double y, const std::string& prefix, double scale)
    {
        for (char d : std::to_string(value)) {
            const std::string name = prefix + d;
            Glyph(name, x, y, scale);
            x += Library_.Find(name).Width() / scale;
        }
    }

    void Score(int value, double cx, double y, const std::string& prefix)
    {
        double total = 0;
        for (char d : std::to_string(value)) total += Library_.Find(prefix + d).Width();
        Number(value, cx - total / 2, y, prefix, 1.0);
    }

    void Sprite(const std::string& name, double x, double y)
    {
        Library_.Find(name).Draw(Surface_, static_cast<int>(x), static_cast<int>(y), 0);
    }

    double W(const std::string& name) { return Library_.Find(name).Width(); }

    void Hud(int countdown, int level, int score, int lives, int health, bool single)
    {
        const int m = countdown / 60, s = countdown % 60;
        const std::string m1 = "cifra" + std::to_string(m / 10), m0 = "cifra" + std::to_string(m % 10);
        const std::string s1 = "cifra" + std::to_string(s / 10), s0 = "cifra" + std::to_string(s % 10);
        Glyph(m1, 90 - W(m1) - W(m0), 8, 1);
        Glyph(m0, 90 - W(m0), 8, 1);
        Glyph(s1, 110, 8, 1);
        Glyph(s0, 110 + W(s1), 8, 1);
        Sprite("cifra_prefix", 100 - W("cifra_prefix") / 2, 3);
        if (lives >= 1 && lives <= 3) {
            const std::string name = "Lifes_" + std::to_string(lives);
            Sprite(name, 43 - W(name) / 2, 538);
        }
        double hx = 90;
        std::string digits = health % 100 == 0 ? "100" : std::to_string(health);
        for (char d : digits) {
            const std::string name = std::string("Health_") + d;
            Sprite(name, hx, 550);
            hx += W(name);
        }
        Sprite("Health_percent", hx, 550);
        Sprite(single ? "odinoch" : "ochered", 735, 543);
        double total = W("level") + 10;
        for (char d : std::to_string(level)) total += W(std::string("cifra") + d);
        double lx = 700 - total / 2;
        Sprite("level", lx, 12);
        lx += W("level") + 10;
        for (char d : std::to_string(level)) {
            const std::string name = std::string("cifra") + d;
            Glyph(name, lx, 6, 1);
            lx += W(name);
        }
        Score(score, 399, 12, "cifra");
    }

    void Intro(const std::string& level)
    {
        // The caption moves 30 pixels a frame from x = -W and stops once its
        // right edge is within 20 pixels of the centre line.
        const double w = W("Word_Level_begin");
        double x = -w;
        while (!(w + x + 20 >= 400)) x += 30;
        Sprite("Word_Level_begin", x, 200);
        Word(level, 450, 200, 1.0, false);
        auto& fight = Library_.Find("Fight");
        fight.Draw(Surface_, static_cast<int>(400 - fight.Width() / 2.0), 300, fight.PatternCount() - 1);
    }

    TPictureCollection& Library_;
    TDirectDrawSurface& Surface_;
    std::vector<TQueued> Queue_;
    std::vector<TNote> Notes_;
    std::vector<TOutline> Rects_;
    TZoom Zoom_;
    bool Grey_ = false;
};

TCairoSurface SurfaceToCairo(const TDirectDrawSurface& surface)
{
    TCairoSurface out(cairo_image_surface_create(CAIRO_FORMAT_RGB24, surface.Width(), surface.Height()));
    unsigned char* data = cairo_image_surface_get_data(out.get());
    const int stride = cairo_image_surface_get_stride(out.get());
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x) {
            const uint32_t p = surface.PixelFormat().PixelToRGB(surface.GetPixel(x, y));
            std::memcpy(data + static_cast<ptrdiff_t>(y) * stride + x * 4, &p, 4);
        }
    cairo_surface_mark_dirty(out.get());
    return out;
}

} // namespace

void WriteLayouts(TPictureCollection& library, TOffscreenDXDraw& display, const std::string& screensPath,
                  const std::filesystem::path& outDir, std::ostream& out)
{
    std::ifstream in(screensPath);
    if (!in) throw std::runtime_error("Cannot open \"" + screensPath + "\"");
    std::unique_ptr<TScreenPainter> painter;
    std::string name;
    auto finish = [&] {
        if (!painter) return;
        painter->Flush();
        TCairoSurface picture = SurfaceToCairo(*display.Surface());
        if (const auto& z = painter->Zoom(); z.Factor > 0 && z.W > 0 && z.H > 0) {
            TCairoSurface zoomed(cairo_image_surface_create(CAIRO_FORMAT_RGB24, z.W * z.Factor, z.H * z.Factor));
            TCairo zc(cairo_create(zoomed.get()));
            cairo_scale(zc.get(), z.Factor, z.Factor);
            cairo_set_source_surface(zc.get(), picture.get(), -z.X, -z.Y);
            cairo_pattern_set_filter(cairo_get_source(zc.get()), CAIRO_FILTER_NEAREST);
            cairo_paint(zc.get());
            WriteSurface(zoomed.get(), outDir / ("layout-" + name + "-zoom.png"), out);
        }
        if (painter->Grey()) {
            TCairoSurface grey(cairo_image_surface_create(CAIRO_FORMAT_RGB24, cairo_image_surface_get_width(picture.get()),
                                                          cairo_image_surface_get_height(picture.get())));
            TCairo gc(cairo_create(grey.get()));
            cairo_set_source_surface(gc.get(), picture.get(), 0, 0);
            cairo_paint(gc.get());
            cairo_surface_flush(grey.get());
            unsigned char* data = cairo_image_surface_get_data(grey.get());
            const int stride = cairo_image_surface_get_stride(grey.get());
            for (int y = 0; y < cairo_image_surface_get_height(grey.get()); ++y) {
                auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
                for (int x = 0; x < cairo_image_surface_get_width(grey.get()); ++x) {
                    const uint32_t p = row[x];
                    // Luma, weighted as the eye weighs the three primaries.
                    const uint32_t l = (77 * ((p >> 16) & 0xFF) + 150 * ((p >> 8) & 0xFF) + 29 * (p & 0xFF)) >> 8;
                    row[x] = 0xFF000000u | (l << 16) | (l << 8) | l;
                }
            }
            cairo_surface_mark_dirty(grey.get());
            WriteSurface(grey.get(), outDir / ("layout-" + name + "-grey.png"), out);
        }
        TCairo cr(cairo_create(picture.get()));
        painter->Annotate(cr.get());
        Label(cr.get(), 6, 300, name, 12, 1, 1, 1);
        WriteSurface(picture.get(), outDir / ("layout-" + name + ".png"), out);
        painter.reset();
    };
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto words = SplitArtWords(line, screensPath + ":" + std::to_string(number));
        if (words.empty()) continue;
        const std::string where = screensPath + ":" + std::to_string(number);
        try {
            if (words[0] == "screen") {
                finish();
                if (words.size() < 2) throw std::runtime_error("screen needs a name");
                name = words[1];
                display.Surface()->Fill(0);
                painter = std::make_unique<TScreenPainter>(library, *display.Surface());
            } else {
                if (!painter) throw std::runtime_error("\"screen\" must come first");
                painter->Command(words, where);
            }
        } catch (const std::runtime_error& e) {
            const std::string what = e.what();
            throw std::runtime_error(what.rfind(where, 0) == 0 ? what : where + ": " + what);
        } catch (const std::exception& e) {
            throw std::runtime_error(where + ": " + e.what());
        }
    }
    finish();
}
