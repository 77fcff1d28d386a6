#include "platform/sdl/gl_surface.h"

CGlSurface::CGlSurface(const IDirect3DDevice9* owner, UINT width, UINT height)
    : owner_(owner), width_(width), height_(height) {
    if (!owner_) pixels_.assign(std::size_t(width) * height * 4, 0);
}

CGlSurface* CGlSurface::BackBuffer(const IDirect3DDevice9* owner, UINT width, UINT height) {
    return new CGlSurface(owner, width, height);
}

CGlSurface* CGlSurface::SystemMemory(UINT width, UINT height) { return new CGlSurface(nullptr, width, height); }

HRESULT CGlSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
    if (!locked || rect || !IsLockable() || locked_) return D3DERR_INVALIDCALL;
    locked_ = true;
    locked->Pitch = static_cast<INT>(width_ * 4);
    locked->pBits = pixels_.data();
    return S_OK;
}

HRESULT CGlSurface::UnlockRect() {
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    return S_OK;
}

void CGlSurface::StoreRgba(const std::vector<BYTE>& rgba) {
    if (!IsLockable() || rgba.size() != pixels_.size()) return;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        pixels_[i] = rgba[i + 2];
        pixels_[i + 1] = rgba[i + 1];
        pixels_[i + 2] = rgba[i];
        pixels_[i + 3] = 0xFF;
    }
}
