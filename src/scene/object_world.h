// A placed object's world transform: scale, then rotation (yaw, pitch, roll), then translation.
#pragma once

#include "stagefile/stage_types.h"

D3DXMATRIX ObjectWorld(const ObjectPart& part);
