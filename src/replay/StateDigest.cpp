// SPDX-License-Identifier: GPL-3.0-or-later
// The digest of the game's state for replay checks.
#include "StateDigest.h"

#include "ReplayBytes.h"

#include <bit>

uint32_t StateDigest(const TStateValues& values)
{
    std::vector<uint8_t> bytes;
    TByteWriter out(bytes);
    out.U32(static_cast<uint32_t>(values.Score));
    out.U32(static_cast<uint32_t>(values.Lives));
    out.U32(static_cast<uint32_t>(values.Health));
    out.U32(static_cast<uint32_t>(values.Level));
    out.U32(static_cast<uint32_t>(values.Generator));
    out.U32(static_cast<uint32_t>(values.Generator >> 32));
    out.U32(static_cast<uint32_t>(values.Sprites.size()));
    auto position = [&](double value) {
        const auto bits = std::bit_cast<uint64_t>(value);
        out.U32(static_cast<uint32_t>(bits));
        out.U32(static_cast<uint32_t>(bits >> 32));
    };
    for (const TSpritePlace& sprite : values.Sprites) {
        out.U32(static_cast<uint32_t>(sprite.ClassName.size()));
        out.Raw({reinterpret_cast<const uint8_t*>(sprite.ClassName.data()), sprite.ClassName.size()});
        position(sprite.X);
        position(sprite.Y);
    }
    return Crc32(bytes);
}
