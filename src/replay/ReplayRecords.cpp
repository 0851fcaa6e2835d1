// SPDX-License-Identifier: GPL-3.0-or-later
// The encoded records of one replay.
#include "ReplayRecords.h"

#include "ReplayError.h"

#include <stdexcept>
#include <string>

TReplayRecords TReplayRecords::FromBytes(std::vector<uint8_t> bytes, size_t expectedCount)
{
    TRecordDecoder decoder(bytes);
    size_t count = 0;
    bool ended = false;
    while (!decoder.AtEnd()) {
        if (ended) throw EReplayError("Replay records damaged at byte " + std::to_string(decoder.Offset()) + ": records after the end record");
        const size_t start = decoder.Offset();
        const TReplayRecord record = decoder.Next();
        ++count;
        if (record.Kind != TReplayRecordKind::End) continue;
        ended = true;
        const uint32_t checksum = Crc32(std::span(bytes).first(start));
        if (record.Checksum != checksum)
            throw EReplayError("Replay records damaged: their checksum does not match the end record");
    }
    if (!ended) throw EReplayError("Replay records damaged: there is no end record");
    if (count != expectedCount)
        throw EReplayError("Replay records damaged: the header counts " + std::to_string(expectedCount) + " records, the file holds " + std::to_string(count));
    TReplayRecords records;
    records.Bytes_ = std::move(bytes);
    records.Count_ = count;
    records.Finished_ = true;
    return records;
}

void TReplayRecords::Append(const TReplayRecord& record)
{
    if (Finished_) throw std::logic_error("record appended to a finished replay");
    if (record.Kind == TReplayRecordKind::End) throw std::logic_error("the end record is added by Finish");
    Encoder_.Encode(record, Bytes_);
    ++Count_;
}

void TReplayRecords::Finish(uint32_t delta)
{
    if (Finished_) throw std::logic_error("replay finished twice");
    Encoder_.Encode(TReplayRecord::End(delta, Crc32(Bytes_)), Bytes_);
    ++Count_;
    Finished_ = true;
}

std::vector<TReplayRecord> TReplayRecords::ToVector() const
{
    std::vector<TReplayRecord> records;
    records.reserve(Count_);
    for (const TReplayRecord& record : *this) records.push_back(record);
    return records;
}

TReplayRecords::TIterator::TIterator(std::span<const uint8_t> bytes) : Decoder_(bytes)
{
    if (!Decoder_.AtEnd()) Current_ = Decoder_.Next();
}

TReplayRecords::TIterator& TReplayRecords::TIterator::operator++()
{
    Offset_ = Decoder_.Offset();
    if (!Decoder_.AtEnd()) Current_ = Decoder_.Next();
    return *this;
}

TReplayRecords::TIterator TReplayRecords::end() const
{
    TIterator end;
    end.Offset_ = Bytes_.size();
    return end;
}
