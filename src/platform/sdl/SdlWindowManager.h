// Whether a window manager looks after the game's window. Full screen on
// the X Window System is a request to the window manager; with none
// running (a bare X server, a kiosk, a virtual display) nothing would
// happen, so the window then covers the display itself.
#pragma once

struct SDL_Window;

// True unless the window is on an X server where no window manager runs.
bool SdlWindowIsManaged(SDL_Window* window);
