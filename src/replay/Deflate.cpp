// SPDX-License-Identifier: GPL-3.0-or-later
// zlib compression of the replay's record stream.
#include "Deflate.h"

#include "ReplayError.h"

#include <stdexcept>
#include <string>
#include <zlib.h>

std::vector<uint8_t> Deflate(std::span<const uint8_t> bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> compressed(size);
    if (compress2(compressed.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::bad_alloc();
    compressed.resize(size);
    return compressed;
}

std::vector<uint8_t> Inflate(std::span<const uint8_t> compressed, size_t expectedSize)
{
    // One byte of room beyond the expected size shows a stream that is longer.
    std::vector<uint8_t> bytes(expectedSize + 1);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) throw std::bad_alloc();
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = bytes.data();
    stream.avail_out = static_cast<uInt>(bytes.size());
    const int status = inflate(&stream, Z_FINISH);
    const std::string message = stream.msg ? stream.msg : "";
    const size_t produced = stream.total_out;
    const size_t unused = stream.avail_in;
    inflateEnd(&stream);

    const std::string prefix = "Replay records damaged: ";
    if (status == Z_STREAM_END) {
        if (produced != expectedSize)
            throw EReplayError(prefix + "they decompress to " + std::to_string(produced) + " bytes, the header says " + std::to_string(expectedSize));
        if (unused != 0) throw EReplayError(prefix + std::to_string(unused) + " bytes follow the compressed stream");
        bytes.resize(expectedSize);
        return bytes;
    }
    if (status == Z_DATA_ERROR || status == Z_NEED_DICT)
        throw EReplayError(prefix + "they do not decompress (" + (message.empty() ? "bad data" : message) + ")");
    if (produced > expectedSize)
        throw EReplayError(prefix + "they decompress to more than the " + std::to_string(expectedSize) + " bytes the header says");
    throw EReplayError(prefix + "the compressed stream ends early");
}
