// Reads a .x file (text, binary or MSZIP-compressed; 32- or 64-bit floats) into one mesh the way the
// D3DX loader does: every mesh of the frame hierarchy with its frame transforms applied, merged in file
// order; the file's vertices in the file's order, all of them (a vertex that needs a second normal is
// copied after its mesh's vertices); faces as fans; one subset per material, each mesh's materials in the
// order of its material list. Templates and unknown objects are skipped; skin data is read and ignored.
// Nothing recurses, so no input can exhaust the stack, and every count is checked against what the rest
// of the file can hold before it is used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"

// One vertex as the meshes keep it: position, normal, texture coordinates.
struct XVertex {
    float pos[3];
    float normal[3];
    float uv[2];
};

// The faces [faceStart, faceStart + faceCount) of the index list, using the vertices
// [vertexStart, vertexStart + vertexCount); subset i draws with material i.
struct XSubset {
    std::uint32_t faceStart, faceCount, vertexStart, vertexCount;
};

struct XMesh {
    std::vector<XVertex> vertices;
    std::vector<std::uint32_t> indices;  // three per face
    std::vector<XSubset> subsets;
};

struct XColour {
    float r, g, b, a;
};

struct XMaterial {
    XColour diffuse{}, specular{}, emissive{};
    float power = 0.0f;
    bool hasTexture = false;
    std::string texture;  // the TextureFilename string exactly as the file gives it
};

struct XMeshFile {
    XMesh mesh;
    std::vector<XMaterial> materials;
};

// The mesh, or the reason it cannot be read, which names the line (text) or byte (binary) where it is.
Result<XMeshFile> ReadXFile(const std::string& bytes);
