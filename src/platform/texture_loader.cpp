// D3DXCreateTextureFromFileA on stb_image: PNG, JPEG, BMP, TGA (and the other formats stb_image reads).
#include <stb_image.h>

#include <climits>
#include <memory>
#include <string>

#include "platform/d3dx9.h"
#include "platform/file_bytes.h"

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* fileName, IDirect3DTexture9** texture) {
    if (!device || !texture) return E_INVALIDARG;
    std::string bytes, error;
    if (!ReadFileBytes(fileName, bytes, error) || bytes.empty() || bytes.size() > INT_MAX) return E_FAIL;
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()), &width,
                              &height, &channels, 4),
        stbi_image_free);
    if (!pixels || width <= 0 || height <= 0) return E_FAIL;
    IDirect3DTexture9* created = nullptr;
    HRESULT hr = device->CreateTextureFromPixels(static_cast<UINT>(width), static_cast<UINT>(height), pixels.get(),
                                                 &created);
    if (FAILED(hr) || !created) return FAILED(hr) ? hr : E_FAIL;
    *texture = created;
    return S_OK;
}
