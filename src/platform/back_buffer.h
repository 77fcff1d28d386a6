// The back buffer keeps its 1280 x 720 pixels whatever the window's size, and is shown stretched over the
// whole client area; cursor positions are moved onto it so that what the user points at is what is hit.
#pragma once

constexpr int kBackBufferWidth = 1280;
constexpr int kBackBufferHeight = 720;

// A point in the window's client area, in window pixels, moved onto the back buffer the window shows
// stretched over its client area of windowWidth x windowHeight.
void WindowToBackBuffer(int windowWidth, int windowHeight, float& x, float& y);

// The back-buffer pixel under the centre of the client-area pixel (x, y).
void ClientPixelToBackBuffer(int windowWidth, int windowHeight, int& x, int& y);
