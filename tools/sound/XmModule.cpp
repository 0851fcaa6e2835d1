// SPDX-License-Identifier: GPL-3.0-or-later
// The extended tracker module writer: version 1.04 layout, packed
// patterns, one 16-bit delta-coded sample per instrument.
#include "XmModule.h"

#include <algorithm>
#include <stdexcept>

namespace {

class TWriter {
public:
    std::vector<uint8_t> Bytes;

    void U8(uint8_t v) { Bytes.push_back(v); }
    void U16(uint16_t v)
    {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v)
    {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    // Fixed-width text padded with `pad`.
    void Text(const std::string& text, size_t width, char pad = '\0')
    {
        for (size_t i = 0; i < width; ++i) U8(static_cast<uint8_t>(i < text.size() ? text[i] : pad));
    }
    void Zeros(size_t count) { Bytes.insert(Bytes.end(), count, 0); }
    void Put32At(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i) Bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    }
};

void Require(bool condition, const char* what)
{
    if (!condition) throw std::invalid_argument(std::string("module: ") + what);
}

std::vector<uint8_t> PackPattern(const TXmPattern& pattern)
{
    std::vector<uint8_t> packed;
    bool any = false;
    for (const TXmCell& cell : pattern.Cells) {
        uint8_t flags = 0x80;
        if (cell.Note) flags |= 0x01;
        if (cell.Instrument) flags |= 0x02;
        if (cell.Volume) flags |= 0x04;
        if (cell.Effect) flags |= 0x08;
        if (cell.Param) flags |= 0x10;
        packed.push_back(flags);
        if (cell.Note) packed.push_back(cell.Note);
        if (cell.Instrument) packed.push_back(cell.Instrument);
        if (cell.Volume) packed.push_back(cell.Volume);
        if (cell.Effect) packed.push_back(cell.Effect);
        if (cell.Param) packed.push_back(cell.Param);
        any = any || !cell.Empty();
    }
    // An all-empty pattern is stored without data.
    if (!any) packed.clear();
    return packed;
}

} // namespace

std::vector<uint8_t> WriteXm(const TXmModule& module)
{
    Require(module.Channels >= 2 && module.Channels <= 32 && module.Channels % 2 == 0, "channel count");
    Require(!module.Order.empty() && module.Order.size() <= 256, "order length");
    Require(module.RestartPosition < module.Order.size(), "restart position");
    Require(!module.Patterns.empty() && module.Patterns.size() <= 256, "pattern count");
    Require(module.Instruments.size() <= 128, "instrument count");
    Require(module.Speed >= 1 && module.Speed <= 31 && module.Bpm >= 32 && module.Bpm <= 255, "speed or tempo");
    for (uint8_t position : module.Order) Require(position < module.Patterns.size(), "order refers to a missing pattern");

    TWriter w;
    w.Text("Extended Module: ", 17);
    w.Text(module.Name, 20, ' ');
    w.U8(0x1A);
    w.Text("Zarvenok composer", 20, ' ');
    w.U16(0x0104);
    w.U32(276);
    w.U16(static_cast<uint16_t>(module.Order.size()));
    w.U16(module.RestartPosition);
    w.U16(static_cast<uint16_t>(module.Channels));
    w.U16(static_cast<uint16_t>(module.Patterns.size()));
    w.U16(static_cast<uint16_t>(module.Instruments.size()));
    w.U16(1); // linear frequency table
    w.U16(static_cast<uint16_t>(module.Speed));
    w.U16(static_cast<uint16_t>(module.Bpm));
    for (size_t i = 0; i < 256; ++i) w.U8(i < module.Order.size() ? module.Order[i] : 0);

    for (const TXmPattern& pattern : module.Patterns) {
        Require(pattern.Rows >= 1 && pattern.Rows <= 256, "pattern rows");
        Require(pattern.Cells.size() == static_cast<size_t>(pattern.Rows * module.Channels), "pattern cells");
        const std::vector<uint8_t> packed = PackPattern(pattern);
        Require(packed.size() <= 0xFFFF, "pattern too large");
        w.U32(9);
        w.U8(0);
        w.U16(static_cast<uint16_t>(pattern.Rows));
        w.U16(static_cast<uint16_t>(packed.size()));
        w.Bytes.insert(w.Bytes.end(), packed.begin(), packed.end());
    }

    for (const TXmInstrument& instrument : module.Instruments) {
        const TXmSample& sample = instrument.Sample;
        const TXmEnvelope& envelope = instrument.VolumeEnvelope;
        Require(envelope.Points.size() <= 12, "envelope points");
        Require(!sample.Data.empty() && sample.Data.size() < 0x40000000, "sample length");
        Require(!sample.Looped || (sample.LoopLength > 0 && sample.LoopStart + sample.LoopLength <= sample.Data.size()),
                "sample loop");
        const size_t headerAt = w.Bytes.size();
        w.U32(0); // instrument header size, filled in below
        w.Text(instrument.Name, 22);
        w.U8(0);
        w.U16(1); // one sample
        w.U32(40);
        w.Zeros(96); // every note plays sample 0
        for (size_t i = 0; i < 12; ++i) {
            w.U16(i < envelope.Points.size() ? envelope.Points[i].Tick : 0);
            w.U16(i < envelope.Points.size() ? envelope.Points[i].Value : 0);
        }
        w.Zeros(48); // no panning envelope
        w.U8(static_cast<uint8_t>(envelope.Points.size()));
        w.U8(0);
        w.U8(envelope.SustainPoint);
        w.U8(0); // envelope loop start
        w.U8(0); // envelope loop end
        w.Zeros(3); // panning sustain and loop
        w.U8(static_cast<uint8_t>((envelope.Points.empty() ? 0 : 1) | (envelope.Sustain ? 2 : 0)));
        w.U8(0); // panning envelope off
        w.U8(0); // vibrato: sine
        w.U8(instrument.VibratoSweep);
        w.U8(instrument.VibratoDepth);
        w.U8(instrument.VibratoRate);
        w.U16(instrument.FadeOut);
        w.Zeros(22); // reserved
        w.Put32At(headerAt, static_cast<uint32_t>(w.Bytes.size() - headerAt));

        // Lengths and loop points count bytes for 16-bit samples.
        w.U32(static_cast<uint32_t>(sample.Data.size() * 2));
        w.U32(sample.Looped ? sample.LoopStart * 2 : 0);
        w.U32(sample.Looped ? sample.LoopLength * 2 : 0);
        w.U8(std::min<uint8_t>(sample.Volume, 64));
        w.U8(static_cast<uint8_t>(sample.FineTune));
        w.U8(static_cast<uint8_t>((sample.Looped ? 1 : 0) | 0x10));
        w.U8(sample.Panning);
        w.U8(static_cast<uint8_t>(sample.RelativeNote));
        w.U8(0);
        w.Text(instrument.Name, 22);

        int16_t previous = 0;
        for (int16_t value : sample.Data) {
            w.U16(static_cast<uint16_t>(static_cast<uint16_t>(value) - static_cast<uint16_t>(previous)));
            previous = value;
        }
    }
    return w.Bytes;
}
