// Fuzzes the replay reader: the header, the decompression and the record
// stream. What it accepts must walk, encode again and read back the same.
#include "ReplayError.h"
#include "ReplayFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TReplay replay;
    try {
        replay = DecodeReplay(std::span<const uint8_t>(data, size));
    } catch (const EReplayError&) {
        return 0;
    }
    size_t count = 0;
    for (const TReplayRecord& record : replay.Records) count += record.Kind == TReplayRecordKind::End;
    if (count != 1) std::abort();
    const TReplay again = DecodeReplay(EncodeReplay(replay));
    if (!(again.Header == replay.Header) || !(again.Records == replay.Records)) std::abort();
    return 0;
}
