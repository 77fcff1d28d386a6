// Reads a .x file (text, binary or MSZIP-compressed; 32- or 64-bit floats) into one mesh the way the
// D3DX loader does: every mesh of the frame hierarchy with its frame transforms applied, merged in file
// order; the file's vertices in the file's order, all of them (a vertex that needs a second normal is
// copied after its mesh's vertices); faces as fans; one subset per material, each mesh's materials in the
// order of its material list. Templates and unknown objects are skipped; skin data is read and ignored.
// Nothing recurses, so no input can exhaust the stack, and every count is checked against what the rest
// of the file can hold before it is used.
#pragma once

#include <string>
#include <vector>

#include "d3d/memory_mesh.h"

struct XMaterial {
    D3DMATERIAL9 material{};
    bool hasTexture = false;
    std::string texture;  // the TextureFilename string exactly as the file gives it
};

struct XMeshFile {
    MeshData mesh;
    std::vector<XMaterial> materials;
};

// True with the mesh; false with the reason, which names the line (text) or byte (binary) where it is.
bool ReadXFile(const std::string& bytes, XMeshFile& out, std::string& error);
