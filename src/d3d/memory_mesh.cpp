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
