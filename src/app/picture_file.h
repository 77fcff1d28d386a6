// Writing the finished frame to a file, through the device's own read-back calls, the same on every platform.
#pragma once

#include <string>

#include "platform/platform.h"

// Copies the back buffer (of the size and format in `parameters`) to system memory and writes it as an
// RGB PNG at `path`. False with the reason in `error`.
bool SaveBackBufferPng(IDirect3DDevice9* device, const D3DPRESENT_PARAMETERS& parameters, const std::string& path,
                       std::string& error);
