// SPDX-License-Identifier: GPL-3.0-or-later
// SHA-256 through nettle.
#include "Sha256.h"

#include "ReplayError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <nettle/sha2.h>
#include <vector>

TSha256 Sha256Of(std::span<const uint8_t> bytes)
{
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, bytes.size(), bytes.data());
    TSha256 digest;
    sha256_digest(&context, digest.size(), digest.data());
    return digest;
}

TSha256 Sha256OfFile(const std::filesystem::path& file)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(file.c_str(), "rb"), std::fclose);
    if (!stream) throw EReplayError("Cannot read \"" + file.string() + "\": " + std::strerror(errno));
    sha256_ctx context;
    sha256_init(&context);
    std::vector<uint8_t> buffer(1 << 16);
    size_t read;
    while ((read = std::fread(buffer.data(), 1, buffer.size(), stream.get())) > 0) sha256_update(&context, read, buffer.data());
    if (std::ferror(stream.get())) throw EReplayError("Cannot read \"" + file.string() + "\": " + std::strerror(errno));
    TSha256 digest;
    sha256_digest(&context, digest.size(), digest.data());
    return digest;
}

std::string HexOf(const TSha256& digest)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

TLibraryDigests DigestLibraries(const std::filesystem::path& pictureLibrary, const std::filesystem::path& soundLibrary)
{
    return {Sha256OfFile(pictureLibrary), Sha256OfFile(soundLibrary)};
}
