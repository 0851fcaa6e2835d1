// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebPackedData.h"

#include <lzma.h>

#include <cstdint>
#include <cstdio>
#include <system_error>

namespace {

// The whole of an xz stream, or false with the reason.
bool Unpack(const std::vector<uint8_t>& packed, std::vector<uint8_t>& plain, std::string& error)
{
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_stream_decoder(&stream, UINT64_MAX, 0) != LZMA_OK) {
        error = "the unpacker could not start";
        return false;
    }
    stream.next_in = packed.data();
    stream.avail_in = packed.size();
    plain.assign(packed.size() * 3, 0);
    lzma_ret result = LZMA_OK;
    while (result == LZMA_OK) {
        if (stream.total_out == plain.size()) plain.resize(plain.size() * 2);
        stream.next_out = plain.data() + stream.total_out;
        stream.avail_out = plain.size() - stream.total_out;
        result = lzma_code(&stream, LZMA_FINISH);
    }
    plain.resize(stream.total_out);
    lzma_end(&stream);
    if (result == LZMA_STREAM_END) return true;
    error = result == LZMA_MEM_ERROR ? "out of memory" : "damaged or cut short";
    return false;
}

// Whole files in one call each: the page's file system is in memory, and
// byte by byte it is slow.
bool ReadWhole(const std::filesystem::path& file, std::vector<uint8_t>& bytes)
{
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(file, error);
    if (error) return false;
    bytes.resize(size);
    FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr) return false;
    const bool whole = std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
    std::fclose(in);
    return whole;
}

bool WriteWhole(const std::filesystem::path& file, const std::vector<uint8_t>& bytes)
{
    FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) return false;
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && whole;
}

} // namespace

std::vector<std::string> UnpackData(const std::vector<std::filesystem::path>& folders)
{
    std::vector<std::string> problems;
    for (const std::filesystem::path& folder : folders) {
        std::error_code error;
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error))
            if (entry.path().extension() == ".xz") files.push_back(entry.path());
        for (const std::filesystem::path& file : files) {
            std::vector<uint8_t> packed;
            std::vector<uint8_t> plain;
            std::string reason;
            std::filesystem::path target = file;
            target.replace_extension();
            if (!ReadWhole(file, packed)) {
                problems.push_back(file.string() + ": cannot be read");
            } else if (!Unpack(packed, plain, reason)) {
                problems.push_back(file.string() + ": " + reason);
            } else if (!WriteWhole(target, plain)) {
                problems.push_back(target.string() + ": cannot be written");
            }
            std::filesystem::remove(file, error);
        }
    }
    return problems;
}
