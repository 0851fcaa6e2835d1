// SPDX-License-Identifier: GPL-3.0-or-later
// Content sniffing for zarvenok-pack: property names decide, not file names.
#include "LibraryKind.h"

#include "ObjectStream.h"

#include <string>

namespace {

enum class TVote { None, Image, Wave };

TVote VoteFor(const std::string& property)
{
    if (property == "Picture.Data" || property == "PatternWidth" || property == "PatternHeight" ||
        property == "SkipWidth" || property == "SkipHeight" || property == "SystemMemory" ||
        property == "Transparent" || property == "TransparentColor" || property == "List.ColorTable")
        return TVote::Image;
    if (property == "Wave.WAVE" || property == "Looped" || property == "MaxPlayingCount") return TVote::Wave;
    return TVote::None;
}

TLibraryKind Decide(TVote vote)
{
    return vote == TVote::Wave ? TLibraryKind::Wave : TLibraryKind::Image;
}

} // namespace

TLibraryKind DetectLibraryKind(std::span<const uint8_t> data)
{
    TObjectReader reader(data);
    reader.ReadHolderStart();
    try {
        while (!reader.EndOfList()) {
            const std::string property = reader.ReadShortString();
            if (const TVote vote = VoteFor(property); vote != TVote::None) return Decide(vote);
            if (property != "List" || reader.ReadValue() != TValueType::Collection) {
                reader.SkipValue();
                continue;
            }
            while (!reader.EndOfList()) {
                const TValueType next = reader.NextValue();
                if (next == TValueType::Int8 || next == TValueType::Int16 || next == TValueType::Int32) reader.ReadInteger();
                if (reader.ReadValue() != TValueType::List) return TLibraryKind::Image;
                while (!reader.EndOfList()) {
                    const TVote vote = VoteFor(reader.ReadShortString());
                    if (vote != TVote::None) return Decide(vote);
                    reader.SkipValue();
                }
            }
        }
    } catch (const std::exception&) {
        // Damage past the header: the loader itself will report it.
    }
    return TLibraryKind::Image;
}
