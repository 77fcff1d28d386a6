// The .x mesh loader behind D3DXLoadMeshFromXA, with the reason of a failure for the callers that report it.
#pragma once

#include <string>

#include "d3d/d3dx9.h"

// Loads a text, binary or compressed .x file into a system-memory mesh: every mesh of the frame hierarchy
// with its frame transforms applied, merged, triangulated, in the file's own left-handed coordinates and
// winding; one subset per material in the file's material order. `materials` receives one D3DXMATERIAL
// per material, the texture file names stored in the same buffer after the array. On failure nothing is
// filled, the result is E_FAIL and `error` (when given) says why.
HRESULT LoadMeshFromX(const char* fileName, IDirect3DDevice9* device, ID3DXBuffer** materials, DWORD* numMaterials,
                      ID3DXMesh** mesh, std::string* error);
