// SPDX-License-Identifier: GPL-3.0-or-later
// The ".zrp" file: a header, then the records compressed with zlib.
//
//   8 bytes  signature 89 'Z' 'R' 'P' 0D 0A 1A 0A
//   u16      format version
//   str      game version; 32-byte SHA-256 of the pictures, then the sounds
//   u32      start clock; u8 window state, u8 full screen, u8 bits per pixel
//   u64      random generator's state; i32 pointer x, i32 pointer y
//   str      player's name
//   i32 score, i32 level, u32 frames, u32 game time in ms
//   u32 record count, u32 records' size, u32 compressed size
//   u32      CRC-32 of all the header before it
//   then the compressed records, to the end of the file
//
// Numbers are little-endian, a str is a length byte and the bytes.
#pragma once

#include "ReplayHeader.h"
#include "ReplayRecords.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// Limits past which a file is refused rather than read: 16 MiB holds eight
// hours of play even at 32 KiB a minute.
inline constexpr size_t MaxReplayFileSize = size_t{16} << 20;
inline constexpr size_t MaxReplayRecordBytes = size_t{256} << 20;

struct TReplay {
    TReplayHeader Header;
    TReplayRecords Records;
};

// The file's bytes. std::logic_error when the records are not finished;
// EReplayError when a header text is too long or the file would be too large.
std::vector<uint8_t> EncodeReplay(const TReplay& replay);

// The whole replay, checked; EReplayError with a message that says what is
// wrong: not a replay, another format version, truncated, damaged, too large.
TReplay DecodeReplay(std::span<const uint8_t> bytes);
TReplay ReadReplayFile(const std::filesystem::path& file);

// Only the header, for listing replays: checks the header and the file's
// length, not the records.
TReplayHeader ReadReplayHeader(const std::filesystem::path& file);
// The same for a whole file's bytes, without inflating its records.
TReplayHeader ReadReplayHeader(std::span<const uint8_t> bytes);

struct TReplayWriteResult {
    bool Ok = false;
    std::string Error;  // why not, when not
};

// Writes beside the target and renames into place, so a failed write leaves
// no partial file and an older file of that name stays whole. Never throws.
TReplayWriteResult WriteReplayFile(const std::filesystem::path& file, const TReplay& replay);
