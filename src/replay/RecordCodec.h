// SPDX-License-Identifier: GPL-3.0-or-later
// The compact encoding of replay records, before compression. Pointer moves
// dominate a game (a 1000 Hz mouse sends one a millisecond), so a move is
// coded as its difference from where the previous move's velocity would
// have taken the pointer: smooth motion gives residuals of 0 or 1, and a
// move with a short delay and small residuals is one byte. Other records are
// a tag byte and varints. The encoder and the decoder keep the same
// prediction state, so they must see the same records in the same order.
#pragma once

#include "ReplayBytes.h"
#include "ReplayRecord.h"

#include <cstdint>
#include <span>
#include <vector>

// Where the pointer is expected next; both sides update it alike.
struct TPointerPrediction {
    uint32_t X = 0;
    uint32_t Y = 0;
    uint32_t VelocityX = 0;
    uint32_t VelocityY = 0;

    void Moved(uint32_t x, uint32_t y);
    void Placed(uint32_t x, uint32_t y);
};

class TRecordEncoder {
public:
    void Encode(const TReplayRecord& record, std::vector<uint8_t>& bytes);

private:
    TPointerPrediction Pointer_;
};

class TRecordDecoder {
public:
    explicit TRecordDecoder(std::span<const uint8_t> bytes) : Reader_(bytes, "records") {}

    bool AtEnd() const { return Reader_.AtEnd(); }
    size_t Offset() const { return Reader_.Offset(); }
    // The next record; EReplayError when the bytes are not one.
    TReplayRecord Next();

private:
    TByteReader Reader_;
    TPointerPrediction Pointer_;
};
