// Lines drawn with the device's triangles: each segment becomes a sliver triangle whose outline, drawn with
// the wireframe fill mode, is a one-pixel line on every device (the fixed-function pipeline has meshes of
// triangles only here). The view aids (grid, axes, outlines) are made of these.
#pragma once

#include <vector>

#include "d3d/d3dx9.h"

struct LineSegment {
    D3DXVECTOR3 a;
    D3DXVECTOR3 b;
    DWORD subset = 0;  // the segments of one subset are drawn together with one material
};

// A mesh with one subset per value of `subset` (0 .. the largest used), in which each segment is a sliver
// triangle. Fails, with *mesh untouched, when there are no segments or the device cannot make the mesh.
HRESULT CreateLineMesh(IDirect3DDevice9* device, std::vector<LineSegment> segments, ID3DXMesh** mesh);

// A material that shows `colour` whatever the lights: emissive only, with `alpha` as its opacity.
D3DMATERIAL9 LineMaterial(float r, float g, float b, float alpha);
