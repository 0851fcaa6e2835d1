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
