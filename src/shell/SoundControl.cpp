// Sound effects by name and one music module at a time, with the
// continuation that reloads a module when it comes back to its start.
#include "Unit1.h"

#include "Terror.h"

void TMainForm::PlaySound(const std::string& name, bool wait)
{
    if (!GameSound) return;
    DXWaveList.Items.Find(name).Play(wait);
}

void TMainForm::StopSound(const std::string& name, int32_t kind)
{
    TWaveCollection& waves = DXWaveList.Items;
    if (name == "all") {
        for (int i = 0; i < waves.Count(); ++i) waves.Items(i).Stop();
    }
    if (name == "button_up") waves.Find("button_up").Stop();
    if (name == "technic") {
        waves.Find("tank_move").Stop();
        waves.Find("vert_move").Stop();
        waves.Find("truc_move").Stop();
    }
    if (kind != 0) {
        // Both trucks share one engine loop, so they count together; the
        // dying enemy is still among the children and counts itself.
        const auto sameKind = [kind](const TTerror& enemy) {
            if (kind == 6 || kind == 7) return enemy.EnemyKind == 6 || enemy.EnemyKind == 7;
            return enemy.EnemyKind == kind;
        };
        if (CountChildren<TTerror>(Root(), sameKind) == 1) waves.Find(name).Stop();
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

void TMainForm::GameSoundClick()
{
    GameSound = !GameSound;
}

void TMainForm::GameMusicClick()
{
    GameMusic = !GameMusic;
}

void TMainForm::MusicContinuation()
{
    if (Music.SongHandle == 0) return;
    const int32_t order = Platform.Music().SongGetOrder(Music.SongHandle);
    if (order != 0 || Music.LastSongOrder == 0) {
        Music.LastSongOrder = order;
        return;
    }
    switch (GameState) {
    case 3: PlayMusic("2"); break;
    case 8: PlayMusic("3"); break;
    case 2:
    case 4:
    case 5:
    case 6:
    case 7: PlayMusic("1"); break;
    default: break;
    }
}
