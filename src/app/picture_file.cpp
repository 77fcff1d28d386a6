#include "app/picture_file.h"

#include <cstdio>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STBIW_WINDOWS_UTF8  // the picture's name is UTF-8, as every file name of ours
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

std::string Hex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(static_cast<DWORD>(result)));
    return text;
}

}  // namespace

bool SaveBackBufferPng(IDirect3DDevice9* device, const D3DPRESENT_PARAMETERS& parameters, const std::string& path,
                       std::string& error) {
    const UINT width = parameters.BackBufferWidth, height = parameters.BackBufferHeight;
    // Both 32-bit formats keep blue, green, red in the first three bytes of each pixel.
    if (parameters.BackBufferFormat != D3DFMT_X8R8G8B8 && parameters.BackBufferFormat != D3DFMT_A8R8G8B8) {
        error = "the back buffer's format " + std::to_string(parameters.BackBufferFormat) + " is not a 32-bit RGB format";
        return false;
    }
    if (!device || width == 0 || height == 0) {
        error = "there is no back buffer";
        return false;
    }
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    auto fail = [&](const char* what, HRESULT result) {
        SafeRelease(copy);
        SafeRelease(back);
        error = std::string(what) + " failed (" + Hex(result) + ")";
        return false;
    };
    HRESULT result = device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    if (FAILED(result)) return fail("GetBackBuffer", result);
    result = device->CreateOffscreenPlainSurface(width, height, parameters.BackBufferFormat, D3DPOOL_SYSTEMMEM, &copy,
                                                 nullptr);
    if (FAILED(result)) return fail("CreateOffscreenPlainSurface", result);
    result = device->GetRenderTargetData(back, copy);
    if (FAILED(result)) return fail("GetRenderTargetData", result);
    D3DLOCKED_RECT locked{};
    result = copy->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    if (FAILED(result)) return fail("LockRect", result);

    std::vector<unsigned char> rgb(std::size_t(width) * height * 3);
    for (UINT y = 0; y < height; ++y) {
        const auto* row = static_cast<const unsigned char*>(locked.pBits) + std::size_t(y) * locked.Pitch;
        unsigned char* out = &rgb[std::size_t(y) * width * 3];
        for (UINT x = 0; x < width; ++x) {
            out[x * 3] = row[x * 4 + 2];
            out[x * 3 + 1] = row[x * 4 + 1];
            out[x * 3 + 2] = row[x * 4];
        }
    }
    copy->UnlockRect();
    SafeRelease(copy);
    SafeRelease(back);
    if (!stbi_write_png(path.c_str(), static_cast<int>(width), static_cast<int>(height), 3, rgb.data(),
                        static_cast<int>(width * 3))) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
