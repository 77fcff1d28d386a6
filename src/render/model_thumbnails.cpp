#include "render/model_thumbnails.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "resource/model_manager.h"
#include "resource/texture_cache.h"

namespace {

constexpr D3DCOLOR kBackground = 0xFF30343C;

// The view of a model from above, in front and to its left, far enough for its bounds to fill the square.
void AimAt(IDirect3DDevice9* device, const ModelData& model) {
    const D3DXVECTOR3 hi = model.max + D3DXVECTOR3(1.0f, 1.0f, 1.0f);  // the bounds are rounded down
    const D3DXVECTOR3 centre = (model.min + hi) * 0.5f;
    const D3DXVECTOR3 half = (hi - model.min) * 0.5f;
    const float radius = std::max(D3DXVec3Length(&half), 0.01f);
    const float fov = 0.7853982f;
    const float distance = radius / std::sin(fov * 0.5f) * 1.05f;
    D3DXVECTOR3 direction(-0.6f, 0.55f, -1.0f);
    D3DXVec3Normalize(&direction, &direction);
    const D3DXVECTOR3 eye = centre + direction * distance;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection, world;
    D3DXMatrixLookAtLH(&view, &eye, &centre, &up);
    D3DXMatrixPerspectiveFovLH(&projection, fov, 1.0f, std::max(distance - radius * 1.5f, distance * 0.01f),
                               distance + radius * 1.5f);
    D3DXMatrixIdentity(&world);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_WORLD, &world);
}

// A texture of kSize x kSize from 32-bit back-buffer pixels (blue, green, red, unused), rows top down.
HRESULT MakeTexture(IDirect3DDevice9* device, const unsigned char* bgrx, INT pitch, IDirect3DTexture9** texture) {
    const UINT size = CModelThumbnails::kSize;
#ifdef _WIN32
    HRESULT hr = device->CreateTexture(size, size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture, nullptr);
    if (FAILED(hr)) return hr;
    D3DLOCKED_RECT locked{};
    if (FAILED(hr = (*texture)->LockRect(0, &locked, nullptr, 0))) {
        SafeRelease(*texture);
        return hr;
    }
    for (UINT y = 0; y < size; ++y) {
        auto* out = static_cast<unsigned char*>(locked.pBits) + std::size_t(y) * locked.Pitch;
        std::memcpy(out, bgrx + std::size_t(y) * pitch, size * 4);
        for (UINT x = 0; x < size; ++x) out[x * 4 + 3] = 255;
    }
    (*texture)->UnlockRect(0);
    return S_OK;
#else
    std::vector<BYTE> rgba(std::size_t(size) * size * 4);
    for (UINT y = 0; y < size; ++y)
        for (UINT x = 0; x < size; ++x) {
            const unsigned char* in = bgrx + std::size_t(y) * pitch + x * 4;
            BYTE* out = &rgba[(std::size_t(y) * size + x) * 4];
            out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = 255;
        }
    return device->CreateTextureFromPixels(size, size, rgba.data(), texture);
#endif
}

}  // namespace

void CModelThumbnails::Uninit() {
    for (auto& entry : textures_) SafeRelease(entry.second);
    textures_.clear();
    tried_.clear();
}

IDirect3DTexture9* CModelThumbnails::Get(const std::string& label) const {
    auto it = textures_.find(label);
    return it == textures_.end() ? nullptr : it->second;
}

int CModelThumbnails::Render(IDirect3DDevice9* device, const CModelManager& models, CTextureCache* textures) {
    if (!device) return 0;
    const std::size_t texturesRevision = textures ? textures->Revision() : 0;
    if (models.Revision() != modelsRevision_ || texturesRevision != texturesRevision_) tried_.clear();
    modelsRevision_ = models.Revision();
    texturesRevision_ = texturesRevision;
    std::vector<std::pair<std::string, const ModelData*>> todo;
    for (const auto& [label, data] : models.GetModelMap()) {
        if (tried_.count(label)) continue;
        tried_[label] = true;
        const ModelData* model = models.Get(models.Find(label));
        if (model && model->mesh) todo.emplace_back(label, model);
    }
    if (todo.empty()) return 0;

    D3DVIEWPORT9 full{};
    device->GetViewport(&full);
    const UINT columns = full.Width / kSize, rows = full.Height / kSize;
    if (columns == 0 || rows == 0) return 0;
    D3DMATRIX view{}, projection{}, world{};
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    device->GetTransform(D3DTS_WORLD, &world);
    D3DMATERIAL9 savedMaterial{};
    device->GetMaterial(&savedMaterial);

    int made = 0;
    // As many squares as the back buffer holds are drawn and read back together.
    for (std::size_t first = 0; first < todo.size(); first += std::size_t(columns) * rows) {
        const std::size_t count = std::min(todo.size() - first, std::size_t(columns) * rows);
        if (FAILED(device->BeginScene())) break;
        device->SetTexture(0, nullptr);
        for (std::size_t i = 0; i < count; ++i) {
            const D3DVIEWPORT9 square{full.X + static_cast<DWORD>(i % columns) * kSize,
                                      full.Y + static_cast<DWORD>(i / columns) * kSize, kSize, kSize, 0.0f, 1.0f};
            device->SetViewport(&square);
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
            const ModelData& model = *todo[first + i].second;
            AimAt(device, model);
            const auto* materials =
                model.materialBuffer ? static_cast<const D3DXMATERIAL*>(model.materialBuffer->GetBufferPointer()) : nullptr;
            for (DWORD m = 0; m < std::max<DWORD>(model.numMaterials, 1); ++m) {
                const bool own = materials && m < model.numMaterials;
                D3DMATERIAL9 material = own ? materials[m].MatD3D : savedMaterial;
                material.Ambient = material.Diffuse;  // lit from every side a little, as the view is
                device->SetMaterial(&material);
                const char* file = own ? materials[m].pTextureFilename : nullptr;
                device->SetTexture(0, file && textures ? textures->GetTexture(file) : nullptr);
                model.mesh->DrawSubset(m);
            }
            device->SetTexture(0, nullptr);
        }
        device->EndScene();
        device->SetViewport(&full);

        IDirect3DSurface9* back = nullptr;
        IDirect3DSurface9* copy = nullptr;
        D3DLOCKED_RECT locked{};
        bool read = SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back));
        read = read && (SUCCEEDED(device->CreateOffscreenPlainSurface(full.X + full.Width, full.Y + full.Height,
                                                                       D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy,
                                                                       nullptr)));
        read = read && SUCCEEDED(device->GetRenderTargetData(back, copy));
        read = read && SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY)) && locked.pBits;
        if (read) {
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t x = full.X + (i % columns) * kSize, y = full.Y + (i / columns) * kSize;
                const auto* corner = static_cast<const unsigned char*>(locked.pBits) + y * locked.Pitch + x * 4;
                IDirect3DTexture9* texture = nullptr;
                if (SUCCEEDED(MakeTexture(device, corner, locked.Pitch, &texture))) {
                    IDirect3DTexture9*& kept = textures_[todo[first + i].first];
                    SafeRelease(kept);
                    kept = texture;
                    ++made;
                }
            }
            copy->UnlockRect();
        }
        SafeRelease(copy);
        SafeRelease(back);
        if (!read) break;
    }
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetMaterial(&savedMaterial);
    return made;
}
