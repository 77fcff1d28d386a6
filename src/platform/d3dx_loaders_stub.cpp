// Placeholder loaders: every load fails until the real ones land.
#include "platform/d3dx9.h"

HRESULT D3DXLoadMeshFromXA(const char*, DWORD, IDirect3DDevice9*, ID3DXBuffer**, ID3DXBuffer**, ID3DXBuffer**,
                           DWORD*, ID3DXMesh**) {
    return E_FAIL;
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9*, const char*, IDirect3DTexture9**) { return E_FAIL; }

HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9*, const char*, const D3DXMACRO*, ID3DXInclude*, DWORD,
                                  ID3DXEffectPool*, ID3DXEffect**, ID3DXBuffer**) {
    return E_FAIL;
}
