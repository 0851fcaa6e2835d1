// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a window manager looks after the game's window. Full screen on
// the X Window System is a request to the window manager; with none
// running (a bare X server, a kiosk, a virtual display) nothing would
// happen, so the window then covers the display itself. And the pointer
// grab that full-screen play asks for.
#pragma once

struct SDL_Window;

// True unless the window is on an X server where no window manager runs.
bool SdlWindowIsManaged(SDL_Window* window);
// Confines the pointer to the window or frees it. SDL lets go by itself
// while the window has no input focus and takes it again on return.
void SdlGrabPointer(SDL_Window* window, bool grab);
// Where the pointer stands in window units from the window's top left,
// asked of the window system (SDL's own record changes only when the
// pointer moves, not when the window changes under it). False when it is
// outside the window or cannot be asked.
bool SdlPointerInWindow(SDL_Window* window, int& x, int& y);
