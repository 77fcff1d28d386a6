// SDL scancodes to DirectInput key codes (the PC set-1 scan codes the editor's keys are written in).
#pragma once

#include <SDL_scancode.h>

#include "d3d/win_types.h"

// The DirectInput code of a key, or 0 for a key DirectInput has no code for.
BYTE DikFromScancode(SDL_Scancode scancode);
