#include "d3d/memory_mesh.h"

#include <utility>

CMemoryMesh::CMemoryMesh(IDirect3DDevice9* device, MeshData data) : device_(device), data_(std::move(data)) {
    if (device_) device_->AddRef();
}

CMemoryMesh::~CMemoryMesh() {
    SafeRelease(buffers_);
    SafeRelease(device_);
}

HRESULT CMemoryMesh::LockVertexBuffer(DWORD, void** data) {
    if (!data) return E_INVALIDARG;
    *data = data_.vertices.empty() ? nullptr : data_.vertices.data();
    return S_OK;
}

HRESULT CMemoryMesh::UnlockVertexBuffer() { return S_OK; }

HRESULT CMemoryMesh::LockIndexBuffer(DWORD, void** data) {
    if (!data) return E_INVALIDARG;
    *data = data_.indices.empty() ? nullptr : data_.indices.data();
    return S_OK;
}

HRESULT CMemoryMesh::DrawSubset(DWORD attribId) {
    if (!device_) return E_FAIL;
    if (!buffers_) {
        HRESULT hr = device_->CreateMeshBuffers(data_.vertices.data(), static_cast<UINT>(data_.vertices.size()),
                                                data_.indices.data(), static_cast<UINT>(data_.indices.size()),
                                                &buffers_);
        if (FAILED(hr)) return hr;
    }
    for (const D3DXATTRIBUTERANGE& range : data_.attributes) {
        if (range.AttribId != attribId || range.FaceCount == 0) continue;
        device_->DrawMeshSubset(buffers_, attribId, range.FaceStart * 3, range.FaceCount * 3);
    }
    return S_OK;
}

HRESULT CMemoryMesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) {
    if (!size) return E_INVALIDARG;
    if (table)
        for (std::size_t i = 0; i < data_.attributes.size() && i < *size; ++i) table[i] = data_.attributes[i];
    *size = static_cast<DWORD>(data_.attributes.size());
    return S_OK;
}

HRESULT CMemoryMesh::SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) {
    if (!table && size > 0) return E_INVALIDARG;
    const std::size_t faces = data_.indices.size() / 3;
    for (DWORD i = 0; i < size; ++i)
        if (table[i].FaceStart > faces || table[i].FaceCount > faces - table[i].FaceStart) return D3DERR_INVALIDCALL;
    data_.attributes.assign(table, table + size);
    return S_OK;
}

HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, IDirect3DDevice9* device,
                          ID3DXMesh** mesh) {
    if (!mesh || !device || numFaces == 0 || numVertices == 0) return D3DERR_INVALIDCALL;
    if (fvf != (D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1) || !(options & D3DXMESH_32BIT)) return D3DERR_INVALIDCALL;
    MeshData data;
    data.vertices.resize(numVertices);
    data.indices.resize(static_cast<std::size_t>(numFaces) * 3);
    *mesh = new CMemoryMesh(device, std::move(data));
    return S_OK;
}
