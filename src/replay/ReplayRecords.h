// SPDX-License-Identifier: GPL-3.0-or-later
// The records of one replay, kept encoded (a few bits a pointer move once
// compressed, a byte or so before), so a long game stays small in memory
// while it is recorded and while it is replayed. A recording appends records
// and is sealed by Finish, which adds the end record with the checksum of
// everything before it; a read replay is decoded and checked whole before
// it is handed out, so walking it cannot fail.
#pragma once

#include "RecordCodec.h"
#include "ReplayRecord.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <vector>

class TReplayRecords {
public:
    TReplayRecords() = default;

    // Checks a decompressed record stream: every record well formed, the end
    // record last with the right checksum, `expectedCount` records in all.
    // EReplayError saying what is wrong otherwise.
    static TReplayRecords FromBytes(std::vector<uint8_t> bytes, size_t expectedCount);

    // Appends a record; an end record is refused (std::logic_error), as is
    // any record after Finish.
    void Append(const TReplayRecord& record);
    // Seals the recording with the end record, `delta` after the last one.
    void Finish(uint32_t delta);
    bool Finished() const { return Finished_; }

    // Records, the end record included.
    size_t Count() const { return Count_; }
    const std::vector<uint8_t>& Bytes() const { return Bytes_; }
    std::vector<TReplayRecord> ToVector() const;

    friend bool operator==(const TReplayRecords& a, const TReplayRecords& b) { return a.Bytes_ == b.Bytes_; }

    class TIterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = TReplayRecord;
        using difference_type = std::ptrdiff_t;
        using pointer = const TReplayRecord*;
        using reference = const TReplayRecord&;

        TIterator() = default;
        const TReplayRecord& operator*() const { return Current_; }
        const TReplayRecord* operator->() const { return &Current_; }
        TIterator& operator++();
        void operator++(int) { ++*this; }
        friend bool operator==(const TIterator& a, const TIterator& b) { return a.Offset_ == b.Offset_; }

    private:
        friend class TReplayRecords;
        explicit TIterator(std::span<const uint8_t> bytes);

        TRecordDecoder Decoder_{{}};
        TReplayRecord Current_;
        size_t Offset_ = 0;  // of the current record; the size at the end
    };
    TIterator begin() const { return TIterator(Bytes_); }
    TIterator end() const;

private:
    std::vector<uint8_t> Bytes_;
    size_t Count_ = 0;
    bool Finished_ = false;
    TRecordEncoder Encoder_;
};
