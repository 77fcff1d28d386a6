// The scene's fixed lighting: three white directional lights in slots 0, 1 and 2, set once at start-up.
#pragma once

#include "d3d/d3dx9.h"

class CLight {
public:
    CLight();
    // Computes the three lights and sets and enables them on `device` (the renderer's).
    void Init(IDirect3DDevice9* device);
    // Sets and enables the lights computed by Init again (a reset device has forgotten them).
    void Apply() const;
    const D3DLIGHT9& GetLight(int index) const { return lights_[index]; }
    // The fill light, a view setting: a soft grey light in slot 3 from the starting camera's side, so
    // that faces the three lights miss are not pure black. Off (the start) leaves slot 3 untouched.
    void SetFillLight(bool on);
    bool IsFillLightOn() const { return fillOn_; }
    static D3DLIGHT9 FillLight();

private:
    IDirect3DDevice9* device_ = nullptr;
    D3DLIGHT9 lights_[3]{};
    bool fillOn_ = false;
    D3DXVECTOR4 from_;
    D3DXVECTOR4 to_;
    D3DXMATRIX work_{D3DMATRIX{}};
};
