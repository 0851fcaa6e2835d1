// Sound effects by name and one music module at a time, with the
// continuation that reloads a module when it comes back to its start.
#include "Unit1.h"

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
    // Stopping an engine only with the last vehicle of its kind comes with
    // the enemies, who are the only ones to pass a kind.
    (void)kind;
}

void TMainForm::PlayMusic(const std::string& track)
{
    if (!GameMusic) return;
    IModulePlayer& player = Platform.Music();
    LastSongOrder = 0;
    if (SongHandle != 0) player.SongFree(SongHandle);
    SongHandle = player.SongLoadFromFile("Music/" + track + ".xm");
    SongTrack = SongHandle != 0 ? track : "";
    if (SongHandle != 0) player.SongPlay(SongHandle);
}

void TMainForm::StopMusic()
{
    if (SongHandle != 0) Platform.Music().SongFree(SongHandle);
    SongHandle = 0;
    SongTrack.clear();
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
    if (SongHandle == 0) return;
    const int32_t order = Platform.Music().SongGetOrder(SongHandle);
    if (order != 0 || LastSongOrder == 0) {
        LastSongOrder = order;
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
