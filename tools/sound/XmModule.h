// SPDX-License-Identifier: GPL-3.0-or-later
// A music module in the extended tracker format: its song, patterns and
// sampled instruments, and the writer of its file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint8_t XmKeyOff = 97;

struct TXmEnvelopePoint {
    uint16_t Tick = 0;
    uint16_t Value = 0; // 0..64
};

struct TXmEnvelope {
    std::vector<TXmEnvelopePoint> Points; // at most 12
    bool Sustain = false;
    uint8_t SustainPoint = 0;
};

struct TXmSample {
    std::vector<int16_t> Data;
    bool Looped = false;
    uint32_t LoopStart = 0; // in samples
    uint32_t LoopLength = 0;
    uint8_t Volume = 64;
    int8_t FineTune = 0; // 1/128 semitone
    uint8_t Panning = 128;
    int8_t RelativeNote = 0;
};

struct TXmInstrument {
    std::string Name;
    TXmSample Sample;
    TXmEnvelope VolumeEnvelope; // off when it has no points
    uint16_t FadeOut = 0;
    uint8_t VibratoSweep = 0;
    uint8_t VibratoDepth = 0;
    uint8_t VibratoRate = 0;
};

struct TXmCell {
    uint8_t Note = 0; // 1..96 (C-0 is 1), XmKeyOff, 0 for none
    uint8_t Instrument = 0; // 1-based, 0 for none
    uint8_t Volume = 0; // volume column byte (0x10 + volume to set one)
    uint8_t Effect = 0;
    uint8_t Param = 0;

    bool Empty() const { return Note == 0 && Instrument == 0 && Volume == 0 && Effect == 0 && Param == 0; }
};

struct TXmPattern {
    int Rows = 64;
    std::vector<TXmCell> Cells; // Rows x channel count, row by row
};

struct TXmModule {
    std::string Name;
    int Channels = 8;
    int Speed = 6; // ticks per row
    int Bpm = 125;
    uint16_t RestartPosition = 0;
    std::vector<uint8_t> Order;
    std::vector<TXmPattern> Patterns;
    std::vector<TXmInstrument> Instruments;
};

// Raises std::invalid_argument when the module does not fit the format.
std::vector<uint8_t> WriteXm(const TXmModule& module);
