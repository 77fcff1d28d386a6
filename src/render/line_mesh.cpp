#include "render/line_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The layout of D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1.
struct LineVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(LineVertex) == 32, "the mesh's vertex format is 32 bytes");

// The third corner of a segment's sliver: the start moved a ten-thousandth of the length sideways, so the
// triangle has area (and is drawn) while its outline stays on the line.
D3DXVECTOR3 SliverCorner(const LineSegment& s) {
    const D3DXVECTOR3 d = s.b - s.a;
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    // Sideways: across the segment, away from its largest axis.
    D3DXVECTOR3 side = std::fabs(d.y) < std::fabs(d.x) || std::fabs(d.y) < std::fabs(d.z) ? D3DXVECTOR3(0, 1, 0)
                                                                                        : D3DXVECTOR3(1, 0, 0);
    return s.a + side * (length * 1e-4f);
}

}  // namespace

HRESULT CreateLineMesh(IDirect3DDevice9* device, std::vector<LineSegment> segments, ID3DXMesh** mesh) {
    if (!device || !mesh || segments.empty()) return E_INVALIDARG;
    std::stable_sort(segments.begin(), segments.end(),
                     [](const LineSegment& l, const LineSegment& r) { return l.subset < r.subset; });
    const DWORD faces = static_cast<DWORD>(segments.size());
    ID3DXMesh* made = nullptr;
    HRESULT hr = D3DXCreateMeshFVF(faces, faces * 3, D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT,
                                   D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, device, &made);
    if (FAILED(hr)) return hr;
    void* vertexData = nullptr;
    void* indexData = nullptr;
    if (FAILED(hr = made->LockVertexBuffer(0, &vertexData)) || !vertexData) {
        made->Release();
        return FAILED(hr) ? hr : E_FAIL;
    }
    auto* vertices = static_cast<LineVertex*>(vertexData);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const D3DXVECTOR3 corners[3] = {segments[i].a, segments[i].b, SliverCorner(segments[i])};
        for (int c = 0; c < 3; ++c)
            vertices[i * 3 + c] = LineVertex{corners[c].x, corners[c].y, corners[c].z, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};
    }
    made->UnlockVertexBuffer();
    if (FAILED(hr = made->LockIndexBuffer(0, &indexData)) || !indexData) {
        made->Release();
        return FAILED(hr) ? hr : E_FAIL;
    }
    auto* indices = static_cast<std::uint32_t*>(indexData);
    for (std::uint32_t i = 0; i < faces * 3; ++i) indices[i] = i;
    made->UnlockIndexBuffer();

    std::vector<D3DXATTRIBUTERANGE> table;
    for (DWORD face = 0; face < faces; ++face) {
        const DWORD subset = segments[face].subset;
        if (table.empty() || table.back().AttribId != subset)
            table.push_back(D3DXATTRIBUTERANGE{subset, face, 0, face * 3, 0});
        table.back().FaceCount += 1;
        table.back().VertexCount += 3;
    }
#ifdef _WIN32
    // D3DX also reads the per-face attribute buffer.
    DWORD* attributes = nullptr;
    if (SUCCEEDED(made->LockAttributeBuffer(0, &attributes)) && attributes) {
        for (DWORD face = 0; face < faces; ++face) attributes[face] = segments[face].subset;
        made->UnlockAttributeBuffer();
    }
#endif
    if (FAILED(hr = made->SetAttributeTable(table.data(), static_cast<DWORD>(table.size())))) {
        made->Release();
        return hr;
    }
    *mesh = made;
    return S_OK;
}

D3DMATERIAL9 LineMaterial(float r, float g, float b, float alpha) {
    D3DMATERIAL9 material{};
    material.Diffuse = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, alpha};
    material.Emissive = D3DCOLORVALUE{r, g, b, 1.0f};
    return material;
}
