#include "platform/back_buffer.h"

#include <cmath>

void WindowToBackBuffer(int windowWidth, int windowHeight, float& x, float& y) {
    if (windowWidth <= 0 || windowHeight <= 0) return;
    x *= static_cast<float>(kBackBufferWidth) / static_cast<float>(windowWidth);
    y *= static_cast<float>(kBackBufferHeight) / static_cast<float>(windowHeight);
}

void ClientPixelToBackBuffer(int windowWidth, int windowHeight, int& x, int& y) {
    float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
    WindowToBackBuffer(windowWidth, windowHeight, fx, fy);
    x = static_cast<int>(std::floor(fx));
    y = static_cast<int>(std::floor(fy));
}
