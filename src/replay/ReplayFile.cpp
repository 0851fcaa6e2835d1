// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and reading ".zrp" files.
#include "ReplayFile.h"

#include "Deflate.h"
#include "ReplayBytes.h"
#include "ReplayError.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Like PNG's: a high byte, and line endings that a text transfer would mangle.
constexpr std::array<uint8_t, 8> kSignature{0x89, 'Z', 'R', 'P', 0x0D, 0x0A, 0x1A, 0x0A};
// The longest header there can be, with both texts at their limits.
constexpr size_t kMaxHeaderSize = 8 + 2 + 1 + MaxGameVersionLength + 64 + 4 + 3 + 8 + 8 + 1 + MaxPlayerNameLength + 16 + 12 + 4;

struct TLayout {
    TReplayHeader Header;
    uint32_t RecordCount = 0;
    uint32_t RecordBytes = 0;
    uint32_t CompressedBytes = 0;
    size_t HeaderSize = 0;
};

// The header from the start of a file of `fileSize` bytes, checked against
// that size; `bytes` may hold only the start.
void CheckFileSize(uint64_t fileSize)
{
    if (fileSize == 0) throw EReplayError("Replay file is empty");
    if (fileSize > MaxReplayFileSize)
        throw EReplayError("Replay file too large: " + std::to_string(fileSize) + " bytes, at most " + std::to_string(MaxReplayFileSize));
}

TLayout DecodeLayout(std::span<const uint8_t> bytes, uint64_t fileSize)
{
    CheckFileSize(fileSize);
    const size_t signatureBytes = std::min(bytes.size(), kSignature.size());
    if (!std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(signatureBytes), kSignature.begin()))
        throw EReplayError("Not a replay file: it does not start with the replay signature");

    TByteReader in(bytes, "header");
    in.Raw(kSignature.size());
    const uint16_t version = in.U16();
    if (version != ReplayFormatVersion)
        throw EReplayError("Replay format version " + std::to_string(version) + " is not supported: this game reads version "
                           + std::to_string(ReplayFormatVersion));
    TLayout layout;
    layout.Header = ReadHeaderFields(in);
    layout.RecordCount = in.U32();
    layout.RecordBytes = in.U32();
    layout.CompressedBytes = in.U32();
    const size_t checked = in.Offset();
    if (in.U32() != Crc32(bytes.first(checked))) throw EReplayError("Replay header damaged: its checksum does not match");
    layout.HeaderSize = in.Offset();

    const uint64_t present = fileSize - layout.HeaderSize;
    if (present < layout.CompressedBytes)
        throw EReplayError("Replay file truncated: " + std::to_string(present) + " of " + std::to_string(layout.CompressedBytes)
                           + " bytes of records present");
    if (present > layout.CompressedBytes)
        throw EReplayError("Replay file damaged: " + std::to_string(present - layout.CompressedBytes) + " bytes follow the records");
    if (layout.RecordBytes > MaxReplayRecordBytes)
        throw EReplayError("Replay records too large: " + std::to_string(layout.RecordBytes) + " bytes, at most "
                           + std::to_string(MaxReplayRecordBytes));
    // Every record takes at least a byte, and deflate shrinks by a bounded ratio.
    if (layout.RecordCount > layout.RecordBytes || layout.RecordBytes > MaxInflatedSize(layout.CompressedBytes))
        throw EReplayError("Replay header damaged: " + std::to_string(layout.RecordCount) + " records in " + std::to_string(layout.RecordBytes)
                           + " bytes cannot come from " + std::to_string(layout.CompressedBytes) + " compressed bytes");
    return layout;
}

std::string SystemError(const std::string& action, const fs::path& file, int error)
{
    return action + " \"" + file.string() + "\": " + std::generic_category().message(error);
}

std::vector<uint8_t> ReadStart(const fs::path& file, uint64_t count)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw EReplayError(SystemError("Cannot read", file, errno));
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

uint64_t FileSize(const fs::path& file)
{
    std::error_code error;
    const uint64_t size = fs::file_size(file, error);
    if (error) throw EReplayError("Cannot read \"" + file.string() + "\": " + error.message());
    return size;
}

} // namespace

std::vector<uint8_t> EncodeReplay(const TReplay& replay)
{
    if (!replay.Records.Finished()) throw std::logic_error("a replay is written once its records are finished");
    const std::vector<uint8_t>& records = replay.Records.Bytes();
    if (records.size() > MaxReplayRecordBytes || replay.Records.Count() > UINT32_MAX)
        throw EReplayError("Replay not written: its records are larger than " + std::to_string(MaxReplayRecordBytes) + " bytes");
    const std::vector<uint8_t> compressed = Deflate(records);

    std::vector<uint8_t> bytes;
    TByteWriter out(bytes);
    out.Raw(kSignature);
    out.U16(ReplayFormatVersion);
    WriteHeaderFields(out, replay.Header);
    out.U32(static_cast<uint32_t>(replay.Records.Count()));
    out.U32(static_cast<uint32_t>(records.size()));
    out.U32(static_cast<uint32_t>(compressed.size()));
    out.U32(Crc32(bytes));
    out.Raw(compressed);
    if (bytes.size() > MaxReplayFileSize)
        throw EReplayError("Replay not written: it would be larger than " + std::to_string(MaxReplayFileSize) + " bytes");
    return bytes;
}

TReplay DecodeReplay(std::span<const uint8_t> bytes)
{
    const TLayout layout = DecodeLayout(bytes, bytes.size());
    TReplay replay;
    replay.Header = layout.Header;
    replay.Records = TReplayRecords::FromBytes(Inflate(bytes.subspan(layout.HeaderSize), layout.RecordBytes), layout.RecordCount);
    return replay;
}

TReplay ReadReplayFile(const fs::path& file)
{
    const uint64_t size = FileSize(file);
    // Refused before reading, so a huge file costs nothing.
    CheckFileSize(size);
    const std::vector<uint8_t> bytes = ReadStart(file, size);
    if (bytes.size() != size) throw EReplayError("Cannot read \"" + file.string() + "\": it changed while being read");
    return DecodeReplay(bytes);
}

TReplayHeader ReadReplayHeader(const fs::path& file)
{
    const uint64_t size = FileSize(file);
    return DecodeLayout(ReadStart(file, std::min<uint64_t>(size, kMaxHeaderSize)), size).Header;
}

TReplayHeader ReadReplayHeader(std::span<const uint8_t> bytes)
{
    return DecodeLayout(bytes, bytes.size()).Header;
}

TReplayWriteResult WriteReplayFile(const fs::path& file, const TReplay& replay)
{
    fs::path temporary = file;
    temporary += ".tmp";
    try {
        const std::vector<uint8_t> bytes = EncodeReplay(replay);
        std::FILE* stream = std::fopen(temporary.c_str(), "wb");
        if (!stream) return {false, SystemError("Cannot create", temporary, errno)};
        bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size() && std::fflush(stream) == 0;
        int error = errno;
        // On the disk before the rename, so a crash leaves the old file or the new.
        if (written && ::fsync(fileno(stream)) != 0) {
            written = false;
            error = errno;
        }
        if (std::fclose(stream) != 0 && written) {
            written = false;
            error = errno;
        }
        if (!written) {
            std::remove(temporary.c_str());
            return {false, SystemError("Cannot write", file, error)};
        }
        if (std::rename(temporary.c_str(), file.c_str()) != 0) {
            error = errno;
            std::remove(temporary.c_str());
            return {false, SystemError("Cannot write", file, error)};
        }
        return {true, {}};
    } catch (const std::exception& e) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return {false, e.what()};
    }
}
