// SPDX-License-Identifier: GPL-3.0-or-later
// Every sound the game plays, by the name it has in the wave library. Code
// names a sound through this list only, so a misspelt one does not build;
// the build checks each name against the library it makes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

enum class TSound : uint8_t {
    ButtonDown,
    ButtonUp,
    Pause,
    AfterPause,
    // The level intro's announcer.
    Level,
    One,
    Two,
    Three,
    Four,
    Five,
    Six,
    Seven,
    Eight,
    Nine,
    Ten,
    Fight,
    PlayerDead,
    // Vehicle engines, looping while a vehicle of the kind is on the field.
    TankMove,
    TrucMove,
    VertMove,
    // The player's rifle, also the weakest enemies' weapon.
    RifleShot,
    Miss,
    EnemyRifle,
    RifleBurst,
    MachineGun,
    Cannon,
    // The tank's shell landing after its cannon.
    ShellLanding,
    VehicleExplosion,
    TankExplosion,
    Plane,
    Artobstrel,
    HitSoldier,
    HitArmour,
    // The death cries of the four soldier kinds.
    Terror1Dead,
    Terror2Dead,
    Terror3Dead,
    Terror4Dead,
    BonusBurst,
    Bomb,
    Med,
    Life,
    Ocher,
    Cherep,
    Dollar,
};

inline constexpr int kSoundCount = static_cast<int>(TSound::Dollar) + 1;

// The wave library's name of the sound.
const char* SoundName(TSound sound);
// Every sound in catalogue order, for the checks of the library.
const std::array<TSound, kSoundCount>& AllSounds();
// The spoken number of a level, "one" .. "ten"; none above ten.
std::optional<TSound> LevelNumberSound(int32_t levelNo);
