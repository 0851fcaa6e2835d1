// SPDX-License-Identifier: GPL-3.0-or-later
// Asks the X server whether a window manager runs (a compliant one names
// its check window on the root window) and where the pointer is, and grabs
// the pointer.
#include "SdlWindowManager.h"

#include <SDL.h>
#include <SDL_syswm.h>

bool SdlWindowIsManaged(SDL_Window* window)
{
    if (window == nullptr) return true;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE) return true;
#if defined(SDL_VIDEO_DRIVER_X11)
    if (info.subsystem != SDL_SYSWM_X11) return true;
    Display* display = info.info.x11.display;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, XDefaultRootWindow(display), check, 0, 1, False,
                                          AnyPropertyType, &type, &format, &count, &after, &data);
    const bool found = status == Success && type != None && count == 1;
    if (data != nullptr) XFree(data);
    return found;
#else
    return true;
#endif
}

void SdlGrabPointer(SDL_Window* window, bool grab)
{
    // The mouse only: the keyboard stays the desktop's (its shortcuts work).
    if (window != nullptr) SDL_SetWindowMouseGrab(window, grab ? SDL_TRUE : SDL_FALSE);
}

bool SdlPointerInWindow(SDL_Window* window, int& x, int& y)
{
    if (window == nullptr) return false;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    bool known = false;
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
        Window root = None;
        Window child = None;
        int rootX = 0;
        int rootY = 0;
        unsigned int mask = 0;
        if (XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &rootX, &rootY, &x, &y, &mask) ==
            False)
            return false;
        known = true;
    }
#endif
    if (!known) {
        int windowX = 0;
        int windowY = 0;
        SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(window, &windowX, &windowY);
        x -= windowX;
        y -= windowY;
    }
    return x >= 0 && y >= 0 && x < width && y < height;
}
