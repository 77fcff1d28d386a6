// The name and code of a Direct3D 9 failure, for the messages that say why the editor cannot start.
#pragma once

#include <string>

#include "d3d/d3d9.h"

// "D3DERR_NOTAVAILABLE, 0x8876086A" for the codes device creation gives, the bare code for any other.
std::string DeviceErrorText(HRESULT code);
