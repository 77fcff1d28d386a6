// The main window's handle as the editor sees it is the SDL window itself.
#pragma once

#include "d3d/win_types.h"

struct SDL_Window;

inline SDL_Window* ToSdlWindow(HWND window) { return reinterpret_cast<SDL_Window*>(window); }
inline HWND ToWindowHandle(SDL_Window* window) { return reinterpret_cast<HWND>(window); }
