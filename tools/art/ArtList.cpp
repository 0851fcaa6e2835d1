// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the art list.
//
//   set VAR=VALUE ...                 variables every source sees
//   style NAME VAR=VALUE ...          a named group of variables (style=OTHER inside inherits)
//   image NAME SOURCE [setting ...] [VAR=VALUE ...]
//   + SOURCE [at=X,Y] [size=WxH] [style=NAME] [VAR=VALUE ...]    a layer over the image above
//   + @NAME [pattern=K] [at=X,Y] [size=WxH]   a layer: pattern K of a picture drawn earlier in the list
//   export FILE SOURCE [size=WxH] [VAR=VALUE ...]                 a PNG with its full alpha
//   foreach VAR VALUE ...  /  end     repeats the lines between, "${VAR}" replaced
//   font FAMILY [HINT]                a font the sources need; the build stops without it
//
// Image settings: size=WxH (the drawing's size; also the variables w and h),
// frames=N with per-frame variables @VAR=A..B (even steps) or @VAR=V1,V2,...
// (one per frame), trim=1 and pad=N (cut empty columns, keep N), ground=1 (each
// frame set down on the bottom edge: its lowest opaque row moved to the last), transparent=0,
// edge=#RRGGBB, origin=X,Y or centre=X,Y (layers then use screen
// coordinates), key=COLOUR (zarvenok-pack's key setting), colours=N (at most
// N colours, the key included; 256 by default, so the picture is stored with
// 8 bits a pixel; 0 keeps every colour), style=A,B.
// Words are separated by blanks; double quotes keep blanks; "# " starts a
// comment, as does "#" at the start of a line.
#include "ArtList.h"

#include "ArtWords.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

struct TLine {
    int Number = 0;
    std::string Text;
};

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Unrolls foreach blocks (they may nest).
std::vector<TLine> Unroll(const std::vector<TLine>& lines, size_t& i, const std::string& path, bool inBlock)
{
    std::vector<TLine> out;
    while (i < lines.size()) {
        const TLine& line = lines[i];
        const auto words = SplitArtWords(line.Text, path + ":" + std::to_string(line.Number));
        ++i;
        if (!words.empty() && words[0] == "end") {
            if (!inBlock) throw std::runtime_error(path + ":" + std::to_string(line.Number) + ": \"end\" without \"foreach\"");
            return out;
        }
        if (!words.empty() && words[0] == "foreach") {
            if (words.size() < 3)
                throw std::runtime_error(path + ":" + std::to_string(line.Number) + ": expected foreach VAR VALUE ...");
            std::vector<TLine> body = Unroll(lines, i, path, true);
            for (size_t v = 2; v < words.size(); ++v)
                for (const TLine& b : body) out.push_back({b.Number, Replace(b.Text, "${" + words[1] + "}", words[v])});
            continue;
        }
        out.push_back(line);
    }
    if (inBlock) throw std::runtime_error(path + ": \"foreach\" without \"end\"");
    return out;
}

int ParseInt(const std::string& text, const std::string& where)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        throw std::runtime_error(where + ": not a whole number: \"" + text + "\"");
    return value;
}

double ParseDouble(const std::string& text, const std::string& where)
{
    try {
        return EvaluateExpression(text, {});
    } catch (const std::exception&) {
        throw std::runtime_error(where + ": not a number: \"" + text + "\"");
    }
}

std::pair<double, double> ParsePair(const std::string& text, char sep, const std::string& where)
{
    const auto at = text.find(sep);
    if (at == std::string::npos) throw std::runtime_error(where + ": expected A" + sep + "B: \"" + text + "\"");
    return {ParseDouble(text.substr(0, at), where), ParseDouble(text.substr(at + 1), where)};
}

bool ParseBool(const std::string& text, const std::string& where)
{
    if (text == "1" || text == "yes" || text == "true") return true;
    if (text == "0" || text == "no" || text == "false") return false;
    throw std::runtime_error(where + ": expected 0 or 1: \"" + text + "\"");
}

std::vector<std::string> SplitList(const std::string& text, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep)) parts.push_back(part);
    if (!text.empty() && text.back() == sep) parts.emplace_back();
    return parts;
}

class TParser {
public:
    TParser(TArtList& list) : List_(list) {}

    void Line(const TLine& line)
    {
        Where_ = List_.Path + ":" + std::to_string(line.Number);
        const auto words = SplitArtWords(line.Text, Where_);
        if (words.empty()) return;
        const std::string& kind = words[0];
        if (kind == "set") {
            for (size_t i = 1; i < words.size(); ++i) {
                const auto [key, value] = KeyValue(words[i]);
                List_.Globals[key] = value;
            }
        } else if (kind == "font") {
            if (words.size() < 2 || words.size() > 3) Fail("expected font FAMILY [HINT]");
            List_.Fonts.push_back({line.Number, words[1], words.size() > 2 ? words[2] : ""});
        } else if (kind == "style") {
            if (words.size() < 2) Fail("expected style NAME VAR=VALUE ...");
            TArtVariables vars;
            for (size_t i = 2; i < words.size(); ++i) {
                const auto [key, value] = KeyValue(words[i]);
                if (key == "style") ApplyStyles(value, vars);
                else vars[key] = value;
            }
            Styles_[words[1]] = vars;
        } else if (kind == "image" || kind == "export") {
            if (words.size() < 3) Fail("expected " + kind + " NAME SOURCE [settings]");
            TArtItem item;
            item.Kind = kind == "image" ? TArtItem::TKind::Image : TArtItem::TKind::Export;
            item.Line = line.Number;
            item.Name = words[1];
            item.Base.Source = Resolve(words[2]);
            const auto edge = List_.Globals.find("edge");
            if (edge != List_.Globals.end()) item.Edge = ParseRgbAt(edge->second);
            for (size_t i = 3; i < words.size(); ++i) ItemSetting(item, words[i]);
            for (const auto& [name, values] : item.FrameVars)
                if (static_cast<int>(values.size()) != item.Frames)
                    Fail("@" + name + " has " + std::to_string(values.size()) + " values for " +
                         std::to_string(item.Frames) + " frames");
            if (item.Trim && item.Frames > 1) Fail("trim works on single pictures only");
            List_.Items.push_back(std::move(item));
        } else if (kind == "+") {
            if (List_.Items.empty()) Fail("a layer needs an image above it");
            if (words.size() < 2) Fail("expected + SOURCE [settings]");
            TArtLayer layer;
            if (words[1].size() > 1 && words[1][0] == '@') {
                layer.Picture = words[1].substr(1);
                bool earlier = false;
                for (const auto& item : List_.Items)
                    earlier = earlier || (item.Kind == TArtItem::TKind::Image && item.Name == layer.Picture);
                if (!earlier) Fail("no picture \"" + layer.Picture + "\" above this line");
            } else {
                layer.Source = Resolve(words[1]);
            }
            for (size_t i = 2; i < words.size(); ++i) LayerSetting(layer, words[i]);
            if (layer.Picture.empty() && layer.Pattern != 0) Fail("pattern= picks a pattern of a picture layer (+ @NAME)");
            List_.Items.back().Layers.push_back(std::move(layer));
        } else {
            Fail("unknown line \"" + kind + "\" (set, style, font, image, +, export, foreach, end)");
        }
    }

private:
    [[noreturn]] void Fail(const std::string& why) const { throw std::runtime_error(Where_ + ": " + why); }

    uint32_t ParseRgbAt(const std::string& text) const
    {
        try {
            return ParseRgb(text);
        } catch (const std::exception& e) {
            Fail(e.what());
        }
    }

    std::pair<std::string, std::string> KeyValue(const std::string& word) const
    {
        const auto eq = word.find('=');
        if (eq == std::string::npos || eq == 0) Fail("expected VAR=VALUE: \"" + word + "\"");
        return {word.substr(0, eq), word.substr(eq + 1)};
    }

    std::string Resolve(const std::string& file) const
    {
        return (std::filesystem::path(List_.Path).parent_path() / file).string();
    }

    void ApplyStyles(const std::string& names, TArtVariables& vars) const
    {
        for (const auto& name : SplitList(names, ',')) {
            const auto it = Styles_.find(name);
            if (it == Styles_.end()) Fail("unknown style \"" + name + "\"");
            for (const auto& [k, v] : it->second) vars[k] = v;
        }
    }

    // Settings shared by images and layers; false when the word is none of them.
    bool Common(TArtLayer& layer, const std::string& key, const std::string& value)
    {
        if (key == "size") {
            const auto [w, h] = ParsePair(value, 'x', Where_);
            layer.Width = static_cast<int>(w);
            layer.Height = static_cast<int>(h);
            if (layer.Width <= 0 || layer.Height <= 0 || layer.Width > 4096 || layer.Height > 4096)
                Fail("size out of range: \"" + value + "\"");
            layer.Vars["w"] = std::to_string(layer.Width);
            layer.Vars["h"] = std::to_string(layer.Height);
            return true;
        }
        if (key == "style") {
            ApplyStyles(value, layer.Vars);
            return true;
        }
        return false;
    }

    void ItemSetting(TArtItem& item, const std::string& word)
    {
        const auto [key, value] = KeyValue(word);
        if (Common(item.Base, key, value)) return;
        if (key == "frames") {
            item.Frames = ParseInt(value, Where_);
            if (item.Frames < 1 || item.Frames > 64) Fail("frames out of range");
        } else if (key == "trim") {
            item.Trim = ParseBool(value, Where_);
        } else if (key == "ground") {
            item.Ground = ParseBool(value, Where_);
        } else if (key == "pad") {
            item.Pad = ParseInt(value, Where_);
        } else if (key == "transparent") {
            item.Transparent = ParseBool(value, Where_);
        } else if (key == "edge") {
            item.Edge = ParseRgbAt(value);
        } else if (key == "origin") {
            item.Origin = ParsePair(value, ',', Where_);
        } else if (key == "centre") {
            item.Centre = ParsePair(value, ',', Where_);
        } else if (key == "key") {
            item.Key = value;
        } else if (key == "colours") {
            item.Colours = ParseInt(value, Where_);
            if (item.Colours != 0 && (item.Colours < 2 || item.Colours > 256)) Fail("colours out of range (0, or 2 to 256)");
        } else if (key == "at") {
            Fail("\"at\" places layers, not images");
        } else if (key[0] == '@') {
            item.FrameVars.emplace_back(key.substr(1), FrameValues(value, item.Frames));
        } else {
            item.Base.Vars[key] = value;
        }
    }

    void LayerSetting(TArtLayer& layer, const std::string& word)
    {
        const auto [key, value] = KeyValue(word);
        if (Common(layer, key, value)) return;
        if (key == "at") {
            const auto [x, y] = ParsePair(value, ',', Where_);
            layer.X = x;
            layer.Y = y;
        } else if (key == "pattern") {
            layer.Pattern = ParseInt(value, Where_);
            if (layer.Pattern < 0) Fail("pattern out of range");
        } else if (key[0] == '@') {
            Fail("per-frame variables belong to the image line");
        } else {
            layer.Vars[key] = value;
        }
    }

    // frames= must come before the @ variables on the line.
    std::vector<std::string> FrameValues(const std::string& value, int frames) const
    {
        std::vector<std::string> values;
        const auto dots = value.find("..");
        if (dots != std::string::npos) {
            const double a = ParseDouble(value.substr(0, dots), Where_);
            const double b = ParseDouble(value.substr(dots + 2), Where_);
            for (int i = 0; i < frames; ++i)
                values.push_back(FormatNumber(frames == 1 ? a : a + (b - a) * i / (frames - 1)));
        } else {
            values = SplitList(value, ',');
            if (values.size() == 1) values.assign(static_cast<size_t>(frames), values[0]);
        }
        return values;
    }

    TArtList& List_;
    std::map<std::string, TArtVariables> Styles_;
    std::string Where_;
};

} // namespace

uint32_t ParseRgb(const std::string& text)
{
    uint32_t rgb = 0;
    if (text.size() != 7 || text[0] != '#') throw std::runtime_error("expected #RRGGBB: \"" + text + "\"");
    const auto [end, ec] = std::from_chars(text.data() + 1, text.data() + 7, rgb, 16);
    if (ec != std::errc() || end != text.data() + 7) throw std::runtime_error("expected #RRGGBB: \"" + text + "\"");
    return rgb;
}

TArtList ParseArtList(const std::string& text, const std::string& listPath)
{
    TArtList list;
    list.Path = listPath;
    std::vector<TLine> lines;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) lines.push_back({number, line});
    size_t i = 0;
    const auto unrolled = Unroll(lines, i, listPath, false);
    TParser parser(list);
    for (const auto& l : unrolled) parser.Line(l);
    return list;
}

TArtList ReadArtList(const std::string& listPath)
{
    std::ifstream in(listPath, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open art list \"" + listPath + "\"");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseArtList(text.str(), listPath);
}
