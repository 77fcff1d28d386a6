// The surfaces of the OpenGL device that pictures are read back through: the back buffer itself, which
// only GetRenderTargetData reads, and system-memory copies of it that the CPU locks.
#pragma once

#include <vector>

#include "d3d/d3d9.h"

class CGlSurface : public RefCounted<IDirect3DSurface9> {
public:
    // `owner` only names the device whose back buffer this is; it is compared, never called.
    static CGlSurface* BackBuffer(const IDirect3DDevice9* owner, UINT width, UINT height);
    // A lockable X8R8G8B8 image, black until filled.
    static CGlSurface* SystemMemory(UINT width, UINT height);

    // Only system-memory surfaces lock, one lock at a time, always the whole surface.
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    bool IsBackBufferOf(const IDirect3DDevice9* device) const { return owner_ && owner_ == device; }
    bool IsLockable() const { return !owner_; }
    UINT Width() const { return width_; }
    UINT Height() const { return height_; }
    // Fills the image from 8-bit RGBA rows, top to bottom, as X8R8G8B8 (bytes B, G, R, X in memory).
    void StoreRgba(const std::vector<BYTE>& rgba);

private:
    CGlSurface(const IDirect3DDevice9* owner, UINT width, UINT height);

    const IDirect3DDevice9* owner_;
    UINT width_, height_;
    std::vector<BYTE> pixels_;
    bool locked_ = false;
};
