// SPDX-License-Identifier: GPL-3.0-or-later
// The replay header's fields.
#include "ReplayHeader.h"

#include "ReplayBytes.h"
#include "ReplayError.h"

#include <string>

namespace {

void CheckLength(const std::string& text, size_t maxLength, const char* field)
{
    if (text.size() > maxLength)
        throw EReplayError(std::string("Replay not written: the ") + field + " is longer than " + std::to_string(maxLength) + " bytes");
}

} // namespace

const char* WindowStateName(TWindowState state)
{
    switch (state) {
    case TWindowState::Normal: return "normal";
    case TWindowState::Minimized: return "minimized";
    case TWindowState::Maximized: return "maximized";
    }
    return "?";
}

void WriteHeaderFields(TByteWriter& out, const TReplayHeader& header)
{
    CheckLength(header.GameVersion, MaxGameVersionLength, "game version");
    CheckLength(header.PlayerName, MaxPlayerNameLength, "player's name");
    out.ShortString(header.GameVersion);
    out.Raw(header.PictureLibrary);
    out.Raw(header.SoundLibrary);
    out.U32(header.StartClock);
    out.U8(static_cast<uint8_t>(header.WindowState));
    out.U8(header.FullScreen ? 1 : 0);
    out.U8(header.BitCount);
    out.U64(header.GeneratorState);
    out.U32(static_cast<uint32_t>(header.PointerX));
    out.U32(static_cast<uint32_t>(header.PointerY));
    out.ShortString(header.PlayerName);
    out.U32(static_cast<uint32_t>(header.Score));
    out.U32(static_cast<uint32_t>(header.Level));
    out.U32(header.Frames);
    out.U32(header.GameTimeMs);
}

TReplayHeader ReadHeaderFields(TByteReader& in)
{
    TReplayHeader header;
    header.GameVersion = in.ShortString(MaxGameVersionLength, "the game version is");
    auto digest = [&](TSha256& to) {
        const auto bytes = in.Raw(to.size());
        std::copy(bytes.begin(), bytes.end(), to.begin());
    };
    digest(header.PictureLibrary);
    digest(header.SoundLibrary);
    header.StartClock = in.U32();
    const uint8_t windowState = in.U8();
    if (windowState > static_cast<uint8_t>(TWindowState::Maximized)) in.Fail("bad window state " + std::to_string(windowState));
    header.WindowState = static_cast<TWindowState>(windowState);
    const uint8_t fullScreen = in.U8();
    if (fullScreen > 1) in.Fail("bad full-screen flag " + std::to_string(fullScreen));
    header.FullScreen = fullScreen != 0;
    header.BitCount = in.U8();
    if (header.BitCount != 8 && header.BitCount != 16 && header.BitCount != 24 && header.BitCount != 32)
        in.Fail("bad bits per pixel " + std::to_string(header.BitCount));
    header.GeneratorState = in.U64();
    if (header.GeneratorState == 0) in.Fail("bad random generator state 0");
    header.PointerX = static_cast<int32_t>(in.U32());
    header.PointerY = static_cast<int32_t>(in.U32());
    // The back surface is 800 x 600; a little room for a pointer past its edge.
    if (header.PointerX < -800 || header.PointerX > 1600 || header.PointerY < -600 || header.PointerY > 1200)
        in.Fail("bad pointer position " + std::to_string(header.PointerX) + "," + std::to_string(header.PointerY));
    header.PlayerName = in.ShortString(MaxPlayerNameLength, "the player's name is");
    header.Score = static_cast<int32_t>(in.U32());
    header.Level = static_cast<int32_t>(in.U32());
    header.Frames = in.U32();
    header.GameTimeMs = in.U32();
    return header;
}
