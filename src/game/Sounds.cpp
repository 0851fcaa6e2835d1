// SPDX-License-Identifier: GPL-3.0-or-later
// The wave library's names of the catalogue's sounds.
#include "Sounds.h"

namespace {

// In the order of TSound.
constexpr std::array<const char*, kSoundCount> kNames = {
    "button_down", "button_up",  "pause",  "after_pause", "Level",         "one",          "two",
    "three",       "four",       "five",   "six",         "seven",         "eight",        "nine",
    "ten",         "Fight",      "player_dead", "tank_move", "truc_move",  "vert_move",    "1",
    "2",           "3",          "5",      "6",           "7",             "14",           "8",
    "15",          "plane",      "artobstrel", "popal_in_plot", "popal_in_gel", "terror1_dead", "terror2_dead",
    "terror3_dead", "terror4_dead", "shar_dead", "bomb",  "med",           "life",         "ocher",
    "cherep",      "dollar",
};

constexpr std::array<TSound, kSoundCount> MakeAll()
{
    std::array<TSound, kSoundCount> all{};
    for (int i = 0; i < kSoundCount; ++i) all[static_cast<size_t>(i)] = static_cast<TSound>(i);
    return all;
}

constexpr std::array<TSound, kSoundCount> kAll = MakeAll();

} // namespace

const char* SoundName(TSound sound)
{
    const auto index = static_cast<size_t>(sound);
    return index < kNames.size() ? kNames[index] : "";
}

const std::array<TSound, kSoundCount>& AllSounds()
{
    return kAll;
}

std::optional<TSound> LevelNumberSound(int32_t levelNo)
{
    if (levelNo < 1 || levelNo > 10) return std::nullopt;
    return static_cast<TSound>(static_cast<int>(TSound::One) + levelNo - 1);
}
