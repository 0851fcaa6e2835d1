// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a composition: instruments rendered by the synthesiser, drum
// kits, phrases of rows, patterns built from phrases, and the order list.
#include "Composition.h"

#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace {

struct TKitKey {
    int Instrument = 0; // 1-based
    int Note = 0; // 1..96
};

struct TPhraseCell {
    TXmCell Cell;
    bool Transposable = false;
};

struct TInstrumentBlock {
    TLine Declaration;
    TPatch Patch;
    int Root = 48; // C-4
    std::optional<double> LoopStart, LoopEnd;
    double Crossfade = 0.02;
    TXmInstrument Xm;
};

bool IsTopLevel(const std::string& keyword)
{
    static const char* names[] = {"module", "speed", "bpm", "channel", "instrument", "kit", "phrase", "pattern", "order"};
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return keyword == n; });
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The sample of one instrument: rendered, levelled, its loop closed.
TXmSample RenderInstrumentSample(const TInstrumentBlock& block)
{
    TRenderOptions options;
    options.RootFrequency = NoteFrequency(block.Root);
    TPatch patch = block.Patch;
    patch.Rate = InstrumentRate;
    if (block.LoopEnd) patch.Length = *block.LoopEnd;
    TSignal signal = RenderPatch(patch, options);
    double peak = 0;
    for (double s : signal) peak = std::max(peak, std::abs(s));
    if (peak <= 0) block.Declaration.Fail("instrument '" + block.Declaration.Arg(0) + "' is silent");
    // No offset: a sample played for seconds at any pitch would carry it
    // into the song, and a volume envelope over it would thump.
    TStateVariableFilter rumble(TFilterKind::HighPass, InstrumentRate);
    for (double& s : signal) s = rumble.Process(s, 20.0, 0.6);
    peak = 0;
    for (double s : signal) peak = std::max(peak, std::abs(s));
    for (double& s : signal) s *= 0.97 / peak;

    TXmSample sample;
    const size_t fadeIn = std::min<size_t>(signal.size(), 16);
    for (size_t i = 0; i < fadeIn; ++i) signal[i] *= static_cast<double>(i) / static_cast<double>(fadeIn);
    if (block.LoopStart) {
        const size_t start = static_cast<size_t>(*block.LoopStart * InstrumentRate);
        // A loop of whole periods of the root note, so that the crossfade
        // joins waves that are in step instead of cancelling.
        const double period = InstrumentRate / NoteFrequency(block.Root);
        const double periods = std::max(1.0, std::floor(static_cast<double>(signal.size() - std::min(start, signal.size())) / period));
        const size_t end = std::min(signal.size(), start + static_cast<size_t>(std::lround(periods * period)));
        signal.resize(end);
        const size_t overlap = static_cast<size_t>(block.Crossfade * InstrumentRate);
        if (start < overlap || start + 2 * overlap >= end) block.Declaration.Fail("the loop is too short for its crossfade");
        // The loop's last stretch turns into what came just before its start,
        // so the jump back lands where the signal was heading.
        const size_t length = end - start;
        for (size_t i = 0; i < overlap; ++i) {
            const double u = (static_cast<double>(i) + 0.5) / static_cast<double>(overlap);
            const size_t k = end - overlap + i;
            signal[k] = signal[k] * std::cos(0.5 * Pi * u) + signal[k - length] * std::sin(0.5 * Pi * u);
        }
        // What offset is left in the loop (the filter settles slowly on a
        // held tone) is eased out over the part before it.
        double loopMean = 0;
        for (size_t i = start; i < end; ++i) loopMean += signal[i];
        loopMean /= static_cast<double>(length);
        for (size_t i = 0; i < end; ++i) {
            const double u = i < start ? static_cast<double>(i) / static_cast<double>(start) : 1.0;
            signal[i] -= loopMean * u * u * (3 - 2 * u);
        }
        sample.Looped = true;
        sample.LoopStart = static_cast<uint32_t>(start);
        sample.LoopLength = static_cast<uint32_t>(length);
    } else {
        const size_t fadeOut = std::min<size_t>(signal.size(), static_cast<size_t>(InstrumentRate * 0.004));
        for (size_t i = 0; i < fadeOut; ++i) signal[signal.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fadeOut);
    }
    for (double s : signal) sample.Data.push_back(static_cast<int16_t>(std::lround(std::clamp(s, -1.0, 1.0) * 32767.0)));
    // InstrumentRate is two octaves above the rate at which C-4 plays unshifted.
    sample.RelativeNote = static_cast<int8_t>(72 - block.Root);
    return sample;
}

// The song's volume (effect G) from a pattern on, written on its first row
// in the first channel whose effect column is free there, an empty cell
// preferred so that a note keeps its column for panning.
void SetSongVolume(std::vector<std::vector<TXmCell>>& channels, int volume, const TLine& declaration)
{
    TXmCell* slot = nullptr;
    for (auto& rows : channels) {
        TXmCell& first = rows.front();
        if (first.Effect != 0 || first.Param != 0) continue;
        if (first.Empty()) {
            slot = &first;
            break;
        }
        if (!slot) slot = &first;
    }
    if (!slot) declaration.Fail("no channel has a free effect on the first row for the pattern's volume");
    slot->Effect = 0x10;
    slot->Param = static_cast<uint8_t>(volume);
}

class TCompositionReader {
public:
    TXmModule Read(const std::string& text, const std::string& file);

private:
    enum class TBlock { None, Instrument, Phrase, Pattern };

    void TopLevel(const TLine& line);
    void InstrumentLine(const TLine& line);
    void PhraseLine(const TLine& line);
    void PatternLine(const TLine& line);
    void FinishInstrument();
    int InstrumentIndex(const TLine& line, const std::string& name) const;
    TPhraseCell ParseCell(const TLine& line, const std::string& token) const;
    void PanChannels(std::vector<std::vector<TXmCell>>& channels) const;
    void AddTwins();
    int TwinInstrument(int instrument, int cents);

    TXmModule module_;
    std::vector<std::string> channels_;
    std::vector<std::optional<int>> channelPans_; // by channel; none keeps the instruments' own
    struct TTwin {
        int Pan = 128;
        int Cents = 0;
    };
    std::vector<std::optional<TTwin>> channelTwins_; // by channel: a detuned double elsewhere in the field
    std::map<std::pair<int, int>, int> twinInstruments_; // (instrument, cents) -> 1-based index
    std::vector<std::optional<int>> patternVolumes_; // the song's volume from each pattern on
    std::map<std::string, int> instruments_; // name -> 1-based index
    std::map<std::string, std::map<std::string, TKitKey>> kits_;
    std::map<std::string, std::vector<TPhraseCell>> phrases_;
    std::map<std::string, int> patterns_; // name -> index
    std::vector<std::vector<std::vector<TXmCell>>> patternChannels_; // pattern, channel, rows
    std::vector<TLine> patternDeclarations_;

    TBlock block_ = TBlock::None;
    std::optional<TInstrumentBlock> instrument_;
    std::optional<TPatchBuilder> builder_;
    std::string phraseName_;
    const std::map<std::string, TKitKey>* phraseKit_ = nullptr;
    int phraseInstrument_ = 0;
    int phraseVolume_ = -1;
    bool sawOrder_ = false;
};

int TCompositionReader::InstrumentIndex(const TLine& line, const std::string& name) const
{
    const auto found = instruments_.find(name);
    if (found == instruments_.end()) line.Fail("no instrument '" + name + "' (instruments come before their use)");
    return found->second;
}

void TCompositionReader::FinishInstrument()
{
    if (!instrument_) return;
    if (instrument_->Patch.Layers.empty()) instrument_->Declaration.Fail("the instrument has no layer");
    instrument_->Xm.Name = instrument_->Declaration.Arg(0);
    const TXmSample shapeSettings = instrument_->Xm.Sample;
    instrument_->Xm.Sample = RenderInstrumentSample(*instrument_);
    instrument_->Xm.Sample.Volume = shapeSettings.Volume;
    instrument_->Xm.Sample.Panning = shapeSettings.Panning;
    module_.Instruments.push_back(instrument_->Xm);
    instruments_[instrument_->Xm.Name] = static_cast<int>(module_.Instruments.size());
    builder_.reset();
    instrument_.reset();
}

void TCompositionReader::TopLevel(const TLine& line)
{
    FinishInstrument();
    block_ = TBlock::None;
    const std::string& k = line.Keyword();
    if (k == "module") {
        line.ExpectArgs(1, 1);
        module_.Name = line.Arg(0);
    } else if (k == "speed") {
        line.ExpectArgs(1, 1);
        module_.Speed = line.Integer(0);
        if (module_.Speed < 1 || module_.Speed > 31) line.Fail("the speed is 1 to 31 ticks a row");
    } else if (k == "bpm") {
        line.ExpectArgs(1, 1);
        module_.Bpm = line.Integer(0);
        if (module_.Bpm < 32 || module_.Bpm > 255) line.Fail("the tempo is 32 to 255");
    } else if (k == "channel") {
        // "channel NAME [pan 0-255] [twin PAN CENTS]"
        const auto usage = [&] { line.Fail("'channel' takes NAME [pan 0-255] [twin PAN CENTS]"); };
        if (line.ArgCount() < 1) usage();
        if (!patterns_.empty()) line.Fail("channels come before the patterns");
        if (std::find(channels_.begin(), channels_.end(), line.Arg(0)) != channels_.end()) line.Fail("channel declared twice");
        std::optional<int> pan;
        std::optional<TTwin> twin;
        for (size_t i = 1; i < line.ArgCount(); ++i) {
            if (line.Arg(i) == "pan" && i + 1 < line.ArgCount() && !pan) {
                pan = std::clamp(line.Integer(i + 1), 0, 255);
                ++i;
            } else if (line.Arg(i) == "twin" && i + 2 < line.ArgCount() && !twin) {
                twin = TTwin{std::clamp(line.Integer(i + 1), 0, 255), std::clamp(line.Integer(i + 2), -50, 50)};
                i += 2;
            } else {
                usage();
            }
        }
        channels_.push_back(line.Arg(0));
        channelPans_.push_back(pan);
        channelTwins_.push_back(twin);
    } else if (k == "instrument") {
        line.ExpectArgs(1, 1);
        if (instruments_.count(line.Arg(0)) != 0) line.Fail("instrument declared twice");
        instrument_.emplace();
        instrument_->Declaration = line;
        instrument_->Patch.Seed = HashText(line.Arg(0));
        instrument_->Patch.Length = 1.0;
        builder_.emplace(instrument_->Patch);
        block_ = TBlock::Instrument;
    } else if (k == "kit") {
        // "kit NAME key=INSTRUMENT[:NOTE] ..."
        if (line.ArgCount() < 2) line.Fail("'kit' needs a name and keys");
        auto& kit = kits_[line.Arg(0)];
        for (size_t i = 1; i < line.ArgCount(); ++i) {
            const std::string& entry = line.Arg(i);
            const size_t equals = entry.find('=');
            if (equals == 0 || equals == std::string::npos) line.Fail("'" + entry + "' is not KEY=INSTRUMENT[:NOTE]");
            std::string instrument = entry.substr(equals + 1);
            int note = 48;
            const size_t colon = instrument.find(':');
            if (colon != std::string::npos) {
                note = ParseNoteName(instrument.substr(colon + 1));
                if (note < 0) line.Fail("'" + entry + "' has no note after ':'");
                instrument.resize(colon);
            }
            kit[entry.substr(0, equals)] = {InstrumentIndex(line, instrument), note + 1};
        }
    } else if (k == "phrase") {
        // "phrase NAME inst INSTRUMENT|KIT [vol N]", rows on the lines below
        if ((line.ArgCount() != 3 && line.ArgCount() != 5) || line.Arg(1) != "inst") line.Fail("'phrase' takes NAME inst INSTRUMENT [vol N]");
        phraseName_ = line.Arg(0);
        if (phrases_.count(phraseName_) != 0) line.Fail("phrase declared twice");
        phrases_[phraseName_];
        const auto kit = kits_.find(line.Arg(2));
        phraseKit_ = kit == kits_.end() ? nullptr : &kit->second;
        phraseInstrument_ = phraseKit_ ? 0 : InstrumentIndex(line, line.Arg(2));
        phraseVolume_ = -1;
        if (line.ArgCount() == 5) {
            if (line.Arg(3) != "vol") line.Fail("expected 'vol'");
            phraseVolume_ = std::clamp(line.Integer(4), 0, 64);
        }
        block_ = TBlock::Phrase;
    } else if (k == "pattern") {
        if ((line.ArgCount() != 3 && line.ArgCount() != 5) || line.Arg(1) != "rows" || (line.ArgCount() == 5 && line.Arg(3) != "volume"))
            line.Fail("'pattern' takes NAME rows N [volume 0-64]");
        if (channels_.empty()) line.Fail("declare the channels before the patterns");
        if (patterns_.count(line.Arg(0)) != 0) line.Fail("pattern declared twice");
        const int rows = line.Integer(2);
        if (rows < 1 || rows > 256) line.Fail("a pattern has 1 to 256 rows");
        patterns_[line.Arg(0)] = static_cast<int>(patternChannels_.size());
        patternChannels_.push_back(std::vector<std::vector<TXmCell>>(channels_.size(), std::vector<TXmCell>(static_cast<size_t>(rows))));
        patternDeclarations_.push_back(line);
        patternVolumes_.push_back(line.ArgCount() == 5 ? std::optional<int>(std::clamp(line.Integer(4), 0, 64)) : std::nullopt);
        block_ = TBlock::Pattern;
    } else if (k == "order") {
        if (line.ArgCount() < 1) line.Fail("'order' needs patterns");
        for (size_t i = 0; i < line.ArgCount(); ++i) {
            const auto found = patterns_.find(line.Arg(i));
            if (found == patterns_.end()) line.Fail("no pattern '" + line.Arg(i) + "'");
            module_.Order.push_back(static_cast<uint8_t>(found->second));
        }
        if (module_.Order.size() > 256) line.Fail("the order list holds at most 256 positions");
        sawOrder_ = true;
    }
}

void TCompositionReader::InstrumentLine(const TLine& line)
{
    if (builder_->Take(line)) return;
    TInstrumentBlock& block = *instrument_;
    const std::string& k = line.Keyword();
    if (k == "root") {
        line.ExpectArgs(1, 1);
        block.Root = ParseNoteName(line.Arg(0));
        if (block.Root < 0) line.Fail("'" + line.Arg(0) + "' is not a note");
    } else if (k == "length") {
        line.ExpectArgs(1, 1);
        block.Patch.Length = line.Value(0);
        if (block.Patch.Length <= 0 || block.Patch.Length > 10) line.Fail("the length is above 0 and at most 10 seconds");
    } else if (k == "loop") {
        // "loop START END [CROSSFADE]" in seconds
        line.ExpectArgs(2, 3);
        block.LoopStart = line.Value(0);
        block.LoopEnd = line.Value(1);
        block.Crossfade = line.ValueOr(2, 0.02);
        if (*block.LoopEnd <= *block.LoopStart || *block.LoopEnd > 10) line.Fail("the loop's end must follow its start");
    } else if (k == "volume") {
        line.ExpectArgs(1, 1);
        block.Xm.Sample.Volume = static_cast<uint8_t>(std::clamp(line.Integer(0), 0, 64));
    } else if (k == "pan") {
        line.ExpectArgs(1, 1);
        block.Xm.Sample.Panning = static_cast<uint8_t>(std::clamp(line.Integer(0), 0, 255));
    } else if (k == "envelope") {
        // "envelope TICK:VALUE ... [sustain INDEX]"
        TXmEnvelope envelope;
        for (size_t i = 0; i < line.ArgCount(); ++i) {
            if (line.Arg(i) == "sustain") {
                envelope.Sustain = true;
                envelope.SustainPoint = static_cast<uint8_t>(line.Integer(i + 1));
                ++i;
                continue;
            }
            const std::string& word = line.Arg(i);
            const size_t colon = word.find(':');
            double tick = 0, value = 0;
            if (colon == std::string::npos || !ParseValue(word.substr(0, colon), tick) || !ParseValue(word.substr(colon + 1), value))
                line.Fail("'" + word + "' is not TICK:VALUE");
            if (!envelope.Points.empty() && tick <= envelope.Points.back().Tick) line.Fail("envelope ticks must rise");
            envelope.Points.push_back({static_cast<uint16_t>(std::clamp(tick, 0.0, 65535.0)), static_cast<uint16_t>(std::clamp(value, 0.0, 64.0))});
        }
        if (envelope.Points.size() < 2 || envelope.Points.size() > 12) line.Fail("an envelope has 2 to 12 points");
        if (envelope.Sustain && envelope.SustainPoint >= envelope.Points.size()) line.Fail("the sustain point is not a point of the envelope");
        block.Xm.VolumeEnvelope = envelope;
    } else if (k == "fadeout") {
        line.ExpectArgs(1, 1);
        block.Xm.FadeOut = static_cast<uint16_t>(std::clamp(line.Integer(0), 0, 4095));
    } else if (k == "autovibrato") {
        // "autovibrato DEPTH RATE [SWEEP]": the player's own vibrato, SWEEP ticks to reach full depth.
        line.ExpectArgs(2, 3);
        block.Xm.VibratoDepth = static_cast<uint8_t>(std::clamp(line.Integer(0), 0, 15));
        block.Xm.VibratoRate = static_cast<uint8_t>(std::clamp(line.Integer(1), 0, 63));
        block.Xm.VibratoSweep = static_cast<uint8_t>(std::clamp(line.ArgCount() > 2 ? line.Integer(2) : 0, 0, 255));
    } else {
        line.Fail("unknown instrument property '" + k + "' (layers start with 'layer')");
    }
}

// One row: "." (nothing), "^" (note off), a note "C#4", "x" (the
// instrument's root) or a kit key; then "vNN" (volume 0-64) and "+EPP"
// (effect E with parameter PP, in hex), each optional.
TPhraseCell TCompositionReader::ParseCell(const TLine& line, const std::string& token) const
{
    TPhraseCell result;
    TXmCell& cell = result.Cell;
    size_t end = token.size();
    const size_t plus = token.find('+');
    if (plus != std::string::npos) {
        if (plus + 4 != token.size()) line.Fail("'" + token + "': an effect is + and three hex digits");
        const int e = HexDigit(token[plus + 1]), h = HexDigit(token[plus + 2]), l = HexDigit(token[plus + 3]);
        if (e < 0 || h < 0 || l < 0) line.Fail("'" + token + "': an effect is + and three hex digits");
        cell.Effect = static_cast<uint8_t>(e);
        cell.Param = static_cast<uint8_t>(h * 16 + l);
        end = plus;
    }
    std::string core = token.substr(0, end);
    const size_t v = core.find('v', core.size() >= 3 && ParseNoteName(core.substr(0, 3)) >= 0 ? 3 : 1);
    int volume = phraseVolume_;
    if (v != std::string::npos) {
        double value = 0;
        if (!ParseValue(core.substr(v + 1), value) || value < 0 || value > 64 || value != std::floor(value))
            line.Fail("'" + token + "': the volume is v0 to v64");
        volume = static_cast<int>(value);
        core.resize(v);
    }
    if (core == ".") {
        if (v != std::string::npos) cell.Volume = static_cast<uint8_t>(0x10 + volume);
        return result;
    }
    if (core == "^") {
        cell.Note = XmKeyOff;
        return result;
    }
    if (phraseKit_) {
        const auto key = phraseKit_->find(core);
        if (key == phraseKit_->end()) line.Fail("'" + core + "' is not a key of the phrase's kit");
        cell.Note = static_cast<uint8_t>(key->second.Note);
        cell.Instrument = static_cast<uint8_t>(key->second.Instrument);
    } else {
        int note = core == "x" ? -2 : ParseNoteName(core);
        if (note == -1) line.Fail("'" + token + "' is not a row");
        if (note == -2) note = 48;
        cell.Note = static_cast<uint8_t>(note + 1);
        cell.Instrument = static_cast<uint8_t>(phraseInstrument_);
        result.Transposable = core != "x";
    }
    if (volume >= 0) cell.Volume = static_cast<uint8_t>(0x10 + volume);
    return result;
}

void TCompositionReader::PhraseLine(const TLine& line)
{
    auto& cells = phrases_[phraseName_];
    for (const std::string& token : line.Words) cells.push_back(ParseCell(line, token));
}

// "CHANNEL: ITEM ..." where an item is a phrase with an optional
// transposition and repeat ("bass@-5*2") or "_N", N empty rows.
void TCompositionReader::PatternLine(const TLine& line)
{
    std::string channel = line.Keyword();
    if (channel.size() < 2 || channel.back() != ':') line.Fail("expected CHANNEL: followed by phrases");
    channel.pop_back();
    const auto found = std::find(channels_.begin(), channels_.end(), channel);
    if (found == channels_.end()) line.Fail("no channel '" + channel + "'");
    std::vector<TXmCell>& rows = patternChannels_.back()[static_cast<size_t>(found - channels_.begin())];
    std::vector<TXmCell> cells;
    for (size_t i = 0; i < line.ArgCount(); ++i) {
        std::string item = line.Arg(i);
        if (item[0] == '_') {
            double count = 0;
            if (!ParseValue(item.substr(1), count) || count < 1 || count > 256) line.Fail("'" + item + "' is not _ROWS");
            cells.insert(cells.end(), static_cast<size_t>(count), TXmCell{});
            continue;
        }
        int repeat = 1, transpose = 0;
        const size_t star = item.find('*');
        if (star != std::string::npos) {
            double value = 0;
            if (!ParseValue(item.substr(star + 1), value) || value < 1 || value > 64) line.Fail("'" + item + "': bad repeat");
            repeat = static_cast<int>(value);
            item.resize(star);
        }
        const size_t at = item.find('@');
        if (at != std::string::npos) {
            double value = 0;
            if (!ParseValue(item.substr(at + 1), value) || std::abs(value) > 48) line.Fail("'" + item + "': bad transposition");
            transpose = static_cast<int>(value);
            item.resize(at);
        }
        const auto phrase = phrases_.find(item);
        if (phrase == phrases_.end()) line.Fail("no phrase '" + item + "'");
        for (int r = 0; r < repeat; ++r)
            for (const TPhraseCell& source : phrase->second) {
                TXmCell cell = source.Cell;
                if (source.Transposable) {
                    const int note = cell.Note + transpose;
                    if (note < 1 || note > 96) line.Fail("'" + line.Arg(i) + "' transposes a note out of range");
                    cell.Note = static_cast<uint8_t>(note);
                }
                cells.push_back(cell);
            }
    }
    if (cells.size() != rows.size())
        line.Fail("channel '" + channel + "' fills " + std::to_string(cells.size()) + " rows of " + std::to_string(rows.size()));
    rows = cells;
}

TXmModule TCompositionReader::Read(const std::string& text, const std::string& file)
{
    for (const TLine& line : SplitLines(text, file)) {
        if (IsTopLevel(line.Keyword())) {
            TopLevel(line);
            continue;
        }
        switch (block_) {
        case TBlock::Instrument: InstrumentLine(line); break;
        case TBlock::Phrase: PhraseLine(line); break;
        case TBlock::Pattern: PatternLine(line); break;
        case TBlock::None: line.Fail("unknown line '" + line.Keyword() + "'");
        }
    }
    FinishInstrument();
    if (!sawOrder_) throw TRecipeError(file + ": no order list");
    AddTwins();
    module_.Channels = static_cast<int>(channels_.size() + channels_.size() % 2);
    for (size_t p = 0; p < patternChannels_.size(); ++p) {
        auto& channels = patternChannels_[p];
        if (patternVolumes_[p]) SetSongVolume(channels, *patternVolumes_[p], patternDeclarations_[p]);
        PanChannels(channels);
        TXmPattern pattern;
        pattern.Rows = static_cast<int>(channels.front().size());
        pattern.Cells.resize(static_cast<size_t>(pattern.Rows * module_.Channels));
        for (size_t c = 0; c < channels.size(); ++c)
            for (size_t r = 0; r < channels[c].size(); ++r) pattern.Cells[r * static_cast<size_t>(module_.Channels) + c] = channels[c][r];
        module_.Patterns.push_back(std::move(pattern));
    }
    return module_;
}

// A twin plays its channel's every row, on a channel of its own placed
// elsewhere in the stereo field, with instruments detuned by a few cents:
// the two drift in and out of phase, so the sides differ as a choir's or a
// doubled guitar's do, and a held note beats gently.
void TCompositionReader::AddTwins()
{
    const size_t declared = channels_.size();
    for (size_t c = 0; c < declared; ++c) {
        if (!channelTwins_[c]) continue;
        const TTwin twin = *channelTwins_[c];
        channels_.push_back(channels_[c] + "~");
        channelPans_.push_back(twin.Pan);
        for (auto& pattern : patternChannels_) {
            std::vector<TXmCell> rows = pattern[c];
            for (TXmCell& cell : rows)
                if (cell.Instrument != 0) cell.Instrument = static_cast<uint8_t>(TwinInstrument(cell.Instrument, twin.Cents));
            pattern.push_back(std::move(rows));
        }
    }
    if (channels_.size() > 32) throw TRecipeError("more than 32 channels with the twins");
}

int TCompositionReader::TwinInstrument(int instrument, int cents)
{
    const auto key = std::make_pair(instrument, cents);
    const auto found = twinInstruments_.find(key);
    if (found != twinInstruments_.end()) return found->second;
    TXmInstrument twin = module_.Instruments[static_cast<size_t>(instrument - 1)];
    twin.Name += "~";
    twin.Sample.FineTune = static_cast<int8_t>(std::clamp(twin.Sample.FineTune + cents * 128 / 100, -128, 127));
    module_.Instruments.push_back(twin);
    if (module_.Instruments.size() > 128) throw TRecipeError("more than 128 instruments with the twins");
    return twinInstruments_[key] = static_cast<int>(module_.Instruments.size());
}

// A note with an instrument takes the sample's panning, so a channel's
// place in the stereo field is set again with every such note: in the
// effect column, or the volume column's coarser panning when the effect
// column is taken. A note that has both columns in use keeps the sample's.
void TCompositionReader::PanChannels(std::vector<std::vector<TXmCell>>& channels) const
{
    for (size_t c = 0; c < channels.size(); ++c) {
        if (!channelPans_[c]) continue;
        const int pan = *channelPans_[c];
        for (TXmCell& cell : channels[c]) {
            if (cell.Note == 0 || cell.Note == XmKeyOff || cell.Instrument == 0) continue;
            if (cell.Effect == 0 && cell.Param == 0) {
                cell.Effect = 0x8;
                cell.Param = static_cast<uint8_t>(pan);
            } else if (cell.Volume == 0) {
                cell.Volume = static_cast<uint8_t>(0xC0 | (pan >> 4));
            }
        }
    }
}

} // namespace

TXmModule ParseComposition(const std::string& text, const std::string& file)
{
    return TCompositionReader().Read(text, file);
}
