// SPDX-License-Identifier: GPL-3.0-or-later
// Sound effects by name and one music module at a time, with the
// continuation that reloads a module when it comes back to its start.
#include "Unit1.h"

#include "Screen.h"
#include "SpriteWalks.h"
#include "Terror.h"

void TMainForm::PlaySound(TSound sound, bool wait)
{
    if (!GameSound) return;
    DXWaveList.Items.Find(SoundName(sound)).Play(wait);
}

void TMainForm::StopAllSounds()
{
    TWaveCollection& waves = DXWaveList.Items;
    for (int i = 0; i < waves.Count(); ++i) waves.Items(i).Stop();
}

void TMainForm::StopEngineSounds()
{
    for (TSound engine : {TSound::TankMove, TSound::VertMove, TSound::TrucMove})
        DXWaveList.Items.Find(SoundName(engine)).Stop();
}

void TMainForm::StopSound(TSound sound, int32_t kind)
{
    TWaveCollection& waves = DXWaveList.Items;
    if (sound == TSound::ButtonUp) waves.Find(SoundName(sound)).Stop();
    if (kind != 0) {
        // Kinds that share an engine loop count together; the dying enemy
        // is still among the children and counts itself.
        const auto sameLoop = [kind](const TTerror& enemy) { return SameEngine(kind, enemy.EnemyKind); };
        if (CountChildren<TTerror>(Root(), sameLoop) == 1) waves.Find(SoundName(sound)).Stop();
    }
}

void TMainForm::PlayMusic(const std::string& track)
{
    if (!GameMusic) return;
    IModulePlayer& player = Platform.Music();
    Music.LastSongOrder = 0;
    if (Music.SongHandle != 0) player.SongFree(Music.SongHandle);
    Music.SongHandle = player.SongLoadFromFile((Folders.Data / "Music" / (track + ".xm")).string());
    Music.SongTrack = Music.SongHandle != 0 ? track : "";
    if (Music.SongHandle != 0) player.SongPlay(Music.SongHandle);
}

void TMainForm::StopMusic()
{
    if (Music.SongHandle != 0) Platform.Music().SongFree(Music.SongHandle);
    Music.SongHandle = 0;
    Music.SongTrack.clear();
}

void TMainForm::MusicContinuation()
{
    if (Music.SongHandle == 0) return;
    const int32_t order = Platform.Music().SongGetOrder(Music.SongHandle);
    if (order != 0 || Music.LastSongOrder == 0) {
        Music.LastSongOrder = order;
        return;
    }
    if (const TScreen* screen = CurrentScreen()) PlayMusic(screen->MusicTrack());
}
