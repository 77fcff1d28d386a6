// Small helpers for the tests that drive a real window on the virtual X server: shell commands (xdotool,
// xwininfo, xprop) and the X window behind an SDL window.
#pragma once

#include <string>

struct SDL_Window;

// Runs a shell command and returns what it printed, without the trailing newline.
std::string Shell(const std::string& command);
// The X11 window id of an SDL window, as the X tools write it (decimal).
std::string XWindowId(SDL_Window* window);
