// SPDX-License-Identifier: GPL-3.0-or-later
// Information boxes through SDL, with standard error as the fallback.
#include "SdlMessageBox.h"

#include "SdlVideo.h"
#include "SdlWindowManager.h"

#include <SDL.h>

#include <cstdio>

TSdlMessageBox::TSdlMessageBox(const TSdlVideo& video) : Video_(video) {}

void TSdlMessageBox::Show(const std::string& title, const std::string& text)
{
    // A box that belongs to a window not yet shown may never appear.
    SDL_Window* parent = Video_.Window();
    if (parent != nullptr && (SDL_GetWindowFlags(parent) & SDL_WINDOW_HIDDEN) != 0) parent = nullptr;
    // A pointer held by full-screen play could not reach the box's button;
    // the game's loop takes it again after the box, if play still wants it.
    SdlGrabPointer(Video_.Window(), false);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(), parent) == 0) return;
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
}
