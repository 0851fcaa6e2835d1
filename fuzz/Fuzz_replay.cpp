// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the replay reader: the header, the decompression and the record
// stream. What it accepts must walk, encode again and read back the same.
// The header's checksum keeps most inputs from the records, so the input is
// also taken as a bare record stream: what decodes must encode and decode
// to the same records.
#include "RecordCodec.h"
#include "ReplayError.h"
#include "ReplayFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

void WholeFile(std::span<const uint8_t> input)
{
    TReplay replay;
    try {
        replay = DecodeReplay(input);
    } catch (const EReplayError&) {
        return;
    }
    size_t ends = 0;
    for (const TReplayRecord& record : replay.Records) ends += record.Kind == TReplayRecordKind::End;
    if (ends != 1) std::abort();
    const TReplay again = DecodeReplay(EncodeReplay(replay));
    if (!(again.Header == replay.Header) || !(again.Records == replay.Records)) std::abort();
}

void BareRecords(std::span<const uint8_t> input)
{
    std::vector<TReplayRecord> records;
    TRecordDecoder decoder(input);
    try {
        while (!decoder.AtEnd()) records.push_back(decoder.Next());
    } catch (const EReplayError&) {
    }
    std::vector<uint8_t> bytes;
    TRecordEncoder encoder;
    for (const TReplayRecord& record : records) encoder.Encode(record, bytes);
    TRecordDecoder again(bytes);
    for (const TReplayRecord& record : records)
        if (!(again.Next() == record)) std::abort();
    if (!again.AtEnd()) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> input(data, size);
    WholeFile(input);
    BareRecords(input);
    return 0;
}
