// An ID3DXMesh held in system memory: vertices, triangle indices and one attribute range per subset.
// The device copy of the data is made the first time a subset is drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "d3d/d3dx9.h"

struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;          // three per face
    std::vector<D3DXATTRIBUTERANGE> attributes;  // faces of subset AttribId are [FaceStart, FaceStart+FaceCount)
};

class CMemoryMesh : public RefCounted<ID3DXMesh> {
public:
    // Takes one reference on the device for the life of the mesh.
    CMemoryMesh(IDirect3DDevice9* device, MeshData data);

    DWORD GetNumVertices() override { return static_cast<DWORD>(data_.vertices.size()); }
    DWORD GetNumFaces() override { return static_cast<DWORD>(data_.indices.size() / 3); }
    DWORD GetFVF() override { return D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1; }
    HRESULT LockVertexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockVertexBuffer() override;
    DWORD GetOptions() override { return D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT; }
    HRESULT LockIndexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockIndexBuffer() override { return S_OK; }
    HRESULT DrawSubset(DWORD attribId) override;
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
    HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) override;

    const MeshData& Data() const { return data_; }

protected:
    ~CMemoryMesh() override;

private:
    IDirect3DDevice9* device_;
    IMeshBuffers* buffers_ = nullptr;
    MeshData data_;
};
