// The D3DX 9 utility types and functions the editor uses: vectors, matrices, buffers, meshes, effects,
// and the loaders for .x meshes, textures and effect files. Row vectors, left-handed, radians.
// On Windows they are the library's own (d3dx9_43).
#pragma once

#include <cstddef>

#include "d3d/d3d9.h"

#ifdef _WIN32
#include <d3dx9.h>
#else

struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() : D3DVECTOR{0.0f, 0.0f, 0.0f} {}
    D3DXVECTOR3(float fx, float fy, float fz) : D3DVECTOR{fx, fy, fz} {}
    D3DXVECTOR3(const D3DVECTOR& v) : D3DVECTOR(v) {}

    D3DXVECTOR3 operator+(const D3DXVECTOR3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    D3DXVECTOR3 operator-(const D3DXVECTOR3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    D3DXVECTOR3 operator*(float s) const { return {x * s, y * s, z * s}; }
    D3DXVECTOR3& operator+=(const D3DXVECTOR3& o) {
        x += o.x, y += o.y, z += o.z;
        return *this;
    }
    D3DXVECTOR3& operator-=(const D3DXVECTOR3& o) {
        x -= o.x, y -= o.y, z -= o.z;
        return *this;
    }
    bool operator==(const D3DXVECTOR3& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct D3DXVECTOR4 {
    float x, y, z, w;
};

struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() : D3DMATRIX{} {}
    D3DXMATRIX(const D3DMATRIX& m) : D3DMATRIX(m) {}
    float& operator()(int row, int col) { return m[row][col]; }
    float operator()(int row, int col) const { return m[row][col]; }
    D3DXMATRIX operator*(const D3DXMATRIX& o) const;
};

// ---- math ----
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
// Returns null and leaves out untouched when the determinant is exactly zero.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf);

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b);
float D3DXVec3Length(const D3DXVECTOR3* v);
// Null matrices count as identity. The result is unspecified (not undefined behaviour) for singular input.
D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* viewport,
                               const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);

// ---- buffers ----
struct ID3DXBuffer : IUnknown {
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};
// Creates a zero-filled buffer of the given size.
HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer);
// Creates a buffer holding text and its terminating zero (compiler messages and the like).
HRESULT D3DXCreateTextBuffer(const char* text, std::size_t length, ID3DXBuffer** buffer);

// ---- meshes ----
struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    char* pTextureFilename;  // null when the material has no texture
};

struct D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};

constexpr DWORD D3DXMESH_32BIT = 0x001;
constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;

struct ID3DXMesh : IUnknown {
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetFVF() = 0;
    virtual HRESULT LockVertexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    // The creation options; with D3DXMESH_32BIT the index buffer holds 32-bit indices, else 16-bit ones.
    virtual DWORD GetOptions() = 0;
    // Three indices per face.
    virtual HRESULT LockIndexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    virtual HRESULT DrawSubset(DWORD attribId) = 0;
    // The attribute table: one range of faces per material, in material order.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) = 0;
    // Replaces the attribute table; DrawSubset draws the ranges of the subset it is given.
    virtual HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) = 0;
};

// An empty system-memory mesh of numFaces faces and numVertices vertices to be filled through its locks
// before it is first drawn. Only the editor's vertex format (D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1) with
// 32-bit indices (D3DXMESH_32BIT) is made here; anything else is D3DERR_INVALIDCALL.
HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, IDirect3DDevice9* device,
                          ID3DXMesh** mesh);

UINT D3DXGetFVFVertexSize(DWORD fvf);

// Loads a .x mesh (text, binary or compressed) with its frames applied, triangulated, one subset per
// material. `\` is accepted as a folder separator. Fails with E_FAIL and fills nothing on any error.
HRESULT D3DXLoadMeshFromXA(const char* fileName, DWORD options, IDirect3DDevice9* device,
                           ID3DXBuffer** adjacency, ID3DXBuffer** materials, ID3DXBuffer** effectInstances,
                           DWORD* numMaterials, ID3DXMesh** mesh);

// ---- textures ----
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* fileName, IDirect3DTexture9** texture);

// ---- effects ----
using D3DXHANDLE = const char*;

struct D3DXMACRO {
    const char* Name;
    const char* Definition;
};
struct ID3DXInclude;
struct ID3DXEffectPool;

struct ID3DXEffect : IUnknown {
    // Null for a name the effect does not define.
    virtual D3DXHANDLE GetTechniqueByName(const char* name) = 0;
    virtual D3DXHANDLE GetParameterByName(D3DXHANDLE parent, const char* name) = 0;
    // Around a device reset; an effect that holds nothing in the device's default pool has nothing to do.
    virtual HRESULT OnLostDevice() { return S_OK; }
    virtual HRESULT OnResetDevice() { return S_OK; }
};

HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, const char* fileName, const D3DXMACRO* defines,
                                  ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                                  ID3DXBuffer** compilationErrors);

#endif  // _WIN32
