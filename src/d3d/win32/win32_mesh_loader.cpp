// LoadMeshFromX on Windows: D3DX's own loader, with Windows' text for a failure. A mesh asked for without
// a device is loaded on a device of its own, made on a hidden window.
#include <string>

#include "platform/win32/win32_platform.h"
#include "d3d/xfile_loader.h"

namespace {

// A small device for loading system-memory meshes; the meshes keep it alive as long as they need it.
class CLoaderDevice {
public:
    CLoaderDevice() {
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        if (!window_ || !d3d_) return;
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 1;
        parameters.BackBufferHeight = 1;
        parameters.BackBufferFormat = D3DFMT_UNKNOWN;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = TRUE;
        parameters.hDeviceWindow = window_;
        if (FAILED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &device_)))
            device_ = nullptr;
    }
    ~CLoaderDevice() {
        SafeRelease(device_);
        SafeRelease(d3d_);
        if (window_) DestroyWindow(window_);
    }
    CLoaderDevice(const CLoaderDevice&) = delete;
    CLoaderDevice& operator=(const CLoaderDevice&) = delete;

    IDirect3DDevice9* Get() const { return device_; }

private:
    HWND window_ = nullptr;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
};

HRESULT Fail(std::string* error, const std::string& reason, HRESULT hr) {
    if (error) *error = reason;
    return FAILED(hr) ? hr : E_FAIL;
}

}  // namespace

HRESULT LoadMeshFromX(const char* fileName, IDirect3DDevice9* device, ID3DXBuffer** materials, DWORD* numMaterials,
                      ID3DXMesh** mesh, std::string* error) {
    if (!mesh) return Fail(error, "no mesh to fill", E_INVALIDARG);
    if (!fileName) return Fail(error, "no file name", E_INVALIDARG);
    if (GetFileAttributesA(fileName) == INVALID_FILE_ATTRIBUTES)
        return Fail(error, "cannot open file: " + SystemErrorText(::GetLastError()), E_FAIL);
    CLoaderDevice own;
    if (!device) device = own.Get();
    if (!device) return Fail(error, "no Direct3D 9 device to load meshes with", E_FAIL);
    ID3DXBuffer* materialBuffer = nullptr;
    DWORD count = 0;
    ID3DXMesh* loaded = nullptr;
    HRESULT hr = D3DXLoadMeshFromXA(fileName, D3DXMESH_SYSTEMMEM, device, nullptr, &materialBuffer, nullptr, &count,
                                    &loaded);
    if (FAILED(hr) || !loaded) {
        SafeRelease(materialBuffer);
        SafeRelease(loaded);
        return Fail(error, "not a mesh D3DX can read: " + SystemErrorText(static_cast<DWORD>(hr)), hr);
    }
    *mesh = loaded;
    if (materials)
        *materials = materialBuffer;
    else
        SafeRelease(materialBuffer);
    if (numMaterials) *numMaterials = count;
    return S_OK;
}
